// kestrel-batch: the command line, the exit statuses and messages, the files each command
// writes, and nothing left behind by a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "app/batch/BatchCommands.h"
#include "app/batch/BatchOptions.h"
#include "app/batch/BatchTable.h"
#include "files/FileTestSupport.h"
#include "files/RecordFixtures.h"
#include "files/TableReader.h"
#include "files/WaveChoice.h"
#include "runtime/Language.h"
#include "runtime/TextEncoding.h"
#include "study/IndicesFiles.h"
#include "study/InelasticStudy.h"
#include "study/MethodComparison.h"
#include "study/ResponseSpectrum.h"
#include "study/StrengthSpectrum.h"
#include "study/StudyFiles.h"
#include "study/StudyInputs.h"

namespace kestrel::batch {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const std::string kGolden = KESTREL_GOLDEN_DIR;

// Every file under the folder, by its path relative to it.
std::set<std::string> Files(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.insert(std::filesystem::relative(entry.path(), folder).string());
        }
    }
    return names;
}

struct Outcome {
    int status;
    std::string out, err;
};

// Runs the command in the folder, as the program would be run from it.
Outcome Batch(const test::ScratchFolder& folder, std::vector<std::string> args) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    std::ostringstream out, err;
    const int status = RunBatch(args, out, err);
    std::filesystem::current_path(previous);
    return {status, out.str(), err.str()};
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(folder / "wave.txt", "0.02\n10\n-20\n30\n");
        test::JmaFixture jma;
        jma.rows = {"1,2,3", "-4,-5,-6"};
        WriteBytes(folder / "jma.csv", test::JmaText(jma));
        WriteBytes(folder / "comma.txt", "0,01\n1\n2\n");
        WriteBytes(folder / "one.txt", "0.02\n5\n");
        WriteBytes(folder / "none.txt", "0.02\n");
        std::string longer = "0.01\n";  // longer than a run takes
        for (int k = 0; k < 40'000; ++k) longer += std::to_string(k % 7 - 3) + "\n";
        WriteBytes(folder / "long.txt", longer);
        WriteBytes(folder / "p1.csv", "base\nr\n");
        std::filesystem::create_directory(folder.path() / "out");
    }
    test::ScratchFolder folder;
};

