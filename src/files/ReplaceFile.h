// Writing a whole file so that it is never left half written.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Writes the bytes to a new file in the same folder as the path, flushes it to the disk
// and renames it over the path. On success the path holds exactly the bytes; on failure
// it holds what it held before (or still does not exist) and no temporary file is left.
// Returns 0 or the errno of the step that failed. An existing file keeps its permission
// bits; an existing file that may not be written, or a folder of that name, is refused.
int ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace kestrel
