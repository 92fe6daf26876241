// The study window's CSV exports, also written by the command line: CP932, CR LF, text
// items in double quotes, numbers written by NumberText as the result files write them.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "files/ResultFiles.h"
#include "study/FourierSpectrum.h"
#include "study/MethodComparison.h"
#include "study/ResponseSpectrum.h"
#include "study/StrengthSpectrum.h"

namespace kestrel {

// Header "周期(s)", then per damping in list order "Sd h=5%(cm)", "Sv h=5%(cm/s)",
// "Sa h=5%(cm/s2)", "pSv h=5%(cm/s)", "pSa h=5%(cm/s2)" (the ratio as typed); one row per
// period, ascending.
std::optional<StudyError> WriteSpectrumCsv(std::ostream& out, const ResponseSpectrum& spectrum);

// Header "振動数(Hz)","フーリエ振幅(cm/s)", then "平滑化フーリエ振幅(cm/s)" when smoothed (followed
// by SmoothingNote when the width is too narrow to smooth anything) and
// "伝達関数" when a transfer function is given (same length as the frequencies; an empty
// point is an empty item); one row per frequency.
std::optional<StudyError> WriteFourierCsv(std::ostream& out, const FourierSpectrum& spectrum,
                                          std::span<const std::optional<double>> transfer = {});

// Header "時刻(s)","入力加速度(cm/s2)","線形加速度法(cm)","厳密解(cm)","平均加速度法(cm)",
// the third followed by LinearStepNote when the step is not a stable swing; one row per
// time point; a method that diverged has empty items from there on.
std::optional<StudyError> WriteAccuracyCsv(std::ostream& out, const MethodComparison& comparison);

// Header "周期(s)", then one "Cy μ=2" per ductility of the list, one "VE μ=2(cm/s)" per
// ductility, one "R μ=2" per ductility (the value as typed, in the list's order; μ is
// U+03BC); one row per period, ascending.
std::optional<StudyError> WriteStrengthCsv(std::ostream& out, const StrengthSpectrum& spectrum);

// A text item in double quotes (a quote inside doubled), in CP932; a character CP932 lacks
// (a file name may hold one) becomes "?".
std::string QuotedCp932Item(std::string_view utf8);

// Writes the bytes to the path whole or not at all (a temporary file in the same folder,
// renamed when complete). The error's reason is in the current
// language, without a closing "。" or ".".
std::optional<SaveError> WriteWholeFile(const std::string& path, std::string_view bytes);

// The message for a file of the study that could not be written: names the file and the
// reason ("ファイル「…」を保存できませんでした。\n理由：…。").
std::string StudySaveErrorMessage(const SaveError& error);

}  // namespace kestrel
