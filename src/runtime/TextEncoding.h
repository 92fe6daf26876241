// Conversion between the program's UTF-8 text and CP932 (Windows-31J), the Shift_JIS
// that Japanese spreadsheet programs read and write.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// No value when the text holds a character that CP932 cannot represent.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);
// No value when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// The length in bytes (1 to 4) of the UTF-8 character the text starts with, or 0 when it
// does not start with one: empty text, a stray or missing continuation byte, an overlong
// form, a surrogate or a code point above U+10FFFF.
std::size_t Utf8CharLength(std::string_view text);

// Whether the text is UTF-8 throughout (the empty text is).
bool IsUtf8(std::string_view text);

}  // namespace kestrel
