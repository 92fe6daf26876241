#include "files/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ios>

#include "files/SystemErrorText.h"

namespace kestrel {

// Reads the file descriptor in blocks. A failing read records errno and throws, which the
// istream on top turns into its badbit.
class InputFile::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd) : fd_(fd) {}
    int error() const { return error_; }

protected:
    int_type underflow() override {
        ssize_t n;
        do {
            n = ::read(fd_, block_, sizeof block_);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            error_ = errno;
            throw std::ios_base::failure("file read failed");
        }
        if (n == 0) return traits_type::eof();
        setg(block_, block_, block_ + n);
        return traits_type::to_int_type(block_[0]);
    }

private:
    int fd_;
    int error_ = 0;
    char block_[65536];
};

InputFile::InputFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        openError_ = EINVAL;
        return;
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        openError_ = errno;
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        openError_ = errno;
    } else if (S_ISDIR(info.st_mode)) {
        openError_ = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        openError_ = kNotRegularFile;
    }
    if (openError_) return;
    buffer_ = std::make_unique<Buffer>(fd_);
    stream_.rdbuf(buffer_.get());
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

int InputFile::readError() const {
    return buffer_ ? buffer_->error() : 0;
}

}  // namespace kestrel
