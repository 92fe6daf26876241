#include "app/batch/BatchStudy.h"

#include <sstream>

#include "app/batch/BatchRun.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/MethodComparison.h"
#include "study/ResponseSpectrum.h"
#include "study/StudyFiles.h"
#include "study/StudyInputs.h"

namespace kestrel::batch {

namespace {

std::string OptionOr(const OptionValues& options, std::string_view name,
                     std::string_view fallback) {
    const auto it = options.find(name);
    return std::string(it != options.end() ? std::string_view(it->second) : fallback);
}

// A refused option: the study's message, which names the box, after the option's name.
Problem OptionProblem(std::string_view option, const StudyError& error) {
    return Problem{kExitUsage, [option = std::string(option), message = error.message] {
                       return MessageLine(Tr("オプション「--{1}」", option), message);
                   }};
}

// Writes the CSV text whole or not at all.
std::optional<Problem> WriteCsv(const std::string& path, const std::ostringstream& text) {
    if (const std::optional<SaveError> e = WriteWholeFile(path, text.str())) {
        return Problem{kExitFailure, [error = *e] {
                           return MessageLine(Tr("データの保存"), StudySaveErrorMessage(error));
                       }};
    }
    return std::nullopt;
}

}  // namespace

int RunSpectrum(const Invocation& invocation, std::ostream& err) {
    const std::string& wavePath = invocation.operands[0];
    const std::string& outPath = invocation.operands[1];
    const auto dampings =
        ParseDampingList(OptionOr(invocation.options, "damping", kDefaultSpectrumDamping));
    if (!dampings) return Fail(err, OptionProblem("damping", dampings.error()));
    const auto range =
        ParsePeriodRangeOption(OptionOr(invocation.options, "periods", kDefaultSpectrumPeriods));
    if (!range) return Fail(err, OptionProblem("periods", range.error()));

    // The record is read as an earthquake run reads it.
    OptionValues recordOptions = {{"wave", wavePath}};
    if (const auto it = invocation.options.find("component"); it != invocation.options.end()) {
        recordOptions.insert(*it);
    }
    RunRequest request;
    if (auto problem = ReadRunRequest(recordOptions, request)) return Fail(err, *problem);
    // Both times given: the record is read as it stands, its length is not needed. A
    // spectrum is no run: a record longer than a run can take is read whole.
    request.timeStepGiven = request.durationGiven = true;
    std::optional<WaveRecord> record;
    const std::optional<Problem> unread = LoadRunRecord(request, record, kMaxStudySamples);
    ReportWarnings(err, request.warnings);
    if (unread) return Fail(err, *unread);
    if (record->samples.size() < 2) {
        return Fail(err,
                    {kExitFailure, [&] {
                         return MessageLine(
                             Tr("応答スペクトルの計算エラー"),
                             Tr("地震波ファイル「{1}」の加速度は {2} 点です。応答スペクトルには "
                                "2 点以上が必要です。",
                                wavePath, std::to_string(record->samples.size())));
                     }});
    }

    const std::vector<double> periods = SpectrumPeriods(*range);
    const auto spectrum =
        ComputeResponseSpectrum(record->samples, record->timeStep, periods, *dampings);
    if (!spectrum) {
        return Fail(err, {kExitFailure, [&] {
                              return MessageLine(Tr("応答スペクトルの計算エラー"),
                                                 Tr("地震波ファイル「{1}」: {2}", wavePath,
                                                    spectrum.error().message));
                          }});
    }
    std::ostringstream text;
    if (const auto e = WriteSpectrumCsv(text, *spectrum)) {
        return Fail(err,
                    {kExitFailure, [&] { return MessageLine(Tr("データの保存"), e->message); }});
    }
    if (auto problem = WriteCsv(outPath, text)) return Fail(err, *problem);
    return kExitOk;
}

int RunAccuracy(const Invocation& invocation, std::ostream& err) {
    RunRequest request;
    if (auto problem = ReadRunRequest(invocation.options, request)) return Fail(err, *problem);
    std::optional<WaveRecord> record;
    const std::optional<Problem> unread = LoadRunRecord(request, record);
    ReportWarnings(err, request.warnings);
    if (unread) return Fail(err, *unread);
    if (request.excitation != ExcitationCase::Earthquake) record.reset();

    const MethodComparison comparison = CompareMethods(request.texts, request.excitation, record);
    if (!comparison.compared) {
        return Fail(err, comparison.runFault
                             ? RunFaultProblem(*comparison.runFault)
                             : Problem{kExitUsage,
                                       [] { return Tr("地震波ファイルが選択されていません。"); }});
    }
    std::ostringstream text;
    if (const auto e = WriteAccuracyCsv(text, comparison)) {
        return Fail(err,
                    {kExitFailure, [&] { return MessageLine(Tr("データの保存"), e->message); }});
    }
    if (auto problem = WriteCsv(invocation.operands[0], text)) return Fail(err, *problem);
    // A step beyond the stability limit (or one at which the method no longer swings), and a
    // linear acceleration run that diverged, are what the comparison is there to show: the
    // file holds the run up to that point, and standard error says so.
    const std::string step = LinearStepNote(comparison);
    const std::string diverged = comparison.linear.divergedAt
                                     ? Tr("線形加速度法の応答は {1} 秒で発散しました。",
                                          NumberText(*comparison.linear.divergedAt))
                                     : std::string();
    if (!step.empty()) {
        Report(err, diverged.empty() ? Tr("{1}。", step) : Tr("{1}。{2}", step, diverged));
    } else if (!diverged.empty()) {
        Report(err, diverged);
    }
    return kExitOk;
}

}  // namespace kestrel::batch
