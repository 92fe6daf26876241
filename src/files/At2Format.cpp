#include "files/At2Format.h"

#include <charconv>
#include <cmath>

#include "files/RecordText.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

using Kind = WaveError::Kind;

// Standard gravity, cm/s^2 per g.
constexpr double kGravity = 980.665;

constexpr std::string_view kHeaderNames[] = {
    "PEER NGA STRONG MOTION DATABASE RECORD",
    "EVENT, DATE, STATION, COMPONENT",
    "ACCELERATION TIME SERIES IN UNITS OF G",
    "NPTS, DT",
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// "ACCELERATION TIME SERIES IN UNITS OF G": an acceleration, and "G" as the unit.
bool IsAccelerationInG(std::string_view line) {
    const std::string upper = Upper(line);
    const std::size_t units = upper.find("UNITS OF");
    if (upper.find("ACCEL") == std::string::npos || units == std::string::npos) return false;
    const std::vector<std::string_view> after =
        SplitBlanks(std::string_view(upper).substr(units + 8));
    // Older files go on after the unit: "UNITS OF G. FILTER POINTS: ...".
    return !after.empty() &&
           (after.front() == "G" || after.front() == "G." || after.front() == "G,");
}

// The items of a line separated by blanks or commas.
std::vector<std::string_view> Values(std::string_view line) {
    std::vector<std::string_view> values;
    for (const std::string_view part : SplitCommas(line)) {
        for (const std::string_view value : SplitBlanks(part)) values.push_back(value);
    }
    return values;
}

// The first item after `key` ("NPTS=", "DT="), up to a blank or a comma.
std::string_view ItemAfter(std::string_view line, std::string_view upperLine,
                           std::string_view key) {
    const std::size_t at = upperLine.find(key);
    if (at == std::string_view::npos) return {};
    const std::vector<std::string_view> values = Values(line.substr(at + key.size()));
    return values.empty() ? std::string_view{} : values.front();
}

struct PointsAndStep {
    std::string_view points;
    std::string_view step;
};

// The number of points and the time step as written, in either layout.
PointsAndStep FindPointsAndStep(std::string_view line) {
    const std::string upper = Upper(line);
    if (upper.find("NPTS=") != std::string::npos) {
        return {ItemAfter(line, upper, "NPTS="), ItemAfter(line, upper, "DT=")};
    }
    const std::vector<std::string_view> values = Values(line);
    if (values.size() >= 2) return {values[0], values[1]};
    return {values.empty() ? std::string_view{} : values[0], {}};
}

// NPTS: digits only.
std::optional<long long> ParsePoints(std::string_view text) {
    long long points = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), points);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return points;
}

}  // namespace

WaveReadResult ReadAt2Record(std::istream& in, int maxSamples) {
    LineReader lines(in);
    std::string header[4];
    for (int i = 0; i < 4; ++i) {
        const LineReader::Status status = lines.Next(header[i]);
        if (status == LineReader::Status::End) {
            return Failed(ErrorAt(Kind::HeaderEnded, lines.Number() + 1, "", kHeaderNames[i]));
        }
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), header[i]));
        }
    }

    // Both layouts name NPTS on the fourth line; without it the values have begun early.
    if (Upper(header[3]).find("NPTS") == std::string::npos) {
        return Failed(ErrorAt(Kind::HeaderEnded, 4, header[3], kHeaderNames[3]));
    }
    if (!IsAccelerationInG(header[2])) {
        return Failed(ErrorAt(Kind::BadUnit, 3, Trim(header[2]), "g"));
    }
    const PointsAndStep written = FindPointsAndStep(header[3]);
    // The unit may follow the number without a blank: "DT=0.0050SEC".
    const std::optional<double> step = PositiveNumberWithUnit(written.step, "SEC");
    if (!step) return Failed(ErrorAt(Kind::BadSamplingRate, 4, written.step, "DT"));
    const std::optional<long long> points = ParsePoints(written.points);
    if (!points || *points < 1) {
        return Failed(ErrorAt(Kind::BadHeaderValue, 4, written.points, "NPTS"));
    }
    if (*points > maxSamples) {
        WaveError e = ErrorAt(Kind::RecordTooLong, 4);
        e.timeStep = *step;
        e.limit = maxSamples;
        return Failed(e);
    }

    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(*points));
    std::string line;
    while (static_cast<long long>(samples.size()) < *points) {
        const LineReader::Status status = lines.Next(line);
        if (status == LineReader::Status::End) {
            WaveError e = ErrorAt(Kind::TooFewValues, 0);
            e.found = static_cast<long long>(samples.size());
            e.expected = *points;
            return Failed(e);
        }
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), line));
        }
        for (const std::string_view item : Values(line)) {
            if (static_cast<long long>(samples.size()) == *points) break;
            const std::optional<double> g = StrictNumber(item);
            if (!g) return Failed(ErrorAt(Kind::MalformedItem, lines.Number(), item));
            const double acceleration = *g * kGravity;
            if (!std::isfinite(acceleration)) {
                return Failed(ErrorAt(Kind::ValueTooLarge, lines.Number(), item));
            }
            samples.push_back(acceleration);
        }
    }

    // The second line: "event, date, station, component" (older files: "event date,
    // station, component"); the station and the component are its last two fields.
    const std::vector<std::string_view> fields = SplitCommas(header[1]);
    RecordInfo info;
    info.format = "PEER NGA";
    if (fields.size() >= 2) {
        info.station = DisplayItem(fields[fields.size() - 2]);
        info.component = DisplayItem(fields.back());
    } else {
        info.station = DisplayItem(Trim(header[1]));
    }
    return FinishRecord(*step, std::move(samples), std::move(info));
}

}  // namespace kestrel