TEST_F(BatchTest, ArgumentsGiveTheStatusTheMessageAndOnlyTheirFiles) {
    const std::set<std::string> inputs = Files(folder.path());
    const std::set<std::string> pair = {"out/r(建物パラメータ).csv", "out/r(時刻暦応答).csv"};
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;          // in standard error; empty: nothing there
        std::set<std::string> added;  // the files written
    } cases[] = {
        {{"response", "out/r"}, 0, "", pair},
        {{"response", "--stiffness", "250", "--mass=90000", "out/r"}, 0, "", pair},
        {{"response", "--forcing-amplitude=-200", "--", "out/r"}, 0, "", pair},
        {{"response", "--wave", "wave.txt", "out/r"}, 0, "", pair},
        {{"response", "--wave=jma.csv", "--component=UD", "out/r"}, 0, "", pair},
        {{"response", "--case", "initial-velocity", "--wave", "wave.txt", "out/r"},
         0,
         "注意: オプション「--wave」は --case initial-velocity の解析では使いません。",
         pair},
        {{"response", "--wave=jma.csv", "--component=ud", "out/r"}, 0, "", pair},
        {{"response", "--wave=wave.txt", "--component=NS", "out/r"},
         0,
         "「--component」は使いません。地震波ファイル「wave.txt」は成分が 1 つの記録です。",
         pair},
        {{"response", "--stiffness=", "out/r"}, 2, "「--stiffness」に値がありません", {}},
        {{"response", "--mass", "", "out/r"}, 2, "「--mass」に値がありません", {}},
        {{"response", "--wave=comma.txt", "out/r"}, 1, "（時間刻み）が「0,01」（1 行目）", {}},
        {{"response", "--wave=long.txt", "out/r"}, 1, "32766 個を超えました", {}},
        {{"response", "--mass", "-3", "out/r"}, 2, "--mass=-3", {}},
        {{"response", "--bogus=1", "out/r"}, 2, "不明なオプション「--bogus」", {}},
        {{"response", "-x", "out/r"}, 2, "不明なオプション「-x」", {}},
        {{"response", "--periods=1:2:3", "out/r"},
         2,
         "「--periods」は response では使えません",
         {}},
        {{"response", "--stiffness"}, 2, "「--stiffness」に値がありません", {}},
        {{"response"}, 2, "kestrel-batch response [オプション] BASE", {}},
        {{"response", "a", "b"}, 2, "引数の数が違います", {}},
        {{"table", "--mass=1", "p.csv", "out"}, 2, "table では使えません", {}},
        {{"frobnicate"}, 2, "不明なコマンド「frobnicate」", {}},
        {{}, 2, "コマンドがありません", {}},
        {{"response", "--case=sideways", "out/r"}, 2, "initial-displacement, initial-velocity", {}},
        {{"response", "--case", "earthquake", "out/r"}, 2, "--wave で地震波ファイル", {}},
        {{"response", "--wave=jma.csv", "out/r"}, 2, "--component NS, EW, UD", {}},
        {{"response", "--wave=jma.csv", "--component=XY", "out/r"}, 2, "「XY」は使えません", {}},
        {{"response", "--wave=gone.txt", "out/r"}, 1, "「gone.txt」", {}},
        {{"response", "--stiffness=0", "out/r"},
         1,
         "解析エラー: 建物固有周期を計算できません。",
         {}},
        {{"response", "--time-step=0", "out/r"}, 1, "（--time-step, --duration）", {}},
        {{"response", "--duration=400", "out/r"}, 1, "解析時間が長すぎます", {}},
        {{"response", "gone/r"}, 1, "「gone/r(建物パラメータ).csv」", {}},
        {{"response", "out/"}, 2, "保存先が選択されていません", {}},
        {{"table", "gone.csv", "out"}, 1, "「gone.csv」を読めませんでした", {}},
        {{"spectrum", "wave.txt", "out/s.csv"}, 0, "", {"out/s.csv"}},
        {{"spectrum", "--damping", "5", "--periods=0.1:1:3", "wave.txt", "out/s.csv"},
         0,
         "",
         {"out/s.csv"}},
        {{"spectrum", "--damping=2,abc", "wave.txt", "out/s.csv"},
         2,
         "「--damping」: 減衰定数の「abc」",
         {}},
        {{"spectrum", "--periods", "1:0.5:10", "wave.txt", "out/s.csv"},
         2,
         "「--periods」: 最大周期",
         {}},
        {{"spectrum", "jma.csv", "out/s.csv"}, 2, "--component NS, EW, UD", {}},
        {{"spectrum", "--component=EW", "jma.csv", "out/s.csv"}, 0, "", {"out/s.csv"}},
        {{"spectrum", "--mass=1", "wave.txt", "out/s.csv"}, 2, "spectrum では使えません", {}},
        {{"spectrum", "gone.txt", "out/s.csv"}, 1, "「gone.txt」", {}},
        {{"spectrum", "wave.txt", "gone/s.csv"}, 1, "「gone/s.csv」を保存できませんでした", {}},
        {{"spectrum", "wave.txt", "out/pipe"},
         1,
         "「out/pipe」を保存できませんでした。理由：通常のファイルではありません。",
         {}},
        {{"spectrum", "--periods", "0.1:1e999:10", "wave.txt", "out/s.csv"},
         2,
         "「--periods」: 最大周期の「1e999」は大きすぎます。",
         {}},
        {{"spectrum", "--component=ns", "wave.txt", "out/s.csv"},
         0,
         "「--component」は使いません",
         {"out/s.csv"}},
        {{"spectrum", "one.txt", "out/s.csv"}, 1, "の加速度は 1 点です。", {}},
        {{"spectrum", "none.txt", "out/s.csv"}, 1, "応答スペクトルには 2 点以上が必要です。", {}},
        {{"spectrum", "--periods=0.1:1:2", "--damping=5", "long.txt", "out/s.csv"},
         0,
         "",
         {"out/s.csv"}},
        {{"accuracy", "out/link"},
         1,
         "「out/link」を保存できませんでした。理由：通常のファイルではありません。",
         {}},
        {{"accuracy", "--case=initial-displacement", "--forcing-period=2", "out/a.csv"},
         0,
         "「--forcing-period」は --case initial-displacement の解析では使いません。",
         {"out/a.csv"}},
        {{"table", "p1.csv", "out/t"},
         1,
         "「out/t/summary.csv」を保存できませんでした。理由：通常のファイルではありません。",
         {"out/t/r(建物パラメータ).csv", "out/t/r(時刻暦応答).csv"}},
        {{"accuracy", "out/a.csv"}, 0, "", {"out/a.csv"}},
        {{"accuracy", "--stiffness=0", "out/a.csv"}, 1, "建物固有周期を計算できません", {}},
        {{"accuracy", "--time-step=0.25", "--duration=300", "--case=initial-velocity", "out/a.csv"},
         0,
         "安定限界を超えています (Δt/T = 0.689 > 0.551)。線形加速度法の応答は",
         {"out/a.csv"}},
        // The limit for the damping at hand, and a step below it that no longer swings.
        {{"accuracy", "--damping=20", "--time-step=0.204", "--case=initial-velocity", "out/a.csv"},
         0,
         "安定限界を超えています (Δt/T = 0.551 > 0.540)。",
         {"out/a.csv"}},
        {{"accuracy", "--damping=20", "--time-step=0.198", "--case=initial-velocity", "out/a.csv"},
         0,
         "2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します (Δt/T = "
         "0.535、安定限界 0.540)。",
         {"out/a.csv"}},
        {{"accuracy", "--case=earthquake", "out/a.csv"}, 2, "--wave で地震波ファイル", {}},
        {{"inelastic", "out/i.csv"}, 0, "", {"out/i.csv"}},
        {{"inelastic", "--model=origin", "--wave=wave.txt", "out/i.csv"}, 0, "", {"out/i.csv"}},
        {{"inelastic", "--model=elastic", "out/i.csv"},
         2,
         "「elastic」は使えません。bilinear, "
         "clough, origin のどれか",
         {}},
        {{"inelastic", "--yield-coefficient=0", "out/i.csv"},
         2,
         "オプション「--yield-coefficient」: 降伏せん断力係数の「0」は 0 以下です。",
         {}},
        {{"inelastic", "--yield-coefficient=abc", "out/i.csv"},
         2,
         "降伏せん断力係数の「abc」は数値ではありません。",
         {}},
        {{"inelastic", "--second-stiffness-ratio=1", "out/i.csv"},
         2,
         "オプション「--second-stiffness-ratio」: 第2剛性比の「1」は範囲外です。",
         {}},
        {{"inelastic", "--stiffness=0", "out/i.csv"}, 1, "解析エラー: 建物固有周期を", {}},
        // The elastic run completes; the energies of the elastic-plastic one overflow.
        {{"inelastic", "--forcing-amplitude=1e306", "--duration=1", "out/i.csv"},
         1,
         "弾塑性応答の計算エラー: 時刻 0.01 秒で応答が発散したため、計算を中止しました。",
         {}},
        {{"inelastic", "--ductility=2", "out/i.csv"}, 2, "inelastic では使えません", {}},
        {{"inelastic", "out/link"}, 1, "「out/link」を保存できませんでした。", {}},
        {{"strength-spectrum", "wave.txt", "out/y.csv"}, 0, "", {"out/y.csv"}},
        {{"strength-spectrum", "--ductility=1,0.5", "wave.txt", "out/y.csv"},
         2,
         "オプション「--ductility」: 塑性率の「0.5」は1 未満です。",
         {}},
        {{"strength-spectrum", "--damping=100", "wave.txt", "out/y.csv"},
         2,
         "オプション「--damping」: 減衰定数「100」",
         {}},
        {{"strength-spectrum", "--second-stiffness-ratio=-1", "wave.txt", "out/y.csv"},
         2,
         "オプション「--second-stiffness-ratio」: 第2剛性比「-1」",
         {}},
        {{"strength-spectrum", "--periods=1:0.5:10", "wave.txt", "out/y.csv"},
         2,
         "オプション「--periods」: 最大周期",
         {}},
        {{"strength-spectrum", "--periods=0.0001:1:10", "wave.txt", "out/y.csv"},
         1,
         "所要耐力スペクトルの計算エラー: 地震波ファイル「wave.txt」: 周期 0.0001 s",
         {}},
        {{"strength-spectrum", "jma.csv", "out/y.csv"}, 2, "--component NS, EW, UD", {}},
        {{"strength-spectrum", "--component=UD", "jma.csv", "out/y.csv"}, 0, "", {"out/y.csv"}},
        {{"strength-spectrum", "one.txt", "out/y.csv"},
         1,
         "所要耐力スペクトルには 2 点以上が必要です。",
         {}},
        {{"strength-spectrum", "--model=clough", "wave.txt", "out/y.csv"},
         2,
         "strength-spectrum では使えません",
         {}},
        {{"strength-spectrum", "wave.txt", "out/pipe"}, 1, "通常のファイルではありません", {}},
    };
    const std::filesystem::path out = folder.path() / "out";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out / "t");
        // Targets that are no regular files: a named pipe, a link to it, and another where
        // the table writes its summary.
        ASSERT_EQ(::mkfifo((out / "pipe").c_str(), 0644), 0);
        std::filesystem::create_symlink("pipe", out / "link");
        ASSERT_EQ(::mkfifo((out / "t/summary.csv").c_str(), 0644), 0);
        const Outcome o = Batch(folder, c.args);
        EXPECT_TRUE(std::filesystem::is_fifo(out / "pipe") &&
                    std::filesystem::is_symlink(out / "link") &&
                    std::filesystem::is_fifo(out / "t/summary.csv"));
        EXPECT_EQ(o.status, c.status);
        EXPECT_EQ(o.out, "");
        if (c.message.empty()) {
            EXPECT_EQ(o.err, "");
        } else {
            EXPECT_TRUE(o.err.starts_with("kestrel-batch: ")) << o.err;
            EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
            EXPECT_EQ(o.err.find("--help") != std::string::npos, c.status == 2) << o.err;
        }
        std::set<std::string> expected = inputs;
        expected.insert(c.added.begin(), c.added.end());
        EXPECT_EQ(Files(folder.path()), expected);
    }
}

