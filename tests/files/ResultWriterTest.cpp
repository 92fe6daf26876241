// The bytes of the two result files, compared with golden copies, and the writers'
// failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "analysis/Run.h"
#include "files/FileTestSupport.h"
#include "files/ResultFiles.h"

namespace kestrel {
namespace {

const std::string kGolden = KESTREL_GOLDEN_DIR;

std::unique_ptr<AnalysisState> DefaultRun(ExcitationCase c) {
    auto state = std::make_unique<AnalysisState>();
    EXPECT_EQ(RunAnalysis(*state, RunTexts{}, c, {}).status, RunResult::Status::Completed);
    return state;
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
        const auto state = DefaultRun(c.excitation);
        const test::ScratchFolder folder;
        const SaveOutcome outcome =
            SaveResults(folder.path().string(), "run",
                        ParameterValuesFromTexts(ModelTexts{}, state->NaturalPeriod), *state,
                        c.displacementPeriod);
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason;
        EXPECT_EQ(state->StepIndex, 1001);  // the row counter stops at StepCount - 1
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
    for (const std::int16_t count : {0, 1, -3}) {
        auto state = std::make_unique<AnalysisState>();
        state->StepCount = count;
        std::ostringstream out;
        EXPECT_FALSE(WriteHistoryFile(out, *state, std::nullopt));
        EXPECT_EQ(out.str(), header);
        EXPECT_EQ(state->StepIndex, 0);
    }
}

TEST(ResultWriter, PeriodsThatGiveNoDisplacementAreRefused) {
    const auto state = DefaultRun(ExcitationCase::SteadyDisplacement);
    for (const double period : {0.0, 1e200}) {  // 2 pi / P, squared, is 0 for both
        std::ostringstream out;
        EXPECT_EQ(WriteHistoryFile(out, *state, period), WriteFailure::InputDisplacement);
    }
}

TEST(ResultWriter, AStreamThatRefusesBytesIsAFailure) {
    const auto state = DefaultRun(ExcitationCase::SteadyAcceleration);
    const ParameterValues values = ParameterValuesFromTexts(ModelTexts{}, 0.362832446594252);
    // The parameter file has 92 bytes, the history file about 76,000.
    for (const std::size_t room : {0, 20, 91, 5000}) {
        SCOPED_TRACE(room);
        test::FailingWriteBuffer parameterBuffer(room), historyBuffer(room);
        std::ostream parameters(&parameterBuffer), history(&historyBuffer);
        if (room < 92) {
            EXPECT_EQ(WriteParameterFile(parameters, values), WriteFailure::Stream);
        }
        EXPECT_EQ(WriteHistoryFile(history, *state, std::nullopt), WriteFailure::Stream);
    }
    // A full disk: the bytes wait in the file buffer until the writer flushes.
    std::ofstream full("/dev/full", std::ios::binary);
    if (!full) GTEST_SKIP() << "/dev/full is not available";
    EXPECT_EQ(WriteParameterFile(full, values), WriteFailure::Stream);
}

}  // namespace
}  // namespace kestrel
