// The networks' records: conversion to cm/s^2 checked against values worked out by hand,
// the header variants of older files, and the records that must be refused.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "files/RecordFixtures.h"
#include "files/WaveFile.h"

namespace kestrel {
namespace {

using Kind = WaveError::Kind;
using test::At2Fixture;
using test::At2Text;
using test::JmaFixture;
using test::JmaText;
using test::KnetFixture;
using test::KnetText;

KnetFixture Knet(std::vector<long long> counts) {
    KnetFixture f;
    f.counts = std::move(counts);
    return f;
}

JmaFixture Jma(std::vector<std::string> rows) {
    JmaFixture f;
    f.rows = std::move(rows);
    return f;
}

TEST(RecordFormats, RawRecordsLoseTheirMeanAndProcessedOnesKeepIt) {
    // K-NET: counts x numerator / denominator; K-NET and JMA: minus the mean of the whole
    // record. AT2 and plain files: as written.
    const struct {
        std::string bytes;
        std::optional<RecordComponent> component;
        double timeStep;
        std::vector<double> samples;
        std::optional<double> removedMean;
        double tolerance;  // 0: exact
    } cases[] = {
        // Counts of exactly +-3920 gal: 3920, -3920, 0, 3920, mean 980.
        {KnetText(Knet({6182761, -6182761, 0, 6182761})),
         {},
         0.01,
         {2940, -4900, -980, 2940},
         980,
         0},
        // 1000 x 3920 / 6182761 etc., mean 3920 / 6182761.
        {KnetText(Knet({1000, -1000, 3})),
         {},
         0.01,
         {0.63338692859064094, -0.6346549704897213, 0.0012680418990803624},
         3920.0 / 6182761,
         1e-15},
        // 2000 / 2^23 gal per count, exact in binary.
        {[] {
             KnetFixture f = Knet({1, 3});
             f.scale = "2000(gal)/8388608";
             f.frequency = "200Hz";
             return KnetText(f);
         }(),
         {},
         0.005,
         {-0.0002384185791015625, 0.0002384185791015625},
         0.000476837158203125,
         0},
        // An older header: "Lon.", "Max. Acc.(gal)", CR LF, blanks in the scale factor.
        {[] {
             KnetFixture f = Knet({8223790, 0, 0, 0, 0, 0, 0, 0, 0, 0});
             f.scale = "7845 (gal) / 8223790";
             f.longitudeLabel = "Lon.";
             f.peakLabel = "Max. Acc.(gal)";
             f.lineEnd = "\r\n";
             return KnetText(f);
         }(),
         {},
         0.01,
         {7060.5, -784.5, -784.5, -784.5, -784.5, -784.5, -784.5, -784.5, -784.5, -784.5},
         784.5,
         0},
        // JMA: the chosen column's mean. UD 0.25, -8, 1: mean -2.25.
        {JmaText(Jma({"1.5, -2, 0.25", "-0.5, 4, -8", "3, 2, 1"})),
         RecordComponent::UD,
         0.01,
         {2.5, -5.75, 3.25},
         -2.25,
         0},
        // NS 1.5, -0.5, 3: mean 4/3.
        {JmaText(Jma({"1.5, -2, 0.25", "-0.5, 4, -8", "3, 2, 1"})),
         RecordComponent::NS,
         0.01,
         {1.0 / 6, -11.0 / 6, 5.0 / 3},
         4.0 / 3,
         1e-15},
        // 30,000 samples of +-1 cm/s2 about an offset of 0.013.
        {[] {
             JmaFixture f;
             for (int k = 0; k < 30000; ++k) f.rows.push_back(k % 2 ? "0,-0.987,0" : "0,1.013,0");
             return JmaText(f);
         }(),
         RecordComponent::EW, 0.01,
         [] {
             std::vector<double> v;
             for (int k = 0; k < 30000; ++k) v.push_back(k % 2 ? -1 : 1);
             return v;
         }(),
         0.013, 1e-15},
        // AT2 and plain files: no mean removed, whatever it is.
        {[] {
             At2Fixture f;
             f.values = {"0.5", "0.25", "0.25", "0.5"};
             return At2Text(f);
         }(),
         {},
         0.005,
         {490.3325, 245.16625, 245.16625, 490.3325},
         std::nullopt,
         0},
        {"0.02\n5\n7\n", {}, 0.02, {5, 7}, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 300));
        const WaveReadResult r = ReadWaveBytes(c.bytes, c.component);
        ASSERT_TRUE(r.ok()) << static_cast<int>(r.error->kind) << " " << r.error->line;
        EXPECT_EQ(r.record.timeStep, c.timeStep);
        ASSERT_EQ(r.record.samples.size(), c.samples.size());
        for (std::size_t k = 0; k < c.samples.size(); ++k) {
            EXPECT_NEAR(r.record.samples[k], c.samples[k], c.tolerance) << k;
        }
        const std::optional<double> removed = r.info ? r.info->removedMean : std::nullopt;
        ASSERT_EQ(removed.has_value(), c.removedMean.has_value());
        if (removed) {
            EXPECT_NEAR(*removed, *c.removedMean, 1e-15);
        }
    }
}

TEST(RecordFormats, EachFormatNamesWhatWasRead) {
    KnetFixture kik = Knet({100, -100});
    kik.station = "IWTH25";
    kik.direction = "5";  // KiK-net channels 4 to 6: the surface sensor
    KnetFixture kikBorehole = Knet({100, -100, 0});
    kikBorehole.station = "IWTH25";
    kikBorehole.direction = "1";
    JmaFixture jma;
    jma.site = "\x90\xE5\x91\xE4";  // 仙台 in CP932
    jma.rows = {"1, 2, 3", "-4, -5, -6"};
    // The newer SITE CODE line: code, name, padding, then the site's position and more.
    JmaFixture jmaNamed = jma;
    jmaNamed.site =
        "EA0\x95\xC4\x8E\x71\x8E\x73\x94\x8E\x98\x4A\x92\xAC\x81\x69\x8B\x8C\x81\x6A"
        "        ,35.2733,133.3483,  9,7.3,,,";
    At2Fixture older;
    older.event = "IMPERIAL VALLEY 05/19/40 0439, EL CENTRO ARRAY #9, 270";
    older.points = "    2    0.02000    NPTS, DT";
    older.values = {"0.1", "-0.2"};
    const struct {
        std::string bytes;
        std::optional<RecordComponent> component;
        RecordInfo info;
    } cases[] = {
        {KnetText(Knet({6182761, -6182761, 0, 6182761})),
         {},
         {"K-NET", "MYG004", "N-S", 4, 4900, 980}},
        {KnetText(kik), {}, {"KiK-net", "IWTH25", "E-W、地表", 2, 100 * 3920.0 / 6182761, 0}},
        {KnetText(kikBorehole),
         {},
         {"KiK-net", "IWTH25", "N-S、地中", 3, 100 * 3920.0 / 6182761, 0}},
        // EW 2, -5 about their mean -1.5.
        {JmaText(jma), RecordComponent::EW, {"気象庁", "仙台", "EW", 2, 3.5, -1.5}},
        {JmaText(jmaNamed),
         RecordComponent::UD,
         {"気象庁", "EA0 米子市博労町（旧）", "UD", 2, 4.5, -1.5}},
        {At2Text(older), {}, {"PEER NGA", "EL CENTRO ARRAY #9", "270", 2, 0.2 * 980.665, {}}},
    };
    for (const auto& c : cases) {
        const WaveReadResult r = ReadWaveBytes(c.bytes, c.component);
        ASSERT_TRUE(r.ok()) << c.info.format;
        ASSERT_TRUE(r.info);
        EXPECT_EQ(r.info->format, c.info.format);
        EXPECT_EQ(r.info->station, c.info.station);
        EXPECT_EQ(r.info->component, c.info.component);
        EXPECT_EQ(r.info->sampleCount, c.info.sampleCount);
        EXPECT_DOUBLE_EQ(r.info->peak, c.info.peak);
        EXPECT_EQ(r.info->removedMean, c.info.removedMean);
    }
    EXPECT_FALSE(ReadWaveBytes("0.01\n1\n").info);  // a plain file names nothing

    // The message: what was read, then what was done to it; the mean to three digits.
    const std::string read =
        "K-NET 記録 MYG004 (N-S)、30000 点、最大加速度 2699.32 cm/s2 "
        "を読み込みました。\n";
    const struct {
        RecordInfo info;
        std::string prompt;
    } messages[] = {
        {{"K-NET", "MYG004", "N-S", 30000, 2699.3249, 0.0134567},
         read + "記録全体の平均値 0.0135 cm/s2 を除きました。"},
        {{"K-NET", "MYG004", "N-S", 30000, 2699.3249, -2.5},
         read + "記録全体の平均値 -2.5 cm/s2 を除きました。"},
        {{"K-NET", "MYG004", "N-S", 30000, 2699.3249, 123.456},
         read + "記録全体の平均値 123 cm/s2 を除きました。"},
        {{"K-NET", "MYG004", "N-S", 30000, 2699.3249, 1.2345e-5},
         read + "記録全体の平均値 1.23E-05 cm/s2 を除きました。"},
        {{"K-NET", "MYG004", "N-S", 30000, 2699.3249, 0},
         read + "記録全体の平均値 0 cm/s2 を除きました。"},
        {*ReadWaveBytes(KnetText(kik)).info,
         "KiK-net 記録 IWTH25 (E-W、地表)、2 点、最大加速度 0.06 cm/s2 を読み込みました。\n"
         "記録全体の平均値 0 cm/s2 を除きました。"},
        {*ReadWaveBytes(JmaText(jmaNamed), RecordComponent::NS).info,
         "気象庁 記録 EA0 米子市博労町（旧） (NS)、2 点、最大加速度 2.50 cm/s2 を読み込みました。\n"
         "記録全体の平均値 -1.5 cm/s2 を除きました。"},
        {*ReadWaveBytes(At2Text(older)).info,
         "PEER NGA 記録 EL CENTRO ARRAY #9 (270)、2 点、最大加速度 196.13 cm/s2 "
         "を読み込みました。\n"
         "補正済みの記録なので、値はそのまま使います。"},
    };
    for (const auto& m : messages) EXPECT_EQ(RecordInfoMessage(m.info).prompt, m.prompt);
}

TEST(RecordFormats, JmaCsvGivesThePickedColumnAndAsksWithoutOne) {
    JmaFixture f;
    f.rows = {"1.5, -2, 0.25", "  -0.5,4,-8", "", "2,1,1.75,"};
    f.columns = " NS, EW, UD,";
    const std::string bytes = JmaText(f);
    const WaveReadResult unasked = ReadWaveBytes(bytes);
    EXPECT_TRUE(unasked.needsComponent());
    // Re-saved by a spreadsheet program: every line padded to the same width with commas.
    std::string padded;
    for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        padded += bytes.substr(at, end - at) + ",,,,,,,\r\n";
    }
    const struct {
        RecordComponent component;
        std::vector<double> samples;
    } cases[] = {
        // Each column less its mean: 1, 1 and -2.
        {RecordComponent::NS, {0.5, -1.5, 1}},
        {RecordComponent::EW, {-3, 3, 0}},
        {RecordComponent::UD, {2.25, -6, 3.75}},
    };
    for (const auto& c : cases) {
        // Spreadsheet programs may put a UTF-8 byte-order mark in front.
        for (const std::string& text : {bytes, "\xEF\xBB\xBF" + bytes, padded}) {
            const WaveReadResult r = ReadWaveBytes(text, c.component);
            ASSERT_TRUE(r.ok());
            EXPECT_EQ(r.record.timeStep, 0.01);
            EXPECT_EQ(r.record.samples, c.samples);
        }
    }
}