// Records in each format the wave chooser reads, a few hundred samples each: a shaking of two
// frequencies, in whole counts (a network's raw record) or scaled by an exponent.
void WriteGoldenRecords(const test::ScratchFolder& folder) {
    const auto shake = [](int k) {
        return std::lround(3000 * std::sin(0.21 * k) + 1700 * std::sin(0.9 * k + 1) + 250);
    };
    const auto scaled = [&](int k, int by, const char* exponent) {
        return std::to_string(shake(k) / by) + exponent;
    };
    std::string plain = "0.02\n";
    test::KnetFixture knet;
    test::JmaFixture jma;
    test::At2Fixture at2;
    at2.points = "NPTS=   250, DT=   .0100 SEC";
    for (int k = 0; k < 400; ++k) {
        if (k < 300) plain += scaled(k, 1, "E-1\n");
        knet.counts.push_back(shake(k) * 997);
        jma.rows.push_back(scaled(k, 2, "E-1,") + scaled(k + 7, 3, "E-1,") +
                           scaled(k + 3, 5, "E-1"));
        if (k < 250) at2.values.push_back(scaled(k, 1, "E-5"));
    }
    WriteBytes(folder / "golden.txt", plain);
    WriteBytes(folder / "golden.NS", test::KnetText(knet));
    WriteBytes(folder / "golden.csv", test::JmaText(jma));
    WriteBytes(folder / "golden.AT2", test::At2Text(at2));
}

