#include "study/InelasticStudy.h"

#include <cmath>

#include "analysis/FaultText.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

// The number of a box (full-width forms too, as the study's other boxes), or the message
// that it is none ("1e999" is too large, anything else StudyNumber does not read is not a
// number).
std::optional<double> BoxNumber(std::string_view what, std::string_view text,
                                std::string& message) {
    if (const std::optional<double> number = StudyNumber(text)) return number;
    message = IsNumberTooLarge(text) ? Tr("{1}の「{2}」は大きすぎます。", what, text)
                                     : Tr("{1}の「{2}」は数値ではありません。", what, text);
    return std::nullopt;
}

constexpr std::string_view kYieldCoefficientRange =
    TrNoop("降伏せん断力係数は 0 より大きい値を入力してください。");
constexpr std::string_view kSecondStiffnessRange =
    TrNoop("第2剛性比は 0 以上 1 未満の値を入力してください。");

}  // namespace

StudyResult<InelasticParameters> ReadInelasticParameters(
    SpringModel model, std::string_view yieldCoefficientText,
    std::string_view secondStiffnessRatioText) {
    std::string message;
    const std::optional<double> cy =
        BoxNumber(Tr("降伏せん断力係数"), yieldCoefficientText, message);
    if (!cy) {
        return Refuse(kYieldCoefficientBox, message + "\n" + Tr(kYieldCoefficientRange));
    }
    if (!(*cy > 0)) {
        return Refuse(kYieldCoefficientBox,
                      Tr("降伏せん断力係数の「{1}」は 0 以下です。", yieldCoefficientText) + "\n" +
                          Tr(kYieldCoefficientRange));
    }
    const std::optional<double> p = BoxNumber(Tr("第2剛性比"), secondStiffnessRatioText, message);
    if (!p) {
        return Refuse(kSecondStiffnessRatioBox, message + "\n" + Tr(kSecondStiffnessRange));
    }
    if (!(*p >= 0 && *p < 1)) {
        return Refuse(kSecondStiffnessRatioBox,
                      Tr("第2剛性比の「{1}」は範囲外です。", secondStiffnessRatioText) + "\n" +
                          Tr(kSecondStiffnessRange));
    }
    return InelasticParameters{model, *cy, *p};
}

StudyResult<InelasticResponse> ComputeInelasticResponse(const RunInputs& inputs,
                                                        const GroundMotion& motion,
                                                        const InelasticParameters& parameters) {
    auto result = RunInelastic(inputs, motion, parameters);
    if (auto* response = std::get_if<InelasticResponse>(&result)) return std::move(*response);
    switch (std::get<InelasticRefusal>(result)) {
        case InelasticRefusal::YieldCoefficient:
            return Refuse(kYieldCoefficientBox, Tr(kYieldCoefficientRange));
        case InelasticRefusal::SecondStiffnessRatio:
            return Refuse(kSecondStiffnessRatioBox, Tr(kSecondStiffnessRange));
        case InelasticRefusal::Building:
            break;
    }
    return Refuse(
        "", Tr("弾塑性応答を計算できません。\n降伏耐力 Qy（降伏せん断力係数 × 質量 × 重力加速度）"
               "と降伏変位 Qy / 剛性を計算できる値にしてください（剛性と質量は正の値）。"));
}

std::string InelasticStopMessage(const InelasticResponse& response) {
    const std::optional<Fault>& fault = response.response().fault();
    if (!fault) return {};
    // The point that could not be computed follows the last one completed.
    const int points = response.completedPoints();
    if (points == 0) return FaultPrompt(*fault);
    const double time = points * response.response().stepTime();
    return Tr("時刻 {1} 秒で{2}", NumberText(time), FaultPrompt(*fault));
}

std::optional<StudyError> WriteInelasticCsv(std::ostream& out, const InelasticResponse& response) {
    if (!response.complete()) return StudyError{"", InelasticStopMessage(response)};
    static constexpr std::string_view kLabels[] = {
        "時刻(s)",
        "入力加速度(cm/s2)",
        "応答加速度(cm/s2)",
        "応答速度(cm/s)",
        "応答変位(cm)",
        "復元力(kN)",
        "入力エネルギー(kN・cm)",
        "運動エネルギー(kN・cm)",
        "減衰エネルギー(kN・cm)",
        "弾性ひずみエネルギー(kN・cm)",
        "履歴エネルギー(kN・cm)",
    };
    constexpr std::string_view kLineEnd = "\r\n";
    std::string row;
    for (const std::string_view label : kLabels) {
        if (!row.empty()) row += ',';
        row += '"';
        row += Utf8ToCp932(label).value();  // fixed texts CP932 holds
        row += '"';
    }
    row += kLineEnd;
    out << row;

    const Response& r = response.response();
    const std::span<const double> columns[] = {
        r.time(),
        r.ground(),
        r.acceleration(),
        r.velocity(),
        r.displacement(),
        response.force(),
        response.inputEnergy(),
        response.kineticEnergy(),
        response.dampingEnergy(),
        response.strainEnergy(),
        response.hystereticEnergy(),
    };
    for (int i = 0; i <= r.pointCount() - 2; ++i) {
        row.clear();
        for (const std::span<const double>& column : columns) {
            if (!row.empty()) row += ',';
            AppendNumberText(row, column[static_cast<std::size_t>(i)]);
        }
        row += kLineEnd;
        out << row;
        if (!out) return StudyError{"", Tr("ファイルに書き込めませんでした。")};
    }
    out.flush();
    if (!out) return StudyError{"", Tr("ファイルに書き込めませんでした。")};
    return std::nullopt;
}

}  // namespace kestrel
