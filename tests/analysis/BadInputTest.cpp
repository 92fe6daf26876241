// Runs that cannot be computed: each reports the fault of the step that failed, at the moment
// the program always has (the natural period shown or not), keeps the points computed before
// it, and never lets NaN or infinity into a response.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/RunFromTexts.h"

namespace kestrel {
namespace {

RunTexts With(const std::function<void(RunTexts&)>& change) {
    RunTexts t;
    change(t);
    return t;
}

using Record = WaveRecord;  // the fault site of the same name is in use below

// How much of the run a fault leaves.
enum class Kept {
    Nothing,  // no response: the fault came before the steps
    NoPoint,  // a response of no point: the steps' own preparation failed
    Point0,   // only point 0: the first point's ground motion failed
    Part,     // some points, not all
    All,      // every point, the fault came after the steps
};

TEST(BadInput, EachFaultIsReportedWithItsStepAndKeepsWhatCameBefore) {
    using enum FaultSite;
    using enum FaultKind;
    using enum ExcitationCase;
    using enum Kept;
    const auto diverging = [](RunTexts& t) {
        // 0.3 s against a natural period of 0.36 s, far beyond the stable range: the response
        // grows every step until it leaves the 64-bit range.
        t.model.damping = "0";
        t.timeStep = "0.3";
        t.analysisTime = "9000";
    };
    std::vector<double> growing(3000);
    for (std::size_t k = 0; k < growing.size(); ++k) growing[k] = 100 * std::sin(0.7 * k);
    const struct {
        const char* what;
        RunTexts texts;
        ExcitationCase excitation;
        std::optional<Record> record;
        Fault fault;
        bool periodShown;
        Kept kept;
    } cases[] = {
        {"stiffness 0",
         With([](RunTexts& t) { t.model.stiffness = "0"; }),
         SteadyAcceleration,
         {},
         {MassStiffnessRatio, DivideByZero},
         false,
         Nothing},
        {"stiffness text",
         With([](RunTexts& t) { t.model.stiffness = "abc"; }),
         SteadyAcceleration,
         {},
         {MassStiffnessRatio, DivideByZero},
         false,
         Nothing},
        {"stiffness and mass empty",
         With([](RunTexts& t) { t.model.stiffness = t.model.mass = ""; }),
         InitialVelocity,
         {},
         {MassStiffnessRatio, Invalid},
         false,
         Nothing},
        {"opposite signs",
         With([](RunTexts& t) { t.model.mass = "-100000"; }),
         SteadyAcceleration,
         {},
         {MassStiffnessRatio, Invalid},
         false,
         Nothing},
        {"damping 100 %",
         With([](RunTexts& t) { t.model.damping = "100"; }),
         Earthquake,
         Record{0.01, {1, 2}},
         {DampingFactor, DivideByZero},
         false,
         Nothing},
        {"damping 150 %",
         With([](RunTexts& t) { t.model.damping = "150"; }),
         SteadyAcceleration,
         {},
         {DampingFactor, Invalid},
         false,
         Nothing},
        {"damping -100 %",
         With([](RunTexts& t) { t.model.damping = "-100"; }),
         SteadyAcceleration,
         {},
         {DampingFactor, DivideByZero},
         false,
         Nothing},
        // The point count comes before the natural period.
        {"time step 0",
         With([](RunTexts& t) { t.timeStep = "0"; }),
         SteadyAcceleration,
         {},
         {StepCount, DivideByZero},
         false,
         Nothing},
        {"time step and time 0",
         With([](RunTexts& t) { t.timeStep = t.analysisTime = "0"; }),
         SteadyAcceleration,
         {},
         {StepCount, Invalid},
         false,
         Nothing},
        {"time step 0 and mass 0",
         With([](RunTexts& t) { t.timeStep = t.model.mass = "0"; }),
         SteadyAcceleration,
         {},
         {StepCount, DivideByZero},
         false,
         Nothing},
        {"400 s at 0.01 s",
         With([](RunTexts& t) { t.analysisTime = "400"; }),
         SteadyAcceleration,
         {},
         {StepCount, Overflow},
         false,
         Nothing},
        {"huge exponent",
         With([](RunTexts& t) { t.analysisTime = "1e400"; }),
         SteadyAcceleration,
         {},
         {StepCount, Overflow},
         false,
         Nothing},
        // From here on the natural period is known; it is shown only once the boxes are read.
        {"mass 0",
         With([](RunTexts& t) { t.model.mass = "0"; }),
         InitialDisplacement,
         {},
         {StepConstants, DivideByZero},
         false,
         Nothing},
        {"time step too long for the constants",
         With([](RunTexts& t) { t.timeStep = "1e160"; }),
         SteadyAcceleration,
         {},
         {StepConstants, Overflow},
         false,
         Nothing},
        {"displacement period 0",
         With([](RunTexts& t) { t.displacementPeriod = "x"; }),
         SteadyDisplacement,
         {},
         {ForcingParameters, DivideByZero},
         false,
         Nothing},
        {"huge displacement",
         With([](RunTexts& t) { t.displacementMax = "1e308"; }),
         SteadyDisplacement,
         {},
         {ForcingParameters, Overflow},
         false,
         Nothing},
        {"record too long",
         {},
         Earthquake,
         Record{0.01, std::vector<double>(49998)},
         {WaveRecord, OutOfRange},
         true,
         Nothing},
        {"record step too long",
         {},
         Earthquake,
         Record{1e200, {1, 2}},
         {StepConstants, Overflow},
         true,
         NoPoint},
        {"huge initial displacement",
         With([](RunTexts& t) { t.firstDisplacement = "1e307"; }),
         InitialDisplacement,
         {},
         {InitialState, Overflow},
         true,
         NoPoint},
        {"no points",
         With([](RunTexts& t) { t.analysisTime = "-0.02"; }),
         SteadyAcceleration,
         {},
         {StepRange, OutOfRange},
         true,
         NoPoint},
        {"negative points",
         With([](RunTexts& t) { t.analysisTime = "-5"; }),
         InitialVelocity,
         {},
         {StepRange, OutOfRange},
         true,
         NoPoint},
        {"acceleration period 0",
         With([](RunTexts& t) { t.accelerationPeriod = "0"; }),
         SteadyAcceleration,
         {},
         {GroundMotion, DivideByZero},
         true,
         Point0},
        {"free vibration diverges",
         With(diverging),
         InitialDisplacement,
         {},
         {Integration, Overflow},
         true,
         Part},
        {"acceleration wave diverges",
         With(diverging),
         SteadyAcceleration,
         {},
         {Integration, Overflow},
         true,
         Part},
        {"record diverges",
         With(diverging),
         Earthquake,
         Record{0.3, growing},
         {Integration, Overflow},
         true,
         Part},
        {"huge time step",
         With([](RunTexts& t) { t.timeStep = "1e10"; }),
         InitialVelocity,
         {},
         {TimerInterval, Overflow},
         true,
         All},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool periodShown = false;
        RunHooks hooks;
        hooks.showNaturalPeriod = [&](double) { periodShown = true; };
        hooks.loadWaveRecord = [&c] { return c.record; };
        const RunOutcome run = RunFromTexts(c.texts, c.excitation, hooks);
        EXPECT_EQ(run.status, RunOutcome::Status::Faulted);
        EXPECT_EQ(run.fault, c.fault);
        EXPECT_EQ(periodShown, c.periodShown);
        ASSERT_EQ(run.response.has_value(), c.kept != Nothing);
        if (!run.response) continue;
        const Response& r = *run.response;
        const int points = r.completedPoints();
        switch (c.kept) {
            case Nothing:
                break;
            case NoPoint:
                EXPECT_EQ(points, 0);
                break;
            case Point0:
                EXPECT_EQ(points, 1);
                break;
            case Part:
                EXPECT_GT(points, 1);
                EXPECT_LT(points, r.pointCount());
                break;
            case All:
                EXPECT_EQ(points, r.pointCount());
                break;
        }
        // A fault in the steps is the response's own; one after them is the run's alone.
        EXPECT_EQ(r.complete(), c.kept == All);
        for (const auto series :
             {r.time(), r.ground(), r.acceleration(), r.velocity(), r.displacement()}) {
            ASSERT_EQ(static_cast<int>(series.size()), points);
            for (const double v : series) ASSERT_TRUE(std::isfinite(v));
        }
        for (const double peak : {r.peaks().ground, r.peaks().acceleration, r.peaks().velocity,
                                  r.peaks().displacement}) {
            EXPECT_TRUE(std::isfinite(peak));
        }
    }
}

}  // namespace
}  // namespace kestrel