// Both files of `response` compared byte for byte with copies: those of the default steady
// runs checked by hand, the others written by the program before its analysis was rebuilt
// (every excitation case and every record format). KESTREL_UPDATE_GOLDEN=1 rewrites the
// copies instead (check them again before committing).
TEST_F(BatchTest, ResponseWritesTheGoldenFiles) {
    WriteGoldenRecords(folder);
    const struct {
        std::vector<std::string> options;
        std::string parameters;
        std::string history;
    } cases[] = {
        {{"--case", "steady-acceleration"}, "default-parameters.csv", "default-history.csv"},
        {{"--case", "steady-displacement"}, "default-parameters.csv", "displacement-history.csv"},
        {{"--case=initial-displacement", "--stiffness=250", "--initial-displacement=3.5",
          "--duration=3"},
         "stiffness-250-parameters.csv",
         "initial-displacement-history.csv"},
        {{"--case=initial-velocity", "--damping=0", "--duration=3"},
         "damping-0-parameters.csv",
         "initial-velocity-history.csv"},
        {{"--case=steady-acceleration", "--forcing-period=0.37", "--forcing-amplitude=-150",
          "--time-step=0.005", "--duration=2"},
         "default-parameters.csv",
         "steady-acceleration-history.csv"},
        {{"--wave=golden.txt", "--damping=5"}, "damping-5-parameters.csv", "plain-history.csv"},
        {{"--wave=golden.NS"}, "default-parameters.csv", "knet-history.csv"},
        {{"--wave=golden.csv", "--component=EW", "--mass=150000"},
         "mass-150000-parameters.csv",
         "jma-history.csv"},
        // The box's time step edited after the file was confirmed: the record's own is used.
        {{"--wave=golden.AT2", "--time-step=0.02"}, "default-parameters.csv", "at2-history.csv"},
    };
    const bool update = std::getenv("KESTREL_UPDATE_GOLDEN") != nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.history);
        std::vector<std::string> args = {"response"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("結果");
        const Outcome run = Batch(folder, args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::pair<std::string, std::string> files[] = {
            {folder / "結果(建物パラメータ).csv", kGolden + "/" + c.parameters},
            {folder / "結果(時刻暦応答).csv", kGolden + "/" + c.history},
        };
        for (const auto& [written, expected] : files) {
            if (update) WriteBytes(expected, ReadBytes(written));
            EXPECT_TRUE(ReadBytes(written) == ReadBytes(expected)) << expected;
        }
    }
}

// The study window's exports, from the same library calls the window makes.
TEST_F(BatchTest, SpectrumAndAccuracyWriteTheStudyExports) {
    const WaveRecord record = ReadWaveFile(folder / "wave.txt").record;
    const auto dampings = ParseDampingList("2,5,10");
    const auto spectrum =
        ComputeResponseSpectrum(record.samples, record.timeStep,
                                SpectrumPeriods(*ParsePeriodRangeOption("0.02:10:200")), *dampings);
    ASSERT_TRUE(spectrum.ok());
    std::ostringstream spectrumText;
    ASSERT_FALSE(WriteSpectrumCsv(spectrumText, *spectrum));

    RunTexts fromRecord;
    fromRecord.timeStep = "0.02";
    fromRecord.analysisTime = "0.06";
    const struct {
        std::vector<std::string> args;
        RunTexts texts;
        ExcitationCase excitation;
        std::optional<WaveRecord> record;
    } accuracy[] = {
        {{"accuracy", "out/a.csv"}, RunTexts{}, ExcitationCase::SteadyAcceleration, {}},
        {{"accuracy", "--wave", "wave.txt", "out/a.csv"},
         fromRecord,
         ExcitationCase::Earthquake,
         record},
    };
    ASSERT_EQ(Batch(folder, {"spectrum", "wave.txt", "out/s.csv"}).status, 0);
    EXPECT_TRUE(ReadBytes(folder / "out/s.csv") == spectrumText.str());
    for (const auto& c : accuracy) {
        std::ostringstream text;
        ASSERT_FALSE(WriteAccuracyCsv(text, CompareMethods(c.texts, c.excitation, c.record)));
        ASSERT_EQ(Batch(folder, c.args).status, 0);
        EXPECT_TRUE(ReadBytes(folder / "out/a.csv") == text.str()) << c.args[1];
    }
}

// The exports of the tabs of the yielding building, from the library calls the tabs make: every
// excitation case and spring model, records of two formats, the defaults and every option.
TEST_F(BatchTest, InelasticAndStrengthSpectrumWriteTheTabsExports) {
    WriteGoldenRecords(folder);
    const auto recordTexts = [&](const std::string& name, std::optional<RecordComponent> c) {
        RunTexts texts;
        const WaveRecord record = ReadWaveFile(folder / name, c).record;
        const WaveTimeTexts times = WaveTimeTextsFor(record).value();
        texts.timeStep = times.timeStep;
        texts.analysisTime = times.analysisTime;
        return std::pair{texts, std::optional<WaveRecord>(record)};
    };
    RunTexts stiffer;
    stiffer.model.stiffness = "450";
    stiffer.displacementMax = "10";
    RunTexts pushed;
    pushed.firstDisplacement = "3";  // beyond the yield displacement, 0.65 cm
    const auto [knetTexts, knet] = recordTexts("golden.NS", std::nullopt);
    const struct {
        std::vector<std::string> options;
        RunTexts texts;
        ExcitationCase excitation;
        std::optional<WaveRecord> record;
        InelasticParameters parameters;
    } inelastic[] = {
        {{}, RunTexts{}, ExcitationCase::SteadyAcceleration, {}, {SpringModel::Bilinear, 0.2, 0}},
        {{"--case=steady-displacement", "--stiffness=450", "--displacement-amplitude=10",
          "--model=clough", "--yield-coefficient=0.15", "--second-stiffness-ratio=0.1"},
         stiffer,
         ExcitationCase::SteadyDisplacement,
         {},
         {SpringModel::Clough, 0.15, 0.1}},
        {{"--case", "initial-displacement", "--initial-displacement", "3", "--model", "origin"},
         pushed,
         ExcitationCase::InitialDisplacement,
         {},
         {SpringModel::Origin, 0.2, 0}},
        {{"--wave=golden.NS", "--yield-coefficient=0.002", "--second-stiffness-ratio=0.05"},
         knetTexts,
         ExcitationCase::Earthquake,
         knet,
         {SpringModel::Bilinear, 0.002, 0.05}},
    };
    for (const auto& c : inelastic) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        RunHooks hooks;
        hooks.loadWaveRecord = [&] { return c.record; };
        const RunOutcome run = RunFromTexts(c.texts, c.excitation, hooks);
        ASSERT_EQ(run.status, RunOutcome::Status::Completed);
        const auto response = ComputeInelasticResponse(*run.inputs, *run.motion, c.parameters);
        ASSERT_TRUE(response.ok());
        EXPECT_GT(response->summary().ductility, 1.5);  // it yields
        std::ostringstream text;
        ASSERT_FALSE(WriteInelasticCsv(text, *response));
        std::vector<std::string> args = {"inelastic"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("out/i.csv");
        const Outcome o = Batch(folder, args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(ReadBytes(folder / "out/i.csv") == text.str());
    }

    const auto withDamping = [](std::string damping) {
        StrengthTexts t;
        t.damping = std::move(damping);
        return t;
    };
    StrengthTexts other = withDamping("5");
    other.ductilities = "1,2,4,8";
    other.secondStiffnessRatio = "0.1";
    other.periodOption = "0.1:2:20";
    const struct {
        std::vector<std::string> options;
        std::string file;
        std::optional<RecordComponent> component;
        StrengthTexts texts;
    } strength[] = {
        // The tab's defaults, the damping the building's: 2 %.
        {{}, "golden.NS", {}, withDamping("2")},
        {{"--damping=5", "--ductility", "1 2 4 8", "--second-stiffness-ratio=0.1",
          "--periods=0.1:2:20", "--component=EW"},
         "golden.csv",
         RecordComponent::EW,
         other},
    };
    for (const auto& c : strength) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        const WaveRecord record = ReadWaveFile(folder / c.file, c.component).record;
        const auto spectrum = ComputeStrengthSpectrum(record.samples, record.timeStep,
                                                      ReadStrengthSettings(c.texts).value());
        ASSERT_TRUE(spectrum.ok());
        std::ostringstream text;
        ASSERT_FALSE(WriteStrengthCsv(text, *spectrum));
        std::vector<std::string> args = {"strength-spectrum"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {c.file, "out/y.csv"});
        const Outcome o = Batch(folder, args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(ReadBytes(folder / "out/y.csv") == text.str());
    }
}

TEST_F(BatchTest, HelpAndVersion) {
    const Outcome help = Batch(folder, {"--help"});
    EXPECT_EQ(help.status, 0);
    RunTexts defaults;
    for (const RunOption& o : RunOptions()) {
        EXPECT_NE(help.out.find("--" + std::string(o.name)), std::string::npos) << o.name;
        EXPECT_NE(help.out.find("既定 " + o.field(defaults) + "\n"), std::string::npos) << o.name;
    }
    for (const std::string_view word : {"spectrum",
                                        "accuracy",
                                        "indices",
                                        "--low-cut",
                                        "table",
                                        "--periods",
                                        "--wave",
                                        "--component",
                                        "earthquake",
                                        "2,5,10",
                                        "0.02:10:200",
                                        "inelastic",
                                        "strength-spectrum",
                                        "--model",
                                        "bilinear",
                                        "clough",
                                        "origin",
                                        "--yield-coefficient",
                                        "--ductility",
                                        "--second-stiffness-ratio",
                                        "0.05:5:100",
                                        "既定 1, 2, 4",
                                        "既定 0.2",
                                        "既定 2（建物の減衰定数の既定値）"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(Batch(folder, {"response", "--help"}).out, help.out);
    const Outcome version = Batch(folder, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("kestrel-batch ")) << version.out;

    // Standard output that refuses the text (a full disk) fails the command.
    for (const std::string arg : {"--help", "--version"}) {
        for (const std::size_t room : {0, 10}) {
            test::FailingWriteBuffer full(room);
            std::ostream refusing(&full);
            std::ostringstream err;
            const std::string args[] = {arg};
            EXPECT_EQ(RunBatch(args, refusing, err), 1) << arg << room;
            EXPECT_EQ(err.str(), "kestrel-batch: 標準出力に書き込めませんでした。\n");
        }
    }
}

// The items of a CSV line, quotes taken off (a doubled quote is one).
std::vector<std::string> CsvItems(const std::string& line) {
    std::vector<std::string> items(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            items.back() += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            items.emplace_back();
        } else {
            items.back() += c;
        }
    }
    return items;
}

TEST_F(BatchTest, IndicesRowsStatusesAndSiblings) {
    // A K-NET recording of three files, one missing its UD file, a plain record, an AT2
    // record and a JMA CSV record, each long enough for every index.
    std::filesystem::create_directories(folder.path() / "k");
    std::filesystem::create_directories(folder.path() / "m");
    const std::pair<const char*, const char*> directions[] = {
        {"NS", "N-S"}, {"EW", "E-W"}, {"UD", "U-D"}};
    for (std::size_t d = 0; d < 3; ++d) {
        test::KnetFixture f;
        f.direction = directions[d].second;
        for (long long k = 0; k < 64; ++k) f.counts.push_back((k * (d + 3)) % 17 * 40000 - 320000);
        const std::string name = std::string("/R.") + directions[d].first;
        WriteBytes(folder / ("k" + name), test::KnetText(f));
        if (d < 2)
            WriteBytes(folder / ("m/M." + std::string(directions[d].first)), test::KnetText(f));
    }
    std::string plain = "0.01\n";
    for (int k = 0; k < 100; ++k) plain += std::to_string((k * 7) % 23 - 11) + "\n";
    WriteBytes(folder / "plain.txt", plain);
    test::At2Fixture at2;
    at2.points = "NPTS=    40, DT=   .0100 SEC";
    for (int k = 0; k < 40; ++k) at2.values.push_back(std::to_string((k % 9 - 4) * 0.01));
    WriteBytes(folder / "x.AT2", test::At2Text(at2));
    test::JmaFixture jma;
    for (int k = 0; k < 50; ++k) {
        jma.rows.push_back(std::to_string(k % 9 - 4) + "," + std::to_string(k % 13 - 6) + "," +
                           std::to_string(k % 5 - 2));
    }
    WriteBytes(folder / "jma3.csv", test::JmaText(jma));

    const std::string whole(kCompositeRowName);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;  // in standard error; empty: nothing there
        // Each row's file and component, "*" after the component where the row has an
        // intensity; none when no file is written.
        std::vector<std::string> rows;
    } cases[] = {
        {{"indices", "k/R.EW", "out/i.csv"},
         0,
         "",
         {"k/R.NS NS", "k/R.EW EW", "k/R.UD UD", "k/R.EW " + whole + "*"}},
        // Siblings named too are computed once, under any of their names.
        {{"indices", "k/R.NS", "k/R.UD", "./k/R.EW", "plain.txt", "k/R.NS", "out/i.csv"},
         0,
         "",
         {"k/R.NS NS", "k/R.EW EW", "k/R.UD UD", "k/R.NS " + whole + "*", "plain.txt plain.txt",
          "plain.txt " + whole}},
        {{"indices", "m/M.EW", "out/i.csv"},
         0,
         "kestrel-batch: 注意: UD 成分のファイル「m/M.UD」が見つかりません。\n",
         {"m/M.NS NS", "m/M.EW EW", "m/M.EW " + whole}},
        {{"indices", "x.AT2", "jma3.csv", "out/i.csv"},
         0,
         "",
         {"x.AT2 180", "x.AT2 " + whole, "jma3.csv NS", "jma3.csv EW", "jma3.csv UD",
          "jma3.csv " + whole + "*"}},
        // A record that fails is a row of its own; the others are computed.
        {{"indices", "gone.txt", "wave.txt", "plain.txt", "out/i.csv"},
         1,
         "記録が短すぎます",
         {"gone.txt ", "wave.txt ", "plain.txt plain.txt", "plain.txt " + whole}},
        {{"indices", "--low-cut=60", "plain.txt", "out/i.csv"},
         1,
         "ナイキスト周波数 50 Hz より小さく",
         {"plain.txt "}},
        {{"indices", "--low-cut", "０．５", "plain.txt", "out/i.csv"},
         0,
         "",
         {"plain.txt plain.txt", "plain.txt " + whole}},
        {{"indices", "--low-cut=0", "plain.txt", "out/i.csv"}, 2, "「--low-cut」", {}},
        {{"indices", "out/i.csv"}, 2, "引数の数が違います", {}},
        {{"indices", "--component=NS", "jma3.csv", "out/i.csv"}, 2, "indices では使えません", {}},
        {{"indices", "plain.txt", "out/pipe"}, 1, "通常のファイルではありません", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::filesystem::remove_all(folder.path() / "out");
        std::filesystem::create_directories(folder.path() / "out");
        ASSERT_EQ(::mkfifo((folder.path() / "out/pipe").c_str(), 0644), 0);
        const Outcome o = Batch(folder, c.args);
        EXPECT_EQ(o.status, c.status);
        if (c.message.empty()) {
            EXPECT_EQ(o.err, "");
        } else if (c.message.starts_with("kestrel-batch: ")) {
            EXPECT_EQ(o.err, c.message);
        } else {
            EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        }
        EXPECT_EQ(std::filesystem::exists(folder.path() / "out/i.csv"), !c.rows.empty());
        if (c.rows.empty()) continue;
        const std::string text = *Cp932ToUtf8(ReadBytes(folder / "out/i.csv"));
        std::vector<std::string> rows;
        for (std::size_t at = text.find("\r\n") + 2; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            const std::vector<std::string> items = CsvItems(text.substr(at, end - at));
            EXPECT_EQ(items.size(), 14u);
            rows.push_back(items[0] + " " + items[1] + (items[2].empty() ? "" : "*"));
            // A failed record's row has its reason, a 合成 row without intensity why.
            EXPECT_EQ(items[13].empty(),
                      !items[1].empty() && (items[1] != whole || !items[2].empty()))
                << rows.back() << ": " << items[13];
            at = end + 2;
        }
        EXPECT_EQ(rows, c.rows);
    }
}

TEST_F(BatchTest, TableRunsEveryRowAndReportsTheBadOnes) {
    const std::string params =
        "base,stiffness,case,wave,duration\r\n"
        "既定,,,,\r\n"
        "剛性0,0,,,\r\n"
        "横,,sideways,,\r\n"
        "既定,,,,\r\n"
        ",300,,,\r\n"
        "地震,,,wave.txt,\r\n";
    const struct {
        std::string name;
        std::string bytes;
    } encodings[] = {
        {"UTF-8", params},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + params},
        {"CP932", *Utf8ToCp932(params)},
    };
    ASSERT_EQ(Batch(folder, {"response", "ref"}).status, 0);
    ASSERT_EQ(Batch(folder, {"response", "--wave=wave.txt", "eq"}).status, 0);
    for (const auto& e : encodings) {
        SCOPED_TRACE(e.name);
        std::filesystem::remove_all(folder.path() / "out");
        WriteBytes(folder / "p.csv", e.bytes);
        const Outcome o = Batch(folder, {"table", "p.csv", "out/new"});
        EXPECT_EQ(o.status, 1);
        for (const std::string line :
             {"3 行目（剛性0）: 解析エラー", "4 行目（横）: オプション「--case」",
              "5 行目（既定）: 基本名「既定」は 2 行目と同じです",
              "6 行目: 基本名（base）がありません"}) {
            EXPECT_NE(o.err.find("kestrel-batch: ファイル「p.csv」の " + line), std::string::npos)
                << o.err;
        }
        EXPECT_EQ(Files(folder.path() / "out/new"),
                  (std::set<std::string>{"summary.csv", "既定(建物パラメータ).csv",
                                         "既定(時刻暦応答).csv", "地震(建物パラメータ).csv",
                                         "地震(時刻暦応答).csv"}));
        EXPECT_TRUE(ReadBytes(folder / "out/new/既定(時刻暦応答).csv") ==
                    ReadBytes(folder / "ref(時刻暦応答).csv"));
        EXPECT_TRUE(ReadBytes(folder / "out/new/地震(時刻暦応答).csv") ==
                    ReadBytes(folder / "eq(時刻暦応答).csv"));

        const std::string summary = *Cp932ToUtf8(ReadBytes(folder / "out/new/summary.csv"));
        const std::vector<CsvRow> rows = ParseCsv(summary);
        ASSERT_EQ(rows.size(), 7u) << summary;
        EXPECT_TRUE(summary.starts_with(
            "\"基本名\",\"建物固有周期(s)\",\"入力加速度の最大値(cm/s2)\",\"応答加速度の最大値(cm/"
            "s2)\","
            "\"応答速度の最大値(cm/"
            "s)\",\"応答変位の最大値(cm)\",\"エラー\"\r\n\"既定\",0.362832446594252,"))
            << summary;
        EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 7);
        EXPECT_EQ(std::count(summary.begin(), summary.end(), '\r'), 7);
        const std::string failed[] = {"剛性0", "横", "既定", ""};
        for (std::size_t r = 2; r <= 5; ++r) {
            EXPECT_EQ(rows[r].fields[0], failed[r - 2]);
            EXPECT_EQ(rows[r].fields[1], "");
            EXPECT_FALSE(rows[r].fields[6].empty());
        }
        EXPECT_NE(rows[2].fields[6].find("建物固有周期を計算できません。"), std::string::npos);
        EXPECT_EQ(rows[6].fields[6], "");
    }
}

