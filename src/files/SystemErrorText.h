// Japanese reasons for the operating system's file errors, as the messages show them.
#pragma once

#include <string>

namespace kestrel {

// Not an errno: the path names something that is not a regular file (a named pipe, a
// device, a socket), which no writer of the program replaces.
inline constexpr int kNotRegularFile = -1;

// The reason behind an errno value in the user's words, without a closing "。"; for
// example ENOENT gives "ファイルまたはフォルダーが見つかりません".
std::string SystemErrorText(int errorNumber);

// Whether the error means that another program holds the file (EBUSY, ETXTBSY). On this
// platform an open file never stops another program from replacing it, so these come
// only from special files.
bool IsFileInUseError(int errorNumber);

}  // namespace kestrel
