// Writing whole files so that they are never left half written.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

// Lets a write beyond the file-size limit of the process (ulimit -f) fail with EFBIG, so
// that it is reported and cleaned up, instead of ending the program with SIGXFSZ. Every
// program that writes files calls it once at its start.
void IgnoreFileSizeSignal();

struct FileContents {
    std::string path;
    std::string_view bytes;
};

struct ReplaceFailure {
    std::size_t file = 0;      // index of the file that failed
    int systemError = 0;       // errno of the step that failed, or kNotRegularFile
    std::size_t replaced = 0;  // files already in place by then: only a failed rename
                               // after a good one leaves any
};

// Replaces the files together. Each file's bytes go to a new temporary file in the folder
// of the file, flushed to the disk; only when every one is complete are they renamed over
// the files, in order. A failure while writing leaves every file as it was, and no
// temporary file is left behind in any case.
//
// A path that is a symbolic link replaces the file the link points to (in that file's
// folder), and the link stays. An existing file keeps its permission bits. An existing file
// that may not be written, a folder of that name (EISDIR) and anything else that is not a
// regular file, such as a named pipe or a device (kNotRegularFile, SystemErrorText.h), are
// refused before anything is written, links followed, and are left as they are.
std::optional<ReplaceFailure> ReplaceFiles(std::span<const FileContents> files);

// One file, as above: 0, the errno of the step that failed or kNotRegularFile.
int ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace kestrel
