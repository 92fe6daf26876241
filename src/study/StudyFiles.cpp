#include "study/StudyFiles.h"

#include <algorithm>
#include <cerrno>

#include "files/ReplaceFile.h"
#include "files/SystemErrorText.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"

namespace kestrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

StudyError StreamFailure() {
    return StudyError{"", Tr("ファイルに書き込めませんでした。")};
}

// A header row of quoted texts; no value when a text has a character CP932 cannot hold.
std::optional<std::string> HeaderRow(const std::vector<std::string>& labels) {
    std::string row;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::optional<std::string> text = Utf8ToCp932(labels[i]);
        if (!text) return std::nullopt;
        if (i > 0) row += ',';
        row += '"';
        row += *text;
        row += '"';
    }
    row += kLineEnd;
    return row;
}

std::optional<StudyError> WriteRows(std::ostream& out, const std::vector<std::string>& labels,
                                    std::size_t rows, auto&& rowItems) {
    const std::optional<std::string> header = HeaderRow(labels);
    if (!header) {
        return StudyError{"", Tr("見出しに Shift_JIS で書けない文字があります。")};
    }
    out << *header;
    std::string row;
    for (std::size_t r = 0; r < rows; ++r) {
        row.clear();
        rowItems(r, row);
        row += kLineEnd;
        out << row;
        if (!out) return StreamFailure();
    }
    out.flush();
    if (!out) return StreamFailure();
    return std::nullopt;
}

void AddItem(std::string& row, bool first, std::optional<double> value) {
    if (!first) row += ',';
    if (value) row += NumberText(*value);
}

}  // namespace

std::optional<StudyError> WriteSpectrumCsv(std::ostream& out, const ResponseSpectrum& spectrum) {
    std::vector<std::string> labels = {"周期(s)"};
    for (const DampingItem& d : spectrum.dampings) {
        const std::string h = " h=" + d.text + "%";
        labels.push_back("Sd" + h + "(cm)");
        labels.push_back("Sv" + h + "(cm/s)");
        labels.push_back("Sa" + h + "(cm/s2)");
        labels.push_back("pSv" + h + "(cm/s)");
        labels.push_back("pSa" + h + "(cm/s2)");
    }
    return WriteRows(out, labels, spectrum.periods.size(), [&](std::size_t p, std::string& row) {
        AddItem(row, true, spectrum.periods[p]);
        for (const SpectrumCurves& c : spectrum.curves) {
            for (const auto* series : {&c.sd, &c.sv, &c.sa, &c.psv, &c.psa}) {
                AddItem(row, false, (*series)[p]);
            }
        }
    });
}

std::optional<StudyError> WriteFourierCsv(std::ostream& out, const FourierSpectrum& spectrum,
                                          std::span<const std::optional<double>> transfer) {
    std::vector<std::string> labels = {"振動数(Hz)", "フーリエ振幅(cm/s)"};
    const bool smoothed = !spectrum.smoothed.empty();
    const bool withTransfer = !transfer.empty();
    if (smoothed) {
        // A width too narrow to smooth says so in its own heading, in the file's Japanese.
        const std::string note = [&] {
            const LanguageScope files(kFileLanguage);
            return SmoothingNote(spectrum);
        }();
        labels.push_back("平滑化フーリエ振幅(cm/s)" + (note.empty() ? "" : " " + note));
    }
    if (withTransfer) labels.push_back("伝達関数");
    return WriteRows(out, labels, spectrum.frequencies.size(),
                     [&](std::size_t k, std::string& row) {
                         AddItem(row, true, spectrum.frequencies[k]);
                         AddItem(row, false, spectrum.amplitude[k]);
                         if (smoothed) AddItem(row, false, spectrum.smoothed[k]);
                         if (withTransfer) {
                             AddItem(row, false, k < transfer.size() ? transfer[k] : std::nullopt);
                         }
                     });
}

std::optional<StudyError> WriteStrengthCsv(std::ostream& out, const StrengthSpectrum& spectrum) {
    std::vector<std::string> labels = {"周期(s)"};
    for (const DuctilityItem& d : spectrum.ductilities) labels.push_back("Cy μ=" + d.text);
    for (const DuctilityItem& d : spectrum.ductilities)
        labels.push_back("VE μ=" + d.text + "(cm/s)");
    for (const DuctilityItem& d : spectrum.ductilities) labels.push_back("R μ=" + d.text);
    return WriteRows(out, labels, spectrum.periods.size(), [&](std::size_t p, std::string& row) {
        AddItem(row, true, spectrum.periods[p]);
        for (const StrengthCurves& c : spectrum.curves) AddItem(row, false, c.cy[p]);
        for (const StrengthCurves& c : spectrum.curves) AddItem(row, false, c.ve[p]);
        for (const StrengthCurves& c : spectrum.curves) AddItem(row, false, c.r[p]);
    });
}

std::optional<StudyError> WriteAccuracyCsv(std::ostream& out, const MethodComparison& comparison) {
    // A step that is not a stable swing is named in the method's own heading, in the
    // file's Japanese.
    const std::string note = [&] {
        const LanguageScope files(kFileLanguage);
        return LinearStepNote(comparison);
    }();
    const std::vector<std::string> labels = {"時刻(s)", "入力加速度(cm/s2)",
                                             "線形加速度法(cm)" + (note.empty() ? "" : " " + note),
                                             "厳密解(cm)", "平均加速度法(cm)"};
    auto at = [](const MethodSeries& m, std::size_t i) -> std::optional<double> {
        if (i < m.displacement.size()) return m.displacement[i];
        return std::nullopt;
    };
    return WriteRows(out, labels, comparison.time.size(), [&](std::size_t i, std::string& row) {
        AddItem(row, true, comparison.time[i]);
        AddItem(row, false, comparison.ground[i]);
        AddItem(row, false, at(comparison.linear, i));
        AddItem(row, false, at(comparison.exact, i));
        AddItem(row, false, at(comparison.average, i));
    });
}

std::string QuotedCp932Item(std::string_view utf8) {
    std::string text;
    if (auto whole = Utf8ToCp932(utf8)) {
        text = std::move(*whole);
    } else {
        while (!utf8.empty()) {
            const std::size_t n = std::max<std::size_t>(Utf8CharLength(utf8), 1);
            const std::optional<std::string> one = Utf8ToCp932(utf8.substr(0, n));
            text += one ? *one : "?";
            utf8.remove_prefix(n);
        }
    }
    std::string item = "\"";
    for (const char c : text) {
        if (c == '"') item += '"';
        item += c;
    }
    return item + "\"";
}

std::optional<SaveError> WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (const int e = ReplaceFileContents(path, bytes); e != 0) {
        return SaveError{path, SystemErrorReason(e), e};
    }
    return std::nullopt;
}

std::string StudySaveErrorMessage(const SaveError& error) {
    return Tr("ファイル「{1}」を保存できませんでした。\n理由：{2}。", error.path,
              error.reason.Text());
}

}  // namespace kestrel
