// The bytes of the two result files, compared with golden copies, and the writers'
// failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "analysis/RunFromTexts.h"
#include "files/FileTestSupport.h"
#include "files/ResultFiles.h"

namespace kestrel {
namespace {

const std::string kGolden = KESTREL_GOLDEN_DIR;

RunOutcome DefaultRun(ExcitationCase c) {
    RunOutcome run = RunFromTexts(RunTexts{}, c, {});
    EXPECT_EQ(run.status, RunOutcome::Status::Completed);
    return run;
}

// Both files of a save compared byte for byte with copies that were checked by hand:
// CP932 labels, CR LF, and every row against an independent computation.
// KESTREL_UPDATE_GOLDEN=1 rewrites the copies instead (check them again before committing).
TEST(ResultWriter, SavedFilesMatchTheGoldenCopies) {
    const struct {
        ExcitationCase excitation;
        std::optional<double> displacementPeriod;
        const char* historyGolden;
    } cases[] = {
        {ExcitationCase::SteadyAcceleration, std::nullopt, "default-history.csv"},
        {ExcitationCase::SteadyDisplacement, 1.0, "displacement-history.csv"},
        // The period box read when saving, changed since the run (whose period was 1 s).
        {ExcitationCase::SteadyDisplacement, 2.0, "displacement-period-2-history.csv"},
    };
    const bool update = std::getenv("KESTREL_UPDATE_GOLDEN") != nullptr;
    for (const auto& c : cases) {
        const RunOutcome run = DefaultRun(c.excitation);
        const test::ScratchFolder folder;
        const SaveOutcome outcome =
            SaveResults(folder.path().string(), "run",
                        ParameterValuesFromTexts(ModelTexts{}, run.inputs->naturalPeriod),
                        *run.response, c.displacementPeriod);
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason.Text();
        const std::pair<std::string, std::string> files[] = {
            {folder / "run(建物パラメータ).csv", kGolden + "/default-parameters.csv"},
            {folder / "run(時刻暦応答).csv", kGolden + "/" + c.historyGolden},
        };
        for (const auto& [written, expected] : files) {
            if (update) test::WriteBytes(expected, test::ReadBytes(written));
            EXPECT_TRUE(test::ReadBytes(written) == test::ReadBytes(expected)) << expected;
        }
    }
}

TEST(ResultWriter, RunsWithoutRowsWriteOnlyTheHeader) {
    const std::string golden = test::ReadBytes(kGolden + "/default-history.csv");
    const std::string header = golden.substr(0, golden.find("\r\n") + 2);
    // One point (the last is never written), no point, and a count below zero.
    for (const char* analysisTime : {"-0.01", "-0.02", "-5"}) {
        RunTexts texts;
        texts.analysisTime = analysisTime;
        const RunOutcome run = RunFromTexts(texts, ExcitationCase::InitialDisplacement, {});
        ASSERT_TRUE(run.response.has_value()) << analysisTime;
        std::ostringstream out;
        EXPECT_FALSE(WriteHistoryFile(out, *run.response, std::nullopt));
        EXPECT_EQ(out.str(), header) << analysisTime;
    }
}

TEST(ResultWriter, PeriodsThatGiveNoDisplacementAreRefused) {
    const RunOutcome run = DefaultRun(ExcitationCase::SteadyDisplacement);
    for (const double period : {0.0, 1e200}) {  // 2 pi / P, squared, is 0 for both
        std::ostringstream out;
        EXPECT_EQ(WriteHistoryFile(out, *run.response, period), WriteFailure::InputDisplacement);
    }
}

TEST(ResultWriter, AStreamThatRefusesBytesIsAFailure) {
    const RunOutcome run = DefaultRun(ExcitationCase::SteadyAcceleration);
    const ParameterValues values = ParameterValuesFromTexts(ModelTexts{}, 0.362832446594252);
    // The parameter file has 92 bytes, the history file about 76,000.
    for (const std::size_t room : {0, 20, 91, 5000}) {
        SCOPED_TRACE(room);
        test::FailingWriteBuffer parameterBuffer(room), historyBuffer(room);
        std::ostream parameters(&parameterBuffer), history(&historyBuffer);
        if (room < 92) {
            EXPECT_EQ(WriteParameterFile(parameters, values), WriteFailure::Stream);
        }
        EXPECT_EQ(WriteHistoryFile(history, *run.response, std::nullopt), WriteFailure::Stream);
    }
    // A full disk: the bytes wait in the file buffer until the writer flushes.
    std::ofstream full("/dev/full", std::ios::binary);
    if (!full) GTEST_SKIP() << "/dev/full is not available";
    EXPECT_EQ(WriteParameterFile(full, values), WriteFailure::Stream);
}

}  // namespace
}  // namespace kestrel
