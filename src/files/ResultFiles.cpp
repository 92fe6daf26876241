#include "files/ResultFiles.h"

#include <algorithm>
#include <sstream>

#include "analysis/ProgramLimits.h"
#include "files/ReplaceFile.h"
#include "files/SystemErrorText.h"
#include "runtime/Conversions.h"
#include "runtime/Paths.h"
#include "runtime/Real.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

// A text item: the label in CP932 between double quotes. The labels are fixed texts that
// CP932 holds, so the conversion cannot fail.
std::string QuotedText(std::string_view utf8) {
    std::string item = "\"";
    item += Utf8ToCp932(utf8).value();
    item += '"';
    return item;
}

constexpr std::string_view kLineEnd = "\r\n";

std::optional<WriteFailure> Finish(std::ostream& out) {
    out.flush();
    if (!out) return WriteFailure::Stream;
    return std::nullopt;
}

// The rows of the history file: points 0 .. pointCount - 2, of those the response holds.
int HistoryRows(const Response& response) {
    return std::max(0, std::min(response.pointCount() - 1, response.completedPoints()));
}

}  // namespace

ParameterValues ParameterValuesFromTexts(const ModelTexts& texts, double naturalPeriod) {
    ParameterValues v;
    v.stiffness = LeadingNumber(texts.stiffness);
    v.mass = LeadingNumber(texts.mass);
    v.dampingRatio = LeadingNumber(texts.damping) / 100;
    v.naturalPeriod = naturalPeriod;
    return v;
}

std::optional<WriteFailure> WriteParameterFile(std::ostream& out, const ParameterValues& values) {
    const std::pair<std::string_view, double> lines[] = {
        {"剛性(kN/cm)", values.stiffness},
        {"質量(tf)", values.mass},
        {"減衰定数", values.dampingRatio},
        {"建物固有周期(s)", values.naturalPeriod},
    };
    for (const auto& [label, number] : lines) {
        out << QuotedText(label) << ',' << NumberText(number) << kLineEnd;
    }
    return Finish(out);
}

std::optional<WriteFailure> WriteHistoryFile(std::ostream& out, const Response& response,
                                             std::optional<double> displacementPeriod) {
    const bool displacement = displacementPeriod.has_value();
    out << QuotedText("時刻(s)") << ','
        << QuotedText(displacement ? "入力変位(cm)" : "入力加速度(cm/s2)") << ','
        << QuotedText("応答加速度(cm/s2)") << ',' << QuotedText("応答速度(cm/s)") << ','
        << QuotedText("応答変位(cm)") << kLineEnd;

    const auto time = response.time();
    const auto ground = response.ground();
    const auto acceleration = response.acceleration();
    const auto velocity = response.velocity();
    const auto displacementSeries = response.displacement();
    std::string row;
    const int rows = HistoryRows(response);
    for (int i = 0; i < rows; ++i) {
        double input = ground[i];
        if (displacement) {
            try {
                input = (Real(input) / Pow(Real(program::kTwoPi) / *displacementPeriod, 2)).value();
            } catch (const FaultError&) {
                return WriteFailure::InputDisplacement;
            }
        }
        row.clear();
        AppendNumberText(row, time[i]);
        row += ',';
        AppendNumberText(row, input);
        row += ',';
        AppendNumberText(row, acceleration[i]);
        row += ',';
        AppendNumberText(row, velocity[i]);
        row += ',';
        AppendNumberText(row, displacementSeries[i]);
        row += kLineEnd;
        out << row;
        if (!out) return WriteFailure::Stream;
    }
    return Finish(out);
}

bool SaveError::fileInUse() const {
    return IsFileInUseError(systemError);
}

SaveOutcome SaveResults(std::string_view folder, std::string_view baseName,
                        const ParameterValues& values, const Response& response,
                        std::optional<double> displacementPeriod) {
    SaveOutcome outcome;
    const std::string base(baseName);
    const std::string parameterPath = JoinPath(folder, base + std::string(kParameterFileSuffix));
    const std::string historyPath = JoinPath(folder, base + std::string(kHistoryFileSuffix));

    // The base name is a bare name: a separator in it would write into another folder.
    if (base.find(kPathSeparator) != std::string::npos || base.find('\0') != std::string::npos) {
        outcome.error = SaveError{parameterPath, {TrNoop("ファイル名に「/」は使えません")}, 0};
        return outcome;
    }

    std::ostringstream parameterText;
    WriteParameterFile(parameterText, values);
    // The longest run's history is over 2 MB: room for every row is taken at once, and the
    // text is moved out of the stream at the end instead of copied.
    std::string historyRoom;
    historyRoom.reserve(static_cast<std::size_t>(HistoryRows(response)) * 100 + 256);
    std::ostringstream historyText(std::move(historyRoom));
    if (WriteHistoryFile(historyText, response, displacementPeriod)) {
        // A string stream takes every byte, so only the displacement can fail here.
        outcome.error =
            SaveError{historyPath,
                      {TrNoop("定常波(変位)の周期 {1} 秒からは入力変位を計算できません"),
                       {NumberText(*displacementPeriod)}},
                      0};
        return outcome;
    }

    const std::string parameterBytes = parameterText.str();
    const std::string historyBytes = std::move(historyText).str();
    const FileContents files[] = {{parameterPath, parameterBytes}, {historyPath, historyBytes}};
    if (const std::optional<ReplaceFailure> failure = ReplaceFiles(files)) {
        const int e = failure->systemError;
        outcome.parameterFileWritten = failure->replaced > 0;
        outcome.error = SaveError{files[failure->file].path, SystemErrorReason(e), e};
        return outcome;
    }
    outcome.parameterFileWritten = true;
    outcome.historyFileWritten = true;
    return outcome;
}

FileMessage SaveErrorMessage(const SaveOutcome& outcome) {
    const SaveError& error = outcome.error.value();
    std::string prompt =
        Tr("ファイル「{1}」を保存できませんでした。\n理由：{2}。", error.path, error.reason.Text());
    if (outcome.parameterFileWritten) {
        prompt += "\n" + Tr("建物パラメータのファイルは保存されています。");
    }
    return FileMessage{Tr("データの保存"), prompt};
}

}  // namespace kestrel
