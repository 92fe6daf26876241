#include "runtime/Conversions.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
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

// Whether a number written as [-]digits[.digits][e[+-]digits], too large or too small for
// a double, is too large: its first significant digit stands at a positive power of ten.
bool AboveOne(std::string_view text) {
    const std::size_t ePos = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, ePos);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return false;
    long long power = first < point ? static_cast<long long>(point - first) - 1
                                    : -static_cast<long long>(first - point);
    if (ePos != std::string_view::npos) {
        std::string_view exponent = text.substr(ePos + 1);
        const bool negative = exponent.starts_with('-');
        if (negative || exponent.starts_with('+')) exponent.remove_prefix(1);
        long long value = 0;
        for (const char c : exponent) value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
        power += negative ? -value : value;
    }
    return power > 0;
}

// Reads a number written as [+-]digits[.digits][e[+-]digits] with at least one digit
// before the exponent; the same in every locale. A magnitude below the smallest double is
// 0; one beyond the largest gives no value.
std::optional<double> ParseNumber(std::string_view text) {
    if (text.starts_with('+')) text.remove_prefix(1);
    double value = 0;
    const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        if (AboveOne(text)) return std::nullopt;
        return text.starts_with('-') ? -0.0 : 0.0;
    }
    return value;
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
    if (const std::optional<double> value = ParseNumber(number)) return *value;
    return number.starts_with('-') ? -DBL_MAX : DBL_MAX;
}

namespace {

// The number of a text that holds a number and nothing else (blanks around it aside), as
// written; no value for any other text.
std::optional<std::string_view> StrictNumberBody(std::string_view text) {
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
    return body;
}

}  // namespace

std::optional<double> StrictNumber(std::string_view text) {
    const std::optional<std::string_view> body = StrictNumberBody(text);
    if (!body) return std::nullopt;
    return ParseNumber(*body);
}

bool IsNumberTooLarge(std::string_view text) {
    const std::optional<std::string_view> body = StrictNumberBody(text);
    return body && !ParseNumber(*body);
}

void AppendNumberText(std::string& out, double value) {
    if (!std::isfinite(value)) {  // never reached: computations are checked
        out += '0';
        return;
    }
    // Round to 15 significant digits first; the decimal exponent is that of the rounded value.
    // to_chars rounds exactly as printf's "%.14e" does, several times faster; the result
    // files write five numbers per row, tens of thousands of rows, so nothing here allocates.
    char buffer[40];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    // buffer: [-]d.dddddddddddddde[+-]xx
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative) ++p;
    char digits[20];
    std::size_t count = 0;
    digits[count++] = *p;
    for (p += 2; *p != 'e'; ++p) digits[count++] = *p;
    ++p;
    if (*p == '+') ++p;
    int exponent = 0;
    std::from_chars(p, end, exponent);
    while (count > 1 && digits[count - 1] == '0') --count;
    if (count == 1 && digits[0] == '0') {
        out += '0';
        return;
    }

    if (negative) out += '-';
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (count > 1) {
            out += '.';
            out.append(digits + 1, count - 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int power = std::abs(exponent);
        if (power < 10) out += '0';
        char powerText[8];
        out.append(powerText, std::to_chars(powerText, powerText + sizeof powerText, power).ptr);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits, count);
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (count <= intDigits) {
            out.append(digits, count);
            out.append(intDigits - count, '0');
        } else {
            out.append(digits, intDigits);
            out += '.';
            out.append(digits + intDigits, count - intDigits);
        }
    }
}

std::string NumberText(double value) {
    std::string text;
    AppendNumberText(text, value);
    return text;
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
