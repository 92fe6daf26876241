// "解析開始" on the analysis core, from the boxes' texts to the response, checked against
// figures worked by hand and closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "RunTestSupport.h"
#include "analysis/RunFromTexts.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using test::With;

// A run with the record handed over in the earthquake case; the natural period shown is kept.
struct TextRun {
    explicit TextRun(const RunTexts& texts, ExcitationCase c,
                     std::optional<WaveRecord> record = {}) {
        RunHooks hooks;
        hooks.showNaturalPeriod = [this](double t) { shownPeriod = NumberText(t); };
        hooks.loadWaveRecord = [&record] { return record; };
        outcome = RunFromTexts(texts, c, hooks);
    }
    const Response& response() const { return *outcome.response; }
    RunOutcome outcome;
    std::string shownPeriod;
};

enum class Series { Ground, Acceleration, Velocity, Displacement };

std::span<const double> Of(const Response& r, Series s) {
    switch (s) {
        case Series::Ground:
            return r.ground();
        case Series::Acceleration:
            return r.acceleration();
        case Series::Velocity:
            return r.velocity();
        case Series::Displacement:
            break;
    }
    return r.displacement();
}

TEST(RunFromTexts, FirstPointsOfEachCaseAgainstWorkedFigures) {
    using enum ExcitationCase;
    using enum Series;
    // The default building: K 300 kN/cm, M 1 kN s^2/cm, h 2 %, dt 0.01 s; acceleration at point
    // 0 = -(C/M) v0 - (K/M) x0, then one step of the method worked by hand.
    const struct {
        ExcitationCase excitation;
        Series series;
        int point;
        double value;
        double tolerance;
    } cases[] = {
        {InitialDisplacement, Acceleration, 0, -1500, 0},
        {InitialDisplacement, Acceleration, 1, -1467.3837623, 1e-6},
        {InitialDisplacement, Velocity, 1, -14.8369188, 1e-6},
        {InitialDisplacement, Displacement, 1, 4.9255436, 1e-6},
        {InitialDisplacement, Ground, 500, 0, 0},
        {InitialVelocity, Acceleration, 0, -20.7846097, 1e-6},
        {InitialVelocity, Acceleration, 1, -109.5772903, 1e-6},
        {InitialVelocity, Velocity, 1, 29.3481905, 1e-6},
        {InitialVelocity, Displacement, 1, 0.2974809, 1e-6},
        // 300 sin(2 pi t): the shortened pi leaves a trace of the sine at half a period.
        {SteadyAcceleration, Ground, 1, 18.8371559, 1e-6},
        {SteadyAcceleration, Ground, 25, 300, 0},
        {SteadyAcceleration, Ground, 50, 2.8e-11, 0.5e-11},
        {SteadyAcceleration, Acceleration, 0, 0, 0},             // point 0 stays as the case set it
        {SteadyAcceleration, Acceleration, 1, 0.1581014, 1e-6},  // absolute: a + g
        {SteadyAcceleration, Velocity, 1, -0.0933953, 1e-6},
        // 1 cm at 1 s: the ground acceleration's amplitude is (2 pi)^2 cm/s^2.
        {SteadyDisplacement, Ground, 25, 39.4784176, 1e-6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << static_cast<int>(c.excitation) << " series "
                                        << static_cast<int>(c.series) << " point " << c.point);
        const TextRun run(RunTexts{}, c.excitation);
        ASSERT_EQ(run.outcome.status, RunOutcome::Status::Completed);
        EXPECT_EQ(run.shownPeriod, "0.362832446594252");
        EXPECT_EQ(run.outcome.playbackIntervalMs, 5);
        const Response& r = run.response();
        ASSERT_EQ(r.pointCount(), 1002);
        ASSERT_EQ(r.completedPoints(), 1002);
        EXPECT_EQ(r.time()[1001], 1001 * 0.01);
        EXPECT_NEAR(Of(r, c.series)[c.point], c.value, c.tolerance);
    }
}

