// Reasons for the operating system's file errors in the current language, as the messages
// show them.
#pragma once

#include <string>

#include "runtime/Catalogue.h"

namespace kestrel {

// Not an errno: the path names something that is not a regular file (a named pipe, a
// device, a socket), which no writer of the program replaces.
inline constexpr int kNotRegularFile = -1;

// The reason behind an errno value in the user's words, without a closing "。" or "."; for
// example ENOENT gives "ファイルまたはフォルダーが見つかりません" (in English "No such file or
// folder").
std::string SystemErrorText(int errorNumber);
// The same reason as a value, to be put into words where it is shown.
Wording SystemErrorReason(int errorNumber);

// Whether the error means that another program holds the file (EBUSY, ETXTBSY). On this
// platform an open file never stops another program from replacing it, so these come
// only from special files.
bool IsFileInUseError(int errorNumber);

}  // namespace kestrel
