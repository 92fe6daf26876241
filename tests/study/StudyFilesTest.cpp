// The study's CSV files: their bytes, the numbers as written, and whole-file writing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"
#include "study/IndicesFiles.h"
#include "study/StudyFiles.h"

namespace kestrel {
namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) break;
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> Items(const std::string& line) {
    std::vector<std::string> items;
    std::stringstream in(line);
    for (std::string item; std::getline(in, item, ',');) items.push_back(item);
    if (!line.empty() && line.back() == ',') items.emplace_back();
    return items;
}

TEST(StudyFiles, SpectrumFileHeaderAndNumbersAsWritten) {
    std::vector<double> g(800);
    for (std::size_t i = 0; i < g.size(); ++i) g[i] = 120 * std::sin(0.05 * static_cast<double>(i));
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{0.05, 5, 25});
    const auto dampings = ParseDampingList("5, 2.5").value();
    const auto spectrum = ComputeResponseSpectrum(g, 0.01, periods, dampings);
    ASSERT_TRUE(spectrum.ok());
    std::ostringstream out;
    ASSERT_FALSE(WriteSpectrumCsv(out, *spectrum).has_value());
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), periods.size() + 1);
    EXPECT_EQ(Cp932ToUtf8(lines[0]).value(),
              "\"周期(s)\",\"Sd h=5%(cm)\",\"Sv h=5%(cm/s)\",\"Sa h=5%(cm/s2)\","
              "\"pSv h=5%(cm/s)\",\"pSa h=5%(cm/s2)\",\"Sd h=2.5%(cm)\",\"Sv h=2.5%(cm/s)\","
              "\"Sa h=2.5%(cm/s2)\",\"pSv h=2.5%(cm/s)\",\"pSa h=2.5%(cm/s2)\"");
    for (std::size_t p = 0; p < periods.size(); ++p) {
        const std::vector<std::string> items = Items(lines[p + 1]);
        ASSERT_EQ(items.size(), 11u);
        EXPECT_EQ(items[0], NumberText(periods[p]));
        EXPECT_EQ(items[6], NumberText(spectrum->curves[1].sd[p]));
        // pSa = w^2 Sd with the numbers as written, to their 15 digits.
        const double t = StrictNumber(items[0]).value();
        for (std::size_t d = 0; d < 2; ++d) {
            const double sd = StrictNumber(items[1 + 5 * d]).value();
            const double psa = StrictNumber(items[5 + 5 * d]).value();
            EXPECT_NEAR(psa, std::pow(2 * M_PI / t, 2) * sd, 1e-13 * psa);
        }
    }
}

TEST(StudyFiles, FourierAndAccuracyFileHeaders) {
    std::vector<double> g(64, 0.0);
    g[3] = 10;
    const auto fourier = ComputeFourierSpectrum(g, 0.02, 2.0);
    ASSERT_TRUE(fourier.ok());
    std::vector<std::optional<double>> transfer(fourier->frequencies.size(), 1.5);
    transfer[2] = std::nullopt;
    const MethodComparison m = CompareMethods(RunTexts{}, ExcitationCase::InitialVelocity, {});

    struct Case {
        std::function<std::optional<StudyError>(std::ostream&)> write;
        std::string header;
        std::size_t rows;
        std::string row2;  // the third data row
    };
    const Case cases[] = {
        {[&](std::ostream& o) { return WriteFourierCsv(o, *fourier); },
         "\"振動数(Hz)\",\"フーリエ振幅(cm/s)\",\"平滑化フーリエ振幅(cm/s)\"", 32,
         NumberText(fourier->frequencies[2]) + ",0.2," + NumberText(fourier->smoothed[2])},
        {[&](std::ostream& o) { return WriteFourierCsv(o, *fourier, transfer); },
         "\"振動数(Hz)\",\"フーリエ振幅(cm/s)\",\"平滑化フーリエ振幅(cm/s)\",\"伝達関数\"", 32,
         NumberText(fourier->frequencies[2]) + ",0.2," + NumberText(fourier->smoothed[2]) + ","},
        {[&](std::ostream& o) { return WriteAccuracyCsv(o, m); },
         "\"時刻(s)\",\"入力加速度(cm/"
         "s2)\",\"線形加速度法(cm)\",\"厳密解(cm)\",\"平均加速度法(cm)\"",
         1001,
         "0.02,0," + NumberText(m.linear.displacement[2]) + "," +
             NumberText(m.exact.displacement[2]) + "," + NumberText(m.average.displacement[2])},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        ASSERT_FALSE(c.write(out).has_value());
        const std::vector<std::string> lines = Lines(out.str());
        ASSERT_EQ(lines.size(), c.rows + 1);
        EXPECT_EQ(Cp932ToUtf8(lines[0]).value(), c.header);
        EXPECT_EQ(lines[3], c.row2);
    }

    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    EXPECT_TRUE(WriteAccuracyCsv(failing, m).has_value());
}

