// The parameter table reader: CSV records, the two encodings, and what it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <sstream>

#include "files/FileTestSupport.h"
#include "files/SystemErrorText.h"
#include "files/TableReader.h"

namespace kestrel {
namespace {

using Kind = TableError::Kind;
using Rows = std::vector<std::vector<std::string>>;

Rows Fields(const std::vector<CsvRow>& rows) {
    Rows fields;
    for (const CsvRow& row : rows) fields.push_back(row.fields);
    return fields;
}

std::vector<int> Lines(const std::vector<CsvRow>& rows) {
    std::vector<int> lines;
    for (const CsvRow& row : rows) lines.push_back(row.line);
    return lines;
}

TEST(TableReader, FieldsQuotesAndLineEnds) {
    const struct {
        std::string text;
        Rows rows;
        std::vector<int> lines;
    } cases[] = {
        {"a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}, {1, 2}},
        {"a,b\n\n,2\n", {{"a", "b"}, {"", "2"}}, {1, 3}},
        {"\"x,y\",\"say \"\"hi\"\"\"\r\"two\nlines\",3",
         {{"x,y", "say \"hi\""}, {"two\nlines", "3"}},
         {1, 2}},
        {"\"a\r\nb\"\r\nc", {{"a\nb"}, {"c"}}, {1, 3}},  // CR LF inside quotes is one line end
        {"a,\n", {{"a", ""}}, {1}},
        {"\"\"\n", {{""}}, {1}},                       // an empty quoted field is a record
        {"  \"q\" x,a\"b\n", {{"q x", "a\"b"}}, {1}},  // blanks before a quote go, text after stays
        {"\"open,\nend", {{"open,\nend"}}, {1}},       // a quote left open runs to the end
        {"\r\r\n\n", {}, {}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<CsvRow> rows = ParseCsv(c.text);
        EXPECT_EQ(Fields(rows), c.rows);
        EXPECT_EQ(Lines(rows), c.lines);
    }
}

TEST(TableReader, ReadsUtf8OrCp932WithinItsLimitAndRefusesTheRest) {
    const std::string utf8 = "base,stiffness\r\n剛性,300\r\n";
    const Rows table = {{"base", "stiffness"}, {"剛性", "300"}};
    const struct {
        std::string name;
        std::string bytes;
        std::size_t maxBytes;
        std::optional<Kind> error;
        Rows rows;
    } cases[] = {
        {"UTF-8", utf8, kMaxTableBytes, {}, table},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, kMaxTableBytes, {}, table},
        // 剛性 in CP932, as a spreadsheet program saves it.
        {"CP932", "base,stiffness\r\n\x8d\x84\x90\xab,300\r\n", kMaxTableBytes, {}, table},
        // Not UTF-8 (an overlong form), but two half-width katakana in CP932.
        {"CP932 katakana", "\xC0\xAF", kMaxTableBytes, {}, {{"ﾀｯ"}}},
        {"neither", "base\n\x82\xFF\n", kMaxTableBytes, Kind::NotText, {}},
        {"at the limit", "a,b\n", 4, {}, {{"a", "b"}}},
        {"one byte over", "a,b\n\n", 4, Kind::TooLarge, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.bytes);
        const TableReadResult r = ReadTableText(in, c.maxBytes);
        EXPECT_EQ(r.ok() ? std::nullopt : std::optional(r.error->kind), c.error);
        EXPECT_EQ(Fields(r.rows), c.rows);
        if (c.maxBytes == kMaxTableBytes) {
            EXPECT_EQ(Fields(ReadTableBytes(c.bytes).rows), c.rows);
        }
    }
    // An endless source stops one block past the limit; a failed read is no end of file.
    for (const bool failing : {false, true}) {
        test::EndlessBuffer source("base,mass\n", failing);
        std::istream in(&source);
        const TableReadResult r = ReadTableText(in, 1000);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, failing ? Kind::CannotRead : Kind::TooLarge);
        EXPECT_LE(source.taken, 1000 + 65536 + 10);
    }
}

TEST(TableReader, FilesThatCannotBeReadSayWhy) {
    const test::ScratchFolder folder;
    test::WriteBytes(folder / "p.csv", "base\nr\n");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    const std::string cannotRead = "」を読めませんでした。理由：";
    const struct {
        std::string path;
        std::size_t maxBytes;
        std::optional<int> systemError;
        std::string prompt;  // after ファイル「path
    } cases[] = {
        {folder / "p.csv", kMaxTableBytes, {}, ""},
        {folder / "missing.csv", kMaxTableBytes, ENOENT,
         cannotRead + "ファイルまたはフォルダーが見つかりません。"},
        {folder / "p.csv/q.csv", kMaxTableBytes, ENOTDIR,
         cannotRead + SystemErrorText(ENOTDIR) + "。"},
        {folder.path().string(), kMaxTableBytes, 0, cannotRead + "通常のファイルではありません。"},
        {folder / "pipe", kMaxTableBytes, 0, cannotRead + "通常のファイルではありません。"},
        {folder / "p.csv", 6, 0,
         "」は大きすぎます。パラメータ表として読めるのは 6 バイトまでです。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const TableReadResult r = ReadTableFile(c.path, c.maxBytes);
        ASSERT_EQ(r.ok(), !c.systemError.has_value());
        if (r.ok()) {
            EXPECT_EQ(Fields(r.rows), (Rows{{"base"}, {"r"}}));
            continue;
        }
        EXPECT_EQ(r.error->systemError, *c.systemError);
        const FileMessage m = TableErrorMessage(*r.error, c.path);
        EXPECT_EQ(m.title, "パラメータ表の読み込みエラー");
        EXPECT_EQ(m.prompt, "ファイル「" + c.path + c.prompt);
    }
    TableError notText;
    notText.kind = Kind::NotText;
    EXPECT_EQ(TableErrorMessage(notText, "p.csv").prompt,
              "ファイル「p.csv」は UTF-8 でも CP932 でもありません。");
}

}  // namespace
}  // namespace kestrel
