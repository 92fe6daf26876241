#include "app/batch/BatchTable.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "app/batch/BatchRun.h"
#include "files/SystemErrorText.h"
#include "files/TableReader.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "runtime/Paths.h"
#include "runtime/TextEncoding.h"
#include "study/StudyFiles.h"

namespace kestrel::batch {

namespace {

std::string QuotedItem(std::string_view utf8) {
    return QuotedCp932Item(utf8);
}

constexpr std::string_view kSummaryHeader[] = {
    "基本名",
    "建物固有周期(s)",
    "入力加速度の最大値(cm/s2)",
    "応答加速度の最大値(cm/s2)",
    "応答速度の最大値(cm/s)",
    "応答変位の最大値(cm)",
    "エラー",
};

constexpr std::string_view kLineEnd = "\r\n";

// Rows in hand at once.
constexpr std::size_t kTableWorkers = 8;

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// The length of the control character (C0, DEL, or C1 in UTF-8) at the start of the
// text, or 0.
std::size_t ControlLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(0) < 0x20 || byte(0) == 0x7F) return 1;
    if (byte(0) == 0xC2 && text.size() > 1 && byte(1) >= 0x80 && byte(1) <= 0x9F) return 2;
    return 0;
}

// The base name as messages and the summary show it: a control character as \xNN, so
// that a line break cannot split a line of either.
std::string ShownBase(std::string_view base) {
    std::string shown;
    while (!base.empty()) {
        const std::size_t n = std::max<std::size_t>(ControlLength(base), 1);
        if (ControlLength(base) == 0) {
            shown += base.front();
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                constexpr char kHex[] = "0123456789ABCDEF";
                const auto b = static_cast<unsigned char>(base[i]);
                shown += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
            }
        }
        base.remove_prefix(n);
    }
    return shown;
}

// Why a base name cannot name its row's files, or "" when it can. "." and ".." name no
// file of their own (the files would be hidden ones), and a control character makes a
// name that cannot be typed or listed plainly.
std::string BaseNameProblem(std::string_view base) {
    if (base == "." || base == "..") {
        return Tr("基本名「{1}」は使えません（ファイル名にならない名前です）。", base);
    }
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (ControlLength(base.substr(i)) != 0) {
            return Tr("基本名「{1}」に改行やタブなどの制御文字があります。", ShownBase(base));
        }
    }
    return {};
}

bool IsTableColumn(std::string_view name) {
    return name == "base" || TakesOption(Command::Response, name);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

// One row of the table as a run, and what became of it.
struct RowRun {
    int line = 0;
    std::string base;
    OptionValues options;
    std::optional<Problem> problem;
    std::vector<std::string> warnings;  // options the run does not use
    std::array<double, 5> results{};    // natural period and the four peaks
};

// Runs and saves the rows that have no problem yet. The rows are independent, and most
// of a row's time is spent waiting for its files to reach the disk, so several rows are
// in hand at once; each row's run is its own.
void RunRows(std::vector<RowRun>& runs, const std::string& outFolder) {
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < runs.size(); i = next++) {
            RowRun& run = runs[i];
            if (run.problem) continue;
            RunRequest request;
            RunOutcome outcome;
            run.problem = ReadRunRequest(run.options, request);
            if (!run.problem) run.problem = PerformRun(request, outcome);
            run.warnings = std::move(request.warnings);
            if (!run.problem) run.problem = SaveRun(outFolder, run.base, request, outcome);
            if (!run.problem) run.results = RunFigures(outcome);
        }
    };
    const std::size_t count = std::min<std::size_t>(kTableWorkers, runs.size());
    std::vector<std::jthread> workers;
    for (std::size_t w = 1; w < count; ++w) workers.emplace_back(work);
    work();
}

}  // namespace