TEST(RunFromTexts, PeaksAreTheLargestShownValuesFromPointOne) {
    WaveRecord record{0.01, {}};
    for (int k = 0; k < 800; ++k) record.samples.push_back(200 * std::sin(0.3 * k) + 30);
    const struct {
        ExcitationCase excitation;
        RunTexts texts;
    } cases[] = {
        {ExcitationCase::InitialDisplacement, {}},
        {ExcitationCase::InitialVelocity, With([](RunTexts& t) { t.model.damping = "0"; })},
        {ExcitationCase::SteadyAcceleration, {}},
        {ExcitationCase::SteadyDisplacement, {}},
        {ExcitationCase::Earthquake, {}},
        // A single point: nothing stepped, no peak.
        {ExcitationCase::InitialDisplacement, With([](RunTexts& t) { t.analysisTime = "-0.01"; })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.excitation));
        const TextRun run(c.texts, c.excitation, record);
        ASSERT_EQ(run.outcome.status, RunOutcome::Status::Completed);
        const Response& r = run.response();
        double largest[4] = {};
        double relative = 0;
        for (int i = 1; i < r.completedPoints(); ++i) {
            for (int s = 0; s < 4; ++s) {
                largest[s] = std::max(largest[s], std::fabs(Of(r, Series(s))[i]));
            }
            relative = std::max(relative, std::fabs(r.acceleration()[i] - r.ground()[i]));
        }
        EXPECT_EQ(r.peaks().ground, largest[0]);
        EXPECT_EQ(r.peaks().acceleration, largest[1]);
        EXPECT_EQ(r.peaks().velocity, largest[2]);
        EXPECT_EQ(r.peaks().displacement, largest[3]);
        // The forced cases' acceleration peak is the absolute one, not the relative one.
        if (IsForced(c.excitation)) {
            EXPECT_GT(std::fabs(r.peaks().acceleration - relative), 1.0);
        }
    }
    // The damped free vibration never returns to its initial 5 cm, which never enters.
    EXPECT_NEAR(
        TextRun(RunTexts{}, ExcitationCase::InitialDisplacement).response().peaks().displacement,
        4.9255436, 1e-6);
}

TEST(RunFromTexts, EarthquakeRunsStepWithTheRecord) {
    // A record of 1,500 samples 0.02 s apart, a constant 5 cm/s^2 under a swing.
    WaveRecord record{0.02, std::vector<double>(1500)};
    for (int k = 0; k < 1500; ++k) record.samples[k] = 5 + 100 * std::sin(0.1 * k);
    const struct {
        const char* timeStep;  // the box: as confirmed, or edited afterwards
        int points;            // from the boxes: 30 s / box step + 2
    } cases[] = {{"0.02", 1502}, {"0.01", 3002}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeStep);
        const TextRun run(With([&](RunTexts& t) {
                              t.timeStep = c.timeStep;
                              t.analysisTime = "30";
                          }),
                          ExcitationCase::Earthquake, record);
        ASSERT_EQ(run.outcome.status, RunOutcome::Status::Completed);
        const Response& r = run.response();
        ASSERT_EQ(r.completedPoints(), c.points);
        // The steps and times use the record's own step; its samples, then zeros.
        EXPECT_EQ(r.stepTime(), 0.02);
        EXPECT_EQ(run.outcome.playbackIntervalMs, 10);
        EXPECT_EQ(r.time()[10], 10 * 0.02);
        EXPECT_EQ(r.time()[c.points - 1], (c.points - 1) * 0.02);
        EXPECT_EQ(r.ground()[0], 5.0);
        EXPECT_EQ(r.acceleration()[0], -5.0);  // point 0 stays relative
        EXPECT_EQ(r.ground()[1499], record.samples[1499]);
        EXPECT_EQ(r.ground()[1500], 0.0);
        EXPECT_EQ(r.ground()[c.points - 1], 0.0);
    }

    // A record that holds the steady wave gives the steady run's response, bit for bit.
    const TextRun steady(RunTexts{}, ExcitationCase::SteadyAcceleration);
    const std::span<const double> wave = steady.response().ground();
    const TextRun recorded(RunTexts{}, ExcitationCase::Earthquake,
                           WaveRecord{0.01, {wave.begin(), wave.end()}});
    for (int i = 1; i < 1002; ++i) {
        ASSERT_EQ(recorded.response().displacement()[i], steady.response().displacement()[i]) << i;
        ASSERT_EQ(recorded.response().acceleration()[i], steady.response().acceleration()[i]) << i;
    }

    // No record: the run ends after the natural period is shown, nothing stepped.
    const TextRun none(With([](RunTexts& t) { t.model.stiffness = "1200"; }),
                       ExcitationCase::Earthquake);
    EXPECT_EQ(none.outcome.status, RunOutcome::Status::EndedEarly);
    EXPECT_FALSE(none.outcome.response.has_value());
    EXPECT_EQ(none.shownPeriod,
              NumberText(6.2831853071794 * std::sqrt(1.0 / 1200) / std::sqrt(1 - 0.0004)));
}

