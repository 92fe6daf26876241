// Conversion between the program's UTF-8 text and CP932 (Windows-31J), the Shift_JIS
// that Japanese spreadsheet programs read and write.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// No value when the text holds a character that CP932 cannot represent.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);
// No value when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

}  // namespace kestrel