TEST_F(BatchTest, TableRowsRefuseBaseNamesThatMakeNoPlainFileName) {
    WriteBytes(folder / "p.csv",
               "base,case,forcing-period\r\n\"a\nb\",,\r\n.,,\r\n..,,\r\n\"t\tab\",,\r\n"
               "\"del\x7F\",,\r\n\"c1\xC2\x85\",,\r\nok,initial-velocity,2\r\n");
    const Outcome o = Batch(folder, {"table", "p.csv", "out/new"});
    EXPECT_EQ(o.status, 1);
    const std::string lines[] = {
        "2 行目（a\\x0Ab）: 基本名「a\\x0Ab」に改行やタブなどの制御文字があります。\n",
        "4 行目（.）: 基本名「.」は使えません",
        "5 行目（..）: 基本名「..」は使えません",
        "6 行目（t\\x09ab）: 基本名「t\\x09ab」に",
        "7 行目（del\\x7F）: 基本名「del\\x7F」に",
        "8 行目（c1\\xC2\\x85）: 基本名「c1\\xC2\\x85」に",
        "9 行目（ok）: 注意: オプション「--forcing-period」は --case initial-velocity の",
    };
    for (const std::string& line : lines) {
        EXPECT_NE(o.err.find("kestrel-batch: ファイル「p.csv」の " + line), std::string::npos)
            << o.err;
    }
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 7) << o.err;
    EXPECT_EQ(
        Files(folder.path() / "out/new"),
        (std::set<std::string>{"summary.csv", "ok(建物パラメータ).csv", "ok(時刻暦応答).csv"}));
    const std::string summary = *Cp932ToUtf8(ReadBytes(folder / "out/new/summary.csv"));
    EXPECT_NE(summary.find("\r\n\"a\\x0Ab\",,,,,,\"基本名"), std::string::npos) << summary;
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 8) << summary;
}

