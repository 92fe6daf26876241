// The analysis core: the three step methods through one interface against closed forms, and
// the reading of the boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "RunTestSupport.h"
#include "analysis/Analyze.h"
#include "analysis/RunFromTexts.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

using test::With;

// ---- 1. Three step methods, one interface, against closed forms ------------------------

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

// ---- 2. Reading the boxes ----------------------------------------------------------------

// The faults of the reading are BadInputTest's; here what is read.
TEST(AnalysisCore, ReadRunInputsValues) {
    const ExcitationCase acc = ExcitationCase::SteadyAcceleration;
    // A count the run refuses is read all the same, and the acceleration wave's period is
    // only divided by when the wave is computed.
    EXPECT_EQ(ReadRunInputs(With([](RunTexts& t) { t.analysisTime = "-5"; }), acc)->pointCount,
              -498);
    EXPECT_EQ(ReadRunInputs(With([](RunTexts& t) { t.accelerationPeriod = "0"; }), acc)->pointCount,
              1002);

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