int RunTable(const std::string& paramsPath, const std::string& outFolder, std::ostream& err) {
    const TableReadResult table = ReadTableFile(paramsPath);
    if (!table.ok()) {
        const FileMessage m = TableErrorMessage(*table.error, paramsPath);
        Report(err, MessageLine(m.title, m.prompt));
        return kExitFailure;
    }
    const std::vector<CsvRow>& rows = table.rows;
    if (rows.empty()) {
        Report(err, Tr("ファイル「{1}」に見出しの行がありません。", paramsPath));
        return kExitUsage;
    }

    // The header: the option names without dashes, each once, "base" among them.
    std::vector<std::string> columns;
    for (const std::string& cell : rows.front().fields) {
        const std::string name = Trimmed(cell);
        if (!IsTableColumn(name)) {
            Report(err, Tr("ファイル「{1}」の見出し「{2}」は使えません。base とオプションの名前"
                           "（stiffness など）を並べてください。",
                           paramsPath, name));
            return kExitUsage;
        }
        if (std::find(columns.begin(), columns.end(), name) != columns.end()) {
            Report(err, Tr("ファイル「{1}」の見出し「{2}」が 2 つあります。", paramsPath, name));
            return kExitUsage;
        }
        columns.push_back(name);
    }
    if (std::find(columns.begin(), columns.end(), "base") == columns.end()) {
        Report(err, Tr("ファイル「{1}」の見出しに base（基本名）がありません。", paramsPath));
        return kExitUsage;
    }

    std::error_code made;
    std::filesystem::create_directories(outFolder, made);
    if (made) {
        Report(err, MessageLine(Tr("データの保存"),
                                Tr("フォルダー「{1}」を作れませんでした。理由：{2}。", outFolder,
                                   SystemErrorText(made.value()))));
        return kExitFailure;
    }

    std::string summary;
    for (const std::string_view title : kSummaryHeader) {
        if (!summary.empty()) summary += ',';
        summary += QuotedItem(title);
    }
    summary += kLineEnd;

    // The rows as runs to make; a row that cannot be one carries its problem already.
    const std::string waveFolder = FolderOf(paramsPath);
    std::vector<RowRun> runs;
    std::map<std::string, int> baseLines;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        RowRun& run = runs.emplace_back();
        run.line = row.line;
        if (row.fields.size() > columns.size()) {
            run.problem =
                Problem{kExitFailure, [] { return Tr("見出しより多くの項目があります。"); }};
        }
        for (std::size_t c = 0; c < columns.size() && c < row.fields.size(); ++c) {
            std::string cell = Trimmed(row.fields[c]);
            if (cell.empty()) continue;  // the default
            if (columns[c] == "base") {
                run.base = std::move(cell);
                continue;
            }
            if (columns[c] == "wave" && !cell.starts_with("/")) cell = JoinPath(waveFolder, cell);
            run.options[columns[c]] = std::move(cell);
        }
        if (!run.problem && run.base.empty()) {
            run.problem = Problem{kExitFailure, [] { return Tr("基本名（base）がありません。"); }};
        }
        if (!run.problem) {
            if (!BaseNameProblem(run.base).empty()) {
                run.problem =
                    Problem{kExitFailure, [base = run.base] { return BaseNameProblem(base); }};
            }
        }
        if (!run.problem) {
            const auto [earlier, fresh] = baseLines.emplace(run.base, row.line);
            if (!fresh) {
                run.problem = Problem{kExitFailure, [base = run.base, line = earlier->second] {
                                          return Tr("基本名「{1}」は {2} 行目と同じです。", base,
                                                    std::to_string(line));
                                      }};
            }
        }
    }
    RunRows(runs, outFolder);

    bool anyFailed = false;
    for (const RowRun& run : runs) {
        const std::string shownBase = ShownBase(run.base);
        const std::string line = std::to_string(run.line);
        const std::string row =
            (run.base.empty()
                 ? Tr("ファイル「{1}」の {2} 行目", paramsPath, line)
                 : Tr("ファイル「{1}」の {2} 行目（{3}）", paramsPath, line, shownBase)) +
            ": ";
        for (const std::string& warning : run.warnings) {
            Report(err, row + Tr("注意: {1}", warning));
        }
        summary += QuotedItem(shownBase);
        if (run.problem) {
            anyFailed = true;
            Report(err, row + run.problem->message());
            // The summary is a file: its words are the same in every language.
            const LanguageScope files(kFileLanguage);
            summary += ",,,,,," + QuotedItem(run.problem->message());
        } else {
            for (const double v : run.results) {
                summary += ',';
                summary += NumberText(v);
            }
            summary += ',';
        }
        summary += kLineEnd;
    }

    const std::string summaryPath = JoinPath(outFolder, std::string(kSummaryFileName));
    if (const std::optional<SaveError> e = WriteWholeFile(summaryPath, summary)) {
        Report(err, MessageLine(Tr("データの保存"), StudySaveErrorMessage(*e)));
        return kExitFailure;
    }
    return anyFailed ? kExitFailure : kExitOk;
}

}  // namespace kestrel::batch
