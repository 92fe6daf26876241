#include "files/WaveFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <ios>
#include <streambuf>

#include "files/At2Format.h"
#include "files/InputFile.h"
#include "files/JmaCsvFormat.h"
#include "files/KnetFormat.h"
#include "files/PlainWaveFormat.h"
#include "files/RecordText.h"
#include "files/SystemErrorText.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

// Bytes in memory as a read-only stream buffer.
class BytesBuffer : public std::streambuf {
public:
    explicit BytesBuffer(std::string_view bytes) {
        // The buffer is only read from; streambuf's interface merely lacks const.
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

WaveReadResult CannotOpen(int systemError, std::string reason) {
    WaveError e = ErrorAt(WaveError::Kind::CannotOpen, 0);
    e.detail = std::move(reason);
    e.systemError = systemError;
    return Failed(std::move(e));
}

// The bytes looked at to recognise a format: the first four lines, and no more than this
// many bytes of them.
constexpr std::size_t kStartLength = 512;
constexpr int kStartLines = 4;

enum class Format { Plain, Knet, JmaCsv, At2 };

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// An AT2 header, whatever its first line says: a units line third ("... IN UNITS OF G")
// and the line of the number of points and the time step fourth ("NPTS= 2800, DT= .005
// SEC", or "2800  .005  NPTS, DT" in older files).
bool HasAt2Header(std::string_view start) {
    std::string_view lines[kStartLines];
    for (std::string_view& line : lines) {
        const std::size_t end = std::min(start.find_first_of("\r\n"), start.size());
        line = start.substr(0, end);
        start.remove_prefix(end);
        if (start.starts_with("\r\n")) start.remove_prefix(1);
        if (!start.empty()) start.remove_prefix(1);
    }
    const std::string points = UpperCase(lines[3]);
    return UpperCase(lines[2]).find("UNITS OF") != std::string::npos &&
           points.find("NPTS") != std::string::npos && points.find("DT") != std::string::npos;
}

// The format of a file from its first lines. The networks' records start with a text
// that no list of numbers starts with, so a plain file is always read as plain.
Format DetectFormat(std::string_view start) {
    if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
    while (!start.empty() && (start.front() == ' ' || start.front() == '\t')) {
        start.remove_prefix(1);
    }
    if (StartsWithNoCase(start, "Origin Time")) return Format::Knet;
    if (StartsWithNoCase(start, "SITE CODE")) return Format::JmaCsv;
    if (StartsWithNoCase(start, "PEER") || HasAt2Header(start)) return Format::At2;
    return Format::Plain;
}

// The bytes already looked at, then the rest of the stream. Only what the rest has
// already buffered is taken in one go; nothing more is read ahead of the reader, so a
// reader that stops early still reads little of an endless or huge source.
class StartThenRest : public std::streambuf {
public:
    StartThenRest(std::string start, std::streambuf* rest) : start_(std::move(start)), rest_(rest) {
        setg(start_.data(), start_.data(), start_.data() + start_.size());
    }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (traits_type::eq_int_type(rest_->sgetc(), traits_type::eof())) {
            return traits_type::eof();
        }
        std::streamsize n = std::min<std::streamsize>(rest_->in_avail(), sizeof block_);
        n = n > 0 ? rest_->sgetn(block_, n) : 0;
        if (n == 0) block_[n++] = traits_type::to_char_type(rest_->sbumpc());  // unbuffered
        setg(block_, block_, block_ + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string start_;
    std::streambuf* rest_;
    char block_[4096];
};

std::string PeakText(double peak) {
    char buffer[400];  // the largest finite double has 309 digits before the point
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, peak, std::chars_format::fixed, 2);
    return std::string(buffer, written.ptr);
}

// The removed mean to three significant digits, written as the program writes numbers
// ("0.0134", "-2.5", "1.23E-05"): enough to judge the offset, no false precision.
std::string MeanText(double mean) {
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, mean, std::chars_format::scientific, 2);
    double rounded = 0;
    std::from_chars(buffer, written.ptr, rounded, std::chars_format::scientific);
    return NumberText(rounded);
}

}  // namespace

std::string_view ComponentName(RecordComponent component) {
    switch (component) {
        case RecordComponent::NS:
            return "NS";
        case RecordComponent::EW:
            return "EW";
        case RecordComponent::UD:
            return "UD";
    }
    return "";
}

WaveReadResult ReadWaveText(std::istream& in, std::optional<RecordComponent> component,
                            int maxSamples) {
    std::string start;
    for (int lineEnds = 0; start.size() < kStartLength && lineEnds < kStartLines;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) break;
        start += static_cast<char>(c);
        if (c == '\n') ++lineEnds;
    }
    if (in.bad()) return Failed(LineError(LineReader::Status::Failed, 0, ""));
    const Format format = DetectFormat(start);
    StartThenRest buffer(std::move(start), in.rdbuf());
    std::istream whole(&buffer);
    switch (format) {
        case Format::Knet:
            return ReadKnetRecord(whole, maxSamples);
        case Format::JmaCsv: {
            WaveReadResult read = ReadJmaCsvRecord(whole, component, maxSamples);
            read.componentRead = read.ok();
            return read;
        }
        case Format::At2:
            return ReadAt2Record(whole, maxSamples);
        case Format::Plain:
            break;
    }
    return ReadPlainWave(whole, maxSamples);
}

WaveReadResult ReadWaveBytes(std::string_view bytes, std::optional<RecordComponent> component,
                             int maxSamples) {
    BytesBuffer buffer(bytes);
    std::istream in(&buffer);
    return ReadWaveText(in, component, maxSamples);
}

