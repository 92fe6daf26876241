// The playback tick without its window: points shown, coordinates, value texts, running
// extremes, the end of a playback and faults, on finished runs and on hand-made states.
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
    // Ticks until the playback is over; the results of every tick, in order.
    std::vector<TickResult> PlayToEnd() {
        std::vector<TickResult> all;
        do {
            all.push_back(Tick());
        } while (all.back().outcome == Outcome::Shown && all.size() < 40000);
        return all;
    }
    std::vector<std::string> Extremes() const {
        std::vector<std::string> texts;
        for (int b = 0; b < kExtremeCount; ++b) texts.push_back(ticker.ExtremeText(b));
        return texts;
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

// The input value the boxes show for point i.
double InputValue(const AnalysisState& s, ExcitationCase c, int i) {
    if (c == ExcitationCase::SteadyDisplacement)
        return s.CacSeries[i] / (s.ForcingOmega * s.ForcingOmega);
    return s.CacSeries[i];
}

TEST_F(PlaybackTickTest, FirstTickShowsPointZeroInEveryCase) {
    struct Row {
        ExcitationCase c;
        double sway;
    };
    const Row rows[] = {{ExcitationCase::InitialDisplacement, 100},
                        {ExcitationCase::InitialVelocity, 400},
                        {ExcitationCase::SteadyAcceleration, 300},
                        {ExcitationCase::SteadyDisplacement, 300}};
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.c));
        Run(row.c);
        const TickResult r = Tick();
        ASSERT_EQ(r.outcome, Outcome::Shown);
        const TickFrame& f = r.frame;
        EXPECT_EQ(f.index, 0);
        EXPECT_EQ(state.StepIndex, 1.0f);
        EXPECT_EQ(f.time, "0");

        const double values[] = {InputValue(state, row.c, 0), state.AccSeries[0],
                                 state.VelSeries[0], state.DisSeries[0]};
        for (int g = 0; g < kGraphCount; ++g) {
            EXPECT_EQ(f.values[g], NumberText(values[g]));
            EXPECT_EQ(ticker.ExtremeText(2 * g), NumberText(std::max(0.0, values[g])));
            EXPECT_EQ(ticker.ExtremeText(2 * g + 1), NumberText(std::min(0.0, values[g])));
            EXPECT_EQ(f.segments[g].x1, 500.0f);
            EXPECT_FLOAT_EQ(f.segments[g].x2, 500 + 6500.0 / 1002);
        }
        // The free-vibration cases have no input: a flat line along the zero line.
        if (!IsForced(row.c)) {
            EXPECT_EQ(f.segments[kInputGraph].y1, 1027.5f);
            EXPECT_EQ(f.segments[kInputGraph].y2, 1027.5f);
        }
        EXPECT_FLOAT_EQ(f.columnTopX, 1745 + state.DisSeries[0] * row.sway);
    }
    // An initial displacement of 5 cm puts the top 500 twips to the right.
    Run(ExcitationCase::InitialDisplacement);
    EXPECT_EQ(Tick().frame.columnTopX, 2245.0f);
}

TEST_F(PlaybackTickTest, DefaultRunPlaysEveryPointButTheLast) {
    Run(ExcitationCase::SteadyAcceleration);
    const std::vector<TickResult> all = PlayToEnd();
    ASSERT_EQ(all.size(), 1001u);
    EXPECT_EQ(all.back().outcome, Outcome::ShownLast);
    EXPECT_EQ(all.back().frame.time, "10");
    EXPECT_FLOAT_EQ(all.back().frame.segments[0].x2, 500 + 1001 * (6500.0 / 1002));
    EXPECT_EQ(state.StepIndex, 1001.0f);

    // The extremes cover the points shown, 0 to 1000, never the last point 1001.
    const Series* series[] = {&state.CacSeries, &state.AccSeries, &state.VelSeries,
                              &state.DisSeries};
    for (int g = 0; g < kGraphCount; ++g) {
        double largest = 0;
        double smallest = 0;
        for (int i = 0; i <= 1000; ++i) {
            largest = std::max(largest, (*series[g])[i]);
            smallest = std::min(smallest, (*series[g])[i]);
        }
        EXPECT_EQ(ticker.ExtremeText(2 * g), NumberText(largest));
        EXPECT_EQ(ticker.ExtremeText(2 * g + 1), NumberText(smallest));
    }

    // Each trace reaches +/- peak exactly once scaled, and never goes beyond it after point 0.
    for (int g = 0; g < kGraphCount; ++g) {
        const Series& y = tables.PlotY(g);
        bool touches = false;
        for (int k = 1; k <= 1001; ++k) {
            EXPECT_LE(std::abs(y[k] - 1027.5), 900.0) << "graph " << g << " point " << k;
            touches = touches || y[k] == 127.5 || y[k] == 1927.5;
        }
        EXPECT_TRUE(touches) << "graph " << g;
    }

    // A new playback starts from "0" boxes.
    ticker.Reset();
    EXPECT_EQ(Extremes(), std::vector<std::string>(kExtremeCount, "0"));
}

TEST_F(PlaybackTickTest, ShortRunsEndAtTheRightTick) {
    struct Row {
        const char* analysisTime;
        int stepCount;
        std::vector<Outcome> outcomes;
    };
    const Row rows[] = {
        {"0.01", 3, {Outcome::Shown, Outcome::ShownLast}},
        {"0", 2, {Outcome::ShownLast}},
        // A single point: nothing to show, the playback ends at once.
        {"-0.01", 1, {Outcome::NothingToShow}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.analysisTime);
        texts.analysisTime = row.analysisTime;
        Run(ExcitationCase::InitialDisplacement);
        ASSERT_EQ(state.StepCount, row.stepCount);
        std::vector<Outcome> outcomes;
        for (const TickResult& r : PlayToEnd()) outcomes.push_back(r.outcome);
        EXPECT_EQ(outcomes, row.outcomes);
    }
    // Two points: one segment from x 500 to 3750, whatever the values.
    texts.analysisTime = "0";
    Run(ExcitationCase::InitialDisplacement);
    const TickFrame f = Tick().frame;
    EXPECT_EQ(f.segments[kDisplacementGraph].x1, 500.0f);
    EXPECT_EQ(f.segments[kDisplacementGraph].x2, 3750.0f);
}

TEST_F(PlaybackTickTest, ZeroPeaksDrawAlongTheZeroLine) {
    // An initial displacement of 0 leaves every series and peak at 0.
    texts.firstDisplacement = "0";
    Run(ExcitationCase::InitialDisplacement);
    const std::vector<TickResult> all = PlayToEnd();
    ASSERT_EQ(all.size(), 1001u);
    EXPECT_EQ(all.back().outcome, Outcome::ShownLast);
    for (const TickResult& r : all) {
        for (const GraphSegment& s : r.frame.segments) {
            ASSERT_EQ(s.y1, 1027.5f);
            ASSERT_EQ(s.y2, 1027.5f);
        }
    }
    // A record whose only non-zero sample is the first: no input peak.
    Run(ExcitationCase::SteadyAcceleration);
    state.CacSeries[0] = 5;
    state.CacPeak = 0;
    const TickResult r = Tick();
    EXPECT_EQ(r.frame.segments[kInputGraph].y1, 1027.5f);
    EXPECT_EQ(r.frame.values[kInputGraph], "5");
}

