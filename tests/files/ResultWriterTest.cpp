// The bytes of the two result files, written into streams, and their golden copies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/Run.h"
#include "files/FileTestSupport.h"
#include "files/ResultFiles.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

std::unique_ptr<AnalysisState> DefaultRun(ExcitationCase c) {
    auto state = std::make_unique<AnalysisState>();
    EXPECT_EQ(RunAnalysis(*state, RunTexts{}, c, {}).status, RunResult::Status::Completed);
    return state;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "the last line must end in CR LF";
    return lines;
}

std::vector<std::string> Items(const std::string& line) {
    std::vector<std::string> items;
    std::stringstream in(line);
    for (std::string item; std::getline(in, item, ',');) items.push_back(item);
    return items;
}

// The labels in CP932 as the bytes a spreadsheet expects.
const std::string kAccelerationHeader =
    "\"\x8e\x9e\x8d\x8f(s)\",\"\x93\xfc\x97\xcd\x89\xc1\x91\xac\x93x(cm/s2)\","
    "\"\x89\x9e\x93\x9a\x89\xc1\x91\xac\x93x(cm/s2)\",\"\x89\x9e\x93\x9a\x91\xac\x93x(cm/s)\","
    "\"\x89\x9e\x93\x9a\x95\xcf\x88\xca(cm)\"";
const std::string kDisplacementColumn = "\"\x93\xfc\x97\xcd\x95\xcf\x88\xca(cm)\"";

TEST(ResultWriter, ParameterFileHoldsTheFourLabelledValues) {
    AnalysisState state;
    ASSERT_FALSE(ComputeNaturalPeriodFromTexts(state, ModelTexts{}));
    std::ostringstream out;
    EXPECT_FALSE(
        WriteParameterFile(out, ParameterValuesFromTexts(ModelTexts{}, state.NaturalPeriod)));
    EXPECT_EQ(out.str(),
              "\"\x8d\x84\x90\xab(kN/cm)\",300\r\n"
              "\"\x8e\xbf\x97\xca(tf)\",100000\r\n"
              "\"\x8c\xb8\x90\x8a\x92\xe8\x90\x94\",0.02\r\n"
              "\"\x8c\x9a\x95\xa8\x8c\xc5\x97L\x8e\xfc\x8a\xfa(s)\",0.362832446594252\r\n");
}

TEST(ResultWriter, HistoryHasAHeaderAndOneRowPerPointButTheLast) {
    const auto state = DefaultRun(ExcitationCase::SteadyAcceleration);
    ASSERT_EQ(state->StepCount, 1002);
    std::ostringstream out;
    EXPECT_FALSE(WriteHistoryFile(out, *state, std::nullopt));
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 1u + 1001u);
    EXPECT_EQ(lines[0], kAccelerationHeader);
    EXPECT_EQ(Items(lines[1])[0], "0");
    EXPECT_EQ(Items(lines[26])[1], "300");  // point 25: the crest of the 1 s wave
    EXPECT_EQ(Items(lines[1001])[0], "10");
    EXPECT_EQ(state->StepIndex, 1001);  // left where the row counter stopped
}

TEST(ResultWriter, RunsWithoutRowsWriteOnlyTheHeader) {
    for (const std::int16_t count : {0, 1, -3}) {
        auto state = std::make_unique<AnalysisState>();
        state->StepCount = count;
        std::ostringstream out;
        EXPECT_FALSE(WriteHistoryFile(out, *state, std::nullopt));
        EXPECT_EQ(out.str(), kAccelerationHeader + "\r\n");
    }
}

TEST(ResultWriter, DisplacementColumnIsTheInputAccelerationOverOmegaSquared) {
    const auto state = DefaultRun(ExcitationCase::SteadyDisplacement);
    std::ostringstream out;
    EXPECT_FALSE(WriteHistoryFile(out, *state, 1.0));
    const auto lines = Lines(out.str());
    EXPECT_EQ(Items(lines[0])[1], kDisplacementColumn);
    // Amplitude 1 cm: the crest at point 25 and the trough at point 75.
    EXPECT_NEAR(*StrictNumber(Items(lines[26])[1]), 1.0, 1e-12);
    EXPECT_NEAR(*StrictNumber(Items(lines[76])[1]), -1.0, 1e-12);
    // The acceleration column is left as it is.
    EXPECT_EQ(Items(lines[26])[2], NumberText(state->AccSeries[25]));
}

TEST(ResultWriter, PeriodsThatGiveNoDisplacementAreRefused) {
    const auto state = DefaultRun(ExcitationCase::SteadyDisplacement);
    for (const double period : {0.0, 1e200}) {
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

// Both files of a save compared byte for byte with copies that were checked by hand.
// KESTREL_UPDATE_GOLDEN=1 rewrites the copies instead (check them again before committing).
TEST(ResultWriter, SavedFilesMatchTheGoldenCopies) {
    struct Case {
        ExcitationCase excitation;
        std::optional<double> displacementPeriod;
        const char* parameterGolden;
        const char* historyGolden;
    };
    const Case cases[] = {
        {ExcitationCase::SteadyAcceleration, std::nullopt, "default-parameters.csv",
         "default-history.csv"},
        {ExcitationCase::SteadyDisplacement, 1.0, "default-parameters.csv",
         "displacement-history.csv"},
    };
    const bool update = std::getenv("KESTREL_UPDATE_GOLDEN") != nullptr;
    const std::string golden = KESTREL_GOLDEN_DIR;
    for (const auto& c : cases) {
        const auto state = DefaultRun(c.excitation);
        const test::ScratchFolder folder;
        const SaveOutcome outcome =
            SaveResults(folder.path().string(), "run",
                        ParameterValuesFromTexts(ModelTexts{}, state->NaturalPeriod), *state,
                        c.displacementPeriod);
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason;
        const std::pair<std::string, std::string> files[] = {
            {folder / "run(建物パラメータ).csv", golden + "/" + c.parameterGolden},
            {folder / "run(時刻暦応答).csv", golden + "/" + c.historyGolden},
        };
        for (const auto& [written, expected] : files) {
            if (update) {
                test::WriteBytes(expected, test::ReadBytes(written));
            } else {
                EXPECT_TRUE(test::ReadBytes(written) == test::ReadBytes(expected)) << expected;
            }
        }
    }
}

}  // namespace
}  // namespace kestrel
