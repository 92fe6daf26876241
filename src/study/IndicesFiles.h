// The table of a record's ground-motion indices: one row per component and one row "合成"
// for the record as a whole, as the tab "地震動の指標" shows it and exports it and as
// `kestrel-batch indices` writes it (the same bytes for the same record). CP932, CR LF,
// text items in double quotes, numbers written by NumberText.
//
// Header: "ファイル","成分","計測震度","震度階級","計測震度(3桁)","a(cm/s2)",
// "最大加速度(cm/s2)","最大速度(cm/s)","最大変位(cm)","SI値(cm/s)","アリアス強度(m/s)",
// "有効継続時間5-95%(s)","CAV(cm/s)","備考". A cell is empty where its quantity does not
// apply: the intensity and a on a component's row; Arias, D5-95 and CAV on the 合成 row;
// SI on a vertical component's row; the three-component values of a record that lacks a
// component. The last item says why the 合成 row's values are missing (naming the files),
// or why a record could not be computed at all (a row with the record's file and nothing
// but the reason).
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/ComponentSet.h"
#include "study/GroundMotionIndices.h"

namespace kestrel {

// The 成分 of the row of the record as a whole.
inline constexpr std::string_view kCompositeRowName = "合成";

// The quantities of a row, in the order of the columns after "ファイル" and "成分".
inline constexpr std::array<std::string_view, 11> kIndexColumns = {
    "計測震度",       "震度階級",     "計測震度(3桁)", "a(cm/s2)",          "最大加速度(cm/s2)",
    "最大速度(cm/s)", "最大変位(cm)", "SI値(cm/s)",    "アリアス強度(m/s)", "有効継続時間5-95%(s)",
    "CAV(cm/s)",
};

struct IndicesRow {
    std::string path;       // the file the numbers come from (the record's for 合成)
    std::string component;  // "NS", "EW", "UD", the file's own name of it, or "合成"
    // 合成 with an intensity of a record with motion (a > 0).
    std::optional<IntensityText> intensity;
    std::optional<double> a, pga, pgv, pgd, si, arias, duration, cav;
    std::string note;  // one line
};

// Why values of the record are missing, one reason a line: each component that could not
// be had (naming its file), then why the intensity or the three-component values are not
// there. Empty when every value is there.
std::vector<std::string> MissingValueReasons(const GroundMotionIndices& indices,
                                             const ComponentSet& set);

// The rows of a computed record: its components in order, then 合成 (named by
// recordPath) with the reasons joined as its note.
std::vector<IndicesRow> IndicesRows(const GroundMotionIndices& indices, const ComponentSet& set,
                                    std::string_view recordPath);

// The row of a record that could not be computed.
IndicesRow FailedIndicesRow(std::string_view recordPath, std::string_view reason);

// The header and the rows.
std::optional<StudyError> WriteIndicesCsv(std::ostream& out, std::span<const IndicesRow> rows);

}  // namespace kestrel
