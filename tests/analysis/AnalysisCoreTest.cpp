// The analysis core: the same bits as the run it replaces, the three step methods through
// one interface against closed forms, and the reading of the boxes.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "analysis/Analyze.h"
#include "analysis/RunFromTexts.h"
#include "runtime/Conversions.h"
#include "study/MethodComparison.h"

namespace kestrel {
namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

RunTexts With(const std::function<void(RunTexts&)>& change) {
    RunTexts t;
    if (change) change(t);
    return t;
}

// A shaking that grows and dies away, dt apart.
WaveRecord Record(double dt, int samples, double scale = 1) {
    WaveRecord r{dt, std::vector<double>(static_cast<std::size_t>(samples))};
    for (int k = 0; k < samples; ++k) {
        const double t = k * dt;
        r.samples[k] =
            scale * (t * std::exp(-t / 3) * 120 * std::sin(7.1 * t) + 15 * std::cos(2.3 * t));
    }
    return r;
}

// ---- 1. The same run as RunAnalysis, bit for bit -----------------------------------------

struct SameRunCase {
    const char* what;
    RunTexts texts;
    ExcitationCase excitation;
    std::optional<WaveRecord> record;  // earthquake case: what the chooser hands over
};

TEST(AnalysisCore, SameBitsAsTheRunItReplaces) {
    using enum ExcitationCase;
    using enum StepperKind;
    const auto none = [](RunTexts&) {};
    const auto other = [](RunTexts& t) {
        t.model = {"1200", "250000", "5"};
        t.timeStep = "0.005";
        t.analysisTime = "3";
        t.firstDisplacement = "-2.5";
        t.firstVelocity = "12abc";
        t.accelerationPeriod = "0.37";
        t.accelerationMax = "-150";
        t.displacementPeriod = "0.8";
        t.displacementMax = "2";
    };
    const auto diverging = [](RunTexts& t) {
        t.model.damping = "0";
        t.timeStep = "0.3";
        t.analysisTime = "9000";
    };
    const SameRunCase cases[] = {
        {"default displacement", With(none), InitialDisplacement, {}},
        {"default velocity", With(none), InitialVelocity, {}},
        {"default acceleration wave", With(none), SteadyAcceleration, {}},
        {"default displacement wave", With(none), SteadyDisplacement, {}},
        {"record as confirmed", With([](RunTexts& t) { t.analysisTime = "15"; }), Earthquake,
         Record(0.01, 1500)},
        {"other displacement", With(other), InitialDisplacement, {}},
        {"other velocity", With(other), InitialVelocity, {}},
        {"other acceleration wave", With(other), SteadyAcceleration, {}},
        {"other displacement wave", With(other), SteadyDisplacement, {}},
        {"record with its own step", With(other), Earthquake, Record(0.02, 400)},
        {"record shorter than the run", With([](RunTexts& t) { t.analysisTime = "20"; }),
         Earthquake, Record(0.01, 700)},
        {"longest acceleration wave",
         With([](RunTexts& t) { t.analysisTime = "327.64"; }),
         SteadyAcceleration,
         {}},
        {"negative step",
         With([](RunTexts& t) {
             t.timeStep = "-0.01";
             t.analysisTime = "-2";
         }),
         InitialDisplacement,
         {}},
        {"one point", With([](RunTexts& t) { t.analysisTime = "-0.01"; }), SteadyAcceleration, {}},
        // Faults of the opening steps, the record, the point 0, the steps and the hand-over.
        {"time step 0", With([](RunTexts& t) { t.timeStep = "0"; }), SteadyAcceleration, {}},
        {"stiffness 0", With([](RunTexts& t) { t.model.stiffness = "0"; }), InitialVelocity, {}},
        {"damping 100 %", With([](RunTexts& t) { t.model.damping = "100"; }), Earthquake,
         Record(0.01, 100)},
        {"mass 0", With([](RunTexts& t) { t.model.mass = "0"; }), InitialDisplacement, {}},
        {"displacement period 0",
         With([](RunTexts& t) { t.displacementPeriod = "x"; }),
         SteadyDisplacement,
         {}},
        {"no record", With(none), Earthquake, {}},
        {"record too long", With(none), Earthquake, WaveRecord{0.01, std::vector<double>(49998)}},
        {"longest record", With(none), Earthquake, WaveRecord{0.01, std::vector<double>(49997, 3)}},
        {"record step too long", With(none), Earthquake, WaveRecord{1e200, {1, 2}}},
        {"initial displacement too large",
         With([](RunTexts& t) { t.firstDisplacement = "1e307"; }),
         InitialDisplacement,
         {}},
        {"record's first sample huge", With(none), Earthquake, WaveRecord{0.01, {-1.7e308}}},
        {"no points", With([](RunTexts& t) { t.analysisTime = "-0.02"; }), InitialVelocity, {}},
        {"acceleration period 0",
         With([](RunTexts& t) { t.accelerationPeriod = "0"; }),
         SteadyAcceleration,
         {}},
        {"free vibration diverges", With(diverging), InitialDisplacement, {}},
        {"acceleration wave diverges", With(diverging), SteadyAcceleration, {}},
        {"record diverges", With(diverging), Earthquake, Record(0.3, 3000)},
        {"negative damping grows",
         With([](RunTexts& t) {
             t.model.damping = "-50";
             t.analysisTime = "300";
         }),
         InitialVelocity,
         {}},
        {"huge time step", With([](RunTexts& t) { t.timeStep = "1e10"; }), InitialVelocity, {}},
    };
    for (const SameRunCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> oldShown, newShown;
        RunHooks hooks;
        hooks.loadWaveRecord = [&c] { return c.record; };
        hooks.showNaturalPeriod = [&oldShown](double t) { oldShown.push_back(t); };
        const auto old = std::make_unique<AnalysisState>();
        const RunResult was = RunAnalysis(*old, c.texts, c.excitation, hooks);
        hooks.showNaturalPeriod = [&newShown](double t) { newShown.push_back(t); };
        const RunOutcome now = RunFromTexts(c.texts, c.excitation, hooks);

        ASSERT_EQ(static_cast<int>(now.status), static_cast<int>(was.status));
        EXPECT_EQ(now.fault.value_or(Fault{}), was.fault);
        ASSERT_EQ(newShown.size(), oldShown.size());
        for (std::size_t k = 0; k < oldShown.size(); ++k)
            EXPECT_EQ(Bits(newShown[k]), Bits(oldShown[k]));
        if (!now.response) continue;

        const Response& r = *now.response;
        const bool complete = was.status == RunResult::Status::Completed ||
                              was.fault.site == FaultSite::TimerInterval;
        const bool stepped = complete || was.fault.site == FaultSite::Integration ||
                             was.fault.site == FaultSite::GroundMotion;
        if (!stepped) {
            EXPECT_EQ(r.completedPoints(), 0);
            continue;
        }
        EXPECT_EQ(r.pointCount(), old->StepCount);
        EXPECT_EQ(Bits(r.stepTime()), Bits(old->TimeStep));
        EXPECT_EQ(now.playbackIntervalMs, was.timerIntervalMs);
        // A run stopped by a fault holds the points before the one whose step failed.
        const int completed = complete ? old->StepCount : static_cast<int>(old->StepIndex);
        ASSERT_EQ(r.completedPoints(), completed);
        const bool forced = IsForced(c.excitation);
        for (int i = 0; i < completed; ++i) {
            ASSERT_EQ(Bits(r.time()[i]), Bits(old->TimeSeries[i])) << i;
            ASSERT_EQ(Bits(r.ground()[i]), Bits(old->CacSeries[i])) << i;
            ASSERT_EQ(Bits(r.velocity()[i]), Bits(old->VelSeries[i])) << i;
            ASSERT_EQ(Bits(r.displacement()[i]), Bits(old->DisSeries[i])) << i;
            // The old run made the acceleration absolute only once every point was stepped;
            // a partial response holds it absolute already.
            const double shown = complete || !forced || i == 0
                                     ? old->AccSeries[i]
                                     : old->AccSeries[i] + old->CacSeries[i];
            ASSERT_EQ(Bits(r.acceleration()[i]), Bits(shown)) << i;
        }
        if (was.status == RunResult::Status::Completed) {
            // The accuracy tab's other two methods on the same steps: the same bits over
            // the points it compares (those of the result file, 0 .. points - 2).
            const MethodComparison compared = CompareMethods(c.texts, c.excitation, c.record);
            const Response average = Analyze(*now.inputs, *now.motion, AverageAcceleration);
            const Response exact = Analyze(*now.inputs, *now.motion, StepperKind::Exact);
            ASSERT_EQ(compared.average.displacement.size(), std::size_t(completed - 1));
            for (std::size_t i = 0; i < compared.average.displacement.size(); ++i) {
                ASSERT_EQ(Bits(average.displacement()[i]), Bits(compared.average.displacement[i]));
                ASSERT_EQ(Bits(exact.displacement()[i]), Bits(compared.exact.displacement[i]));
            }
        }
        if (complete || !forced) {
            EXPECT_EQ(Bits(r.peaks().ground), Bits(old->CacPeak));
            EXPECT_EQ(Bits(r.peaks().acceleration), Bits(old->AccPeak));
            EXPECT_EQ(Bits(r.peaks().velocity), Bits(old->VelPeak));
            EXPECT_EQ(Bits(r.peaks().displacement), Bits(old->DisPeak));
        }
    }
}

// ---- 2. Three step methods, one interface, against closed forms ------------------------

constexpr double kK = 300;  // kN/cm, with a mass of 1 kN*s^2/cm: w = 17.32 rad/s
constexpr double kH = 0.05;

// The inputs of a run built directly, without texts.
RunInputs TypedInputs(ExcitationCase excitation, double ts, double duration) {
    RunInputs in;
    in.excitation = excitation;
    in.building = {kK, 1, kH};
    in.timeStep = ts;
    in.analysisTime = duration;
    in.pointCount = static_cast<int>(std::lround(duration / ts)) + 1;
    in.naturalPeriod = NaturalPeriodOf(in.building);
    in.constants = DeriveConstants(in.building, ts);
    in.initialDisplacement = excitation == ExcitationCase::InitialDisplacement ? 5 : 0;
    return in;
}

// The closed forms, written out here: x'' + 2 h w x' + w^2 x = -g(t).
const double kW = std::sqrt(kK);
const double kWd = kW * std::sqrt(1 - kH * kH);

// From x0 = 5, v0 = 0, no ground motion.
double FreeVibration(double t) {
    return std::exp(-kH * kW * t) * (5 * std::cos(kWd * t) + kH * kW * 5 / kWd * std::sin(kWd * t));
}

// From rest under g = r t: x = -r t / w^2 + 2 h r / w^3 + e^(-h w t)(A cos wd t + B sin wd t).
constexpr double kRamp = 400;  // cm/s^3
double RampResponse(double t) {
    const double a = -2 * kH * kRamp / (kW * kW * kW);
    const double b = (kRamp / (kW * kW) + kH * kW * a) / kWd;
    return -kRamp * t / (kW * kW) - a +
           std::exp(-kH * kW * t) * (a * std::cos(kWd * t) + b * std::sin(kWd * t));
}

// From rest under g = A sin(W t): the steady part C sin + D cos plus the free vibration
// that starts it from rest.
constexpr double kSineAmplitude = 300;
constexpr double kSinePeriod = 0.5;
double SineResponse(double t) {
    const double bigW = 2 * std::numbers::pi / kSinePeriod;
    const double p = kW * kW - bigW * bigW;
    const double q = 2 * kH * kW * bigW;
    const double c = -kSineAmplitude * p / (p * p + q * q);
    const double d = kSineAmplitude * q / (p * p + q * q);
    const double a = -d;                               // x(0) = 0
    const double b = (-c * bigW + kH * kW * a) / kWd;  // v(0) = 0
    return c * std::sin(bigW * t) + d * std::cos(bigW * t) +
           std::exp(-kH * kW * t) * (a * std::cos(kWd * t) + b * std::sin(kWd * t));
}

enum class Input { Free, Ramp, Sine };

// The run of one method on one input over 1.5 s, and its largest displacement error. An extra
// observer sums the spring's work.
struct MethodRun {
    double worst = 0;
    double springWork = 0;
    double x0 = 0, xEnd = 0;
};

class WorkSum {
public:
    void Start(const RunPoint&) {}
    void Observe(const RunPoint& p) { work += p.spring.work; }
    double work = 0;
};

MethodRun RunMethod(StepperKind kind, Input input, double ts) {
    const double duration = 1.5;
    RunInputs in;
    GroundMotion motion;
    switch (input) {
        case Input::Free:
            in = TypedInputs(ExcitationCase::InitialDisplacement, ts, duration);
            motion = NoGroundMotion{};
            break;
        case Input::Ramp: {
            in = TypedInputs(ExcitationCase::Earthquake, ts, duration);
            std::vector<double> g;
            for (int k = 0; k < in.pointCount; ++k) g.push_back(kRamp * k * ts);
            motion = std::move(MakeRecordedMotion(ts, g)).value();
            break;
        }
        case Input::Sine:
            in = TypedInputs(ExcitationCase::SteadyAcceleration, ts, duration);
            // The wave at the program's pi; the closed form's longer pi differs far below
            // the errors measured.
            motion = SteadyWave(ts, kSinePeriod, kSineAmplitude);
            break;
    }
    double (*exact)(double) = input == Input::Free   ? FreeVibration
                              : input == Input::Ramp ? RampResponse
                                                     : SineResponse;
    WorkSum work;
    Response r = [&] {
        const LinearSpring spring(in.constants.stiffnessPerMass);
        switch (kind) {
            case StepperKind::LinearAcceleration:
                return AnalyzeWith(
                    in, motion,
                    [&](const StepSetup& s) {
                        return LinearAccelerationStepper<LinearSpring>(s, spring);
                    },
                    work);
            case StepperKind::AverageAcceleration:
                return AnalyzeWith(
                    in, motion,
                    [&](const StepSetup& s) {
                        return AverageAccelerationStepper<LinearSpring>(s, spring);
                    },
                    work);
            case StepperKind::Exact:
                break;
        }
        return AnalyzeWith(
            in, motion, [](const StepSetup& s) { return ExactStepper(s); }, work);
    }();
    EXPECT_TRUE(r.complete());
    MethodRun out;
    for (int i = 0; i < r.completedPoints(); ++i) {
        out.worst = std::max(out.worst, std::fabs(r.displacement()[i] - exact(r.time()[i])));
    }
    out.springWork = work.work;
    out.x0 = r.displacement().front();
    out.xEnd = r.displacement().back();
    return out;
}

TEST(AnalysisCore, EachStepMethodAgainstTheClosedForms) {
    using enum StepperKind;
    const struct {
        StepperKind kind;
        Input input;
        double ts;
        double bound;      // largest displacement error at ts, cm
        bool secondOrder;  // halving ts divides the error by about 4
    } cases[] = {
        {LinearAcceleration, Input::Free, 0.01, 0.05, true},
        {AverageAcceleration, Input::Free, 0.01, 0.1, true},
        {LinearAcceleration, Input::Sine, 0.01, 0.02, true},
        {AverageAcceleration, Input::Sine, 0.01, 0.04, true},
        // Exact whatever the step, even one the linear acceleration method cannot take.
        {Exact, Input::Free, 0.01, 1e-12, false},
        {Exact, Input::Free, 0.25, 1e-12, false},
        {Exact, Input::Ramp, 0.01, 1e-12, false},
        {Exact, Input::Ramp, 0.3, 1e-12, false},
        // A sine is linear between points only to second order.
        {Exact, Input::Sine, 0.01, 0.01, true},
    };
    // Inputs made in code are held to the program's point count too.
    const Response tooLong =
        Analyze(TypedInputs(ExcitationCase::InitialDisplacement, 0.01, 400), NoGroundMotion{});
    EXPECT_EQ(tooLong.fault(), (Fault{FaultSite::StepRange, FaultKind::OutOfRange}));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << static_cast<int>(c.kind) << " input "
                                        << static_cast<int>(c.input) << " dt " << c.ts);
        const MethodRun coarse = RunMethod(c.kind, c.input, c.ts);
        EXPECT_LT(coarse.worst, c.bound);
        if (c.secondOrder) {
            const MethodRun fine = RunMethod(c.kind, c.input, c.ts / 2);
            EXPECT_NEAR(coarse.worst / fine.worst, 4.0, 0.4);
        }
        // The spring's work over the run is its stored energy's change, K/M (x^2 - x0^2)/2.
        const double stored = kK * (coarse.xEnd * coarse.xEnd - coarse.x0 * coarse.x0) / 2;
        EXPECT_NEAR(coarse.springWork, stored, 1e-9 * (std::fabs(stored) + kK));
    }
}

