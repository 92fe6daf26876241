#include "app/batch/BatchRun.h"

#include <algorithm>

#include "analysis/FaultText.h"
#include "files/ResultFiles.h"
#include "files/WaveChoice.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"

namespace kestrel::batch {

namespace {

// The options behind the boxes a fault's message asks the user to check.
std::string_view OptionsToCheck(FaultSite site) {
    switch (site) {
        case FaultSite::MassStiffnessRatio:
            return "--stiffness, --mass";
        case FaultSite::DampingFactor:
            return "--damping";
        case FaultSite::StepCount:
            return "--time-step, --duration";
        case FaultSite::StepConstants:
            return "--mass, --time-step";
        case FaultSite::ForcingParameters:
            return "--displacement-period, --displacement-amplitude";
        case FaultSite::GroundMotion:
            return "--forcing-period, --forcing-amplitude";
        case FaultSite::InitialState:
            return "--initial-displacement, --initial-velocity";
        case FaultSite::Integration:
        case FaultSite::TimerInterval:
            return "--time-step";
        case FaultSite::StepRange:
            return "--duration";
        case FaultSite::WaveRecord:
            return "--wave";
        case FaultSite::Playback:
        case FaultSite::None:
            break;
    }
    return {};
}

std::optional<RecordComponent> ComponentByName(std::string_view name) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    for (const RecordComponent c : kRecordComponents) {
        const std::string_view known = ComponentName(c);
        if (std::equal(known.begin(), known.end(), name.begin(), name.end(),
                       [&](char a, char b) { return a == upper(b); })) {
            return c;
        }
    }
    return std::nullopt;
}

// The options only one excitation case reads.
struct CaseOptions {
    ExcitationCase excitation;
    std::string_view options[2];
};

constexpr CaseOptions kCaseOptions[] = {
    {ExcitationCase::InitialDisplacement, {"initial-displacement", {}}},
    {ExcitationCase::InitialVelocity, {"initial-velocity", {}}},
    {ExcitationCase::SteadyAcceleration, {"forcing-period", "forcing-amplitude"}},
    {ExcitationCase::SteadyDisplacement, {"displacement-period", "displacement-amplitude"}},
    {ExcitationCase::Earthquake, {"wave", "component"}},
};

std::string_view NameOfCase(ExcitationCase excitation) {
    for (const CaseName& c : CaseNames()) {
        if (c.excitation == excitation) return c.name;
    }
    return {};
}

// A warning for each option given that belongs to another case than the run's.
void WarnOtherCasesOptions(const OptionValues& options, RunRequest& request) {
    for (const CaseOptions& c : kCaseOptions) {
        if (c.excitation == request.excitation) continue;
        for (const std::string_view name : c.options) {
            if (name.empty() || !options.contains(name)) continue;
            const std::string option = "--" + std::string(name);
            const std::string_view run = NameOfCase(request.excitation);
            request.warnings.push_back(
                name == "wave" && !(request.timeStepGiven && request.durationGiven)
                    ? Tr("オプション「{1}」は --case {2} の解析では使いません。指定のない分割時間・"
                         "解析時間だけを記録から決めます。",
                         option, run)
                    : Tr("オプション「{1}」は --case {2} の解析では使いません。", option, run));
        }
    }
}

std::string ComponentList() {
    std::string list;
    for (const RecordComponent c : kRecordComponents) {
        if (!list.empty()) list += ", ";
        list += ComponentName(c);
    }
    return list;
}

}  // namespace

void Report(std::ostream& err, std::string_view message) {
    err << "kestrel-batch: " << message << '\n';
}

void ReportWarnings(std::ostream& err, std::span<const std::string> warnings) {
    for (const std::string& warning : warnings) Report(err, Tr("注意: {1}", warning));
}

int Fail(std::ostream& err, const Problem& problem) {
    Report(err, problem.message());
    if (problem.status == kExitUsage)
        err << Tr("使い方は kestrel-batch --help で表示します。") << '\n';
    return problem.status;
}

std::string MessageLine(std::string_view title, std::string_view prompt) {
    // Japanese runs its sentences on; English puts a space between them.
    const bool spaced = CurrentLanguage() != Language::Japanese;
    std::string line(title);
    line += ": ";
    for (const char c : prompt) {
        if (c != '\n') {
            line += c;
        } else if (spaced && !line.ends_with(' ')) {
            line += ' ';
        }
    }
    return line;
}

std::optional<Problem> ReadRunRequest(const OptionValues& options, RunRequest& request) {
    for (const RunOption& o : RunOptions()) {
        if (const auto it = options.find(o.name); it != options.end()) {
            o.field(request.texts) = it->second;
        }
    }
    request.timeStepGiven = options.contains("time-step");
    request.durationGiven = options.contains("duration");
    if (const auto it = options.find("wave"); it != options.end()) {
        if (it->second.empty()) {
            return Problem{kExitUsage,
                           [] { return Tr("オプション「{1}」に値がありません。", "--wave"); }};
        }
        request.wavePath = it->second;
    }
    if (const auto it = options.find("component"); it != options.end()) {
        request.component = ComponentByName(it->second);
        if (!request.component) {
            return Problem{kExitUsage, [value = it->second] {
                               return Tr(
                                   "オプション「{1}」の値「{2}」は使えません。{3} "
                                   "のどれかを指定してください。",
                                   "--component", value, ComponentList());
                           }};
        }
    }
    if (const auto it = options.find("case"); it != options.end()) {
        const std::optional<ExcitationCase> c = CaseByName(it->second);
        if (!c) {
            std::string names;
            for (const CaseName& n : CaseNames()) {
                if (!names.empty()) names += ", ";
                names += n.name;
            }
            return Problem{kExitUsage, [value = it->second, names] {
                               return Tr(
                                   "オプション「{1}」の値「{2}」は使えません。{3} "
                                   "のどれかを指定してください。",
                                   "--case", value, names);
                           }};
        }
        request.excitation = *c;
    } else if (!request.wavePath.empty()) {
        request.excitation = ExcitationCase::Earthquake;
    }
    if (request.excitation == ExcitationCase::Earthquake && request.wavePath.empty()) {
        return Problem{kExitUsage, [] {
                           return Tr(
                               "地震波ファイルが選択されていません。--wave "
                               "で地震波ファイルを指定してください。");
                       }};
    }
    WarnOtherCasesOptions(options, request);
    return std::nullopt;
}

