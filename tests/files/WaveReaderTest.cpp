// The wave file reader: what it accepts, what it refuses and where it stops reading.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "files/FileTestSupport.h"
#include "files/SystemErrorText.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using Kind = WaveError::Kind;
using test::EndlessBuffer;
using test::ScratchFolder;

TEST(WaveReader, ReadsEveryLayoutAsWritten) {
    const struct {
        std::string bytes;
        double timeStep;
        std::vector<double> samples;
    } cases[] = {
        {"0.02\n5\n-3.5\n", 0.02, {5, -3.5}},
        {"0.02,5,-3.5", 0.02, {5, -3.5}},
        {"0.02\r\n5,-3.5\r\n7\r\n", 0.02, {5, -3.5, 7}},
        {"0.02\r5\r-3.5", 0.02, {5, -3.5}},
        {"  0.02 \t\n\t5 , -3.5  \n", 0.02, {5, -3.5}},
        {"\n0.02\n\n  \n5\n\r\n\n", 0.02, {5}},
        {"\xEF\xBB\xBF"
         "0.02\r\n5\r\n",
         0.02,
         {5}},
        {"1E-02\n+3\n.5\n-7.\n1.5e+3\n0\n", 0.01, {3, 0.5, -7, 1500, 0}},
        {"0.02\n", 0.02, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const WaveReadResult r = ReadWaveBytes(c.bytes);
        ASSERT_TRUE(r.ok()) << r.error->detail;
        EXPECT_EQ(r.record.timeStep, c.timeStep);
        EXPECT_EQ(r.record.samples, c.samples);
    }
}

TEST(WaveReader, RefusesWhatIsNotAListOfNumbersAndSaysWhere) {
    using std::string;
    const struct {
        string bytes;
        Kind kind;
        int line;
        string item;
    } cases[] = {
        {"", Kind::NoNumber, 0, ""},
        {"\r\n  \n\t\n", Kind::NoNumber, 0, ""},
        {"\xEF\xBB\xBF", Kind::NoNumber, 0, ""},
        {"0\n1\n", Kind::NonPositiveTimeStep, 1, "0"},
        {"\n-0.01\n1\n", Kind::NonPositiveTimeStep, 2, "-0.01"},
        {"0,01\r\n1\r\n", Kind::NonPositiveTimeStep, 1, "0,01"},  // a decimal comma
        {" 0 ,01 , 5 \n", Kind::NonPositiveTimeStep, 1, "0,01 , 5"},
        {"0.01\n1\nabc\n", Kind::MalformedItem, 3, "abc"},
        {"0.01\n12cm\n", Kind::MalformedItem, 2, "12cm"},
        {"0.01\n1 2\n", Kind::MalformedItem, 2, "1 2"},
        {"1,,2", Kind::MalformedItem, 1, ""},
        {"0.01,\n2\n", Kind::MalformedItem, 1, ""},
        {"0.01,2,", Kind::MalformedItem, 1, ""},
        {",0.01", Kind::MalformedItem, 1, ""},
        {"0.01\r\n1\r\n\r\nx\r\n", Kind::MalformedItem, 4, "x"},
        {"0.01\r1\r\rx", Kind::MalformedItem, 4, "x"},
        {"0.01\n1e999\n", Kind::MalformedItem, 2, "1e999"},
        {"0.01\n\x82\x50\n", Kind::MalformedItem, 2, "\x82\x50"},  // full-width 1
        {string("0.01\n1\0\n", 8), Kind::MalformedItem, 2, string("1\0", 2)},
        {"0.01\n\xEF\xBB\xBF"
         "1\n",
         Kind::MalformedItem, 2,
         "\xEF\xBB\xBF"
         "1"},
        {"0.01\n" + string(500, '1'), Kind::MalformedItem, 2, string(kMaxWaveItemLength, '1')},
        {"0.01\n1" + string(300, ' ') + "2", Kind::MalformedItem, 2,
         "1" + string(kMaxWaveItemLength - 1, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        const WaveReadResult r = ReadWaveBytes(c.bytes);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, c.kind);
        EXPECT_EQ(r.error->line, c.line);
        EXPECT_EQ(r.error->detail, c.item);
    }
}

std::string NumbersFile(int count) {
    std::string bytes = "0.01\r\n";
    for (int k = 1; k < count; ++k) bytes += std::to_string(k % 300) + "\r\n";
    return bytes;
}

TEST(WaveReader, HoldsAtMostTheNumbersARunCanAnalyse) {
    EXPECT_EQ(ReadWaveBytes(NumbersFile(32766)).record.Count(), 32766);
    const WaveReadResult over = ReadWaveBytes(NumbersFile(32767));
    ASSERT_FALSE(over.ok());
    EXPECT_EQ(over.error->kind, Kind::TooManyNumbers);
    EXPECT_EQ(over.error->line, 32767);
    // A reading that allows more (a spectrum's) takes them, up to its own limit.
    EXPECT_EQ(ReadWaveBytes(NumbersFile(32767), {}, 32766).record.Count(), 32767);
    const WaveReadResult overLarger = ReadWaveBytes(NumbersFile(32768), {}, 32766);
    ASSERT_FALSE(overLarger.ok());
    EXPECT_NE(WaveErrorMessage(*overLarger.error, "x").prompt.find("32767 個を超えました"),
              std::string::npos);
}

TEST(WaveReader, StopsEarlyInEndlessInputAndNeverTakesAFailedReadForTheEnd) {
    const struct {
        std::string pattern;
        bool failing;
        Kind kind;
        long long mostBytesRead;
    } cases[] = {
        {std::string("\x01\xFF\x7F\x80\x00\x10", 6), false, Kind::MalformedItem, 1024},
        {"1234567890", false, Kind::MalformedItem, 1024},
        {"1\n", false, Kind::TooManyNumbers, 100'000},
        {"0.01\n1\n2\n", true, Kind::CannotRead, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EndlessBuffer source(c.pattern, c.failing);
        std::istream in(&source);
        const WaveReadResult r = ReadWaveText(in);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, c.kind);
        EXPECT_LE(source.taken, c.mostBytesRead);
    }
    // A 100 MB file of NUL bytes (sparse), with no line end: refused at its start.
    const ScratchFolder folder;
    std::ofstream(folder / "huge.bin").put('\x01');
    std::filesystem::resize_file(folder / "huge.bin", 100'000'000);
    const WaveReadResult huge = ReadWaveFile(folder / "huge.bin");
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.error->kind, Kind::MalformedItem);
}

TEST(WaveReader, FilesThatCannotBeOpenedSayWhy) {
    const ScratchFolder folder;
    test::WriteBytes(folder / "plain.txt", "0.02\n1\n");
    ASSERT_TRUE(ReadWaveFile(folder / "plain.txt").ok());
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        int systemError;
    } cases[] = {
        {folder / "missing.txt", ENOENT},
        {folder.path().string(), EISDIR},
        {folder / "plain.txt/wave.txt", ENOTDIR},
        {folder / "pipe", 0},  // refused without waiting for a writer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const WaveReadResult r = ReadWaveFile(c.path);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, Kind::CannotOpen);
        EXPECT_EQ(r.error->systemError, c.systemError);
        EXPECT_FALSE(r.error->reason.empty());
    }
    // Deleted between choosing and running.
    std::filesystem::remove(folder / "plain.txt");
    EXPECT_EQ(ReadWaveFile(folder / "plain.txt").error->systemError, ENOENT);
}

// A confirmed file sets the two boxes; the run then reads the file again and analyses it.
TEST(WaveReader, ARunOnAFileOfNNumbersHasNPlusOnePoints) {
    const ScratchFolder folder;
    const std::string path = folder / "wave.txt";
    for (const int count : {5, kMaxWaveNumbers}) {
        SCOPED_TRACE(count);
        test::WriteBytes(path, NumbersFile(count));
        const WaveReadResult chosen = ReadWaveFile(path);
        ASSERT_TRUE(chosen.ok());
        RunTexts texts;
        texts.timeStep = NumberText(chosen.record.timeStep);
        texts.analysisTime = NumberText(LeadingNumber(texts.timeStep) * (count - 1));
        RunHooks hooks;
        hooks.loadWaveRecord = [&]() -> std::optional<WaveRecord> {
            return ReadWaveFile(path).record;
        };
        const RunOutcome run = RunFromTexts(texts, ExcitationCase::Earthquake, hooks);
        ASSERT_EQ(run.status, RunOutcome::Status::Completed);
        const Response& r = *run.response;
        ASSERT_EQ(r.completedPoints(), count + 1);
        EXPECT_EQ(r.ground()[count - 2], (count - 1) % 300);
        EXPECT_EQ(r.ground()[count - 1], 0);
        EXPECT_EQ(r.ground()[count], 0);
    }
}

WaveError Error(Kind kind, int line, std::string detail, std::string label = "") {
    WaveError e;
    e.kind = kind;
    e.line = line;
    e.detail = std::move(detail);
    e.label = std::move(label);
    return e;
}

TEST(WaveReader, MessagesNameTheFileTheLineAndTheItem) {
    const std::string path = "/data/地震 波.txt";
    WaveError tooFew = Error(Kind::TooFewValues, 0, "");
    tooFew.found = 3925;
    tooFew.expected = 3930;
    WaveError tooLong = Error(Kind::RecordTooLong, 0, "");
    tooLong.timeStep = 0.02;
    WaveError cannotOpen = Error(Kind::CannotOpen, 0, "");
    cannotOpen.reason = SystemErrorReason(ENOENT);
    const struct {
        WaveError error;
        std::vector<std::string> parts;
    } cases[] = {
        {cannotOpen, {"を開けません", "理由：ファイルまたはフォルダーが見つかりません。"}},
        {Error(Kind::NoNumber, 0, ""), {"数値がありません"}},
        {Error(Kind::MalformedItem, 3, ""), {"3 行目", "値のない項目"}},
        {Error(Kind::MalformedItem, 7, "\x89\xc1\x91\xac\x93x"),
         {"7 行目", "「加速度」"}},                                 // CP932
        {Error(Kind::MalformedItem, 2, "加速度"), {"「加速度」"}},  // UTF-8
        {Error(Kind::MalformedItem, 2, std::string("1\0\x1b", 3)), {"「1\\x00\\x1B」"}},
        {Error(Kind::MalformedItem, 2, std::string(100, '9')), {std::string(30, '9') + "…」"}},
        {Error(Kind::MalformedItem, 2, "a加加加加加加加加加加加"), {"「a加加加加加加加加加…」"}},
        {Error(Kind::TooManyNumbers, 32767, "1"), {"32767 行目", "32766 個"}},
        {Error(Kind::NonPositiveTimeStep, 1, "-0.01"), {"時間刻み", "「-0.01」"}},
        {Error(Kind::NonPositiveTimeStep, 1, "0,01"), {"「0,01」", "小数点は「.」"}},
        {Error(Kind::HeaderEnded, 11, "", "Sampling Freq(Hz)"),
         {"見出しが途中で終わって", "11 行目", "「Sampling Freq(Hz)」", "ファイルがそこで"}},
        {Error(Kind::HeaderEnded, 4, "  1  2", "NPTS, DT"), {"4 行目", "「  1  2」とあります"}},
        {Error(Kind::BadSamplingRate, 11, "0Hz", "Sampling Freq(Hz)"), {"11 行目", "「0Hz」"}},
        {Error(Kind::BadSamplingRate, 0, "", "SAMPLING RATE"),
         {"「SAMPLING RATE」の行がありません"}},
        {Error(Kind::BadScaleFactor, 14, "3920(gal)/0", "Scale Factor"),
         {"「3920(gal)/0」", "分母"}},
        {Error(Kind::BadUnit, 3, "VELOCITY IN CM/S", "g"), {"「VELOCITY IN CM/S」", "加速度の g"}},
        {Error(Kind::BadCount, 19, "12.5"), {"19 行目", "「12.5」", "整数"}},
        {tooFew, {"3930 点", "3925 点"}},
        {tooLong, {"32765 点", "0.02 秒", "655.3 秒まで"}},
        {Error(Kind::ComponentNeeded, 0, ""), {"気象庁", "選び直して"}},
        {Error(Kind::ComponentMissing, 0, "UD"), {"「UD」成分の列がありません"}},
    };
    for (const auto& c : cases) {
        const FileMessage m = WaveErrorMessage(c.error, path);
        EXPECT_EQ(m.title, "地震波ファイルの読み込みエラー");
        for (const auto& part : c.parts) {
            EXPECT_NE(m.prompt.find(part), std::string::npos) << m.prompt << " / " << part;
        }
        EXPECT_NE(m.prompt.find(path), std::string::npos) << m.prompt;
    }
}

}  // namespace
}  // namespace kestrel
