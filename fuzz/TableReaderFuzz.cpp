// Arbitrary bytes as a parameter table: the reader must never crash and give either rows
// of UTF-8 fields or an error whose message can be shown. The rows must come back the
// same when written out again as quoted CSV and read once more, and reading through a
// stream must give what reading the bytes gives.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "files/TableReader.h"
#include "runtime/TextEncoding.h"

namespace {

using kestrel::CsvRow;
using kestrel::TableReadResult;
using kestrel::fuzz::Require;

// Every field quoted, a doubled quote for each quote, CR LF after each record.
std::string QuotedCsv(const std::vector<CsvRow>& rows) {
    std::string text;
    for (const CsvRow& row : rows) {
        for (std::size_t i = 0; i < row.fields.size(); ++i) {
            if (i > 0) text += ',';
            text += '"';
            for (const char c : row.fields[i]) text += c == '"' ? "\"\"" : std::string(1, c);
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TableReadResult r = kestrel::ReadTableBytes(bytes);

    std::istringstream in{std::string(bytes)};
    const TableReadResult streamed = kestrel::ReadTableText(in);
    Require(streamed.ok() == r.ok() && streamed.rows.size() == r.rows.size());

    if (!r.ok()) {
        Require(r.error->kind == kestrel::TableError::Kind::NotText);
        const kestrel::FileMessage m = kestrel::TableErrorMessage(*r.error, "p.csv");
        Require(!m.title.empty() && !m.prompt.empty());
        return 0;
    }
    int line = 0;
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const CsvRow& row = r.rows[i];
        Require(row.line > line && !row.fields.empty());
        Require(row.fields == streamed.rows[i].fields && row.line == streamed.rows[i].line);
        line = row.line;
        for (const std::string& field : row.fields) {
            Require(kestrel::IsUtf8(field) && field.find('\r') == std::string::npos);
        }
    }
    const std::vector<CsvRow> again = kestrel::ParseCsv(QuotedCsv(r.rows));
    Require(again.size() == r.rows.size());
    for (std::size_t i = 0; i < again.size(); ++i) Require(again[i].fields == r.rows[i].fields);
    return 0;
}
