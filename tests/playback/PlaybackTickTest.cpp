// The playback tick without its window: points shown, coordinates, value texts, running
// extremes, the end of a playback and faults, on finished runs and on responses made to
// fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "playback/MadeResponse.h"
#include "playback/PlaybackTick.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using Outcome = TickResult::Outcome;

class PlaybackTickTest : public ::testing::Test {
protected:
    void Run(ExcitationCase c) {
        run = RunFromTexts(texts, c, {});
        ASSERT_EQ(run.status, RunOutcome::Status::Completed);
        ticker.Reset();
    }
    const Response& response() const { return *run.response; }
    TickResult Tick() { return ticker.Tick(*run.response, *run.inputs); }
    std::vector<TickResult> PlayToEnd() {
        std::vector<TickResult> all;
        do {
            all.push_back(Tick());
        } while (all.back().outcome == Outcome::Shown && all.size() < 40000);
        return all;
    }

    RunTexts texts;
    RunOutcome run;
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
        EXPECT_EQ(ticker.NextPoint(), 1);
        EXPECT_EQ(r.frame.time, "0");
        const double omega = run.inputs->forcing.omega;
        const double omega2 = c == ExcitationCase::SteadyDisplacement ? omega * omega : 1.0;
        const Response& s = response();
        const double values[] = {s.ground()[0] / omega2, s.acceleration()[0], s.velocity()[0],
                                 s.displacement()[0]};
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
        EXPECT_FLOAT_EQ(r.frame.columnTopX, 1745 + s.displacement()[0] * sway);
    }
}

TEST_F(PlaybackTickTest, DefaultRunPlaysEveryPointButTheLast) {
    Run(ExcitationCase::SteadyAcceleration);
    const std::vector<TickResult> all = PlayToEnd();
    ASSERT_EQ(all.size(), 1001u);
    EXPECT_EQ(all.back().outcome, Outcome::ShownLast);
    EXPECT_EQ(all.back().frame.time, "10");
    EXPECT_FLOAT_EQ(all.back().frame.segments[0].x2, 500 + 1001 * (6500.0 / 1002));

    const Response& s = response();
    const std::span<const double> series[] = {s.ground(), s.acceleration(), s.velocity(),
                                              s.displacement()};
    for (int g = 0; g < kGraphCount; ++g) {
        // The extremes cover the points shown, 0 to 1000, never the last point 1001.
        const double* first = series[g].data();
        EXPECT_EQ(ticker.ExtremeText(2 * g),
                  NumberText(std::max(0.0, *std::max_element(first, first + 1001))));
        EXPECT_EQ(ticker.ExtremeText(2 * g + 1),
                  NumberText(std::min(0.0, *std::min_element(first, first + 1001))));
        // After point 0 the trace stays within +/- peak and reaches it.
        float low = 1e9f, high = -1e9f;
        for (std::size_t k = 1; k < all.size(); ++k) {
            low = std::min(low, all[k].frame.segments[g].y1);
            high = std::max(high, all[k].frame.segments[g].y1);
        }
        low = std::min(low, all.back().frame.segments[g].y2);
        high = std::max(high, all.back().frame.segments[g].y2);
        EXPECT_GE(low, 127.5f);
        EXPECT_LE(high, 1927.5f);
        EXPECT_TRUE(low == 127.5f || high == 1927.5f) << g;
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
        if (response().peaks().displacement == 0) {
            for (const TickResult& r : all) {
                if (r.outcome == Outcome::NothingToShow) continue;
                ASSERT_EQ(r.frame.segments[kDisplacementGraph].y2, 1027.5f);
            }
        }
    }
}

TEST(PlaybackTick, FaultsStopTheTickBeforeAnythingChanges) {
    // Each row spoils what the second tick (point 1 to point 2) needs and the first does not.
    const struct {
        const char* what;
        ExcitationCase excitation;
        double omega;  // the displacement wave's
        Response response;
        FaultKind kind;
    } rows[] = {
        {"scaled coordinate beyond range", ExcitationCase::SteadyAcceleration, 0,
         test::MadeResponse({1, 1, 1}, {0, 0, 1e300}, {300, 1, 0, 1e-300}), FaultKind::Overflow},
        {"coordinate beyond single precision", ExcitationCase::SteadyAcceleration, 0,
         test::MadeResponse({1, 1, 1e40}, {0, 1, 0}, {300, 1, 0, 1}), FaultKind::Overflow},
        {"building shift beyond range", ExcitationCase::SteadyAcceleration, 0,
         test::MadeResponse({1, 1, 1}, {0, 1e307, 0}, {300, 1, 0, 1e307}), FaultKind::Overflow},
        {"displacement wave without a frequency", ExcitationCase::SteadyDisplacement, 0,
         test::MadeResponse({1, 1, 1}, {0, 1, 0}, {300, 1, 0, 1}), FaultKind::DivideByZero},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RunInputs inputs;
        inputs.excitation = row.excitation;
        inputs.forcing.omega = row.omega;
        PlaybackTicker ticker;
        ticker.Reset();
        // The displacement wave needs its frequency at point 0 already: it faults at once.
        if (row.excitation != ExcitationCase::SteadyDisplacement) {
            ASSERT_EQ(ticker.Tick(row.response, inputs).outcome, Outcome::Shown);
        }
        const int next = ticker.NextPoint();
        const std::string largest = ticker.ExtremeText(kAccMax);
        const TickResult r = ticker.Tick(row.response, inputs);
        EXPECT_EQ(r.outcome, Outcome::Faulted);
        EXPECT_EQ(r.fault, (Fault{FaultSite::Playback, row.kind}));
        EXPECT_EQ(ticker.NextPoint(), next);
        EXPECT_EQ(ticker.ExtremeText(kAccMax), largest);
    }
}

}  // namespace
}  // namespace kestrel