TEST(StudyFiles, IndicesTableRowsAndBytes) {
    auto component = [](std::string name, bool horizontal, double base) {
        ComponentIndices c;
        c.name = std::move(name);
        c.horizontal = horizontal;
        c.pga = base;
        c.pgv = base / 2;
        c.pgd = base / 8;
        if (horizontal) c.si = base * 3;
        c.arias = base / 16;
        c.significantDuration = base * 5;
        c.cav = base * 8;
        return c;
    };
    auto record = [](std::vector<std::string> paths) {
        ComponentSet set;
        for (std::string& p : paths) {
            set.components.emplace_back();
            set.components.back().path = p;
        }
        return set;
    };
    GroundMotionIndices three;
    three.components = {component("NS", true, 1.5), component("EW", true, 2),
                        component("UD", false, 0.5)};
    three.intensity = SeismicIntensity{};
    three.intensity->a = 127.85;
    three.intensity->value = 5.1534;
    three.vector = VectorPeaks{400, 50, 20};
    three.horizontalSi = 42.5;
    GroundMotionIndices still = three;  // a record without motion: a = 0, no intensity
    still.intensity = SeismicIntensity{};
    GroundMotionIndices one;
    one.components = {component("180", true, 1)};
    one.threeComponentReason = "3 成分がそろっていないため計算できません。";
    one.intensityReason = one.threeComponentReason;
    one.pairReason = "水平 2 成分がそろっていないため計算できません。";
    ComponentSet at2 = record({"x.AT2"});
    at2.problems.emplace_back();
    at2.problems.back().path = "x.AT2";

    const std::string header =
        "\"ファイル\",\"成分\",\"計測震度\",\"震度階級\",\"計測震度(3桁)\",\"a(cm/s2)\","
        "\"最大加速度(cm/s2)\",\"最大速度(cm/s)\",\"最大変位(cm)\",\"SI値(cm/s)\","
        "\"アリアス強度(m/s)\",\"有効継続時間5-95%(s)\",\"CAV(cm/s)\",\"備考\"";
    const struct {
        std::vector<IndicesRow> rows;
        std::vector<std::string> lines;  // after the header, as UTF-8
    } cases[] = {
        {IndicesRows(three, record({"d/R.NS", "d/R.EW", "d/R.UD"}), "d/R.NS"),
         {"\"d/R.NS\",\"NS\",,,,,1.5,0.75,0.1875,4.5,0.09375,7.5,12,",
          "\"d/R.EW\",\"EW\",,,,,2,1,0.25,6,0.125,10,16,",
          "\"d/R.UD\",\"UD\",,,,,0.5,0.25,0.0625,,0.03125,2.5,4,",
          "\"d/R.NS\",\"合成\",5.1,\"5強\",5.153,127.85,400,50,20,42.5,,,,"}},
        {{IndicesRows(still, record({"s", "s", "s"}), "s").back()},
         {"\"s\",\"合成\",,,,0,400,50,20,42.5,,,,"}},
        {IndicesRows(one, at2, "x.AT2"),
         {"\"x.AT2\",\"180\",,,,,1,0.5,0.125,3,0.0625,5,8,",
          "\"x.AT2\",\"合成\",,,,,,,,,,,,\"地震波ファイル「x.AT2」は 1 成分だけの記録です。"
          "計測震度と合成の値：3 成分がそろっていないため計算できません。\""}},
        // A quote doubled, a character Shift_JIS lacks as "?", the reason on one line.
        {{FailedIndicesRow("say \"ü\".txt", "開けません。\n理由：なし。")},
         {"\"say \"\"?\"\".txt\",,,,,,,,,,,,,\"開けません。理由：なし。\""}},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        ASSERT_FALSE(WriteIndicesCsv(out, c.rows).has_value());
        std::vector<std::string> lines = Lines(out.str());
        ASSERT_EQ(lines.size(), c.lines.size() + 1);
        EXPECT_EQ(Cp932ToUtf8(lines[0]).value(), header);
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(Cp932ToUtf8(lines[i + 1]).value(), c.lines[i]);
        }
    }
    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    EXPECT_TRUE(WriteIndicesCsv(failing, {}).has_value());
}

TEST(StudyFiles, WholeFilesAreReplacedOrLeftAlone) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kestrel-study-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "spectrum.csv").string();
    EXPECT_FALSE(WriteWholeFile(path, "old\r\n").has_value());
    EXPECT_FALSE(WriteWholeFile(path, "new\r\n").has_value());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new\r\n");

    const std::string missing = (folder / "none" / "spectrum.csv").string();
    const std::optional<SaveError> error = WriteWholeFile(missing, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(StudySaveErrorMessage(*error), "ファイル「" + missing +
                                                 "」を保存できませんでした。\n理由：" +
                                                 error->reason.Text() + "。");
    EXPECT_FALSE(error->reason.empty());
    // A folder of that name is refused and leaves no temporary file beside it.
    std::filesystem::create_directory(folder / "taken.csv");
    EXPECT_TRUE(WriteWholeFile((folder / "taken.csv").string(), "x").has_value());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              2);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestrel
