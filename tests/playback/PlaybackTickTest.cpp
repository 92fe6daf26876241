// The playback tick without its window: points shown, coordinates, value texts, running
// extremes, the end of a playback and faults, on finished runs and on spoilt states.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "analysis/Run.h"
#include "playback/PlaybackTick.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using Outcome = TickResult::Outcome;

class PlaybackTickTest : public ::testing::Test {
protected:
    void Run(ExcitationCase c) {
        excitation = c;
        ASSERT_EQ(RunAnalysis(state, texts, c, {}).status, RunResult::Status::Completed);
        ticker.Reset();
    }
    TickResult Tick() { return ticker.Tick(state, tables, excitation); }
    std::vector<TickResult> PlayToEnd() {
        std::vector<TickResult> all;
        do {
            all.push_back(Tick());
        } while (all.back().outcome == Outcome::Shown && all.size() < 40000);
        return all;
    }

    // 2 MB each: on the heap, as the main window keeps them.
    std::unique_ptr<AnalysisState> stateOwner = std::make_unique<AnalysisState>();
    std::unique_ptr<PlotTables> tablesOwner = std::make_unique<PlotTables>();
    AnalysisState& state = *stateOwner;
    PlotTables& tables = *tablesOwner;
    RunTexts texts;
    ExcitationCase excitation = ExcitationCase::SteadyAcceleration;
    PlaybackTicker ticker;
};

TEST_F(PlaybackTickTest, FirstTickShowsPointZeroInEveryCase) {
    const std::pair<ExcitationCase, double> rows[] = {// case, sway scale
                                                      {ExcitationCase::InitialDisplacement, 100},
                                                      {ExcitationCase::InitialVelocity, 400},
                                                      {ExcitationCase::SteadyAcceleration, 300},
                                                      {ExcitationCase::SteadyDisplacement, 300}};
    for (const auto& [c, sway] : rows) {
        SCOPED_TRACE(static_cast<int>(c));
        Run(c);
        const TickResult r = Tick();
        ASSERT_EQ(r.outcome, Outcome::Shown);
        EXPECT_EQ(state.StepIndex, 1.0f);
        EXPECT_EQ(r.frame.time, "0");
        const double omega2 =
            c == ExcitationCase::SteadyDisplacement ? state.ForcingOmega * state.ForcingOmega : 1.0;
        const double values[] = {state.CacSeries[0] / omega2, state.AccSeries[0],
                                 state.VelSeries[0], state.DisSeries[0]};
        for (int g = 0; g < kGraphCount; ++g) {
            EXPECT_EQ(r.frame.values[g], NumberText(values[g]));
            EXPECT_EQ(ticker.ExtremeText(2 * g), NumberText(std::max(0.0, values[g])));
            EXPECT_EQ(ticker.ExtremeText(2 * g + 1), NumberText(std::min(0.0, values[g])));
            EXPECT_EQ(r.frame.segments[g].x1, 500.0f);
            EXPECT_FLOAT_EQ(r.frame.segments[g].x2, 500 + 6500.0 / 1002);
        }
        // The free-vibration cases have no input: a flat line along the zero line.
        if (!IsForced(c)) {
            EXPECT_EQ(r.frame.segments[kInputGraph].y2, 1027.5f);
        }
        EXPECT_FLOAT_EQ(r.frame.columnTopX, 1745 + state.DisSeries[0] * sway);
    }
}

TEST_F(PlaybackTickTest, DefaultRunPlaysEveryPointButTheLast) {
    Run(ExcitationCase::SteadyAcceleration);
    const std::vector<TickResult> all = PlayToEnd();
    ASSERT_EQ(all.size(), 1001u);
    EXPECT_EQ(all.back().outcome, Outcome::ShownLast);
    EXPECT_EQ(all.back().frame.time, "10");
    EXPECT_FLOAT_EQ(all.back().frame.segments[0].x2, 500 + 1001 * (6500.0 / 1002));

    const Series* series[] = {&state.CacSeries, &state.AccSeries, &state.VelSeries,
                              &state.DisSeries};
    for (int g = 0; g < kGraphCount; ++g) {
        // The extremes cover the points shown, 0 to 1000, never the last point 1001.
        const double* first = series[g]->data();
        EXPECT_EQ(ticker.ExtremeText(2 * g),
                  NumberText(std::max(0.0, *std::max_element(first, first + 1001))));
        EXPECT_EQ(ticker.ExtremeText(2 * g + 1),
                  NumberText(std::min(0.0, *std::min_element(first, first + 1001))));
        // After point 0 the trace stays within +/- peak and reaches it.
        const double* y = tables.PlotY(g).data();
        const auto [low, high] = std::minmax_element(y + 1, y + 1002);
        EXPECT_GE(*low, 127.5);
        EXPECT_LE(*high, 1927.5);
        EXPECT_TRUE(*low == 127.5 || *high == 1927.5) << g;
    }
    ticker.Reset();  // a new playback starts from "0" boxes
    EXPECT_EQ(ticker.ExtremeText(kAccMax), "0");
}

TEST_F(PlaybackTickTest, ShortAndZeroRunsEndNormallyAlongTheZeroLine) {
    struct Row {
        const char* analysisTime;
        const char* firstDisplacement;
        std::size_t ticks;
        Outcome last;
    };
    const Row rows[] = {
        {"0", "5", 1, Outcome::ShownLast},          // 2 points: one segment, x 500 to 3750
        {"0.01", "5", 2, Outcome::ShownLast},       // 3 points
        {"-0.01", "5", 1, Outcome::NothingToShow},  // a single point: ends at once
        {"10", "0", 1001, Outcome::ShownLast},      // every series and peak 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.analysisTime);
        texts.analysisTime = row.analysisTime;
        texts.firstDisplacement = row.firstDisplacement;
        Run(ExcitationCase::InitialDisplacement);
        const std::vector<TickResult> all = PlayToEnd();
        ASSERT_EQ(all.size(), row.ticks);
        EXPECT_EQ(all.back().outcome, row.last);
        if (row.ticks == 1 && row.last == Outcome::ShownLast) {
            EXPECT_EQ(all[0].frame.segments[kDisplacementGraph].x2, 3750.0f);
        }
        if (state.DisPeak == 0) {
            for (const TickResult& r : all) {
                if (r.outcome == Outcome::NothingToShow) continue;
                ASSERT_EQ(r.frame.segments[kDisplacementGraph].y2, 1027.5f);
            }
        }
    }
}

TEST_F(PlaybackTickTest, FaultsStopTheTickBeforeAnythingChanges) {
    // Each row spoils what the second tick (point 1) needs.
    const std::pair<ExcitationCase, void (*)(AnalysisState&)> rows[] = {
        {ExcitationCase::SteadyAcceleration,  // scaled coordinate beyond range
         [](AnalysisState& s) { s.DisSeries[1] = 1e300, s.DisPeak = 1e-300; }},
        {ExcitationCase::SteadyAcceleration,  // coordinate beyond single precision
         [](AnalysisState& s) { s.AccSeries[1] = 1e40 * s.AccPeak; }},
        {ExcitationCase::SteadyAcceleration,  // building shift beyond range
         [](AnalysisState& s) { s.DisSeries[1] = s.DisPeak = 1e307; }},
        {ExcitationCase::SteadyDisplacement,  // displacement wave without a frequency
         [](AnalysisState& s) { s.ForcingOmega = 0; }},
    };
    const FaultKind kinds[] = {FaultKind::Overflow, FaultKind::Overflow, FaultKind::Overflow,
                               FaultKind::DivideByZero};
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        SCOPED_TRACE(k);
        Run(rows[k].first);
        ASSERT_EQ(Tick().outcome, Outcome::Shown);
        const std::string largest = ticker.ExtremeText(kAccMax);
        rows[k].second(state);
        const TickResult r = Tick();
        EXPECT_EQ(r.outcome, Outcome::Faulted);
        EXPECT_EQ(r.fault, (Fault{FaultSite::Playback, kinds[k]}));
        EXPECT_EQ(state.StepIndex, 1.0f);
        EXPECT_EQ(ticker.ExtremeText(kAccMax), largest);
    }
}

}  // namespace
}  // namespace kestrel
