// Runs that cannot be computed: each reports the fault of the step that failed, at the moment
// the program always has (the natural period shown or not), keeps the points computed before
// it, and never lets NaN or infinity into a response.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/CheckedMath.h"
#include "analysis/RunFromTexts.h"

namespace kestrel {
namespace {

// The boxes a case changes, by short names.
enum class Box { K, M, H, Ts, Tl, X0, Ta, Td, Ad };

RunTexts With(std::initializer_list<std::pair<Box, const char*>> changes) {
    RunTexts t;
    for (const auto& [box, text] : changes) {
        std::string* field[] = {&t.model.stiffness,    &t.model.mass,         &t.model.damping,
                                &t.timeStep,           &t.analysisTime,       &t.firstDisplacement,
                                &t.accelerationPeriod, &t.displacementPeriod, &t.displacementMax};
        *field[static_cast<int>(box)] = text;
    }
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
    using enum Box;
    // 0.3 s against a natural period of 0.36 s, far beyond the stable range: the response
    // grows every step until it leaves the 64-bit range.
    const RunTexts diverging = With({{H, "0"}, {Ts, "0.3"}, {Tl, "9000"}});
    std::vector<double> growing(3000);
    for (std::size_t k = 0; k < growing.size(); ++k) growing[k] = 100 * std::sin(0.7 * k);
    const auto acc = SteadyAcceleration;
    const struct {
        const char* what;
        RunTexts texts;
        ExcitationCase excitation;
        std::optional<Record> record;
        Fault fault;
        Kept kept;
    } cases[] = {
        // clang-format off
        {"stiffness 0", With({{K, "0"}}), acc, {}, {MassStiffnessRatio, DivideByZero}, Nothing},
        {"stiffness text", With({{K, "abc"}}), acc, {}, {MassStiffnessRatio, DivideByZero},
         Nothing},
        {"stiffness and mass empty", With({{K, ""}, {M, ""}}), InitialVelocity, {},
         {MassStiffnessRatio, Invalid}, Nothing},
        {"opposite signs", With({{M, "-100000"}}), acc, {}, {MassStiffnessRatio, Invalid}, Nothing},
        {"damping 100 %", With({{H, "100"}}), Earthquake, Record{0.01, {1, 2}},
         {DampingFactor, DivideByZero}, Nothing},
        {"damping 150 %", With({{H, "150"}}), acc, {}, {DampingFactor, Invalid}, Nothing},
        {"damping -100 %", With({{H, "-100"}}), acc, {}, {DampingFactor, DivideByZero}, Nothing},
        // The point count comes before the natural period.
        {"time step 0", With({{Ts, "0"}}), acc, {}, {StepCount, DivideByZero}, Nothing},
        {"time step and time 0", With({{Ts, "0"}, {Tl, "0"}}), acc, {}, {StepCount, Invalid},
         Nothing},
        {"time step 0 and mass 0", With({{Ts, "0"}, {M, "0"}}), acc, {}, {StepCount, DivideByZero},
         Nothing},
        {"400 s at 0.01 s", With({{Tl, "400"}}), acc, {}, {StepCount, Overflow}, Nothing},
        {"huge exponent", With({{Tl, "1e400"}}), acc, {}, {StepCount, Overflow}, Nothing},
        {"mass 0", With({{M, "0"}}), InitialDisplacement, {}, {StepConstants, DivideByZero},
         Nothing},
        {"time step too long for the constants", With({{Ts, "1e160"}}), acc, {},
         {StepConstants, Overflow}, Nothing},
        {"displacement period 0", With({{Td, "x"}}), SteadyDisplacement, {},
         {ForcingParameters, DivideByZero}, Nothing},
        {"huge displacement", With({{Ad, "1e308"}}), SteadyDisplacement, {},
         {ForcingParameters, Overflow}, Nothing},
        // From here on the boxes were read and the natural period shown.
        {"record too long", {}, Earthquake, Record{0.01, std::vector<double>(49998)},
         {WaveRecord, OutOfRange}, Nothing},
        {"record step too long", {}, Earthquake, Record{1e200, {1, 2}}, {StepConstants, Overflow},
         NoPoint},
        {"huge initial displacement", With({{X0, "1e307"}}), InitialDisplacement, {},
         {InitialState, Overflow}, NoPoint},
        {"no points", With({{Tl, "-0.02"}}), acc, {}, {StepRange, OutOfRange}, NoPoint},
        {"negative points", With({{Tl, "-5"}}), InitialVelocity, {}, {StepRange, OutOfRange},
         NoPoint},
        {"acceleration period 0", With({{Ta, "0"}}), acc, {}, {GroundMotion, DivideByZero}, Point0},
        {"free vibration diverges", diverging, InitialDisplacement, {}, {Integration, Overflow},
         Part},
        {"acceleration wave diverges", diverging, acc, {}, {Integration, Overflow}, Part},
        {"record diverges", diverging, Earthquake, Record{0.3, growing}, {Integration, Overflow},
         Part},
        {"huge time step", With({{Ts, "1e10"}}), InitialVelocity, {}, {TimerInterval, Overflow},
         All},
        // clang-format on
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
        // The boxes' own faults come from reading them, before the period is shown;
        // "固有周期の表示" reads the model alone.
        const bool read = c.kept != Nothing || c.fault.site == WaveRecord;
        EXPECT_EQ(periodShown, read);
        const FaultOr<RunInputs> inputs = ReadRunInputs(c.texts, c.excitation);
        ASSERT_EQ(inputs.ok(), read);
        EXPECT_TRUE(inputs || inputs.fault() == c.fault);
        const bool model = c.fault.site == MassStiffnessRatio || c.fault.site == DampingFactor;
        const FaultOr<double> period = ReadNaturalPeriod(c.texts.model);
        ASSERT_EQ(period.ok(), !model);
        EXPECT_TRUE(period || period.fault() == c.fault);

        ASSERT_EQ(run.response.has_value(), c.kept != Nothing);
        if (!run.response) continue;
        const Response& r = *run.response;
        const int points = r.completedPoints();
        const int expected[] = {0, 0, 1, points, r.pointCount()};
        EXPECT_EQ(points, expected[static_cast<int>(c.kept)]);
        EXPECT_TRUE(c.kept != Part || (points > 1 && points < r.pointCount()));
        // A fault in the steps is the response's own; one after them is the run's alone.
        EXPECT_EQ(r.complete(), c.kept == All);
        for (const auto series :
             {r.time(), r.ground(), r.acceleration(), r.velocity(), r.displacement()}) {
            ASSERT_EQ(static_cast<int>(series.size()), points);
            for (const double v : series) ASSERT_TRUE(std::isfinite(v));
        }
        const Peaks& p = r.peaks();
        for (const double peak : {p.ground, p.acceleration, p.velocity, p.displacement}) {
            EXPECT_TRUE(std::isfinite(peak));
        }
    }
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

// The step loop's checked arithmetic: a finite result as computed; otherwise the fault of the
// operation that failed, under the site; an operand that was not finite, handed on
// unchanged, refused as invalid rather than passed on.
TEST(BadInput, StepFormulasRaiseTheFaultOfTheOperationThatFailed) {
    const auto faultOf = [](auto formula) -> std::optional<Fault> {
        try {
            checked::FiniteValue(formula, FaultSite::Integration);
        } catch (const FaultError& e) {
            return e.fault();
        }
        return std::nullopt;
    };
    const double huge = 1e300, zero = 0, infinite = HUGE_VAL;
    EXPECT_EQ(checked::FiniteValue([&]<typename Num>(Num) { return Num(huge) * 3 + 1; },
                                   FaultSite::Integration),
              3e300 + 1);
    EXPECT_EQ(faultOf([&]<typename Num>(Num) { return Num(huge) * huge; }),
              (Fault{FaultSite::Integration, FaultKind::Overflow}));
    EXPECT_EQ(faultOf([&]<typename Num>(Num) { return Num(zero) / zero; }),
              (Fault{FaultSite::Integration, FaultKind::Invalid}));
    EXPECT_EQ(faultOf([&]<typename Num>(Num) { return -Num(infinite); }),
              (Fault{FaultSite::Integration, FaultKind::Invalid}));
    EXPECT_EQ(CurrentFaultSite(), FaultSite::None);
}

}  // namespace
}  // namespace kestrel
