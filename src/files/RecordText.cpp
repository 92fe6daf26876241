#include "files/RecordText.h"

#include <algorithm>
#include <cmath>

#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Printable(std::string_view utf8) {
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return true;
}

}  // namespace

LineReader::LineReader(std::istream& in) : in_(in) {}

LineReader::Status LineReader::Next(std::string& line) {
    line.clear();
    if (atStart_) {
        atStart_ = false;
        // A UTF-8 byte-order mark belongs to no line; bytes that only begin like one do.
        const unsigned char mark[] = {0xEF, 0xBB, 0xBF};
        for (const unsigned char byte : mark) {
            if (in_.peek() != byte) break;
            line.push_back(static_cast<char>(in_.get()));
        }
        if (line.size() == sizeof mark) line.clear();
    }
    int c = in_.get();
    if (c == kEnd && line.empty()) return in_.bad() ? Status::Failed : Status::End;
    ++number_;
    while (c != kEnd && c != '\n' && c != '\r') {
        if (line.size() == kMaxRecordLineLength) return Status::TooLong;
        line += static_cast<char>(c);
        c = in_.get();
    }
    if (c == kEnd && in_.bad()) return Status::Failed;
    if (c == '\r' && in_.peek() == '\n') in_.get();
    return Status::Line;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitBlanks(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        const std::size_t begin = pos;
        while (pos < text.size() && !IsBlank(text[pos])) ++pos;
        if (pos > begin) items.push_back(text.substr(begin, pos - begin));
    }
    return items;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> items;
    for (;;) {
        const std::size_t comma = text.find(',');
        items.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) return items;
        text.remove_prefix(comma + 1);
    }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string LabelKey(std::string_view text) {
    std::string key;
    for (const char c : text) {
        if (!IsBlank(c)) key += Lower(c);
    }
    return key;
}

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

std::optional<double> PositiveNumberWithUnit(std::string_view text, std::string_view unit) {
    text = Trim(text);
    if (text.size() >= unit.size() && EqualsNoCase(text.substr(text.size() - unit.size()), unit)) {
        text.remove_suffix(unit.size());
    }
    const std::optional<double> number = StrictNumber(text);
    if (!number || !(*number > 0)) return std::nullopt;
    return number;
}

WaveReadResult Failed(WaveError error) {
    WaveReadResult r;
    r.error = std::move(error);
    return r;
}

WaveError ErrorAt(WaveError::Kind kind, int line, std::string_view detail, std::string_view label) {
    WaveError e;
    e.kind = kind;
    e.line = line;
    e.detail = std::string(detail.substr(0, kMaxWaveItemLength));
    e.label = std::string(label);
    return e;
}

WaveError LineError(LineReader::Status status, int line, std::string_view start) {
    if (status == LineReader::Status::Failed) {
        WaveError e = ErrorAt(WaveError::Kind::CannotRead, 0);
        e.reason = {TrNoop("読み込みの途中でエラーが発生しました")};
        return e;
    }
    return ErrorAt(WaveError::Kind::MalformedItem, line, start);
}

double RemoveMean(std::vector<double>& samples) {
    if (samples.empty()) return 0;
    // Neumaier's summation: the rounding error of each addition is kept apart and added
    // back at the end.
    double sum = 0;
    double lost = 0;
    for (const double x : samples) {
        const double t = sum + x;
        lost += std::abs(sum) >= std::abs(x) ? (sum - t) + x : (x - t) + sum;
        sum = t;
    }
    const double mean = (sum + lost) / static_cast<double>(samples.size());
    for (double& x : samples) x -= mean;
    return mean;
}

WaveReadResult FinishRecord(double timeStep, std::vector<double> samples, RecordInfo info) {
    if (samples.empty()) return Failed(ErrorAt(WaveError::Kind::NoNumber, 0));
    double peak = 0;
    for (const double sample : samples) {
        if (!std::isfinite(sample)) return Failed(ErrorAt(WaveError::Kind::ValueTooLarge, 0));
        peak = std::max(peak, std::abs(sample));
    }
    info.sampleCount = static_cast<int>(samples.size());
    info.peak = peak;
    WaveReadResult result;
    result.record.timeStep = timeStep;
    result.record.samples = std::move(samples);
    result.info = std::move(info);
    return result;
}

}  // namespace kestrel
