// The wave file reader: what it accepts, what it refuses and where it stops reading.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "analysis/Run.h"
#include "files/FileTestSupport.h"
#include "files/WaveFile.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using Kind = WaveError::Kind;
using test::ScratchFolder;

struct GoodFile {
    const char* what;
    std::string bytes;
    double timeStep;
    std::vector<double> samples;
};

TEST(WaveReader, ReadsEveryLayoutAsWritten) {
    const GoodFile cases[] = {
        {"one per line", "0.02\n5\n-3.5\n", 0.02, {5, -3.5}},
        {"commas", "0.02,5,-3.5", 0.02, {5, -3.5}},
        {"commas and lines", "0.02\n5,-3.5\n7", 0.02, {5, -3.5, 7}},
        {"CR LF", "0.02\r\n5\r\n-3.5\r\n", 0.02, {5, -3.5}},
        {"lone CR", "0.02\r5\r-3.5", 0.02, {5, -3.5}},
        {"blanks around", "  0.02 \t\n\t5 , -3.5  \n", 0.02, {5, -3.5}},
        {"blank lines", "\n0.02\n\n  \n5\n\r\n\n", 0.02, {5}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "0.02\r\n5\r\n",
         0.02,
         {5}},
        {"number forms", "1E-02\n+3\n.5\n-7.\n1.5e+3\n0\n", 0.01, {3, 0.5, -7, 1500, 0}},
        {"only the time step", "0.02\n", 0.02, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WaveReadResult r = ReadWaveBytes(c.bytes);
        ASSERT_TRUE(r.ok()) << r.error->detail;
        EXPECT_EQ(r.record.timeStep, c.timeStep);
        EXPECT_EQ(r.record.samples, c.samples);
    }
}

struct BadFile {
    const char* what;
    std::string bytes;
    Kind kind;
    int line;
    std::string item;
};

TEST(WaveReader, RefusesWhatIsNotAListOfNumbers) {
    const BadFile cases[] = {
        {"empty", "", Kind::NoNumber, 0, ""},
        {"only blank lines", "\r\n  \n\t\n", Kind::NoNumber, 0, ""},
        {"only a byte-order mark", "\xEF\xBB\xBF", Kind::NoNumber, 0, ""},
        {"time step 0", "0\n1\n", Kind::NonPositiveTimeStep, 1, "0"},
        {"negative time step", "\n-0.01\n1\n", Kind::NonPositiveTimeStep, 2, "-0.01"},
        {"letters", "0.01\n1\nabc\n", Kind::MalformedItem, 3, "abc"},
        {"number with a unit", "0.01\n12cm\n", Kind::MalformedItem, 2, "12cm"},
        {"two numbers in one item", "0.01\n1 2\n", Kind::MalformedItem, 2, "1 2"},
        {"empty item between commas", "1,,2", Kind::MalformedItem, 1, ""},
        {"comma at the end of a line", "0.01,\n2\n", Kind::MalformedItem, 1, ""},
        {"comma at the end of the file", "0.01,2,", Kind::MalformedItem, 1, ""},
        {"comma first", ",0.01", Kind::MalformedItem, 1, ""},
        {"line count with CR LF", "0.01\r\n1\r\n\r\nx\r\n", Kind::MalformedItem, 4, "x"},
        {"line count with lone CR", "0.01\r1\r\rx", Kind::MalformedItem, 4, "x"},
        {"beyond the 64-bit range", "0.01\n1e999\n", Kind::MalformedItem, 2, "1e999"},
        {"full-width digit (CP932)", "0.01\n\x82\x50\n", Kind::MalformedItem, 2, "\x82\x50"},
        {"NUL byte", std::string("0.01\n1\0\n", 8), Kind::MalformedItem, 2, std::string("1\0", 2)},
        {"byte-order mark not at the start",
         "0.01\n\xEF\xBB\xBF"
         "1\n",
         Kind::MalformedItem, 2,
         "\xEF\xBB\xBF"
         "1"},
        {"endless item", "0.01\n" + std::string(500, '1'), Kind::MalformedItem, 2,
         std::string(kMaxWaveItemLength, '1')},
        {"blanks inside a long item", "0.01\n1" + std::string(300, ' ') + "2", Kind::MalformedItem,
         2, "1" + std::string(kMaxWaveItemLength - 1, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
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
    const WaveReadResult full = ReadWaveBytes(NumbersFile(kMaxWaveNumbers));
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.record.Count(), 32766);

    const WaveReadResult over = ReadWaveBytes(NumbersFile(kMaxWaveNumbers + 1));
    ASSERT_FALSE(over.ok());
    EXPECT_EQ(over.error->kind, Kind::TooManyNumbers);
    EXPECT_EQ(over.error->line, 32767);
}

// An endless source of one repeated pattern that counts what is taken from it.
class EndlessBuffer : public std::streambuf {
public:
    explicit EndlessBuffer(std::string pattern) : pattern_(std::move(pattern)) {}
    long long taken = 0;

protected:
    int_type underflow() override {
        taken += static_cast<long long>(pattern_.size());
        setg(pattern_.data(), pattern_.data(), pattern_.data() + pattern_.size());
        return traits_type::to_int_type(pattern_[0]);
    }

private:
    std::string pattern_;
};

TEST(WaveReader, StopsEarlyInHugeInput) {
    struct Case {
        const char* what;
        std::string pattern;
        Kind kind;
        long long mostBytesRead;
    };
    const Case cases[] = {
        {"binary", std::string("\x01\xFF\x7F\x80\x00\x10", 6), Kind::MalformedItem, 1024},
        {"digits without separator", "1234567890", Kind::MalformedItem, 1024},
        {"numbers without end", "1\n", Kind::TooManyNumbers, 100'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EndlessBuffer source(c.pattern);
        std::istream in(&source);
        const WaveReadResult r = ReadWaveText(in);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, c.kind);
        EXPECT_LE(source.taken, c.mostBytesRead);
    }
}

TEST(WaveReader, AReadFailureIsNeverAShortRecord) {
    test::FailingReadBuffer source("0.01\n1\n2");
    std::istream in(&source);
    const WaveReadResult r = ReadWaveText(in);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->kind, Kind::CannotRead);
}

TEST(WaveReader, FilesThatCannotBeOpenedSayWhy) {
    const ScratchFolder folder;
    test::WriteBytes(folder / "plain.txt", "");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    struct Case {
        std::string path;
        int systemError;
    };
    const Case cases[] = {
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
        EXPECT_FALSE(r.error->detail.empty());
    }
}

TEST(WaveReader, AFileDeletedAfterChoosingIsReportedAtTheRun) {
    const ScratchFolder folder;
    const std::string path = folder / "wave.txt";
    test::WriteBytes(path, "0.02\r\n1\r\n");
    ASSERT_TRUE(ReadWaveFile(path).ok());
    std::filesystem::remove(path);
    const WaveReadResult r = ReadWaveFile(path);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->systemError, ENOENT);
}

TEST(WaveReader, AHundredMegabyteBinaryFileIsRefusedAtItsStart) {
    const ScratchFolder folder;
    const std::string path = folder / "huge.bin";
    std::ofstream(path, std::ios::binary).put('\x01');
    std::filesystem::resize_file(path, 100'000'000);  // sparse: NUL bytes, no line end
    const WaveReadResult r = ReadWaveFile(path);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->kind, Kind::MalformedItem);
    EXPECT_EQ(r.error->line, 1);
}