TEST_F(PlaybackTickTest, DisplacementWaveShowsTheGroundDisplacement) {
    Run(ExcitationCase::SteadyDisplacement);
    const InputCaptions captions = InputCaptionsFor(excitation);
    EXPECT_STREQ(captions.graphLabel, "入力変位");
    EXPECT_STREQ(captions.valueHeading, "入力変位(cm)");
    for (ExcitationCase other : {ExcitationCase::InitialDisplacement,
                                 ExcitationCase::SteadyAcceleration, ExcitationCase::Earthquake}) {
        EXPECT_STREQ(InputCaptionsFor(other).graphLabel, "入力加速度");
        EXPECT_STREQ(InputCaptionsFor(other).valueHeading, "入力加速度(cm/s2)");
    }

    TickResult r;
    for (int i = 0; i <= 25; ++i) r = Tick();
    // A quarter period in: the ground is at its 1 cm amplitude, the trace at its top.
    EXPECT_NEAR(StrictNumber(r.frame.values[kInputGraph]).value(), 1.0, 1e-12);
    EXPECT_NEAR(StrictNumber(ticker.ExtremeText(kCacMax)).value(), 1.0, 1e-12);
    EXPECT_EQ(ticker.ExtremeText(kCacMin), "0");
    EXPECT_NEAR(r.frame.segments[kInputGraph].y1, 127.5, 1e-3);
}

TEST_F(PlaybackTickTest, ExtremesFollowTheValuesShown) {
    // Hand-made velocities; each row: the value shown, then the two boxes after it.
    struct Row {
        double velocity;
        const char* largest;
        const char* smallest;
    };
    const Row rows[] = {{0.5, "0.5", "0"},   {-0.25, "0.5", "-0.25"}, {0.5, "0.5", "-0.25"},
                        {3, "3", "-0.25"},   {-4e-7, "3", "-0.25"},   {-1e20, "3", "-1E+20"},
                        {2.5, "3", "-1E+20"}};
    state.StepCount = static_cast<std::int16_t>(std::size(rows) + 1);
    state.TimeStep = 0.5;
    state.VelPeak = 1e20;
    for (std::size_t i = 0; i < std::size(rows); ++i)
        state.VelSeries[static_cast<int>(i)] = rows[i].velocity;
    excitation = ExcitationCase::InitialVelocity;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.velocity);
        const TickResult r = Tick();
        EXPECT_EQ(ticker.ExtremeText(kVelMax), row.largest);
        EXPECT_EQ(ticker.ExtremeText(kVelMin), row.smallest);
        // A response that stays at 0 leaves its boxes at "0".
        EXPECT_EQ(ticker.ExtremeText(kDisMax), "0");
        EXPECT_EQ(ticker.ExtremeText(kDisMin), "0");
        EXPECT_EQ(r.frame.time, NumberText(r.frame.index * 0.5));
    }
}

TEST_F(PlaybackTickTest, FaultsStopTheTickBeforeAnythingChanges) {
    // Each row spoils the values of point 1, which the second tick shows.
    struct Row {
        const char* what;
        ExcitationCase c;
        void (*spoil)(AnalysisState&);
        FaultKind kind;
    };
    const Row rows[] = {
        {"scaled coordinate beyond range", ExcitationCase::SteadyAcceleration,
         [](AnalysisState& s) {
             s.DisSeries[1] = 1e300;
             s.DisPeak = 1e-300;
         },
         FaultKind::Overflow},
        {"coordinate beyond single precision", ExcitationCase::SteadyAcceleration,
         [](AnalysisState& s) { s.AccSeries[1] = 1e40 * s.AccPeak; }, FaultKind::Overflow},
        {"building shift beyond range", ExcitationCase::SteadyAcceleration,
         [](AnalysisState& s) { s.DisSeries[1] = s.DisPeak = 1e307; }, FaultKind::Overflow},
        {"displacement wave without a frequency", ExcitationCase::SteadyDisplacement,
         [](AnalysisState& s) { s.ForcingOmega = 0; }, FaultKind::DivideByZero},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Run(row.c);
        ASSERT_EQ(Tick().outcome, Outcome::Shown);
        const std::vector<std::string> before = Extremes();
        row.spoil(state);
        const TickResult r = Tick();
        EXPECT_EQ(r.outcome, Outcome::Faulted);
        EXPECT_EQ(r.fault, (Fault{FaultSite::Playback, row.kind}));
        EXPECT_EQ(state.StepIndex, 1.0f);
        EXPECT_EQ(Extremes(), before);
    }
}

}  // namespace
}  // namespace kestrel
