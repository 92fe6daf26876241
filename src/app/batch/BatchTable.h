// The table command: one response per row of a parameter table, and a summary of them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace kestrel::batch {

// The file name of the summary in the output folder.
inline constexpr std::string_view kSummaryFileName = "summary.csv";

// Runs and saves every row of the table at paramsPath into outFolder (created when
// missing) and writes the summary there. Each failed row is reported on err and in the
// summary (whose words, as every file's, are Japanese in every language), and the other rows
// still run. Returns the exit status.
int RunTable(const std::string& paramsPath, const std::string& outFolder, std::ostream& err);

}  // namespace kestrel::batch
