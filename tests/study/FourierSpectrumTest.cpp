// The Fourier amplitude spectrum, its smoothing and the building's transfer function.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"
#include "study/FourierSpectrum.h"
#include "study/StudyFiles.h"

namespace kestrel {
namespace {

TEST(FourierSpectrum, ASineAtOneFrequencyShowsThereOnly) {
    // 300 sin(2 pi f t) over a whole number of periods: |DFT| at f is 300 N / 2.
    for (const std::size_t n : {std::size_t{1000}, std::size_t{1001}, std::size_t{32765}}) {
        const double dt = 0.01;
        const std::size_t bin = 50;
        const double f = static_cast<double>(bin) / (static_cast<double>(n) * dt);
        std::vector<double> g(n);
        for (std::size_t i = 0; i < n; ++i) {
            g[i] = 300 * std::sin(2 * std::numbers::pi * f * dt * static_cast<double>(i));
        }
        const auto s = ComputeFourierSpectrum(g, dt, std::nullopt);
        ASSERT_TRUE(s.ok());
        ASSERT_EQ(s->frequencies.size(), n / 2);
        EXPECT_TRUE(s->smoothed.empty());
        EXPECT_DOUBLE_EQ(s->frequencies[0], 1 / (static_cast<double>(n) * dt));
        for (std::size_t k = 0; k < n / 2; ++k) {
            const double expected = k + 1 == bin ? 300 * static_cast<double>(n) / 2 * dt : 0;
            ASSERT_NEAR(s->amplitude[k], expected, 1e-8 * static_cast<double>(n)) << n << " " << k;
        }
    }
}

TEST(FourierSpectrum, SmoothingKeepsALevelAndSpreadsAPeak) {
    std::vector<double> impulse(4096, 0.0);
    impulse[0] = 100;  // a flat amplitude spectrum of 100 x dt
    const auto flat = ComputeFourierSpectrum(impulse, 0.01, 0.5);
    ASSERT_TRUE(flat.ok());
    for (double a : flat->smoothed) ASSERT_NEAR(a, 1.0, 1e-12);

    std::vector<double> sine(4096);
    for (std::size_t i = 0; i < sine.size(); ++i) {
        sine[i] = std::sin(2 * std::numbers::pi * 400 * static_cast<double>(i) / 4096);
    }
    const auto peak = ComputeFourierSpectrum(sine, 0.01, 0.5);
    ASSERT_TRUE(peak.ok());
    EXPECT_EQ(peak->bandwidth, 0.5);
    // The spike at bin 400 becomes a bump a few tenths of a hertz wide, lower than the spike.
    EXPECT_LT(peak->smoothed[399], peak->amplitude[399] / 5);
    EXPECT_GT(peak->smoothed[399 + 5], 0);
    EXPECT_NEAR(peak->smoothed[399 + 200], 0, 1e-9);

    std::vector<double> huge(1000);
    for (std::size_t i = 0; i < huge.size(); ++i) huge[i] = (i % 3 == 0 ? 1e300 : -1e299);
    EXPECT_FALSE(ComputeFourierSpectrum(huge, 0.01, std::nullopt).ok());
    EXPECT_TRUE(ComputeFourierSpectrum(std::vector<double>{5}, 0.01, 0.2)->frequencies.empty());
}

TEST(FourierSpectrum, AWidthTooNarrowToSmoothSaysSo) {
    // 300 samples 0.01 s apart: df = 1/3 Hz. The window's main lobe |f| < 151 b / 140 reaches
    // the neighbouring frequency from b > 140 df / 151 = 0.30905 Hz on.
    std::vector<double> g(300);
    for (std::size_t i = 0; i < g.size(); ++i) g[i] = 100 * std::sin(0.7 * static_cast<double>(i));
    EXPECT_EQ(SmallestSmoothingWidth(1.0 / 3), 0.31);
    EXPECT_EQ(SmallestSmoothingWidth(0.01), 0.00928);  // 0.0092715...
    struct Case {
        double width;
        bool smooths;
    };
    for (const Case c : {Case{0.2, false}, Case{0.309, false}, Case{0.31, true}, Case{0.5, true}}) {
        const auto s = ComputeFourierSpectrum(g, 0.01, c.width);
        ASSERT_TRUE(s.ok());
        EXPECT_EQ(s->smooths, c.smooths) << c.width;
        EXPECT_EQ(s->smoothed != s->amplitude, c.smooths) << c.width;
        std::ostringstream csv;
        ASSERT_FALSE(WriteFourierCsv(csv, *s).has_value());
        const std::string header = Cp932ToUtf8(csv.str().substr(0, csv.str().find('\r'))).value();
        const std::string note = SmoothingNote(*s);
        EXPECT_EQ(note.empty(), c.smooths);
        EXPECT_NE(
            header.find("\"平滑化フーリエ振幅(cm/s)" + (note.empty() ? "" : " " + note) + "\""),
            std::string::npos)
            << header;
        if (!c.smooths) {
            EXPECT_EQ(note, "平滑化されていません：幅 " + NumberText(c.width) +
                                " Hz は振動数の刻み 0.333 Hz に対して狭すぎます（0.31 Hz 以上で"
                                "平滑化されます）");
        }
    }
}

TEST(FourierSpectrum, TransferFunctionOfTheBuilding) {
    const double f0 = 1 / 0.5;  // period 0.5 s
    const double frequencies[] = {1e-4, f0, 100};
    struct Case {
        double h;
        std::optional<double> atResonance;
    };
    for (const Case c :
         {Case{0.02, std::sqrt(1 + 4 * 0.02 * 0.02) / (2 * 0.02)},
          Case{0.2, std::sqrt(1 + 4 * 0.2 * 0.2) / (2 * 0.2)}, Case{0, std::nullopt}}) {
        // The program's 2 pi on both sides, so the resonance is met exactly.
        const auto h = TransferFunction(frequencies, 0.5, c.h);
        ASSERT_EQ(h.size(), 3u);
        EXPECT_NEAR(h[0].value(), 1, 1e-6);
        EXPECT_LT(h[2].value(), 0.01 + 2 * c.h);
        ASSERT_EQ(h[1].has_value(), c.atResonance.has_value());
        if (c.atResonance) {
            EXPECT_NEAR(*h[1], *c.atResonance, 1e-9);
        }
    }
}

}  // namespace
}  // namespace kestrel
