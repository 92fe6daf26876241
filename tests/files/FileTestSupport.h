// Helpers of the file tests: a scratch folder, whole-file reads and writes, and stream
// buffers that fail on purpose.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>

namespace kestrel::test {

namespace fs = std::filesystem;

// A new empty folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        static int serial = 0;
        path_ = fs::temp_directory_path() /
                ("kestrel-files-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Hands out the given bytes, then fails the next read as a broken disk would.
class FailingReadBuffer : public std::streambuf {
public:
    explicit FailingReadBuffer(std::string bytes) : bytes_(std::move(bytes)) {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("read failed"); }

private:
    std::string bytes_;
};

// Takes up to `room` bytes, then refuses every further byte as a full disk does.
class FailingWriteBuffer : public std::streambuf {
public:
    explicit FailingWriteBuffer(std::size_t room) : room_(room) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (taken_ >= room_) return traits_type::eof();
        ++taken_;
        return c;
    }

private:
    std::size_t room_;
    std::size_t taken_ = 0;
};

}  // namespace kestrel::test
