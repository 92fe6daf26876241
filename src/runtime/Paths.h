// File paths of the wave file and the result files.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The platform's folder separator.
inline constexpr char kPathSeparator = '/';

// The full path of a file in a folder: the folder, a separator and the name; a folder
// that already ends in a separator (the root "/") gets none added, an empty one gives the
// bare name.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kestrel
