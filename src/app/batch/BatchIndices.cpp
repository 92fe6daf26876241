#include "app/batch/BatchIndices.h"

#include <filesystem>
#include <sstream>

#include "app/batch/BatchRun.h"
#include "files/ComponentSet.h"
#include "runtime/Catalogue.h"
#include "study/GroundMotionIndices.h"
#include "study/IndicesFiles.h"
#include "study/StudyFiles.h"

namespace kestrel::batch {

namespace {

// Whether the file is one already read: the same file under any of its names.
bool AlreadyRead(const std::vector<std::string>& read, const std::string& path) {
    for (const std::string& earlier : read) {
        if (earlier == path) return true;
        std::error_code error;
        if (std::filesystem::equivalent(earlier, path, error) && !error) return true;
    }
    return false;
}

}  // namespace

int RunIndices(const Invocation& invocation, std::ostream& err) {
    const auto it = invocation.options.find("low-cut");
    const auto lowCut =
        ParseLowCut(it != invocation.options.end() ? it->second : kDefaultLowCutText);
    if (!lowCut) {
        const std::string message =
            MessageLine(Tr("オプション「{1}」", "--low-cut"), lowCut.error().message);
        return Fail(err, {kExitUsage, [message] { return message; }});
    }
    const std::vector<std::string>& operands = invocation.operands;
    const std::string& outPath = operands.back();

    std::vector<std::string> read;
    std::vector<IndicesRow> rows;
    bool failed = false;
    // The reason on standard error in the program's language, in the CSV in Japanese.
    auto fail = [&](const std::string& path, const std::function<std::string()>& reason) {
        Report(err, reason());
        const LanguageScope files(kFileLanguage);
        rows.push_back(FailedIndicesRow(path, reason()));
        failed = true;
    };
    for (std::size_t i = 0; i + 1 < operands.size(); ++i) {
        const std::string& path = operands[i];
        if (AlreadyRead(read, path)) continue;
        read.push_back(path);
        const ComponentSetRead set = ReadComponentSet(path);
        if (!set.ok()) {
            fail(path, WaveProblem(*set.error, path).message);
            continue;
        }
        for (const ComponentRecord& c : set.set.components) read.push_back(c.path);
        const std::vector<IndexComponent> components = IndexComponents(set.set);
        const auto indices = ComputeIndices(components, set.set.timeStep(), IndexOptions{*lowCut});
        if (!indices) {
            // The refusal is made in the language in force; the CSV's Japanese one, in
            // English, by computing it again (a failure only).
            fail(path, [&] {
                std::string why = indices.error().message;
                if (CurrentLanguage() != ProgramLanguage()) {
                    const auto again =
                        ComputeIndices(components, set.set.timeStep(), IndexOptions{*lowCut});
                    if (!again.ok()) why = again.error().message;
                }
                return MessageLine(Tr("地震波ファイル「{1}」", path), why);
            });
            continue;
        }
        // A component that is missing or does not fit is told; the record's other numbers
        // stand.
        for (const kestrel::ComponentProblem& p : set.set.problems) {
            if (p.kind != kestrel::ComponentProblem::Kind::SingleComponent) {
                Report(err, MessageLine(Tr("注意"), ComponentProblemText(p)));
            }
        }
        for (IndicesRow& row : IndicesRows(*indices, set.set, path)) rows.push_back(std::move(row));
    }

    std::ostringstream text;
    if (const auto e = WriteIndicesCsv(text, rows)) {
        const std::string message = MessageLine(Tr("データの保存"), e->message);
        return Fail(err, {kExitFailure, [message] { return message; }});
    }
    if (const std::optional<SaveError> e = WriteWholeFile(outPath, text.str())) {
        const std::string message = MessageLine(Tr("データの保存"), StudySaveErrorMessage(*e));
        return Fail(err, {kExitFailure, [message] { return message; }});
    }
    return failed ? kExitFailure : kExitOk;
}

}  // namespace kestrel::batch
