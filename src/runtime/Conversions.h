// Number <-> text conversions used by every window and file of the program. None of them
// depends on the system's locale: "." is the decimal point whatever the system language.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The longest number at the start of the text: blanks (space, tab, line ends) are skipped,
// then an optional sign, digits with an optional "." and an optional exponent (E or D).
// Never fails: text without a leading number is 0, "12abc" is 12. A magnitude beyond the
// 64-bit range reads as the largest finite number of that sign (so that no infinity ever
// enters a computation); one below the smallest reads as 0.
double LeadingNumber(std::string_view text);

// The number written in the text, which must hold nothing else (blanks around it aside).
// Reads everything NumberText writes; anything else gives no value.
std::optional<double> StrictNumber(std::string_view text);

// Whether the text is a number written as StrictNumber reads them whose magnitude is
// beyond the largest finite number ("1e999"): StrictNumber gives it no value, but it is
// too large rather than not a number.
bool IsNumberTooLarge(std::string_view text);

// The text of a finite number as the program shows and writes it: at most 15 significant
// digits, "." as decimal point, "-" for negatives, no leading blank, no trailing zeros,
// exponent form ("1E-05", "1.5E+20") below 1E-4 and from 1E+15 on. Zero is "0", never "-0".
std::string NumberText(double value);
// NumberText(value) added at the end of the text, without a string of its own.
void AppendNumberText(std::string& text, double value);

// The nearest integer, ties to even. A result outside the integer type's range raises an
// Overflow fault (see Fault.h) under the current fault site.
std::int16_t RoundToInteger16(double value);
std::int32_t RoundToInteger32(double value);

}  // namespace kestrel