TEST_F(BatchTest, ATableWithABadHeaderOrTextRunsNothing) {
    const struct {
        std::string bytes;
        int status;
        std::string message;
    } cases[] = {
        {"base,stifness\nr,300\n", 2, "見出し「stifness」は使えません"},
        {"stiffness\n300\n", 2, "見出しに base（基本名）がありません"},
        {"base,mass,mass\nr,1,2\n", 2, "見出し「mass」が 2 つあります"},
        {"", 2, "見出しの行がありません"},
        {"base\n\x82\xFF\n", 1, "UTF-8 でも CP932 でもありません"},
    };
    for (const auto& c : cases) {
        WriteBytes(folder / "p.csv", c.bytes);
        const Outcome o = Batch(folder, {"table", "p.csv", "out/new"});
        EXPECT_EQ(o.status, c.status) << c.message;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "out/new")) << c.message;
    }
}

// Whether the text holds a character of Japanese script (the lead bytes of U+3000 .. U+9FFF
// and of the full-width forms), apart from the files' own words: the result files' suffixes
// and the indices' composite row.
bool HoldsJapanese(std::string_view text) {
    std::string utf8(text);
    for (const std::string_view word : {"(建物パラメータ)", "(時刻暦応答)", "合成"}) {
        for (std::size_t at; (at = utf8.find(word)) != std::string::npos;)
            utf8.erase(at, word.size());
    }
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if ((lead >= 0xE3 && lead <= 0xE9) || (lead == 0xEF && next >= 0xBC && next <= 0xBF)) {
            return true;
        }
    }
    return false;
}

