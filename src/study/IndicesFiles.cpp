#include "study/IndicesFiles.h"

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/StudyFiles.h"

namespace kestrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        if (c != '\n' && c != '\r') line += c;
    }
    return line;
}

void AddNumber(std::string& row, std::optional<double> value) {
    row += ',';
    if (value) AppendNumberText(row, *value);
}

void AddText(std::string& row, std::string_view text, bool quoted) {
    row += ',';
    if (text.empty()) return;
    row += quoted ? QuotedCp932Item(text) : std::string(text);
}

}  // namespace

std::vector<std::string> MissingValueReasons(const GroundMotionIndices& indices,
                                             const ComponentSet& set) {
    // The reasons are the CSV's: Japanese whatever the language.
    const LanguageScope files(kFileLanguage);
    std::vector<std::string> reasons;
    for (const ComponentProblem& p : set.problems) reasons.push_back(ComponentProblemText(p));
    if (!indices.vector) {
        // The horizontal pair's SI may be there all the same (UD missing).
        reasons.push_back(
            (indices.horizontalSi ? "計測震度と 3 成分合成の最大値：" : "計測震度と合成の値：") +
            OneLine(indices.threeComponentReason));
        return reasons;
    }
    if (!indices.intensity) reasons.push_back(OneLine(indices.intensityReason));
    if (!indices.horizontalSi) {
        reasons.push_back("水平 2 成分合成の SI 値：" + OneLine(indices.pairReason));
    }
    return reasons;
}

std::vector<IndicesRow> IndicesRows(const GroundMotionIndices& indices, const ComponentSet& set,
                                    std::string_view recordPath) {
    std::vector<IndicesRow> rows;
    for (std::size_t i = 0; i < indices.components.size(); ++i) {
        const ComponentIndices& c = indices.components[i];
        IndicesRow& row = rows.emplace_back();
        row.path = i < set.components.size() ? set.components[i].path : std::string(recordPath);
        row.component = c.name;
        row.pga = c.pga;
        row.pgv = c.pgv;
        row.pgd = c.pgd;
        row.si = c.si;
        row.arias = c.arias;
        row.duration = c.significantDuration;
        row.cav = c.cav;
    }
    IndicesRow& whole = rows.emplace_back();
    whole.path = recordPath;
    whole.component = kCompositeRowName;
    if (indices.intensity) {
        whole.a = indices.intensity->a;
        if (indices.intensity->value) whole.intensity = IntensityTexts(indices.intensity->value);
    }
    if (indices.vector) {
        whole.pga = indices.vector->pga;
        whole.pgv = indices.vector->pgv;
        whole.pgd = indices.vector->pgd;
    }
    whole.si = indices.horizontalSi;
    for (const std::string& reason : MissingValueReasons(indices, set)) {
        whole.note += OneLine(reason);
    }
    return rows;
}

IndicesRow FailedIndicesRow(std::string_view recordPath, std::string_view reason) {
    IndicesRow row;
    row.path = recordPath;
    row.note = OneLine(reason);
    return row;
}

std::optional<StudyError> WriteIndicesCsv(std::ostream& out, std::span<const IndicesRow> rows) {
    std::string text = QuotedCp932Item("ファイル") + "," + QuotedCp932Item("成分");
    for (const std::string_view label : kIndexColumns) text += "," + QuotedCp932Item(label);
    text += "," + QuotedCp932Item("備考");
    text += kLineEnd;
    for (const IndicesRow& r : rows) {
        text += QuotedCp932Item(r.path);
        AddText(text, r.component, true);
        // The intensity as published is a number to one decimal, its class a text.
        AddText(text, r.intensity ? r.intensity->shown : "", false);
        AddText(text, r.intensity ? r.intensity->intensityClass : "", true);
        AddText(text, r.intensity ? r.intensity->threeDecimals : "", false);
        for (const std::optional<double> v :
             {r.a, r.pga, r.pgv, r.pgd, r.si, r.arias, r.duration, r.cav}) {
            AddNumber(text, v);
        }
        AddText(text, r.note, true);
        text += kLineEnd;
    }
    out << text;
    out.flush();
    if (!out) return StudyError{"", Tr("ファイルに書き込めませんでした。")};
    return std::nullopt;
}

}  // namespace kestrel