TEST(RunFromTexts, StepCountsAndPlaybackIntervalsRoundHalvesToEven) {
    const struct {
        const char* timeStep;
        const char* analysisTime;
        int points;
        int intervalMs;
    } cases[] = {
        {"0.5", "500.25", 1002, 250},  // 1000.5 + 2 points
        {"0.5", "500.75", 1004, 250},  // 1001.5 + 2
        {"0.005", "1", 202, 2},        // 2.5 ms
        {"0.003", "1", 335, 2},        // 1.5 ms
        {"0.007", "1", 145, 4},        // 3.5 ms
        {"0.009", "1", 113, 4},        // 4.5 ms
        {"0.0102", "1", 100, 5},       // 5.1 ms
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.timeStep << " " << c.analysisTime);
        // A soft building (T 63 s), stable at every step here.
        const TextRun run(With([&](RunTexts& t) {
                              t.model.stiffness = "0.01";
                              t.timeStep = c.timeStep;
                              t.analysisTime = c.analysisTime;
                          }),
                          ExcitationCase::InitialVelocity);
        ASSERT_EQ(run.outcome.status, RunOutcome::Status::Completed);
        EXPECT_EQ(run.response().pointCount(), c.points);
        EXPECT_EQ(run.outcome.playbackIntervalMs, c.intervalMs);
    }
}

TEST(RunFromTexts, SteadyStateAmplitudeOfAHarmonicGroundAcceleration) {
    // Ground acceleration 300 sin(W t), period 0.5 s, on K 300, M 1, h 5 %: once the start-up
    // swing has died away the displacement swings with A / sqrt((w^2 - W^2)^2 + (2 h w W)^2).
    const TextRun run(With([](RunTexts& t) {
                          t.model.damping = "5";
                          t.timeStep = "0.0025";
                          t.analysisTime = "40";
                          t.accelerationPeriod = "0.5";
                      }),
                      ExcitationCase::SteadyAcceleration);
    ASSERT_EQ(run.outcome.status, RunOutcome::Status::Completed);
    const double w2 = 300;
    const double bigW = 2 * std::numbers::pi / 0.5;
    const double expected = 300 / std::sqrt(std::pow(w2 - bigW * bigW, 2) +
                                            std::pow(2 * 0.05 * std::sqrt(w2) * bigW, 2));
    const std::span<const double> x = run.response().displacement();
    double amplitude = 0;
    for (std::size_t i = static_cast<std::size_t>(35 / 0.0025); i < x.size(); ++i) {
        amplitude = std::max(amplitude, std::fabs(x[i]));
    }
    EXPECT_NEAR(amplitude / expected, 1.0, 2e-3);
}

}  // namespace
}  // namespace kestrel
