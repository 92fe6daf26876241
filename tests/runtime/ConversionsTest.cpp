#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "runtime/Conversions.h"
#include "runtime/Fault.h"

namespace kestrel {
namespace {

TEST(LeadingNumber, ReadsTheLongestLeadingNumberAndNeverFails) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"300", 300},   {"12abc", 12},  {"abc", 0},     {"", 0},         {"  -2.5", -2.5},
        {"+.5", 0.5},   {"5.", 5},      {"1e3", 1000},  {"1E-2x", 0.01}, {"2D2", 200},
        {"1e", 1},      {"1e+", 1},     {"-", 0},       {".", 0},        {"1 000", 1000},
        {"\t7\r\n", 7}, {"1.2.3", 1.2}, {"0.01", 0.01}, {"--1", 0},      {"3e-400", 0},
        {"１２", 0},  // full-width digits are not numbers
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(LeadingNumber, HugeMagnitudesStayFinite) {
    EXPECT_EQ(LeadingNumber("1e400"), DBL_MAX);
    EXPECT_EQ(LeadingNumber("-1e400"), -DBL_MAX);
    EXPECT_TRUE(std::isfinite(LeadingNumber(std::string(400, '9'))));
}

TEST(NumberText, FifteenSignificantDigitsAndExponentForm) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {0.362832446594252, "0.362832446594252"},
        {29.990000000000002, "29.99"},
        {1e-5, "1E-05"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {1.5e-7, "1.5E-07"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1.25e20, "1.25E+20"},
        {0, "0"},
        {-0.0, "0"},
        {-1e-300, "-1E-300"},
        {-0.5, "-0.5"},
        {300, "300"},
        {100000, "100000"},
        {10, "10"},
        {1001 * 0.01, "10.01"},
        {0.1 + 0.2, "0.3"},
        {-1467.38376231, "-1467.38376231"},
        {2.0 / 3.0, "0.666666666666667"},
        {9.999999999999999, "10"},
        {DBL_MAX, "1.79769313486232E+308"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberText(c.value), c.expected) << c.value;
}

TEST(NumberText, StrictNumberReadsBackWhatNumberTextWrote) {
    for (double v : {0.362832446594252, -1467.38376231, 1e-5, -2.5e-17, 1.79e308, 0.0, 12345.0,
                     -0.001, 4.9255436e10}) {
        const auto back = StrictNumber(NumberText(v));
        ASSERT_TRUE(back.has_value()) << NumberText(v);
        EXPECT_EQ(NumberText(*back), NumberText(v));
    }
}

TEST(StrictNumber, RefusesAnythingThatIsNotOneNumber) {
    for (const char* bad : {"", "abc", "12abc", "1e", "1e+", ".", "-", "1 2", "1e400", "1,5"}) {
        EXPECT_FALSE(StrictNumber(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_EQ(StrictNumber(" 2.5 "), 2.5);
    EXPECT_EQ(StrictNumber("-1E-05"), -1e-5);
}

TEST(RoundToInteger, NearestWithTiesToEven) {
    EXPECT_EQ(RoundToInteger16(1002.5), 1002);
    EXPECT_EQ(RoundToInteger16(1003.5), 1004);
    EXPECT_EQ(RoundToInteger16(-0.5), 0);
    EXPECT_EQ(RoundToInteger16(-1.5), -2);
    EXPECT_EQ(RoundToInteger16(32767.4), 32767);
    EXPECT_EQ(RoundToInteger16(-32768.5), -32768);
    EXPECT_EQ(RoundToInteger32(2.5), 2);
    EXPECT_EQ(RoundToInteger32(0.4), 0);
    EXPECT_EQ(RoundToInteger32(2147483647.0), 2147483647);
}

TEST(RoundToInteger, OutOfRangeIsAnOverflowFaultOfTheCurrentSite) {
    const FaultScope site(FaultSite::StepCount);
    for (double v : {32767.5, -32769.0, 40002.0, 1e300}) {
        try {
            RoundToInteger16(v);
            ADD_FAILURE() << v << " did not fault";
        } catch (const FaultError& e) {
            EXPECT_EQ(e.fault(), (Fault{FaultSite::StepCount, FaultKind::Overflow}));
        }
    }
    EXPECT_THROW(RoundToInteger32(2147483647.5), FaultError);
    EXPECT_THROW(RoundToInteger32(std::numeric_limits<double>::quiet_NaN()), FaultError);
}

}  // namespace
}  // namespace kestrel