std::optional<Problem> LoadRunRecord(RunRequest& request, std::optional<WaveRecord>& record,
                                     int maxSamples) {
    record.reset();
    if (request.wavePath.empty()) return std::nullopt;
    const std::string& path = request.wavePath;
    WaveReadResult read = ReadWaveFile(path, request.component, maxSamples);
    if (read.needsComponent()) return ComponentProblem(path);
    if (!read.ok()) return WaveProblem(*read.error, path);
    // (Another case than an earthquake has been warned of --component already.)
    if (request.component && !read.componentRead &&
        request.excitation == ExcitationCase::Earthquake) {
        request.warnings.push_back(Tr(
            "オプション「--component」は使いません。地震波ファイル「{1}」は成分が 1 つの記録です。",
            path));
    }
    if (!request.timeStepGiven || !request.durationGiven) {
        // As the wave chooser sets the boxes when the file is confirmed.
        const std::optional<WaveTimeTexts> times = WaveTimeTextsFor(read.record);
        if (!times) {
            return Problem{kExitFailure, [path] {
                               const FileMessage m = DurationErrorMessage(path);
                               return MessageLine(m.title, m.prompt);
                           }};
        }
        if (!request.timeStepGiven) request.texts.timeStep = times->timeStep;
        if (!request.durationGiven) request.texts.analysisTime = times->analysisTime;
    }
    record = std::move(read.record);
    return std::nullopt;
}

Problem RunFaultProblem(const Fault& fault) {
    return Problem{kExitFailure, [fault] {
                       const std::string message =
                           MessageLine(Tr(kRunFaultTitle), FaultPrompt(fault));
                       const std::string_view options = OptionsToCheck(fault.site);
                       return options.empty() ? message : Tr("{1}（{2}）", message, options);
                   }};
}

Problem ComponentProblem(const std::string& path) {
    return Problem{kExitUsage, [path] {
                       const FileMessage question = ComponentQuestion(path);
                       return Tr("{1}--component {2} のどれかで解析に使う成分を指定してください。",
                                 question.prompt.substr(0, question.prompt.find('\n')),
                                 ComponentList());
                   }};
}

Problem WaveProblem(const WaveError& error, const std::string& path) {
    return Problem{kExitFailure, [error, path] {
                       const FileMessage m = WaveErrorMessage(error, path);
                       return MessageLine(m.title, m.prompt);
                   }};
}

std::optional<Problem> PerformRun(RunRequest& request, RunOutcome& run) {
    std::optional<WaveRecord> record;
    if (auto problem = LoadRunRecord(request, record)) return problem;
    RunHooks hooks;
    hooks.loadWaveRecord = [&record] { return std::move(record); };
    run = RunFromTexts(request.texts, request.excitation, hooks);
    if (run.status == RunOutcome::Status::Completed) return std::nullopt;
    if (run.status == RunOutcome::Status::EndedEarly || !run.fault) {
        return Problem{kExitUsage, [] { return Tr("地震波ファイルが選択されていません。"); }};
    }
    return RunFaultProblem(*run.fault);
}

std::optional<Problem> SaveRun(const std::string& folder, const std::string& baseName,
                               const RunRequest& request, const RunOutcome& run) {
    // What "保存(&S)" reads: the model boxes, the run's natural period, and the displacement
    // wave's period when that case is chosen.
    const ParameterValues values =
        ParameterValuesFromTexts(request.texts.model, run.inputs->naturalPeriod);
    std::optional<double> displacementPeriod;
    if (request.excitation == ExcitationCase::SteadyDisplacement) {
        displacementPeriod = LeadingNumber(request.texts.displacementPeriod);
    }
    const SaveOutcome outcome =
        SaveResults(folder, baseName, values, *run.response, displacementPeriod);
    if (outcome.ok()) return std::nullopt;
    if (outcome.error->fileInUse()) {
        return Problem{kExitFailure, [path = outcome.error->path] {
                           return MessageLine(Tr("ファイルの起動状態"),
                                              Tr("「{1}」：このファイルは別のソフトで開いています。"
                                                 "ファイルを閉じてください。",
                                                 path));
                       }};
    }
    return Problem{kExitFailure, [outcome] {
                       const FileMessage m = SaveErrorMessage(outcome);
                       return MessageLine(m.title, m.prompt);
                   }};
}

std::array<double, 5> RunFigures(const RunOutcome& run) {
    const Peaks& peaks = run.response->peaks();
    return {run.inputs->naturalPeriod, peaks.ground, peaks.acceleration, peaks.velocity,
            peaks.displacement};
}

}  // namespace kestrel::batch
