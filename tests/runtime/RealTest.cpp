#include <gtest/gtest.h>

#include <cfloat>

#include "runtime/Paths.h"
#include "runtime/Real.h"

namespace kestrel {
namespace {

Fault FaultOf(auto&& operation) {
    try {
        operation();
    } catch (const FaultError& e) {
        return e.fault();
    }
    return Fault{};
}

TEST(Real, EachKindOfFaultIsReportedWithItsSite) {
    const FaultScope site(FaultSite::Integration);
    EXPECT_EQ(FaultOf([] { return Real(1) / 0; }),
              (Fault{FaultSite::Integration, FaultKind::DivideByZero}));
    EXPECT_EQ(FaultOf([] { return Real(0) / 0; }),
              (Fault{FaultSite::Integration, FaultKind::Invalid}));
    EXPECT_EQ(FaultOf([] { return Real(DBL_MAX) * 2; }),
              (Fault{FaultSite::Integration, FaultKind::Overflow}));
    EXPECT_EQ(FaultOf([] { return Real(-DBL_MAX) - DBL_MAX; }),
              (Fault{FaultSite::Integration, FaultKind::Overflow}));
    EXPECT_EQ(FaultOf([] { return Pow(-1, 0.5); }),
              (Fault{FaultSite::Integration, FaultKind::Invalid}));
    EXPECT_EQ(FaultOf([] { return Pow(0, -1); }),
              (Fault{FaultSite::Integration, FaultKind::DivideByZero}));
    EXPECT_EQ(FaultOf([] { return Pow(1e200, 2); }),
              (Fault{FaultSite::Integration, FaultKind::Overflow}));
}

TEST(Real, UnderflowAndOrdinaryResultsAreNotFaults) {
    EXPECT_EQ((Real(1e-300) * 1e-300).value(), 0.0);
    EXPECT_EQ((Real(6) / 3).value(), 2.0);
    EXPECT_EQ(Pow(0.25, 0.5).value(), 0.5);
    EXPECT_EQ((-Real(2)).value(), -2.0);
}

TEST(FaultScope, RestoresTheOuterSite) {
    const FaultScope outer(FaultSite::StepCount);
    {
        const FaultScope inner(FaultSite::GroundMotion);
        EXPECT_EQ(CurrentFaultSite(), FaultSite::GroundMotion);
    }
    EXPECT_EQ(CurrentFaultSite(), FaultSite::StepCount);
}

TEST(JoinPath, AddsASeparatorOnlyWhereNeeded) {
    EXPECT_EQ(JoinPath("/", "wave1.txt"), "/wave1.txt");
    EXPECT_EQ(JoinPath("/data", "wave1.txt"), "/data/wave1.txt");
    EXPECT_EQ(JoinPath("/data/", "a(時刻暦応答).csv"), "/data/a(時刻暦応答).csv");
    EXPECT_EQ(JoinPath("", "wave1.txt"), "wave1.txt");
}

}  // namespace
}  // namespace kestrel