// ---- 3. Reading the boxes ----------------------------------------------------------------

TEST(AnalysisCore, ReadRunInputsFaultsAndValues) {
    using enum FaultSite;
    using enum FaultKind;
    const ExcitationCase acc = ExcitationCase::SteadyAcceleration;
    const struct {
        const char* what;
        RunTexts texts;
        ExcitationCase excitation;
        std::optional<Fault> fault;
        int points;  // when read
    } cases[] = {
        {"defaults", With({}), acc, {}, 1002},
        {"1002.5 points round to even",
         With([](RunTexts& t) {
             t.timeStep = "0.5";
             t.analysisTime = "500.25";
         }),
         acc,
         {},
         1002},
        {"1003.5 points round to even",
         With([](RunTexts& t) {
             t.timeStep = "0.5";
             t.analysisTime = "500.75";
         }),
         acc,
         {},
         1004},
        {"no points is still read",
         With([](RunTexts& t) { t.analysisTime = "-5"; }),
         acc,
         {},
         -498},
        {"stiffness 0", With([](RunTexts& t) { t.model.stiffness = "0"; }), acc,
         Fault{MassStiffnessRatio, DivideByZero}, 0},
        {"stiffness and mass empty",
         With([](RunTexts& t) { t.model.stiffness = t.model.mass = ""; }), acc,
         Fault{MassStiffnessRatio, Invalid}, 0},
        {"opposite signs", With([](RunTexts& t) { t.model.mass = "-100000"; }), acc,
         Fault{MassStiffnessRatio, Invalid}, 0},
        {"damping 100 %", With([](RunTexts& t) { t.model.damping = "100"; }), acc,
         Fault{DampingFactor, DivideByZero}, 0},
        {"damping 150 %", With([](RunTexts& t) { t.model.damping = "150"; }), acc,
         Fault{DampingFactor, Invalid}, 0},
        {"mass 0", With([](RunTexts& t) { t.model.mass = "0"; }), acc,
         Fault{StepConstants, DivideByZero}, 0},
        {"time step 0", With([](RunTexts& t) { t.timeStep = "0"; }), acc,
         Fault{StepCount, DivideByZero}, 0},
        {"time step and time 0", With([](RunTexts& t) { t.timeStep = t.analysisTime = "0"; }), acc,
         Fault{StepCount, Invalid}, 0},
        {"400 s at 0.01 s", With([](RunTexts& t) { t.analysisTime = "400"; }), acc,
         Fault{StepCount, Overflow}, 0},
        // The point count comes before the natural period.
        {"time step 0 and mass 0", With([](RunTexts& t) { t.timeStep = t.model.mass = "0"; }), acc,
         Fault{StepCount, DivideByZero}, 0},
        {"time step too long for the constants", With([](RunTexts& t) { t.timeStep = "1e160"; }),
         acc, Fault{StepConstants, Overflow}, 0},
        {"displacement period 0", With([](RunTexts& t) { t.displacementPeriod = "x"; }),
         ExcitationCase::SteadyDisplacement, Fault{ForcingParameters, DivideByZero}, 0},
        {"displacement amplitude huge", With([](RunTexts& t) { t.displacementMax = "1e308"; }),
         ExcitationCase::SteadyDisplacement, Fault{ForcingParameters, Overflow}, 0},
        // The acceleration wave's period is only divided by when the wave is computed.
        {"acceleration period 0 is read",
         With([](RunTexts& t) { t.accelerationPeriod = "0"; }),
         acc,
         {},
         1002},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FaultOr<RunInputs> in = ReadRunInputs(c.texts, c.excitation);
        ASSERT_EQ(in.ok(), !c.fault.has_value());
        if (c.fault) {
            EXPECT_EQ(in.fault(), *c.fault);
        } else {
            EXPECT_EQ(in->pointCount, c.points);
        }
        // The natural-period display reads the model boxes alone.
        const FaultOr<double> period = ReadNaturalPeriod(c.texts.model);
        const bool modelFault =
            c.fault && (c.fault->site == MassStiffnessRatio || c.fault->site == DampingFactor);
        ASSERT_EQ(period.ok(), !modelFault);
        if (modelFault) {
            EXPECT_EQ(period.fault(), *c.fault);
        }
    }

    // The values read for the defaults, against figures worked by hand.
    const FaultOr<RunInputs> in = ReadRunInputs(RunTexts{}, ExcitationCase::SteadyDisplacement);
    ASSERT_TRUE(in.ok());
    EXPECT_EQ(in->building.mass, 1.0);
    EXPECT_EQ(in->building.dampingRatio, 0.02);
    EXPECT_EQ(NumberText(in->naturalPeriod), "0.362832446594252");
    EXPECT_EQ(in->constants.stiffnessPerMass, 300.0);
    EXPECT_NEAR(in->constants.dampingCoefficient, 2 * 0.02 * std::sqrt(300.0), 1e-15);
    EXPECT_NEAR(in->constants.denominator, 1 + 0.6928203230 * 0.005 + 300 * 1e-4 / 6, 1e-10);
    EXPECT_EQ(in->forcing.omega, 6.2831853071794);
    EXPECT_NEAR(in->forcing.amplitude, 6.2831853071794 * 6.2831853071794, 1e-12);
    EXPECT_EQ(ReadRunInputs(With([](RunTexts& t) { t.firstVelocity = " 12abc"; }),
                            ExcitationCase::InitialVelocity)
                  ->initialVelocity,
              12.0);
}

}  // namespace
}  // namespace kestrel