// A confirmed file sets the two boxes; the run then reads the file again and analyses it.
TEST(WaveReader, ARunOnAFileOfNNumbersHasNPlusOnePoints) {
    const ScratchFolder folder;
    for (const int count : {5, kMaxWaveNumbers}) {
        SCOPED_TRACE(count);
        const std::string path = folder / "wave.txt";
        test::WriteBytes(path, NumbersFile(count));
        const WaveReadResult chosen = ReadWaveFile(path);
        ASSERT_TRUE(chosen.ok());
        RunTexts texts;
        texts.timeStep = NumberText(chosen.record.timeStep);
        texts.analysisTime =
            NumberText(LeadingNumber(texts.timeStep) * (chosen.record.Count() - 1));

        auto state = std::make_unique<AnalysisState>();
        RunHooks hooks;
        hooks.loadWaveRecord = [&]() -> std::optional<WaveRecord> {
            WaveReadResult again = ReadWaveFile(path);
            if (!again.ok()) return std::nullopt;
            return std::move(again.record);
        };
        const RunResult run = RunAnalysis(*state, texts, ExcitationCase::Earthquake, hooks);
        ASSERT_EQ(run.status, RunResult::Status::Completed);
        EXPECT_EQ(state->StepCount, count + 1);
        EXPECT_EQ(state->CacSeries[count - 2], (count - 1) % 300);
        EXPECT_EQ(state->CacSeries[count - 1], 0);
        EXPECT_EQ(state->CacSeries[count], 0);
    }
}

TEST(WaveReader, MessagesNameTheFileTheLineAndTheItem) {
    const std::string path = "/data/地震 波.txt";
    struct Case {
        WaveError error;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {{Kind::CannotOpen, 0, "ファイルまたはフォルダーが見つかりません", ENOENT},
         {"を開けません", "見つかりません"}},
        {{Kind::NoNumber, 0, "", 0}, {"数値がありません"}},
        {{Kind::MalformedItem, 3, "", 0}, {"3 行目", "値のない項目"}},
        {{Kind::MalformedItem, 7, "\x89\xc1\x91\xac\x93\x78", 0}, {"7 行目", "「加速度」"}},
        {{Kind::MalformedItem, 2, "加速度", 0}, {"「加速度」"}},
        {{Kind::MalformedItem, 2, std::string("1\0\x1b", 3), 0}, {"「1\\x00\\x1B」"}},
        {{Kind::MalformedItem, 2, std::string(200, '9'), 0}, {std::string(30, '9') + "…」"}},
        {{Kind::TooManyNumbers, 32767, "1", 0}, {"32767 行目", "32766 個"}},
        {{Kind::NonPositiveTimeStep, 1, "-0.01", 0}, {"時間刻み", "「-0.01」"}},
    };
    for (const auto& c : cases) {
        const FileMessage m = WaveErrorMessage(c.error, path);
        EXPECT_EQ(m.title, "地震波ファイルの読み込みエラー");
        EXPECT_NE(m.prompt.find(path), std::string::npos) << m.prompt;
        for (const auto& part : c.parts) {
            EXPECT_NE(m.prompt.find(part), std::string::npos) << m.prompt << " / " << part;
        }
    }
}

}  // namespace
}  // namespace kestrel
