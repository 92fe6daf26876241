#include "runtime/NumberFit.h"

#include <charconv>
#include <cstdlib>

#include "runtime/Conversions.h"

namespace kestrel {

namespace {

// A value rounded to some significant digits: d.ddd x 10^exponent.
struct Rounded {
    bool negative = false;
    std::string digits;  // no trailing zeros, at least one digit
    int exponent = 0;
};

Rounded RoundTo(double value, int significant) {
    char buffer[40];
    const std::to_chars_result written = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    std::string_view s(buffer, static_cast<std::size_t>(written.ptr - buffer));
    Rounded r;
    r.negative = s.front() == '-';
    if (r.negative) s.remove_prefix(1);
    const std::size_t ePos = s.find('e');
    r.digits += s[0];
    if (ePos > 2) r.digits += s.substr(2, ePos - 2);
    std::string_view exponent = s.substr(ePos + 1);
    if (exponent.front() == '+') exponent.remove_prefix(1);
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), r.exponent);
    while (r.digits.size() > 1 && r.digits.back() == '0') r.digits.pop_back();
    return r;
}

std::string ExponentForm(const Rounded& r) {
    std::string out = r.negative ? "-" : "";
    out += r.digits[0];
    if (r.digits.size() > 1) {
        out += '.';
        out += r.digits.substr(1);
    }
    out += 'E';
    out += r.exponent < 0 ? '-' : '+';
    const std::string magnitude = std::to_string(std::abs(r.exponent));
    if (magnitude.size() < 2) out += '0';
    return out + magnitude;
}

std::string FixedForm(const Rounded& r) {
    std::string out = r.negative ? "-" : "";
    if (r.exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-r.exponent - 1), '0');
        return out + r.digits;
    }
    const auto whole = static_cast<std::size_t>(r.exponent) + 1;
    if (r.digits.size() <= whole) {
        out += r.digits;
        out.append(whole - r.digits.size(), '0');
        return out;
    }
    return out + r.digits.substr(0, whole) + '.' + r.digits.substr(whole);
}

}  // namespace

std::string FitNumberText(std::string_view text, const FitsBox& fits) {
    if (fits(text)) return std::string(text);
    const std::optional<double> value = StrictNumber(text);
    if (!value || *value == 0) return std::string(text);

    constexpr int kMostDigits = 15;
    std::string shortest(text);
    auto tryText = [&](std::string candidate) {
        if (fits(candidate)) return true;
        if (candidate.size() < shortest.size()) shortest = std::move(candidate);
        return false;
    };
    const bool exponentForm = text.find_first_of("Ee") != std::string_view::npos;
    if (!exponentForm) {
        for (int digits = kMostDigits; digits >= 1; --digits) {
            const Rounded r = RoundTo(*value, digits);
            // Fewer digits than the whole part has would only write zeros in their place.
            if (r.exponent >= digits) break;
            std::string candidate = FixedForm(r);
            if (tryText(candidate)) return candidate;
        }
    }
    for (int digits = kMostDigits; digits >= 1; --digits) {
        std::string candidate = ExponentForm(RoundTo(*value, digits));
        if (tryText(candidate)) return candidate;
    }
    return shortest;
}

}  // namespace kestrel
