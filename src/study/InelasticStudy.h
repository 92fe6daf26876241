// The elastic-plastic response tab's computation, Qt-free, for the study window and
// `kestrel-batch inelastic` alike: its two boxes read, the run on the completed run's inputs
// and motion (analysis/InelasticRun.h), the message of a run that stopped, and the CSV
// export, whose bytes both write.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "analysis/InelasticRun.h"
#include "study/StudyInputs.h"

namespace kestrel {

// The boxes an input error of the tab can point at (StudyError::box).
inline constexpr std::string_view kYieldCoefficientBox = "yieldCoefficient";
inline constexpr std::string_view kSecondStiffnessRatioBox = "secondStiffnessRatio";

// The tab's defaults.
inline constexpr std::string_view kDefaultYieldCoefficientText = "0.2";
inline constexpr std::string_view kDefaultSecondStiffnessRatioText = "0";

// 降伏せん断力係数 Cy and 第2剛性比 p as typed, each read by StudyNumber (full-width forms
// too). Refused, naming the box: a text that is not a number (or a number too large to
// hold), Cy <= 0, p < 0 or p >= 1.
StudyResult<InelasticParameters> ReadInelasticParameters(SpringModel model,
                                                         std::string_view yieldCoefficientText,
                                                         std::string_view secondStiffnessRatioText);

// The run (RunInelastic) or why nothing was computed: the parameters' refusal as a message
// naming its box; for a building whose stiffness or mass is not positive (or whose yield force
// or displacement cannot be computed) the box is empty.
StudyResult<InelasticResponse> ComputeInelasticResponse(const RunInputs& inputs,
                                                        const GroundMotion& motion,
                                                        const InelasticParameters& parameters);

// For a run that stopped: when, and why ("時刻 3.21 秒で応答が発散したため、…"), UTF-8, lines
// separated by "\n". Empty for a complete run.
std::string InelasticStopMessage(const InelasticResponse& response);

// The tab's CSV export (CP932, CR LF): header "時刻(s)","入力加速度(cm/s2)",
// "応答加速度(cm/s2)","応答速度(cm/s)","応答変位(cm)","復元力(kN)","入力エネルギー(kN・cm)",
// "運動エネルギー(kN・cm)","減衰エネルギー(kN・cm)","弾性ひずみエネルギー(kN・cm)",
// "履歴エネルギー(kN・cm)"; then the result file's rows, points 0 .. pointCount - 2, numbers
// written as the result file writes them. The second column is the ground acceleration in
// every case, the steady-displacement case included. A run that stopped is refused with
// InelasticStopMessage, and nothing is written.
std::optional<StudyError> WriteInelasticCsv(std::ostream& out, const InelasticResponse& response);

}  // namespace kestrel
