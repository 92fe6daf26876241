// The ground-motion wave file. The plain layout is a text file of numbers, the first the
// time step in seconds, the rest the ground accelerations in cm/s^2, one per line or
// separated by commas. The strong-motion records that students download from the
// observation networks are read too, recognised by their content whatever their name:
// K-NET and KiK-net ASCII, JMA CSV and PEER NGA AT2. Each gives the same WaveRecord: the
// time step and the accelerations in cm/s^2.
//
// Reading never shows anything: it gives either the record or a WaveError, and
// WaveErrorMessage turns the error into the message the window shows.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/WaveRecord.h"
#include "runtime/Catalogue.h"

namespace kestrel {

// The most numbers a wave file can hold: the time step and 32,765 samples. A run on a
// file of N numbers has N + 1 points, and the number of points is a 16-bit count.
inline constexpr int kMaxWaveNumbers = 32766;
// The most samples of a record: every number of a plain file but its time step.
inline constexpr int kMaxRecordSamples = kMaxWaveNumbers - 1;
// The most samples a study of a record (its spectra) reads. A spectrum has no count of
// points to keep within; this only bounds the memory a record takes (80 MB).
inline constexpr int kMaxStudySamples = 10'000'000;

// An item longer than this cannot be a number the program writes or reads; reading stops
// there instead of gathering a whole binary file into one item.
inline constexpr std::size_t kMaxWaveItemLength = 100;

// The three directions of a JMA CSV record, one column each. The other formats hold a
// single direction per file.
enum class RecordComponent { NS, EW, UD };

// "NS", "EW" or "UD": the column name in the file and the caption of the choice.
std::string_view ComponentName(RecordComponent component);

struct WaveError {
    enum class Kind {
        CannotOpen,           // missing, a folder, not permitted, not a regular file
        CannotRead,           // opened, but reading it failed part way
        NoNumber,             // empty, or only blanks and blank lines; a record without values
        MalformedItem,        // an item that is not a number, an empty item, a line too long
        TooManyNumbers,       // more than `limit` + 1 numbers (plain file)
        NonPositiveTimeStep,  // the first number is 0 or negative (plain file)
        // Records of the observation networks:
        HeaderEnded,       // the header stops before the line `label`
        BadSamplingRate,   // sampling rate or time step (`label`) missing, 0, negative
        BadScaleFactor,    // no numerator, no denominator, or a zero one
        BadHeaderValue,    // another header value (`label`) that cannot be read
        BadUnit,           // not an acceleration in the unit `label`
        BadCount,          // a count that is not an integer
        ValueTooLarge,     // a value whose conversion to cm/s^2 overflows
        TooFewValues,      // fewer values than the header announces (`found`, `expected`)
        RowLength,         // a CSV row with `found` values where there are `expected` columns
        RecordTooLong,     // more than `limit` samples at `timeStep`
        ComponentNeeded,   // a JMA CSV record, read without saying which component
        ComponentMissing,  // the component `detail` has no column in the file
    };
    Kind kind = Kind::NoNumber;
    int line = 0;         // 1-based line of the item or header value; 0 when none applies
    std::string detail;   // the item or value as written (bytes of the file)
    Wording reason;       // why the file could not be opened or read (CannotOpen, CannotRead)
    int systemError = 0;  // errno behind CannotOpen or CannotRead, when there is one
    std::string label;    // the header label or unit concerned, as the format names it
    long long found = 0;  // TooFewValues, RowLength
    long long expected = 0;
    double timeStep = 0;                  // RecordTooLong: the record's time step, s
    long long limit = kMaxRecordSamples;  // TooManyNumbers, RecordTooLong: the most samples
};

// What was read from a network's record, for the message that tells the user.
struct RecordInfo {
    std::string format;     // "K-NET", "KiK-net", "気象庁", "PEER NGA"
    std::string station;    // UTF-8; empty when the file names none
    std::string component;  // UTF-8, as the file names it ("N-S", "NS", "180"...)
    int sampleCount = 0;
    double peak = 0;  // largest absolute acceleration after conversion, cm/s^2
    // The mean of the whole record, cm/s^2, subtracted from every sample. The networks'
    // raw records (K-NET, KiK-net, JMA CSV) carry the recorder's offset and lose it; a
    // processed record (PEER NGA) is used as written and has none.
    std::optional<double> removedMean;
};

struct WaveReadResult {
    WaveRecord record;               // the file's content, when there is no error
    std::optional<RecordInfo> info;  // a network's record; none for a plain file
    std::optional<WaveError> error;  // why nothing was read
    bool componentRead = false;      // a record of several components: the one asked for

    bool ok() const { return !error.has_value(); }
    // A JMA CSV record read without a component: read it again naming one.
    bool needsComponent() const { return error && error->kind == WaveError::Kind::ComponentNeeded; }
};

// Reads the wave file at the path. The component is used by JMA CSV records only. A
// record of more than maxSamples samples is refused (a run takes kMaxRecordSamples).
WaveReadResult ReadWaveFile(const std::string& path,
                            std::optional<RecordComponent> component = std::nullopt,
                            int maxSamples = kMaxRecordSamples);

// Reads a wave file's content from a stream or from bytes in memory. These are the one
// entry point of every format: they look at the start of the content and pass it to the
// reader of its format; anything not recognised is read as the plain list of numbers.
WaveReadResult ReadWaveText(std::istream& in,
                            std::optional<RecordComponent> component = std::nullopt,
                            int maxSamples = kMaxRecordSamples);
WaveReadResult ReadWaveBytes(std::string_view bytes,
                             std::optional<RecordComponent> component = std::nullopt,
                             int maxSamples = kMaxRecordSamples);

// A message box's title and prompt, UTF-8.
struct FileMessage {
    std::string title;
    std::string prompt;
};

// The message for a wave file that could not be read; the path is the one that was read.
FileMessage WaveErrorMessage(const WaveError& error, std::string_view path);

// The message that names what was read from a network's record: format, station,
// component, number of samples and peak acceleration, then whether the record's mean was
// removed (and how much) or its values are used as written.
FileMessage RecordInfoMessage(const RecordInfo& info);

}  // namespace kestrel
