// The damping list, the period range and the smoothing width as typed into the boxes.
#include <gtest/gtest.h>

#include <cmath>

#include "study/StudyInputs.h"

namespace kestrel {
namespace {

TEST(StudyInputs, DampingLists) {
    struct Case {
        const char* text;
        std::vector<std::pair<std::string, double>> items;  // empty: refused
        const char* named = "";                             // in the refusal
    };
    const Case cases[] = {
        {"2, 5", {{"2", 0.02}, {"5", 0.05}}},
        {" 0 5,10%  ", {{"0", 0.0}, {"5", 0.05}, {"10", 0.10}}},
        {"5、2，5.0　20", {{"5", 0.05}, {"2", 0.02}, {"20", 0.20}}},
        {"99.5", {{"99.5", 0.995}}},
        // Full-width digits as a Japanese input method types them; the items are written as
        // numbers, whatever form they were typed in.
        {"５、２．５％，１ｅ１", {{"5", 0.05}, {"2.5", 0.025}, {"10", 0.10}}},
        {"5e1, 05, 2.50", {{"50", 0.5}, {"5", 0.05}, {"2.5", 0.025}}},
        {"－１", {}, "「－１」は負の値"},
        {"５ｘ", {}, "「５ｘ」"},
        {"", {}, "入力されていません"},
        {" , ,", {}, "入力されていません"},
        {"2, abc", {}, "「abc」"},
        {"2, 5x", {}, "「5x」"},
        {"-1", {}, "「-1」は負の値"},
        {"100", {}, "「100」は 100 % 以上"},
        {"5, 1e3", {}, "「1e3」"},
        {"1e999", {}, "「1e999」は 100 % 以上"},
        {"-1e999", {}, "「-1e999」は負の値"},
        {"0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20", {}, "多すぎ"},
    };
    for (const Case& c : cases) {
        const auto result = ParseDampingList(c.text);
        SCOPED_TRACE(c.text);
        if (c.items.empty()) {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().box, kDampingListBox);
            EXPECT_NE(result.error().message.find(c.named), std::string::npos)
                << result.error().message;
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().message;
        ASSERT_EQ(result->size(), c.items.size());
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ((*result)[i].text, c.items[i].first);
            EXPECT_DOUBLE_EQ((*result)[i].ratio, c.items[i].second);
        }
    }
}

TEST(StudyInputs, DefaultDampingListFromTheBuildingsBox) {
    const std::pair<const char*, const char*> cases[] = {
        {"2", "2, 5"}, {"5", "5"}, {"12abc", "5, 12"}, {"0", "0, 5"}, {"-3", "5"}, {"100", "5"},
    };
    for (const auto& [box, list] : cases) EXPECT_EQ(DefaultDampingListText(box), list) << box;
}

TEST(StudyInputs, PeriodRanges) {
    struct Case {
        const char *min, *max, *count;
        std::string_view box;    // empty: accepted
        const char* named = "";  // in the refusal
    };
    const Case cases[] = {
        {"0.02", "10", "200", ""},
        {"０．０２", "１０", "２００", ""},
        {"0.1", "0.2", "2", ""},
        {"1", "5", "2000", ""},
        {"abc", "10", "200", kPeriodMinBox, "「abc」は数値ではありません"},
        {"-1e999", "10", "200", kPeriodMinBox, "「-1e999」は絶対値が大きすぎます"},
        {"0.1", "1e999", "10", kPeriodMaxBox, "最大周期の「1e999」は大きすぎます"},
        {"0.1", "10", "1e400", kPeriodCountBox, "「1e400」は大きすぎます"},
        {"0", "10", "200", kPeriodMinBox},
        {"-1", "10", "200", kPeriodMinBox},
        {"0.02", "", "200", kPeriodMaxBox},
        {"5", "5", "200", kPeriodMaxBox},
        {"6", "5", "200", kPeriodMaxBox},
        {"0.02", "10", "1", kPeriodCountBox},
        {"0.02", "10", "2001", kPeriodCountBox},
        {"0.02", "10", "20.5", kPeriodCountBox},
        {"0.02", "10", "x", kPeriodCountBox},
    };
    for (const Case& c : cases) {
        const auto r = ParsePeriodRange(c.min, c.max, c.count);
        SCOPED_TRACE(testing::Message() << c.min << " " << c.max << " " << c.count);
        if (c.box.empty()) {
            ASSERT_TRUE(r.ok()) << r.error().message;
            EXPECT_EQ(r->count, *StudyNumber(c.count));
        } else {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.error().box, c.box);
            EXPECT_FALSE(r.error().message.empty());
            EXPECT_NE(r.error().message.find(c.named), std::string::npos) << r.error().message;
        }
    }
    EXPECT_TRUE(ParsePeriodRangeOption("0.05:5:100").ok());
    EXPECT_EQ(ParsePeriodRangeOption("0.05:5").error().box, kPeriodMinBox);
    EXPECT_EQ(ParsePeriodRangeOption("0.05:0.01:100").error().box, kPeriodMaxBox);
}

TEST(StudyInputs, SpectrumPeriodsAreExactlyTheRequestedLogSpacedPoints) {
    // count points t_k = min (max/min)^(k/(count-1)), the ends exact; nothing else (the
    // building's period is not slipped in).
    const PeriodRange ranges[] = {{0.02, 10, 200}, {0.02, 10, 2}, {0.1, 0.5, 5}};
    for (const PeriodRange& range : ranges) {
        const std::vector<double> t = SpectrumPeriods(range);
        ASSERT_EQ(t.size(), static_cast<std::size_t>(range.count));
        EXPECT_EQ(t.front(), range.min);
        EXPECT_EQ(t.back(), range.max);
        for (std::size_t k = 1; k + 1 < t.size(); ++k) {
            const double f = static_cast<double>(k) / (range.count - 1);
            EXPECT_NEAR(t[k], range.min * std::pow(range.max / range.min, f), 1e-13 * t[k]);
        }
    }
}

TEST(StudyInputs, SmoothingWidths) {
    EXPECT_EQ(ParseSmoothingBandwidth("").value(), std::nullopt);
    EXPECT_EQ(ParseSmoothingBandwidth("  ").value(), std::nullopt);
    EXPECT_EQ(ParseSmoothingBandwidth("0").value(), std::nullopt);
    EXPECT_EQ(ParseSmoothingBandwidth("0.4").value(), 0.4);
    EXPECT_EQ(ParseSmoothingBandwidth("　０．４ ").value(), 0.4);
    EXPECT_EQ(ParseSmoothingBandwidth("-1").error().box, kSmoothingBox);
    EXPECT_EQ(ParseSmoothingBandwidth("0.1Hz").error().box, kSmoothingBox);
}

}  // namespace
}  // namespace kestrel
