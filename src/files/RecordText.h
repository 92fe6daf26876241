// Helpers shared by the readers of the networks' records: lines of text with a length
// limit, trimming and splitting, case-blind comparisons, and the finishing touches of a
// record. Used inside src/files only.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/WaveFile.h"

namespace kestrel {

// No line of a record is longer than this; a longer one means the file is not text, and
// reading stops there instead of gathering a whole binary file into one line.
inline constexpr std::size_t kMaxRecordLineLength = 1000;

// The lines of a stream one at a time, without their ends (LF, CR LF or a lone CR). A
// UTF-8 byte-order mark at the very start is skipped.
class LineReader {
public:
    enum class Status {
        Line,     // `line` holds the next line
        End,      // no more lines
        TooLong,  // the line goes on past kMaxRecordLineLength; `line` holds its start
        Failed,   // reading failed (the stream's badbit)
    };

    explicit LineReader(std::istream& in);
    Status Next(std::string& line);
    // The 1-based number of the line Next gave last.
    int Number() const { return number_; }

private:
    std::istream& in_;
    int number_ = 0;
    bool atStart_ = true;
};

// The text without the blanks (spaces and tabs) at both ends.
std::string_view Trim(std::string_view text);

// The items of the text between the separators, each trimmed. Blank-separated splitting
// drops empty items; comma-separated splitting keeps them.
std::vector<std::string_view> SplitBlanks(std::string_view text);
std::vector<std::string_view> SplitCommas(std::string_view text);

// Whether the text starts with the prefix, letters compared without their case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EqualsNoCase(std::string_view a, std::string_view b);

// The text in lower case with every blank removed: "Max. Acc. (gal)" -> "max.acc.(gal)".
std::string LabelKey(std::string_view text);

// A piece of the file made readable in a message: UTF-8 as it stands, CP932 converted,
// anything else (control characters, broken bytes) as \xNN. A long piece is cut short, at
// a character boundary when it is text.
std::string DisplayItem(std::string_view bytes);

// A finite positive rate or step written as a number, optionally followed by a unit such
// as "Hz" or "SEC" (compared without case); no value otherwise.
std::optional<double> PositiveNumberWithUnit(std::string_view text, std::string_view unit);

// A result that carries only the error.
WaveReadResult Failed(WaveError error);
// An error at a line; the detail is cut to kMaxWaveItemLength bytes.
WaveError ErrorAt(WaveError::Kind kind, int line, std::string_view detail = {},
                  std::string_view label = {});
// The error for a line the LineReader could not give: too long, or a failed read.
WaveError LineError(LineReader::Status status, int line, std::string_view start);

// Subtracts the mean of the samples from each and returns it (0 for no samples). The sum
// is compensated, so that the mean of a long record is as close as a double can hold.
double RemoveMean(std::vector<double>& samples);

// Completes a record that has its samples: the count and the peak of the info. A sample
// that is not finite (a conversion that overflowed) gives ValueTooLarge instead.
WaveReadResult FinishRecord(double timeStep, std::vector<double> samples, RecordInfo info);

}  // namespace kestrel
