#include "app/batch/BatchInelastic.h"

#include <sstream>

#include "app/batch/BatchRun.h"
#include "app/batch/BatchStudy.h"
#include "runtime/Catalogue.h"
#include "study/InelasticStudy.h"
#include "study/StrengthSpectrum.h"
#include "study/StudyFiles.h"

namespace kestrel::batch {

namespace {

constexpr ModelName kModelNames[] = {
    {"bilinear", SpringModel::Bilinear},
    {"clough", SpringModel::Clough},
    {"origin", SpringModel::Origin},
};

// The option behind a box of the two tabs; empty for none.
std::string_view OptionOfBox(std::string_view box) {
    constexpr std::pair<std::string_view, std::string_view> kOptions[] = {
        {kYieldCoefficientBox, "yield-coefficient"},
        {kSecondStiffnessRatioBox, "second-stiffness-ratio"},
        {kSecondStiffnessBox, "second-stiffness-ratio"},
        {kStrengthDampingBox, "damping"},
        {kDuctilityListBox, "ductility"},
        {kPeriodMinBox, "periods"},
        {kPeriodMaxBox, "periods"},
        {kPeriodCountBox, "periods"},
    };
    for (const auto& [b, option] : kOptions) {
        if (b == box) return option;
    }
    return {};
}

// A refusal of the tab's inputs: a usage error naming the option; anything else (a box the
// command line has no option for, or none) a failure under the title.
Problem Refusal(std::string_view title, const StudyError& error) {
    if (const std::string_view option = OptionOfBox(error.box); !option.empty()) {
        return OptionProblem(option, error);
    }
    return Problem{kExitFailure,
                   [title, message = error.message] { return MessageLine(Tr(title), message); }};
}

}  // namespace

std::span<const ModelName> ModelNames() {
    return kModelNames;
}

int InelasticCommand(const Invocation& invocation, std::ostream& err) {
    const OptionValues& options = invocation.options;
    RunRequest request;
    if (auto problem = ReadRunRequest(options, request)) return Fail(err, *problem);
    const std::string modelName = OptionOr(options, "model", kModelNames[0].name);
    const ModelName* model = nullptr;
    std::string names;
    for (const ModelName& m : kModelNames) {
        if (m.name == modelName) model = &m;
        names += (names.empty() ? "" : ", ") + std::string(m.name);
    }
    if (!model) {
        return Fail(err, {kExitUsage, [modelName, names] {
                              return Tr(
                                  "オプション「--model」の値「{1}」は使えません。"
                                  "{2} のどれかを指定してください。",
                                  modelName, names);
                          }});
    }
    const auto parameters = ReadInelasticParameters(
        model->model, OptionOr(options, "yield-coefficient", kDefaultYieldCoefficientText),
        OptionOr(options, "second-stiffness-ratio", kDefaultSecondStiffnessRatioText));
    constexpr std::string_view kTitle = TrNoop("弾塑性応答の計算エラー");
    if (!parameters) return Fail(err, Refusal(kTitle, parameters.error()));

    // The tab computes on the run the main window completed.
    RunOutcome run;
    const std::optional<Problem> failed = PerformRun(request, run);
    ReportWarnings(err, request.warnings);
    if (failed) return Fail(err, *failed);
    const auto response = ComputeInelasticResponse(*run.inputs, *run.motion, *parameters);
    if (!response) return Fail(err, Refusal(kTitle, response.error()));
    if (!response->complete()) {
        return Fail(err, {kExitFailure, [message = InelasticStopMessage(*response)] {
                              return MessageLine(Tr(kTitle), message);
                          }});
    }
    std::ostringstream text;
    if (const auto e = WriteInelasticCsv(text, *response)) {
        return Fail(err, {kExitFailure, [message = e->message] {
                              return MessageLine(Tr("データの保存"), message);
                          }});
    }
    if (auto problem = WriteCsv(invocation.operands[0], text)) return Fail(err, *problem);
    return kExitOk;
}

int StrengthSpectrumCommand(const Invocation& invocation, std::ostream& err) {
    const std::string& wavePath = invocation.operands[0];
    const OptionValues& options = invocation.options;
    StrengthTexts texts;
    texts.damping =
        OptionOr(options, "damping", DefaultStrengthDampingText(RunTexts{}.model.damping));
    texts.ductilities = OptionOr(options, "ductility", texts.ductilities);
    texts.secondStiffnessRatio =
        OptionOr(options, "second-stiffness-ratio", texts.secondStiffnessRatio);
    texts.periodOption = OptionOr(options, "periods", "");
    const auto settings = ReadStrengthSettings(texts);
    constexpr std::string_view kTitle = TrNoop("所要耐力スペクトルの計算エラー");
    if (!settings) return Fail(err, Refusal(kTitle, settings.error()));

    std::optional<WaveRecord> record;
    constexpr StudyRecordTexts kRecordTexts = {
        kTitle, TrNoop("地震波ファイル「{1}」の加速度は {2} 点です。所要耐力スペクトルには "
                       "2 点以上が必要です。")};
    if (auto problem = LoadStudyRecord(invocation, kRecordTexts, err, record)) {
        return Fail(err, *problem);
    }
    const auto spectrum = ComputeStrengthSpectrum(record->samples, record->timeStep, *settings);
    if (!spectrum) {
        return Fail(err, {kExitFailure, [wavePath, message = spectrum.error().message] {
                              return MessageLine(
                                  Tr(kTitle), Tr("地震波ファイル「{1}」: {2}", wavePath, message));
                          }});
    }
    std::ostringstream text;
    if (const auto e = WriteStrengthCsv(text, *spectrum)) {
        return Fail(err, {kExitFailure, [message = e->message] {
                              return MessageLine(Tr("データの保存"), message);
                          }});
    }
    if (auto problem = WriteCsv(invocation.operands[1], text)) return Fail(err, *problem);
    return kExitOk;
}

}  // namespace kestrel::batch
