// Reading a file the program reads whole (a wave record, a parameter table): regular files
// only, opened so that nothing the user picks by mistake can hang the program.
#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>

namespace kestrel {

// The file at a path, open for reading through a stream.
//
// Opening is non-blocking, so a named pipe cannot hang here, and anything but a regular
// file is refused: a folder gives EISDIR, a pipe, a device or a socket kNotRegularFile
// (SystemErrorText.h), a path holding a NUL byte EINVAL. A read that fails part way sets
// the stream's badbit; readError() then tells why.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Why the file could not be opened: an errno value or kNotRegularFile. None when open.
    std::optional<int> openError() const { return openError_; }
    // The file's content; empty when it could not be opened.
    std::istream& stream() { return stream_; }
    // The errno of the read that failed, 0 when none has.
    int readError() const;

private:
    class Buffer;
    int fd_ = -1;
    std::optional<int> openError_;
    std::unique_ptr<Buffer> buffer_;
    std::istream stream_{nullptr};
};

}  // namespace kestrel
