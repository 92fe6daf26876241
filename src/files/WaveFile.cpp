#include "files/WaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ios>
#include <streambuf>

#include "files/PlainWaveFormat.h"
#include "files/SystemErrorText.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

// Reads a file descriptor in blocks. A failing read records errno and throws, which the
// istream on top turns into its badbit.
class FileReadBuffer : public std::streambuf {
public:
    explicit FileReadBuffer(int fd) : fd_(fd) {}
    int error() const { return error_; }

protected:
    int_type underflow() override {
        ssize_t n;
        do {
            n = ::read(fd_, block_, sizeof block_);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            error_ = errno;
            throw std::ios_base::failure("wave file read failed");
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

// Bytes in memory as a read-only stream buffer.
class BytesBuffer : public std::streambuf {
public:
    explicit BytesBuffer(std::string_view bytes) {
        // The buffer is only read from; streambuf's interface merely lacks const.
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

WaveReadResult CannotOpen(int systemError, std::string reason) {
    WaveReadResult r;
    r.error = WaveError{WaveError::Kind::CannotOpen, 0, std::move(reason), systemError};
    return r;
}

bool Printable(std::string_view utf8) {
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return true;
}

// An item of the file made readable in a message: UTF-8 as it stands, CP932 converted,
// anything else (control characters, broken bytes) as \xNN. A long item is cut short, at
// a character boundary when it is text.
std::string DisplayItem(std::string_view bytes) {
    constexpr std::size_t kShown = 30;
    const bool cut = bytes.size() > kShown;
    const std::string_view shown = bytes.substr(0, kShown);
    const std::string more = cut ? "…" : "";
    // A cut may split a character: up to 3 bytes of UTF-8, 1 byte of CP932.
    const auto prefix = [&](std::size_t drop) { return shown.substr(0, shown.size() - drop); };
    for (std::size_t drop = 0; drop <= (cut ? 3u : 0u) && drop < shown.size(); ++drop) {
        if (Utf8ToCp932(prefix(drop)) && Printable(prefix(drop))) {
            return std::string(prefix(drop)) + more;
        }
    }
    for (std::size_t drop = 0; drop <= (cut ? 1u : 0u) && drop < shown.size(); ++drop) {
        const auto decoded = Cp932ToUtf8(prefix(drop));
        if (decoded && Printable(*decoded)) return *decoded + more;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : shown) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += kHex[b >> 4];
            text += kHex[b & 0xF];
        }
    }
    return text + more;
}

}  // namespace

WaveReadResult ReadWaveText(std::istream& in) {
    // Every file is in the plain format for now; formats told apart by their content
    // are recognised here.
    return ReadPlainWave(in);
}

WaveReadResult ReadWaveBytes(std::string_view bytes) {
    BytesBuffer buffer(bytes);
    std::istream in(&buffer);
    return ReadWaveText(in);
}

WaveReadResult ReadWaveFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) return CannotOpen(EINVAL, SystemErrorText(EINVAL));
    // Non-blocking, so that a named pipe chosen by mistake cannot hang the program here.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        const int error = errno;
        return CannotOpen(error, SystemErrorText(error));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        const int error = errno;
        return CannotOpen(error, SystemErrorText(error));
    }
    if (S_ISDIR(info.st_mode)) return CannotOpen(EISDIR, "ファイルではなくフォルダーです");
    if (!S_ISREG(info.st_mode)) return CannotOpen(0, "通常のファイルではありません");

    FileReadBuffer buffer(file.get());
    std::istream in(&buffer);
    WaveReadResult result = ReadWaveText(in);
    if (result.error && result.error->kind == WaveError::Kind::CannotRead && buffer.error()) {
        result.error->systemError = buffer.error();
        result.error->detail = SystemErrorText(buffer.error());
    }
    return result;
}

FileMessage WaveErrorMessage(const WaveError& error, std::string_view path) {
    using Kind = WaveError::Kind;
    const std::string file = "地震波ファイル「" + std::string(path) + "」";
    const std::string line = std::to_string(error.line) + " 行目";
    std::string prompt;
    switch (error.kind) {
        case Kind::CannotOpen:
            prompt = file + "を開けません。\n理由：" + error.detail + "。";
            break;
        case Kind::CannotRead:
            prompt = file + "を読み込めません。\n理由：" + error.detail + "。";
            break;
        case Kind::NoNumber:
            prompt = file + "に数値がありません。";
            break;
        case Kind::MalformedItem:
            if (error.detail.empty()) {
                prompt = file + "の " + line + "に値のない項目があります（カンマの前後が空です）。";
            } else {
                prompt = file + "の " + line + "の「" + DisplayItem(error.detail) +
                         "」は数値ではありません。";
            }
            break;
        case Kind::TooManyNumbers:
            prompt = file + "の数値が多すぎます（" + line + "で " +
                     std::to_string(kMaxWaveNumbers) + " 個を超えました）。\n解析できるのは" +
                     "時間刻みと加速度を合わせて " + std::to_string(kMaxWaveNumbers) +
                     " 個までです。";
            break;
        case Kind::NonPositiveTimeStep:
            prompt = file + "の最初の数値（時間刻み）が「" + DisplayItem(error.detail) + "」（" +
                     line + "）です。\n時間刻みは 0 より大きい数でなければなりません。";
            break;
    }
    return FileMessage{"地震波ファイルの読み込みエラー", prompt};
}

}  // namespace kestrel
