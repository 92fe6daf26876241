// Helpers of the file tests: a scratch folder, whole-file reads and writes, a stream
// buffer that refuses bytes as a full disk does, and an endless source to read.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <streambuf>
#include <string>

namespace kestrel::test {

// A new empty folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("kestrel-files-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Takes up to `room` bytes, then refuses every further byte.
class FailingWriteBuffer : public std::streambuf {
public:
    explicit FailingWriteBuffer(std::size_t room) : room_(room) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (room_ == 0) return traits_type::eof();
        --room_;
        return c;
    }

private:
    std::size_t room_;
};

// An endless source of one repeated pattern that counts the bytes taken from it, or
// that fails at its first refill as a broken disk does.
class EndlessBuffer : public std::streambuf {
public:
    EndlessBuffer(std::string pattern, bool failing)
        : pattern_(std::move(pattern)), failing_(failing) {
        setg(pattern_.data(), pattern_.data(), pattern_.data() + pattern_.size());
    }
    long long taken = 0;

protected:
    int_type underflow() override {
        if (failing_) throw std::ios_base::failure("read failed");
        taken += static_cast<long long>(pattern_.size());
        setg(pattern_.data(), pattern_.data(), pattern_.data() + pattern_.size());
        return traits_type::to_int_type(pattern_[0]);
    }

private:
    std::string pattern_;
    bool failing_;
};

}  // namespace kestrel::test
