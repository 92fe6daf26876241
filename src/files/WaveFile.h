// The ground-motion wave file: a text file of numbers, the first the time step in seconds,
// the rest the ground accelerations in cm/s^2, one per line or separated by commas.
//
// Reading never shows anything: it gives either the record or a WaveError, and
// WaveErrorMessage turns the error into the message the window shows.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/WaveRecord.h"

namespace kestrel {

// The most numbers a wave file can hold: the time step and 32,765 samples. A run on a
// file of N numbers has N + 1 points, and the number of points is a 16-bit count.
inline constexpr int kMaxWaveNumbers = 32766;

// An item longer than this cannot be a number the program writes or reads; reading stops
// there instead of gathering a whole binary file into one item.
inline constexpr std::size_t kMaxWaveItemLength = 100;

struct WaveError {
    enum class Kind {
        CannotOpen,           // missing, a folder, not permitted, not a regular file
        CannotRead,           // opened, but reading it failed part way
        NoNumber,             // empty, or only blanks and blank lines
        MalformedItem,        // an item that is not a number, or an empty item
        TooManyNumbers,       // more than kMaxWaveNumbers numbers
        NonPositiveTimeStep,  // the first number is 0 or negative
    };
    Kind kind = Kind::NoNumber;
    int line = 0;         // 1-based line of the item (MalformedItem, TooManyNumbers,
                          // NonPositiveTimeStep); 0 otherwise
    std::string detail;   // the item as written (bytes of the file), or the reason in
                          // Japanese (CannotOpen, CannotRead)
    int systemError = 0;  // errno behind CannotOpen or CannotRead, when there is one
};

struct WaveReadResult {
    WaveRecord record;               // the file's content, when there is no error
    std::optional<WaveError> error;  // why nothing was read

    bool ok() const { return !error.has_value(); }
};

// Reads the wave file at the path.
WaveReadResult ReadWaveFile(const std::string& path);

// Reads a wave file's content from a stream or from bytes in memory. These are the one
// entry point of every format: they look at the content and pass it to the reader of its
// format (today the plain list of numbers).
WaveReadResult ReadWaveText(std::istream& in);
WaveReadResult ReadWaveBytes(std::string_view bytes);

// A message box's title and prompt, UTF-8.
struct FileMessage {
    std::string title;
    std::string prompt;
};

// The message for a wave file that could not be read; the path is the one that was read.
FileMessage WaveErrorMessage(const WaveError& error, std::string_view path);

}  // namespace kestrel
