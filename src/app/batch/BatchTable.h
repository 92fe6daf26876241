// The table command: one response per row of a parameter table, and a summary of them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::batch {

// One record of a CSV text: its fields, unquoted, and the line it starts on.
struct CsvRow {
    int line = 0;
    std::vector<std::string> fields;
};

// The records of a CSV text: fields separated by ",", optionally in double quotes (a
// doubled quote inside stands for one, a quoted field may hold line ends); lines end
// with CR LF, LF or CR. Lines with no text at all are left out.
std::vector<CsvRow> ParseCsv(std::string_view text);

// A parameter file's text as UTF-8: a leading UTF-8 byte-order mark is dropped; valid
// UTF-8 stays as it is, anything else is read as CP932. False when it is neither.
bool DecodeTableText(std::string_view bytes, std::string& utf8);

// The file name of the summary in the output folder.
inline constexpr std::string_view kSummaryFileName = "summary.csv";

// Runs and saves every row of the table at paramsPath into outFolder (created when
// missing) and writes the summary there. Each failed row is reported on err and in the
// summary, and the other rows still run. Returns the exit status.
int RunTable(const std::string& paramsPath, const std::string& outFolder, std::ostream& err);

}  // namespace kestrel::batch