WaveReadResult ReadWaveFile(const std::string& path, std::optional<RecordComponent> component,
                            int maxSamples) {
    InputFile file(path);
    if (const std::optional<int> error = file.openError()) {
        if (*error == EISDIR) return CannotOpen(EISDIR, "ファイルではなくフォルダーです");
        if (*error == kNotRegularFile) return CannotOpen(0, SystemErrorText(kNotRegularFile));
        return CannotOpen(*error, SystemErrorText(*error));
    }
    WaveReadResult result = ReadWaveText(file.stream(), component, maxSamples);
    if (result.error && result.error->kind == WaveError::Kind::CannotRead && file.readError()) {
        result.error->systemError = file.readError();
        result.error->detail = SystemErrorText(file.readError());
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
        case Kind::TooManyNumbers: {
            const std::string most = std::to_string(error.limit + 1);
            prompt = file + "の数値が多すぎます（" + line + "で " + most +
                     " 個を超えました）。\n解析できるのは時間刻みと加速度を合わせて " + most +
                     " 個までです。";
            break;
        }
        case Kind::NonPositiveTimeStep:
            prompt = file + "の最初の数値（時間刻み）が「" + DisplayItem(error.detail) + "」（" +
                     line + "）です。\n時間刻みは 0 より大きい数でなければなりません。";
            if (error.detail.find(',') != std::string::npos) {
                prompt += "\n「,」は数値の区切りです。小数点は「.」で書いてください。";
            }
            break;
        case Kind::HeaderEnded:
            prompt = file + "の見出しが途中で終わっています。\n" + line + "に「" + error.label +
                     "」の行があるはずですが、" +
                     (error.detail.empty() ? "ファイルがそこで終わっています。"
                                           : "「" + DisplayItem(error.detail) + "」とあります。");
            break;
        case Kind::BadSamplingRate:
            if (error.line == 0) {
                prompt = file + "に「" + error.label + "」の行がありません。";
            } else if (error.detail.empty()) {
                prompt = file + "の「" + error.label + "」（" + line + "）に値がありません。";
            } else {
                prompt = file + "の「" + error.label + "」（" + line + "）の値「" +
                         DisplayItem(error.detail) + "」を読めません。";
            }
            prompt += "\nサンプリング周波数と時間刻みは 0 より大きい数でなければなりません。";
            break;
        case Kind::BadScaleFactor:
            prompt = file + "の「" + error.label + "」（" + line + "）の値「" +
                     DisplayItem(error.detail) +
                     "」を読めません。\n「3920(gal)/6182761」のように、gal の分子と 0 "
                     "でない分母が必要です。";
            break;
        case Kind::BadHeaderValue:
            prompt = file + "の「" + error.label + "」（" + line + "）の値「" +
                     DisplayItem(error.detail) + "」を読めません。\n1 以上の整数が必要です。";
            break;
        case Kind::BadUnit:
            prompt = file + "の単位「" + DisplayItem(error.detail) + "」（" + line +
                     "）は加速度の " + error.label + " ではありません。\n読み込めるのは加速度の" +
                     "記録だけです。";
            break;
        case Kind::BadCount:
            prompt = file + "の " + line + "の「" + DisplayItem(error.detail) +
                     "」は整数のカウント値ではありません。";
            break;
        case Kind::ValueTooLarge:
            if (error.line == 0) {
                prompt = file + "の値を加速度に換算すると大きすぎる値になります。";
            } else {
                prompt = file + "の " + line + "の値「" + DisplayItem(error.detail) +
                         "」は大きすぎて加速度に換算できません。";
            }
            break;
        case Kind::TooFewValues:
            prompt = file + "の値が足りません。\n見出しの点数は " + std::to_string(error.expected) +
                     " 点ですが、" + std::to_string(error.found) + " 点しかありません。";
            break;
        case Kind::RowLength:
            prompt = file + "の " + line + "に値が " + std::to_string(error.found) +
                     " 個あります（列は " + std::to_string(error.expected) + " 個です）。";
            break;
        case Kind::RecordTooLong: {
            const std::string most = std::to_string(error.limit);
            prompt = file + "の記録は長すぎます（" + most + " 点を超えています）。\n解析できる" +
                     "のは " + most + " 点";
            const double longest = error.timeStep * static_cast<double>(error.limit);
            if (std::isfinite(longest)) {
                prompt += "、この時間刻み（" + NumberText(error.timeStep) + " 秒）では " +
                          NumberText(longest) + " 秒";
            }
            prompt += "までです。";
            break;
        }
        case Kind::ComponentNeeded:
            prompt = file + "は NS・EW・UD の 3 成分を収めた気象庁の記録ですが、解析する成分" +
                     "が選ばれていません。\n「地震波選択」でファイルを選び直して下さい。";
            break;
        case Kind::ComponentMissing:
            prompt = file + "には「" + DisplayItem(error.detail) + "」成分の列がありません。";
            break;
    }
    return FileMessage{"地震波ファイルの読み込みエラー", prompt};
}

FileMessage RecordInfoMessage(const RecordInfo& info) {
    std::string prompt = info.format + " 記録";
    if (!info.station.empty()) prompt += " " + info.station;
    if (!info.component.empty()) prompt += " (" + info.component + ")";
    prompt += "、" + std::to_string(info.sampleCount) + " 点、最大加速度 " + PeakText(info.peak) +
              " cm/s2 を読み込みました。\n";
    if (info.removedMean) {
        prompt += "記録全体の平均値 " + MeanText(*info.removedMean) + " cm/s2 を除きました。";
    } else {
        prompt += "補正済みの記録なので、値はそのまま使います。";
    }
    return FileMessage{"記録の読み込み", prompt};
}

}  // namespace kestrel
