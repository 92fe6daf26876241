#include "files/JmaCsvFormat.h"

#include <cmath>
#include <string>
#include <string_view>

#include "files/RecordText.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"

namespace kestrel {

namespace {

using Kind = WaveError::Kind;

// A header value and the line it stands on; line 0 while the header has not given it.
struct HeaderValue {
    std::string text;
    int line = 0;
};

// The items of a CSV line, without the empty ones that trailing commas leave (spreadsheet
// programs pad every line to the width of the widest).
std::vector<std::string_view> Items(std::string_view line) {
    std::vector<std::string_view> items = SplitCommas(line);
    while (items.size() > 1 && items.back().empty()) items.pop_back();
    return items;
}

// A line with nothing on it but blanks and commas.
bool IsEmptyRow(std::string_view line) {
    return line.find_first_not_of(" \t,") == std::string_view::npos;
}

// Whether the line names the columns: no "=", and at least one item that is a component
// name. A line of numbers means the data has begun without the names.
bool NamesColumns(const std::vector<std::string_view>& items) {
    for (const std::string_view item : items) {
        for (const RecordComponent c :
             {RecordComponent::NS, RecordComponent::EW, RecordComponent::UD}) {
            if (EqualsNoCase(item, ComponentName(c))) return true;
        }
    }
    return false;
}

// The station of the SITE CODE line: its code and, in newer files, its name after it,
// padded with blanks and followed by the site's position and more after a comma
// ("EA0米子市博労町（旧）        ,35.2733,133.3483,..."). The code is the leading run of
// ASCII characters (no byte of a CP932 or UTF-8 character is one); the result is the code
// and the name with one blank between.
std::string StationText(std::string_view written) {
    written = Trim(written.substr(0, written.find(',')));
    std::size_t codeEnd = 0;
    while (codeEnd < written.size() && written[codeEnd] > ' ' && written[codeEnd] < 0x7F) {
        ++codeEnd;
    }
    const std::string_view code = written.substr(0, codeEnd);
    const std::string_view name = Trim(written.substr(codeEnd));
    if (code.empty() || name.empty()) return DisplayItem(code.empty() ? name : code);
    return DisplayItem(code) + " " + DisplayItem(name);
}

}  // namespace

WaveReadResult ReadJmaCsvRecord(std::istream& in, std::optional<RecordComponent> component,
                                int maxSamples) {
    constexpr std::string_view kColumnsLabel = "NS,EW,UD";
    LineReader lines(in);
    std::string line;

    // The header: "KEY= value" lines up to the line naming the columns.
    HeaderValue station;
    HeaderValue rate;
    HeaderValue unit;
    std::vector<std::string> columns;
    for (;;) {
        const LineReader::Status status = lines.Next(line);
        if (status == LineReader::Status::End) {
            return Failed(ErrorAt(Kind::HeaderEnded, lines.Number() + 1, "", kColumnsLabel));
        }
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), line));
        }
        const std::string_view text = Trim(line);
        if (IsEmptyRow(text)) continue;
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos) {
            const std::string key = LabelKey(text.substr(0, equals));
            // "SAMPLING RATE= 100Hz,,,,,,,": the padding is no part of the value.
            std::string_view written = text.substr(equals + 1);
            written = written.substr(0, written.find_last_not_of(" \t,") + 1);
            const HeaderValue value{std::string(Trim(written)), lines.Number()};
            if (key == "sitecode") station = value;
            if (key == "samplingrate") rate = value;
            if (key == "unit") unit = value;
            continue;
        }
        const std::vector<std::string_view> items = Items(text);
        if (!NamesColumns(items)) {
            return Failed(ErrorAt(Kind::HeaderEnded, lines.Number(), text, kColumnsLabel));
        }
        columns.assign(items.begin(), items.end());
        break;
    }

    const std::optional<double> frequency = PositiveNumberWithUnit(rate.text, "Hz");
    const double timeStep = frequency ? 1.0 / *frequency : 0.0;
    if (!(std::isfinite(timeStep) && timeStep > 0)) {
        return Failed(ErrorAt(Kind::BadSamplingRate, rate.line, rate.text, "SAMPLING RATE"));
    }
    // The unit may be left out; when it is given it must be gal, "gal(cm/s/s)".
    if (unit.line != 0 && !StartsWithNoCase(unit.text, "gal")) {
        return Failed(ErrorAt(Kind::BadUnit, unit.line, unit.text, "gal"));
    }
    if (!component) return Failed(ErrorAt(Kind::ComponentNeeded, 0));

    const std::string_view name = ComponentName(*component);
    std::size_t column = columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (EqualsNoCase(columns[i], name)) column = i;
    }
    if (column == columns.size()) return Failed(ErrorAt(Kind::ComponentMissing, 0, name));

    std::vector<double> samples;
    for (;;) {
        const LineReader::Status status = lines.Next(line);
        if (status == LineReader::Status::End) break;
        if (status != LineReader::Status::Line) {
            return Failed(LineError(status, lines.Number(), line));
        }
        if (IsEmptyRow(line)) continue;
        const std::vector<std::string_view> items = Items(line);
        if (items.size() != columns.size()) {
            WaveError e = ErrorAt(Kind::RowLength, lines.Number());
            e.found = static_cast<long long>(items.size());
            e.expected = static_cast<long long>(columns.size());
            return Failed(e);
        }
        // Every value of the row is checked: a damaged row is a damaged record.
        double value = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::optional<double> number = StrictNumber(items[i]);
            if (!number) return Failed(ErrorAt(Kind::MalformedItem, lines.Number(), items[i]));
            if (i == column) value = *number;
        }
        if (samples.size() == static_cast<std::size_t>(maxSamples)) {
            WaveError e = ErrorAt(Kind::RecordTooLong, lines.Number());
            e.timeStep = timeStep;
            e.limit = maxSamples;
            return Failed(e);
        }
        samples.push_back(value);
    }

    // A raw record: the recorder's offset, the mean of the whole record, is removed.
    RecordInfo info;
    info.removedMean = RemoveMean(samples);
    info.format = TrNoop("気象庁");  // shown through Tr
    info.station = StationText(station.text);
    info.component = std::string(name);
    return FinishRecord(timeStep, std::move(samples), std::move(info));
}

}  // namespace kestrel