TEST(RecordFormats, At2ValuesInGAreReadUpToNptsInEveryHeaderLayout) {
    const auto at2 = [](auto change) {
        At2Fixture f;
        f.values = {"1.0", "-.5", "0.25E+00", "2", "9.9", "garbage"};  // NPTS = 4
        change(f);
        return At2Text(f);
    };
    const struct {
        std::string bytes;
        double timeStep;
    } cases[] = {
        {at2([](auto&) {}), 0.005},
        {at2([](auto& f) { f.points = "NPTS=4,    DT=0.0050SEC"; }), 0.005},
        // The older database's files: recognised by their header, not by their first line.
        {at2([](auto& f) {
             f.title = "PACIFIC ENGINEERING AND ANALYSIS STRONG-MOTION DATA";
             f.units = "ACCELERATION TIME HISTORY IN UNITS OF G";
             f.points = "  4    0.01000    NPTS, DT";
         }),
         0.01},
        {at2([](auto& f) {
             f.title = "PACIFIC ENGINEERING AND ANALYSIS STRONG-MOTION DATA";
             f.units = " ACCELERATION TIME HISTORY IN UNITS OF G. FILTER POINTS: HP=0.1 Hz";
             f.points = "4 .0200 NPTS, DT\r";
         }),
         0.02},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 200));
        const WaveReadResult r = ReadWaveBytes(c.bytes);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.record.timeStep, c.timeStep);
        EXPECT_EQ(r.record.samples, (std::vector<double>{980.665, -490.3325, 245.16625, 1961.33}));
        EXPECT_EQ(r.info->station, "El Centro Array #9");
        EXPECT_EQ(r.info->component, "180");
    }
}