TEST_F(BatchTest, InEnglishTheMessagesChangeAndTheFilesDoNot) {
    WriteBytes(folder / "p.csv",
               "base,stiffness,case,wave\r\nok,,,\r\nzero,0,,\r\nside,,sideways,\r\n"
               "eq,,,comma.txt\r\n");
    std::string plain = "0.01\n";
    for (int k = 0; k < 100; ++k) plain += std::to_string((k * 7) % 23 - 11) + "\n";
    WriteBytes(folder / "plain.txt", plain);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string english;             // in standard error
        std::vector<std::string> files;  // written, compared with the Japanese run's
    } cases[] = {
        {{"table", "p.csv", "out/t"},
         1,
         "File \"p.csv\", line 3 (zero): Analysis error: ",
         {"out/t/summary.csv", "out/t/ok(建物パラメータ).csv", "out/t/ok(時刻暦応答).csv"}},
        {{"indices", "one.txt", "plain.txt", "out/i.csv"},
         1,
         "Cannot compute the ground-motion indices. The record is too short",
         {"out/i.csv"}},
        {{"response", "--wave=comma.txt", "out/r"}, 1, "Write the decimal point as \".\"", {}},
        {{"spectrum", "--periods=1:0.5:10", "wave.txt", "out/s.csv"},
         2,
         "The maximum period must be greater than the minimum period.",
         {}},
        {{"response", "--mass"}, 2, "Option \"--mass\" has no value.", {}},
        {{"sideways"}, 2, "Unknown command \"sideways\".", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::map<std::string, std::string> japanese;
        for (const char* language : {"ja", "en"}) {
            std::filesystem::remove_all(folder.path() / "out");
            std::filesystem::create_directories(folder.path() / "out");
            std::vector<std::string> args = {std::string("--lang=") + language};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const Outcome o = Batch(folder, args);
            EXPECT_EQ(o.status, c.status);
            if (std::string(language) == "ja") {
                EXPECT_TRUE(HoldsJapanese(o.err)) << o.err;
                for (const std::string& f : c.files) japanese[f] = ReadBytes(folder / f);
                continue;
            }
            EXPECT_NE(o.err.find(c.english), std::string::npos) << o.err;
            EXPECT_FALSE(HoldsJapanese(o.err)) << o.err;
            for (const std::string& f : c.files) EXPECT_EQ(ReadBytes(folder / f), japanese[f]) << f;
        }
    }
    // The help in English; a --lang that names neither language is a usage error in the
    // language in force.
    EXPECT_FALSE(HoldsJapanese(Batch(folder, {"--lang", "en", "--help"}).out));
    SetProgramLanguage(Language::Japanese);
    const Outcome bad = Batch(folder, {"--lang=fr", "--help"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("オプション「--lang」の値「fr」は使えません"), std::string::npos)
        << bad.err;
    EXPECT_EQ(Batch(folder, {"--lang", "--help"}).status, 2);
    EXPECT_EQ(ProgramLanguage(), Language::Japanese);
}

}  // namespace
}  // namespace kestrel::batch
