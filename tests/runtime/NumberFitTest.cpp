#include <gtest/gtest.h>

#include "runtime/NumberFit.h"

namespace kestrel {
namespace {

TEST(FitNumberText, RoundsToTheDigitsThatFitAndKeepsTheForm) {
    struct Case {
        const char* text;
        std::size_t room;  // characters the box holds
        const char* shown;
    };
    const Case cases[] = {
        {"-5.61353006594207E-10", 30, "-5.61353006594207E-10"},  // fits: unchanged
        {"-5.61353006594207E-10", 10, "-5.614E-10"},
        {"-5.61353006594207E-10", 7, "-6E-10"},  // not even two digits fit
        {"-5.61353006594207E-10", 3, "-6E-10"},  // nothing fits: the shortest
        {"9.99999999999999E+20", 8, "1E+21"},    // rounding carries into the exponent
        {"1.26E-05", 7, "1.3E-05"},
        {"123.456789012345", 8, "123.4568"},  // fixed point stays fixed
        {"-0.000123456789012", 9, "-0.000123"},
        {"99.9999999999999", 5, "100"},
        {"123456789012345", 12, "1.234568E+14"},  // the whole part does not fit
        {"123456789012345", 15, "123456789012345"},
        {"0", 0, "0"},
        {"abc", 1, "abc"},
    };
    for (const Case& c : cases) {
        const auto fits = [&](std::string_view text) { return text.size() <= c.room; };
        EXPECT_EQ(FitNumberText(c.text, fits), c.shown) << c.text << " in " << c.room;
    }
}

}  // namespace
}  // namespace kestrel