// A record `samples` long in the format, at 100 Hz (AT2: DT = 0.005).
std::string LongRecord(char format, int samples) {
    if (format == 'K') return KnetText(Knet(std::vector<long long>(samples, 7)));
    if (format == 'J') {
        JmaFixture f;
        f.rows.assign(samples, "1,2,3");
        return JmaText(f);
    }
    At2Fixture f;
    f.points = "NPTS= " + std::to_string(samples) + ", DT= .005 SEC";
    f.values.assign(samples, ".01");
    return At2Text(f);
}

TEST(RecordFormats, TheLongestRecordFitsAndALongerOneSaysHowLongAtItsRate) {
    const struct {
        char format;
        const char* longest;
    } cases[] = {{'K', "327.65 秒"}, {'J', "327.65 秒"}, {'A', "163.825 秒"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const WaveReadResult fits =
            ReadWaveBytes(LongRecord(c.format, kMaxRecordSamples), RecordComponent::UD);
        ASSERT_TRUE(fits.ok());
        EXPECT_EQ(fits.record.Count(), kMaxWaveNumbers);
        const WaveReadResult over =
            ReadWaveBytes(LongRecord(c.format, kMaxRecordSamples + 1), RecordComponent::UD);
        ASSERT_FALSE(over.ok());
        ASSERT_EQ(over.error->kind, Kind::RecordTooLong);
        const std::string prompt = WaveErrorMessage(*over.error, "x").prompt;
        EXPECT_NE(prompt.find(c.longest), std::string::npos) << prompt;
        // A reading that allows more (a spectrum's) takes the longer record whole.
        const WaveReadResult more = ReadWaveBytes(LongRecord(c.format, kMaxRecordSamples + 1),
                                                  RecordComponent::UD, kMaxRecordSamples + 1);
        ASSERT_TRUE(more.ok());
        EXPECT_EQ(more.record.samples.size(), std::size_t{kMaxRecordSamples + 1});
        EXPECT_EQ(more.componentRead, c.format == 'J');
    }
}

TEST(RecordFormats, BadRecordsAreRefusedWithTheLineAndTheReason) {
    using enum WaveError::Kind;
    const auto knet = [](auto change) {
        KnetFixture f = Knet({1, 2, 3});
        change(f);
        return KnetText(f);
    };
    const auto jma = [](auto change) {
        JmaFixture f;
        f.rows = {"1,2,3"};
        change(f);
        return JmaText(f);
    };
    const auto at2 = [](auto change) {
        At2Fixture f;
        f.values = {"1", "2", "3", "4"};
        change(f);
        return At2Text(f);
    };
    const auto ns = RecordComponent::NS;
    const std::string velocity = "VELOCITY TIME SERIES IN UNITS OF CM/S";
    const struct {
        std::string bytes;
        Kind kind;
        int line;
        std::string detail;
        std::optional<RecordComponent> component = std::nullopt;
    } cases[] = {
        // clang-format off
        // K-NET and KiK-net
        {knet([](auto& f) { f.headerLines = 10; f.counts.clear(); }), HeaderEnded, 11, ""},
        {knet([](auto& f) { f.headerLines = 16; }), HeaderEnded, 17, "        1        2        3"},
        {knet([](auto& f) { f.frequency = "0Hz"; }), BadSamplingRate, 11, "0Hz"},
        {knet([](auto& f) { f.frequency = "-100Hz"; }), BadSamplingRate, 11, "-100Hz"},
        {knet([](auto& f) { f.frequency = ""; }), BadSamplingRate, 11, ""},
        {knet([](auto& f) { f.scale = "3920(gal)/0"; }), BadScaleFactor, 14, "3920(gal)/0"},
        {knet([](auto& f) { f.scale = "3920(gal)/"; }), BadScaleFactor, 14, "3920(gal)/"},
        {knet([](auto& f) { f.scale = "3920(kine)/61"; }), BadScaleFactor, 14, "3920(kine)/61"},
        {knet([](auto& f) { f.afterCounts = "  12.5\n"; }), BadCount, 19, "12.5"},
        {knet([](auto& f) { f.afterCounts = "  1 2 3e2\n"; }), BadCount, 19, "3e2"},
        {knet([](auto& f) { f.counts.push_back(4294967296); }), BadCount, 18, "4294967296"},
        {knet([](auto& f) { f.counts.clear(); }), NoNumber, 0, ""},
        {knet([](auto& f) { f.scale = "1e300(gal)/1e-300"; }), ValueTooLarge, 0, ""},
        {knet([](auto& f) { f.afterCounts = std::string(5000, '1'); }), MalformedItem, 19,
         std::string(kMaxWaveItemLength, '1')},
        // JMA CSV
        {jma([](auto& f) { f.columns.clear(); f.rows.clear(); }), HeaderEnded, 7, "", ns},
        {jma([](auto& f) { f.columns.clear(); }), HeaderEnded, 7, "1,2,3", ns},
        {jma([](auto& f) { f.rateLine.clear(); }), BadSamplingRate, 0, "", ns},
        {jma([](auto& f) { f.rateLine = "SAMPLING RATE= 0Hz"; }), BadSamplingRate, 4, "0Hz"},
        {jma([](auto& f) { f.unitLine = "UNIT = cm/s"; }), BadUnit, 5, "cm/s"},
        {jma([](auto& f) { f.columns = "NS,EW"; f.rows = {"1,2"}; }), ComponentMissing, 0, "UD",
         RecordComponent::UD},
        {jma([](auto& f) { f.rows.push_back("4,5"); }), RowLength, 9, "", ns},
        {jma([](auto& f) { f.rows.push_back("4,x,6"); }), MalformedItem, 9, "x", ns},
        {jma([](auto& f) { f.rows.clear(); }), NoNumber, 0, "", ns},
        // PEER NGA AT2
        {at2([](auto& f) { f.headerLines = 3; }), HeaderEnded, 4, "  1  2  3  4"},
        {at2([&](auto& f) { f.units = velocity; }), BadUnit, 3, velocity},
        {at2([](auto& f) { f.points = "NPTS= 4, DT= 0.0 SEC"; }), BadSamplingRate, 4, "0.0"},
        {at2([](auto& f) { f.points = "NPTS= 4"; }), BadSamplingRate, 4, ""},
        {at2([](auto& f) { f.points = "NPTS= 0, DT= .01 SEC"; }), BadHeaderValue, 4, "0"},
        {at2([](auto& f) { f.values.pop_back(); }), TooFewValues, 0, ""},
        {at2([](auto& f) { f.values[1] = "1.0.0"; }), MalformedItem, 5, "1.0.0"},
        {at2([](auto& f) { f.values[2] = "1e308"; }), ValueTooLarge, 5, "1e308"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 300));
        const WaveReadResult r = ReadWaveBytes(c.bytes, c.component);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->kind, c.kind);
        EXPECT_EQ(r.error->line, c.line);
        EXPECT_EQ(r.error->detail, c.detail);
    }
}

}  // namespace
}  // namespace kestrel
