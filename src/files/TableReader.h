// The parameter table that kestrel-batch runs row by row: a CSV text in UTF-8 or CP932
// (Shift_JIS as spreadsheet programs save it), read whole into rows of fields.
//
// Reading never shows anything: it gives either the rows or a TableError, and
// TableErrorMessage turns the error into the message the command line shows.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/WaveFile.h"

namespace kestrel {

// The largest table read: far more rows than any class runs (each row is a whole run and
// two files), and a bound on the memory a file chosen by mistake takes.
inline constexpr std::size_t kMaxTableBytes = std::size_t{64} << 20;

// One record of a CSV text: its fields, unquoted, and the line it starts on.
struct CsvRow {
    int line = 0;
    std::vector<std::string> fields;
};

struct TableError {
    enum class Kind {
        CannotRead,  // not opened (missing, a folder, a pipe...) or reading failed part way
        TooLarge,    // more than `limit` bytes
        NotText,     // neither UTF-8 nor CP932
    };
    Kind kind = Kind::CannotRead;
    Wording reason;       // CannotRead: why, without a closing "。" or "."
    int systemError = 0;  // errno behind CannotRead, when there is one
    std::size_t limit = kMaxTableBytes;
};

struct TableReadResult {
    std::vector<CsvRow> rows;  // the records, when there is no error
    std::optional<TableError> error;

    bool ok() const { return !error.has_value(); }
};

// The records of a CSV text: fields separated by ",", optionally in double quotes (a
// doubled quote inside stands for one, a quoted field may hold line ends, each kept as
// LF); lines end with CR LF, LF or CR. Lines with no text at all are left out. Text
// before an opening quote that is only blanks is dropped; text after a closing quote is
// kept (` "a" b` gives `a b`).
std::vector<CsvRow> ParseCsv(std::string_view text);

// A table's bytes as UTF-8 text: a leading UTF-8 byte-order mark is dropped; valid UTF-8
// stays as it is, anything else is read as CP932. No value when it is neither.
std::optional<std::string> DecodeTableText(std::string_view bytes);

// Reads a table from bytes in memory, a stream (at most maxBytes of it) or a file.
TableReadResult ReadTableBytes(std::string_view bytes);
TableReadResult ReadTableText(std::istream& in, std::size_t maxBytes = kMaxTableBytes);
TableReadResult ReadTableFile(const std::string& path, std::size_t maxBytes = kMaxTableBytes);

// The message for a table that could not be read; the path is the one that was read.
FileMessage TableErrorMessage(const TableError& error, std::string_view path);

}  // namespace kestrel
