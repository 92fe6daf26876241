#include "app/batch/BatchCommands.h"

#include "app/batch/BatchIndices.h"
#include "app/batch/BatchOptions.h"
#include "app/batch/BatchRun.h"
#include "app/batch/BatchStudy.h"
#include "app/batch/BatchTable.h"
#include "runtime/Catalogue.h"
#include "runtime/Version.h"

namespace kestrel::batch {

namespace {

int Response(const Invocation& invocation, std::ostream& err) {
    // BASE may hold a folder: "out/kekka" writes into out.
    const std::string& target = invocation.operands[0];
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string()
                               : slash == 0               ? std::string("/")
                                                          : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        return Fail(err,
                    {kExitUsage, [&] {
                         return Tr(
                             "保存先が選択されていません（BASE「{1}」にファイル名がありません）。",
                             target);
                     }});
    }
    RunRequest request;
    if (auto problem = ReadRunRequest(invocation.options, request)) return Fail(err, *problem);
    RunOutcome run;
    const std::optional<Problem> failed = PerformRun(request, run);
    ReportWarnings(err, request.warnings);
    if (failed) return Fail(err, *failed);
    if (auto problem = SaveRun(folder, base, request, run)) return Fail(err, *problem);
    return kExitOk;
}

int RunCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const LanguageArguments taken = TakeLanguageOption(args);
    if (!taken.error.empty()) return Fail(err, {kExitUsage, [&] { return taken.error; }});
    if (taken.language) SetProgramLanguage(*taken.language);
    const ParseResult parsed = ParseArguments(taken.rest);
    if (!parsed.invocation) return Fail(err, {kExitUsage, [&] { return parsed.error; }});
    const Invocation& invocation = *parsed.invocation;
    switch (invocation.command) {
        case Command::Help:
            out << HelpText();
            return kExitOk;
        case Command::Version:
            out << "kestrel-batch " << kVersion << '\n';
            return kExitOk;
        case Command::Response:
            return Response(invocation, err);
        case Command::Table:
            return RunTable(invocation.operands[0], invocation.operands[1], err);
        case Command::Spectrum:
            return RunSpectrum(invocation, err);
        case Command::Accuracy:
            return RunAccuracy(invocation, err);
        case Command::Indices:
            return RunIndices(invocation, err);
    }
    return kExitUsage;
}

}  // namespace

int RunBatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const int status = RunCommand(args, out, err);
    // Output that was asked for and did not arrive (a full disk, a closed pipe) is a
    // failure, not a success with nothing to show.
    out.flush();
    if (!out) {
        Report(err, Tr("標準出力に書き込めませんでした。"));
        return kExitFailure;
    }
    return status;
}

}  // namespace kestrel::batch
