#include "files/KnetFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "files/RecordText.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

using Kind = WaveError::Kind;

// The labels stand in the first 18 columns of a header line, the value after them.
constexpr std::size_t kLabelColumns = 18;

struct HeaderLabel {
    std::string_view key;   // leading text of the label as LabelKey writes it
    std::string_view name;  // the label as the network writes it today, for messages
};

// The 17 header lines in their order.
constexpr std::array<HeaderLabel, 17> kHeader{{
    {"origintime", "Origin Time"},
    {"lat", "Lat."},
    {"lon", "Long."},
    {"depth", "Depth. (km)"},
    {"mag", "Mag."},
    {"stationcode", "Station Code"},
    {"stationlat", "Station Lat."},
    {"stationlon", "Station Long."},
    {"stationheight", "Station Height(m)"},
    {"recordtime", "Record Time"},
    {"samplingfreq", "Sampling Freq(Hz)"},
    {"duration", "Duration Time(s)"},
    {"dir", "Dir."},
    {"scalefactor", "Scale Factor"},
    {"max.acc", "Max. Acc. (gal)"},
    {"lastcorrection", "Last Correction"},
    {"memo", "Memo."},
}};
constexpr std::size_t kStationCode = 5;
constexpr std::size_t kSamplingFreq = 10;
constexpr std::size_t kDirection = 12;
constexpr std::size_t kScaleFactor = 13;

struct ScaleFactor {
    double numerator = 0;
    double denominator = 0;
};

// "3920(gal)/6182761": a positive numerator, "(gal)", "/" and a positive denominator.
std::optional<ScaleFactor> ParseScaleFactor(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    std::string_view numerator = Trim(text.substr(0, slash));
    const std::size_t paren = numerator.find('(');
    if (paren != std::string_view::npos) {
        if (!EqualsNoCase(Trim(numerator.substr(paren)), "(gal)")) return std::nullopt;
        numerator = numerator.substr(0, paren);
    }
    const std::optional<double> top = StrictNumber(numerator);
    const std::optional<double> bottom = StrictNumber(text.substr(slash + 1));
    if (!top || !bottom || !(*top > 0) || !(*bottom > 0)) return std::nullopt;
    return ScaleFactor{*top, *bottom};
}

// A count: digits with an optional sign, within 32 bits.
std::optional<std::int32_t> ParseCount(std::string_view item) {
    if (!item.empty() && item.front() == '+') item.remove_prefix(1);
    std::int32_t count = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), count);
    if (error != std::errc() || end != item.data() + item.size()) return std::nullopt;
    return count;
}

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// KiK-net stations are named by three letters, "H" and two digits (IWTH25); K-NET
// stations by three letters and three digits (MYG004).
bool IsKikNetStation(std::string_view code) {
    return code.size() == 6 && IsLetter(code[0]) && IsLetter(code[1]) && IsLetter(code[2]) &&
           code[3] == 'H' && IsDigit(code[4]) && IsDigit(code[5]);
}

// A KiK-net station records six channels: 1 to 3 from the sensor in the borehole, 4 to 6
// from the one at the surface, each triple N-S, E-W, U-D. The direction in words for the
// channel number; other texts (K-NET's "N-S") as written.
std::string DirectionText(std::string_view written, bool kikNet) {
    // Kept in Japanese and shown through Tr.
    static constexpr std::string_view kChannels[] = {TrNoop("N-S、地中"), TrNoop("E-W、地中"),
                                                     TrNoop("U-D、地中"), TrNoop("N-S、地表"),
                                                     TrNoop("E-W、地表"), TrNoop("U-D、地表")};
    if (kikNet && written.size() == 1 && written[0] >= '1' && written[0] <= '6') {
        return std::string(kChannels[written[0] - '1']);
    }
    return DisplayItem(written);
}

}  // namespace

WaveReadResult ReadKnetRecord(std::istream& in, int maxSamples) {
    LineReader lines(in);
    std::string line;

    std::array<std::string, kHeader.size()> values;
    std::array<int, kHeader.size()> valueLines{};
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        const LineReader::Status status = lines.Next(line);
        if (status == LineReader::Status::End) {
            return Failed(ErrorAt(Kind::HeaderEnded, lines.Number() + 1, "", kHeader[i].name));
        }
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), line));
        }
        const std::string_view text = line;
        if (!LabelKey(text.substr(0, kLabelColumns)).starts_with(kHeader[i].key)) {
            return Failed(ErrorAt(Kind::HeaderEnded, lines.Number(), text, kHeader[i].name));
        }
        values[i] = Trim(text.size() > kLabelColumns ? text.substr(kLabelColumns) : "");
        valueLines[i] = lines.Number();
    }

    const std::optional<double> frequency = PositiveNumberWithUnit(values[kSamplingFreq], "Hz");
    const double timeStep = frequency ? 1.0 / *frequency : 0.0;
    if (!(std::isfinite(timeStep) && timeStep > 0)) {
        return Failed(ErrorAt(Kind::BadSamplingRate, valueLines[kSamplingFreq],
                              values[kSamplingFreq], kHeader[kSamplingFreq].name));
    }
    const std::optional<ScaleFactor> scale = ParseScaleFactor(values[kScaleFactor]);
    if (!scale) {
        return Failed(ErrorAt(Kind::BadScaleFactor, valueLines[kScaleFactor], values[kScaleFactor],
                              kHeader[kScaleFactor].name));
    }

    std::vector<std::int32_t> counts;
    std::int64_t sum = 0;  // exact: at most kMaxStudySamples counts of 32 bits
    for (;;) {
        const LineReader::Status status = lines.Next(line);
        if (status == LineReader::Status::End) break;
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), line));
        }
        for (const std::string_view item : SplitBlanks(line)) {
            const std::optional<std::int32_t> count = ParseCount(item);
            if (!count) return Failed(ErrorAt(Kind::BadCount, lines.Number(), item));
            if (counts.size() == static_cast<std::size_t>(maxSamples)) {
                WaveError e = ErrorAt(Kind::RecordTooLong, lines.Number());
                e.timeStep = timeStep;
                e.limit = maxSamples;
                return Failed(e);
            }
            counts.push_back(*count);
            sum += *count;
        }
    }

    if (counts.empty()) return Failed(ErrorAt(Kind::NoNumber, 0));
    // The mean is taken from the exact sum of the counts, converted as one count is.
    const auto n = static_cast<double>(counts.size());
    const double mean = static_cast<double>(sum) * scale->numerator / scale->denominator / n;
    std::vector<double> samples;
    samples.reserve(counts.size());
    for (const std::int32_t count : counts) {
        samples.push_back(static_cast<double>(count) * scale->numerator / scale->denominator -
                          mean);
    }

    RecordInfo info;
    info.removedMean = mean;
    const bool kikNet = IsKikNetStation(values[kStationCode]);
    info.format = kikNet ? "KiK-net" : "K-NET";
    info.station = DisplayItem(values[kStationCode]);
    info.component = DirectionText(values[kDirection], kikNet);
    return FinishRecord(timeStep, std::move(samples), std::move(info));
}

}  // namespace kestrel
