#include "app/batch/BatchInelastic.h"

#include <sstream>

#include "app/batch/BatchRun.h"
#include "app/batch/BatchStudy.h"
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
    return Problem{kExitFailure, MessageLine(title, error.message)};
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
        return Fail(err,
                    {kExitUsage, "オプション「--model」の値「" + modelName + "」は使えません。" +
                                     names + " のどれかを指定してください。"});
    }
    const auto parameters = ReadInelasticParameters(
        model->model, OptionOr(options, "yield-coefficient", kDefaultYieldCoefficientText),
        OptionOr(options, "second-stiffness-ratio", kDefaultSecondStiffnessRatioText));
    if (!parameters) return Fail(err, Refusal("弾塑性応答の計算エラー", parameters.error()));

    // The tab computes on the run the main window completed.
    RunOutcome run;
    const std::optional<Problem> failed = PerformRun(request, run);
    ReportWarnings(err, request.warnings);
    if (failed) return Fail(err, *failed);
    const auto response = ComputeInelasticResponse(*run.inputs, *run.motion, *parameters);
    if (!response) return Fail(err, Refusal("弾塑性応答の計算エラー", response.error()));
    if (!response->complete()) {
        return Fail(err, {kExitFailure,
                          MessageLine("弾塑性応答の計算エラー", InelasticStopMessage(*response))});
    }
    std::ostringstream text;
    if (const auto e = WriteInelasticCsv(text, *response)) {
        return Fail(err, {kExitFailure, MessageLine("データの保存", e->message)});
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
    if (!settings) return Fail(err, Refusal("所要耐力スペクトルの計算エラー", settings.error()));

    std::optional<WaveRecord> record;
    if (auto problem = LoadStudyRecord(invocation, "所要耐力スペクトル", err, record)) {
        return Fail(err, *problem);
    }
    const auto spectrum = ComputeStrengthSpectrum(record->samples, record->timeStep, *settings);
    if (!spectrum) {
        return Fail(err, {kExitFailure, MessageLine("所要耐力スペクトルの計算エラー",
                                                    "地震波ファイル「" + wavePath +
                                                        "」: " + spectrum.error().message)});
    }
    std::ostringstream text;
    if (const auto e = WriteStrengthCsv(text, *spectrum)) {
        return Fail(err, {kExitFailure, MessageLine("データの保存", e->message)});
    }
    if (auto problem = WriteCsv(invocation.operands[1], text)) return Fail(err, *problem);
    return kExitOk;
}

}  // namespace kestrel::batch
