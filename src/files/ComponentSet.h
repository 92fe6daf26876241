// The three directions of one recorded ground motion, gathered from one file the user
// chose. A JMA CSV record holds them as its three columns. K-NET and KiK-net write one
// direction per file, the files of one station and time side by side in a folder and named
// alike (MYG0041103111446.NS / .EW / .UD; KiK-net .NS1/.EW1/.UD1 for the sensor in the
// borehole, .NS2/.EW2/.UD2 for the one at the surface, never mixed): the other two are
// found by name, letters compared without their case, and confirmed by their headers
// (station code, record time, sampling rate). A PEER NGA AT2 record or a plain wave file
// holds one direction; the user may name the other two files by hand.
//
// Every file is read as the wave chooser reads it (ReadWaveFile). Nothing is shown: what
// is missing or does not fit comes back as problems, each naming its file and the reason,
// and the directions that could be read are kept.
#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/WaveFile.h"

namespace kestrel {

// One direction of the record and the file it was read from.
struct ComponentRecord {
    RecordComponent direction = RecordComponent::NS;
    // False when nothing says which direction the file holds (a PEER NGA AT2 record, a
    // plain wave file, a network's file under a name of its own); `direction` is then NS.
    bool directionKnown = true;
    std::string path;
    WaveRecord record;
    std::optional<RecordInfo> info;
};

// Why a direction of the record is not there.
struct ComponentProblem {
    enum class Kind {
        SingleComponent,    // the file's format holds one direction (AT2, plain wave file)
        NameNotRecognised,  // a K-NET/KiK-net file whose name does not end in .NS, .EW, .UD
                            // (or .NS1 ... .UD2): its siblings cannot be found by name
        SiblingMissing,     // no file of the sibling's name in the folder
        SiblingAmbiguous,   // several files whose names differ only in case (`found` lists them)
        Unreadable,         // the file could not be read (`readError`)
        OtherFormat,        // the file holds another format than the chosen one (`found`)
        NotSameRecord,      // the header value `label` differs (`found` here, `expected` there)
        RateDiffers,        // another sampling rate or time step (`found`, `expected`: the
                            // header's items, or seconds as bare numbers when `label` is
                            // "時間刻み")
        LengthDiffers,      // another number of samples (`found`, `expected`, bare numbers)
        ColumnMissing,      // a JMA CSV record without this direction's column
        NotNamed,           // no file named by hand for this direction
    };
    Kind kind = Kind::SingleComponent;
    std::string path;                          // the file concerned
    std::optional<RecordComponent> direction;  // the direction concerned, when one is
    std::optional<WaveError> readError;        // Unreadable
    std::string label;
    std::string found;
    std::string expected;
};

struct ComponentSet {
    // The directions that were read and fit together, in the order NS, EW, UD; all of the
    // same time step and length.
    std::vector<ComponentRecord> components;
    // The index in `components` of the file the user chose (or named first by hand).
    std::size_t chosen = 0;
    // Why any direction is not there; empty exactly when all three are.
    std::vector<ComponentProblem> problems;

    bool complete() const { return components.size() == 3 && problems.empty(); }
    double timeStep() const {
        return components.empty() ? 0.0 : components[chosen].record.timeStep;
    }
};

struct ComponentSetRead {
    ComponentSet set;                // when there is no error
    std::optional<WaveError> error;  // the chosen file itself could not be read
    bool ok() const { return !error.has_value(); }
};

// The record of the chosen file and, where its format or its name tells, its other two
// directions.
ComponentSetRead ReadComponentSet(const std::string& path);

// Directions named by hand: the file for NS, EW and UD in that order, an empty path for
// one not named. Each is read as the wave chooser reads it (a JMA CSV file gives the
// column of its direction); the one at `reference` (when it is named; otherwise the first
// one named) is the reference the others must fit (time step and length) and `chosen`. An
// error only when no file is named or the reference cannot be read.
ComponentSetRead ReadChosenComponents(const std::array<std::string, 3>& paths,
                                      std::optional<std::size_t> reference = std::nullopt);

// The values of a K-NET/KiK-net header that say which recording a file belongs to, as
// written (blanks at the ends trimmed).
struct NetworkRecordHeader {
    std::string stationCode;
    std::string recordTime;
    std::string samplingFrequency;
};

// Reads the header lines of a K-NET/KiK-net file (labels matched as the record reader
// matches them). No value when the stream does not start with such a header.
std::optional<NetworkRecordHeader> ReadNetworkRecordHeader(std::istream& in);

// The names of the three files of one K-NET/KiK-net recording, as found from the name of
// one of them: the extension's letters with the same case as the given name's. No value
// for a name that does not end in one of .NS .EW .UD .NS1 .EW1 .UD1 .NS2 .EW2 .UD2.
struct SiblingNames {
    std::array<std::string, 3> names;                 // NS, EW, UD
    RecordComponent direction = RecordComponent::NS;  // the given name's
};
std::optional<SiblingNames> NetworkSiblingNames(std::string_view fileName);

// The reason in the current language, naming the file, for the tab's notice and the command line's
// row.
std::string ComponentProblemText(const ComponentProblem& problem);

}  // namespace kestrel
