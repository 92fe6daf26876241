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
#include "runtime/Catalogue.h"
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

WaveReadResult CannotOpen(int systemError, Wording reason) {
    WaveError e = ErrorAt(WaveError::Kind::CannotOpen, 0);
    e.reason = std::move(reason);
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
        if (*error == EISDIR) return CannotOpen(EISDIR, {TrNoop("ファイルではなくフォルダーです")});
        if (*error == kNotRegularFile) return CannotOpen(0, SystemErrorReason(kNotRegularFile));
        return CannotOpen(*error, SystemErrorReason(*error));
    }
    WaveReadResult result = ReadWaveText(file.stream(), component, maxSamples);
    if (result.error && result.error->kind == WaveError::Kind::CannotRead && file.readError()) {
        result.error->systemError = file.readError();
        result.error->reason = SystemErrorReason(file.readError());
    }
    return result;
}

FileMessage WaveErrorMessage(const WaveError& error, std::string_view path) {
    using Kind = WaveError::Kind;
    const std::string line = std::to_string(error.line);
    const std::string item = DisplayItem(error.detail);
    const std::string& label = error.label;
    // The value of a header line that cannot be read, before what the value should be.
    const auto unreadValue = [&] {
        return Tr("地震波ファイル「{1}」の「{2}」（{3} 行目）の値「{4}」を読めません。", path,
                  label, line, item);
    };
    std::string prompt;
    switch (error.kind) {
        case Kind::CannotOpen:
            prompt =
                Tr("地震波ファイル「{1}」を開けません。\n理由：{2}。", path, error.reason.Text());
            break;
        case Kind::CannotRead:
            prompt = Tr("地震波ファイル「{1}」を読み込めません。\n理由：{2}。", path,
                        error.reason.Text());
            break;
        case Kind::NoNumber:
            prompt = Tr("地震波ファイル「{1}」に数値がありません。", path);
            break;
        case Kind::MalformedItem:
            if (error.detail.empty()) {
                prompt =
                    Tr("地震波ファイル「{1}」の {2} 行目に値のない項目があります"
                       "（カンマの前後が空です）。",
                       path, line);
            } else {
                prompt = Tr("地震波ファイル「{1}」の {2} 行目の「{3}」は数値ではありません。", path,
                            line, item);
            }
            break;
        case Kind::TooManyNumbers:
            prompt =
                Tr("地震波ファイル「{1}」の数値が多すぎます（{2} 行目で {3} 個を超えました）。\n"
                   "解析できるのは時間刻みと加速度を合わせて {3} 個までです。",
                   path, line, std::to_string(error.limit + 1));
            break;
        case Kind::NonPositiveTimeStep:
            prompt =
                Tr("地震波ファイル「{1}」の最初の数値（時間刻み）が「{2}」（{3} 行目）です。\n"
                   "時間刻みは 0 より大きい数でなければなりません。",
                   path, item, line);
            if (error.detail.find(',') != std::string::npos) {
                prompt += "\n" + Tr("「,」は数値の区切りです。小数点は「.」で書いてください。");
            }
            break;
        case Kind::HeaderEnded:
            prompt = error.detail.empty()
                         ? Tr("地震波ファイル「{1}」の見出しが途中で終わっています。\n{2} 行目に"
                              "「{3}」の行があるはずですが、ファイルがそこで終わっています。",
                              path, line, label)
                         : Tr("地震波ファイル「{1}」の見出しが途中で終わっています。\n{2} 行目に"
                              "「{3}」の行があるはずですが、「{4}」とあります。",
                              path, line, label, item);
            break;
        case Kind::BadSamplingRate:
            if (error.line == 0) {
                prompt = Tr("地震波ファイル「{1}」に「{2}」の行がありません。", path, label);
            } else if (error.detail.empty()) {
                prompt = Tr("地震波ファイル「{1}」の「{2}」（{3} 行目）に値がありません。", path,
                            label, line);
            } else {
                prompt = unreadValue();
            }
            prompt +=
                "\n" + Tr("サンプリング周波数と時間刻みは 0 より大きい数でなければなりません。");
            break;
        case Kind::BadScaleFactor:
            prompt = unreadValue() + "\n" +
                     Tr("「3920(gal)/6182761」のように、gal の分子と 0 でない分母が必要です。");
            break;
        case Kind::BadHeaderValue:
            prompt = unreadValue() + "\n" + Tr("1 以上の整数が必要です。");
            break;
        case Kind::BadUnit:
            prompt =
                Tr("地震波ファイル「{1}」の単位「{2}」（{3} 行目）は加速度の {4} ではありません。\n"
                   "読み込めるのは加速度の記録だけです。",
                   path, item, line, label);
            break;
        case Kind::BadCount:
            prompt =
                Tr("地震波ファイル「{1}」の {2} 行目の「{3}」は整数のカウント値ではありません。",
                   path, line, item);
            break;
        case Kind::ValueTooLarge:
            if (error.line == 0) {
                prompt = Tr("地震波ファイル「{1}」の値を加速度に換算すると大きすぎる値になります。",
                            path);
            } else {
                prompt =
                    Tr("地震波ファイル「{1}」の {2} 行目の値「{3}」は大きすぎて加速度に"
                       "換算できません。",
                       path, line, item);
            }
            break;
        case Kind::TooFewValues:
            prompt =
                Tr("地震波ファイル「{1}」の値が足りません。\n見出しの点数は {2} 点ですが、"
                   "{3} 点しかありません。",
                   path, std::to_string(error.expected), std::to_string(error.found));
            break;
        case Kind::RowLength:
            prompt =
                Tr("地震波ファイル「{1}」の {2} 行目に値が {3} 個あります（列は {4} 個です）。",
                   path, line, std::to_string(error.found), std::to_string(error.expected));
            break;
        case Kind::RecordTooLong: {
            const std::string most = std::to_string(error.limit);
            const double longest = error.timeStep * static_cast<double>(error.limit);
            prompt = std::isfinite(longest)
                         ? Tr("地震波ファイル「{1}」の記録は長すぎます（{2} 点を超えています）。\n"
                              "解析できるのは {2} 点、この時間刻み（{3} 秒）では {4} 秒までです。",
                              path, most, NumberText(error.timeStep), NumberText(longest))
                         : Tr("地震波ファイル「{1}」の記録は長すぎます（{2} 点を超えています）。\n"
                              "解析できるのは {2} 点までです。",
                              path, most);
            break;
        }
        case Kind::ComponentNeeded:
            prompt =
                Tr("地震波ファイル「{1}」は NS・EW・UD の 3 成分を収めた気象庁の記録ですが、"
                   "解析する成分が選ばれていません。\n「地震波選択」でファイルを選び直して"
                   "下さい。",
                   path);
            break;
        case Kind::ComponentMissing:
            prompt = Tr("地震波ファイル「{1}」には「{2}」成分の列がありません。", path, item);
            break;
    }
    return FileMessage{Tr("地震波ファイルの読み込みエラー"), prompt};
}

FileMessage RecordInfoMessage(const RecordInfo& info) {
    // The format and the component are kept as the reader names them (the words of a
    // KiK-net channel, "気象庁"), and shown in the current language.
    std::string named;
    if (!info.station.empty()) named += " " + info.station;
    if (!info.component.empty()) named += " (" + Tr(info.component) + ")";
    std::string prompt =
        Tr("{1} 記録{2}、{3} 点、最大加速度 {4} cm/s2 を読み込みました。", Tr(info.format), named,
           std::to_string(info.sampleCount), PeakText(info.peak)) +
        "\n";
    if (info.removedMean) {
        prompt += Tr("記録全体の平均値 {1} cm/s2 を除きました。", MeanText(*info.removedMean));
    } else {
        prompt += Tr("補正済みの記録なので、値はそのまま使います。");
    }
    return FileMessage{Tr("記録の読み込み"), prompt};
}

}  // namespace kestrel
