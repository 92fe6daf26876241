#include "files/TableReader.h"

#include <cerrno>

#include "files/InputFile.h"
#include "files/RecordText.h"
#include "files/SystemErrorText.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

TableReadResult Failed(TableError error) {
    TableReadResult result;
    result.error = std::move(error);
    return result;
}

TableReadResult CannotRead(int systemError, Wording reason) {
    TableError error;
    error.reason = std::move(reason);
    error.systemError = systemError;
    return Failed(std::move(error));
}

}  // namespace

std::vector<CsvRow> ParseCsv(std::string_view text) {
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string field;
    bool quoted = false;   // inside a quoted field
    bool anyText = false;  // the record has a character other than its line end
    int line = 1;
    row.line = 1;
    const auto endRecord = [&] {
        row.fields.push_back(std::move(field));
        field.clear();
        if (anyText) rows.push_back(std::move(row));
        row = CsvRow{};
        anyText = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\n' || c == '\r';
        if (lineEnd) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += lineEnd ? '\n' : c;
            }
            continue;
        }
        if (lineEnd) {
            endRecord();
            row.line = line;
            continue;
        }
        anyText = true;
        if (c == ',') {
            row.fields.push_back(std::move(field));
            field.clear();
        } else if (c == '"' && Trim(field).empty()) {
            field.clear();
            quoted = true;
        } else {
            field += c;
        }
    }
    if (anyText || !field.empty()) {
        anyText = true;
        endRecord();
    }
    return rows;
}

std::optional<std::string> DecodeTableText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (IsUtf8(bytes)) return std::string(bytes);
    return Cp932ToUtf8(bytes);
}

TableReadResult ReadTableBytes(std::string_view bytes) {
    const std::optional<std::string> text = DecodeTableText(bytes);
    if (!text) {
        TableError error;
        error.kind = TableError::Kind::NotText;
        return Failed(std::move(error));
    }
    TableReadResult result;
    result.rows = ParseCsv(*text);
    return result;
}

TableReadResult ReadTableText(std::istream& in, std::size_t maxBytes) {
    std::string bytes;
    char block[65536];
    while (bytes.size() <= maxBytes && in.read(block, sizeof block).gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return CannotRead(0, {TrNoop("読み込みの途中でエラーが発生しました")});
    if (bytes.size() > maxBytes) {
        TableError error;
        error.kind = TableError::Kind::TooLarge;
        error.limit = maxBytes;
        return Failed(std::move(error));
    }
    return ReadTableBytes(bytes);
}

TableReadResult ReadTableFile(const std::string& path, std::size_t maxBytes) {
    InputFile file(path);
    if (const std::optional<int> error = file.openError()) {
        // A folder is named as any other thing that is no regular file.
        const int shown = *error == EISDIR ? kNotRegularFile : *error;
        return CannotRead(shown == kNotRegularFile ? 0 : shown, SystemErrorReason(shown));
    }
    TableReadResult result = ReadTableText(file.stream(), maxBytes);
    if (result.error && result.error->kind == TableError::Kind::CannotRead && file.readError()) {
        result.error->systemError = file.readError();
        result.error->reason = SystemErrorReason(file.readError());
    }
    return result;
}

FileMessage TableErrorMessage(const TableError& error, std::string_view path) {
    std::string prompt;
    switch (error.kind) {
        case TableError::Kind::CannotRead:
            prompt =
                Tr("ファイル「{1}」を読めませんでした。理由：{2}。", path, error.reason.Text());
            break;
        case TableError::Kind::TooLarge:
            prompt =
                Tr("ファイル「{1}」は大きすぎます。パラメータ表として読めるのは {2} "
                   "バイトまでです。",
                   path, std::to_string(error.limit));
            break;
        case TableError::Kind::NotText:
            prompt = Tr("ファイル「{1}」は UTF-8 でも CP932 でもありません。", path);
            break;
    }
    return FileMessage{Tr("パラメータ表の読み込みエラー"), prompt};
}

}  // namespace kestrel
