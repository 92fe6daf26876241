// Shortening a number's text to the width of the box that shows it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrel {

// Whether a text fits its box.
using FitsBox = std::function<bool(std::string_view text)>;

// The text of a number (as NumberText writes it) for a box: unchanged when it fits;
// otherwise the same value rounded to as many significant digits as fit, in the same form
// (a fixed-point text stays fixed-point while its whole part fits, an exponent is always
// kept), e.g. "-5.61353006594207E-10" becomes "-5.614E-10". When not even one digit fits,
// the shortest form. A text that is not a number is returned as it is.
std::string FitNumberText(std::string_view text, const FitsBox& fits);

}  // namespace kestrel
