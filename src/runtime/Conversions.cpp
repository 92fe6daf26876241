#include "runtime/Conversions.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "runtime/Fault.h"

namespace kestrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Parses the C-locale number text that the scanners below assemble.
double ParseAssembled(const std::string& text) {
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    if (std::isinf(v)) return v > 0 ? DBL_MAX : -DBL_MAX;
    return v;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    // Blanks are skipped wherever they stand inside the number, as "1 000" is 1000.
    std::string number;
    std::size_t pos = 0;
    auto peek = [&]() -> char {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        return pos < text.size() ? text[pos] : '\0';
    };
    char c = peek();
    if (c == '+' || c == '-') {
        number += c;
        ++pos;
    }
    bool digits = false;
    while (IsDigit(c = peek())) {
        number += c;
        ++pos;
        digits = true;
    }
    if (c == '.') {
        number += c;
        ++pos;
        while (IsDigit(c = peek())) {
            number += c;
            ++pos;
            digits = true;
        }
    }
    if (!digits) return 0.0;
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
        const std::size_t mark = pos;
        ++pos;
        std::string exponent = "e";
        c = peek();
        if (c == '+' || c == '-') {
            exponent += c;
            ++pos;
        }
        bool expDigits = false;
        while (IsDigit(c = peek())) {
            exponent += c;
            ++pos;
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        } else {
            pos = mark;
        }
    }
    return ParseAssembled(number);
}

std::optional<double> StrictNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const std::string_view body = text.substr(begin, end - begin);
    std::size_t pos = 0;
    if (pos < body.size() && (body[pos] == '+' || body[pos] == '-')) ++pos;
    bool digits = false;
    while (pos < body.size() && IsDigit(body[pos])) ++pos, digits = true;
    if (pos < body.size() && body[pos] == '.') {
        ++pos;
        while (pos < body.size() && IsDigit(body[pos])) ++pos, digits = true;
    }
    if (!digits) return std::nullopt;
    if (pos < body.size() && (body[pos] == 'e' || body[pos] == 'E')) {
        ++pos;
        if (pos < body.size() && (body[pos] == '+' || body[pos] == '-')) ++pos;
        bool expDigits = false;
        while (pos < body.size() && IsDigit(body[pos])) ++pos, expDigits = true;
        if (!expDigits) return std::nullopt;
    }
    if (pos != body.size()) return std::nullopt;
    errno = 0;
    const double v = std::strtod(std::string(body).c_str(), nullptr);
    if (std::isinf(v)) return std::nullopt;
    return v;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return "0";  // never reached: computations are checked
    // Round to 15 significant digits first; the decimal exponent is that of the rounded value.
    // to_chars rounds exactly as printf's "%.14e" does, several times faster; the result
    // files write five numbers per row, tens of thousands of rows.
    char buffer[40];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    // buffer: [-]d.dddddddddddddde[+-]xx
    std::string_view s(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    const std::size_t ePos = s.find('e');
    std::string digits;
    digits += s[0];
    digits += s.substr(2, ePos - 2);
    const int exponent = std::atoi(std::string(s.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits == "0") return "0";

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += '.';
            out += digits.substr(intDigits);
        }
    }
    return out;
}

namespace {
template <typename Int>
Int RoundTo(double value) {
    const double r = std::nearbyint(value);  // the default rounding mode: ties to even
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        RaiseFault(FaultKind::Overflow);
    }
    return static_cast<Int>(r);
}
}  // namespace

std::int16_t RoundToInteger16(double value) {
    return RoundTo<std::int16_t>(value);
}
std::int32_t RoundToInteger32(double value) {
    return RoundTo<std::int32_t>(value);
}

}  // namespace kestrel
