#include "files/PlainWaveFormat.h"

#include <array>

#include "runtime/Conversions.h"

namespace kestrel {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

// The bytes of the stream one at a time, with room to put back the few bytes looked at
// when checking for a byte-order mark.
class ByteReader {
public:
    explicit ByteReader(std::istream& in) : in_(in) {}

    int Next() {
        if (pendingCount_ > 0) return pending_[--pendingCount_];
        return in_.get();
    }
    void PutBack(int byte) { pending_[pendingCount_++] = byte; }

private:
    std::istream& in_;
    std::array<int, 4> pending_{};
    int pendingCount_ = 0;
};

void SkipByteOrderMark(ByteReader& bytes) {
    const int first = bytes.Next();
    if (first != 0xEF) {
        if (first != kEnd) bytes.PutBack(first);
        return;
    }
    const int second = bytes.Next();
    const int third = second == 0xBB ? bytes.Next() : kEnd;
    if (second == 0xBB && third == 0xBF) return;
    // Not a mark: put the bytes back in reverse order of reading.
    if (third != kEnd) bytes.PutBack(third);
    if (second != kEnd) bytes.PutBack(second);
    bytes.PutBack(first);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

WaveError ReadFailure() {
    WaveError e;
    e.kind = WaveError::Kind::CannotRead;
    e.reason = {TrNoop("読み込みの途中でエラーが発生しました")};
    return e;
}

WaveError ErrorAt(WaveError::Kind kind, int line, std::string_view item) {
    WaveError e;
    e.kind = kind;
    e.line = line;
    e.detail = std::string(item);
    return e;
}

// The item as the line writes it. A time step written with a decimal comma ("0,01") is
// read as the items 0 and 01; the rest of its line is taken along, so that the message
// quotes what the file says.
std::string WrittenLine(std::string_view item, int separator, ByteReader& bytes) {
    std::string written(item);
    if (separator != ',') return written;
    written += ',';
    for (int c = bytes.Next(); c != kEnd && c != '\n' && c != '\r'; c = bytes.Next()) {
        if (written.size() == kMaxWaveItemLength) break;
        written += static_cast<char>(c);
    }
    while (IsBlank(written.back())) written.pop_back();
    return written;
}

WaveReadResult Failed(WaveError e) {
    WaveReadResult r;
    r.error = std::move(e);
    return r;
}

}  // namespace

WaveReadResult ReadPlainWave(std::istream& in, int maxSamples) {
    using Kind = WaveError::Kind;
    ByteReader bytes(in);
    SkipByteOrderMark(bytes);

    WaveReadResult result;
    int count = 0;  // numbers read so far, the time step included
    int line = 1;
    bool afterComma = false;  // the item being read follows a comma on its line
    std::string item;
    for (;;) {
        // Gather one item, up to its separator, without the blanks around it. Blanks
        // inside it are kept (as one space each) so that "1 2" stays malformed.
        item.clear();
        std::size_t blanksHeld = 0;
        int c = bytes.Next();
        while (c != kEnd && c != ',' && c != '\n' && c != '\r') {
            if (IsBlank(static_cast<char>(c))) {
                if (!item.empty()) ++blanksHeld;
            } else {
                item.append(blanksHeld, ' ');
                blanksHeld = 0;
                item += static_cast<char>(c);
                if (item.size() > kMaxWaveItemLength) {
                    item.resize(kMaxWaveItemLength);
                    return Failed(ErrorAt(Kind::MalformedItem, line, item));
                }
            }
            c = bytes.Next();
        }
        const int separator = c;
        if (separator == kEnd && in.bad()) return Failed(ReadFailure());
        const std::string_view text = item;

        if (text.empty()) {
            // Only a line with nothing on it may be empty; beside a comma an empty item
            // stands for a missing number.
            if (separator == ',' || afterComma) {
                return Failed(ErrorAt(Kind::MalformedItem, line, text));
            }
        } else {
            const std::optional<double> number = StrictNumber(text);
            if (!number) return Failed(ErrorAt(Kind::MalformedItem, line, text));
            if (++count - 1 > maxSamples) {
                WaveError e = ErrorAt(Kind::TooManyNumbers, line, text);
                e.limit = maxSamples;
                return Failed(std::move(e));
            }
            if (count == 1) {
                if (!(*number > 0)) {
                    return Failed(ErrorAt(Kind::NonPositiveTimeStep, line,
                                          WrittenLine(text, separator, bytes)));
                }
                result.record.timeStep = *number;
            } else {
                result.record.samples.push_back(*number);
            }
        }

        afterComma = separator == ',';
        if (separator == kEnd) break;
        if (separator == '\r') {
            const int next = bytes.Next();
            if (next != '\n' && next != kEnd) bytes.PutBack(next);
        }
        if (separator != ',') ++line;
    }

    if (count == 0) return Failed(ErrorAt(Kind::NoNumber, 0, ""));
    return result;
}

}  // namespace kestrel
