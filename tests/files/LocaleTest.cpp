// Numbers read and written the same under a system language that writes "2,5" for 2.5:
// the boxes, every wave file format and both result files.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "files/FileTestSupport.h"
#include "files/RecordFixtures.h"
#include "files/ResultFiles.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

// What a reader gave, as text to compare.
std::string Describe(const WaveReadResult& r) {
    if (!r.ok()) return "error " + std::to_string(static_cast<int>(r.error->kind));
    std::string text = NumberText(r.record.timeStep);
    for (const double sample : r.record.samples) text += " " + NumberText(sample);
    if (r.info) text += " peak " + NumberText(r.info->peak);
    return text;
}

// The history file of a steady displacement run on the given texts.
std::string SavedHistory(const RunTexts& texts) {
    const RunOutcome run = RunFromTexts(texts, ExcitationCase::SteadyDisplacement, {});
    std::ostringstream out;
    WriteParameterFile(out, ParameterValuesFromTexts(texts.model, run.inputs->naturalPeriod));
    WriteHistoryFile(out, *run.response, LeadingNumber(texts.displacementPeriod));
    return out.str();
}

TEST(Locale, DecimalCommaLanguageChangesNoNumber) {
    // Build a German locale into a scratch folder; no administrator rights are needed.
    const test::ScratchFolder folder;
    const std::string build =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef cannot build de_DE here";

    test::KnetFixture knet;
    knet.frequency = "100.0Hz";
    knet.scale = "3920.5(gal)/6182761.0";
    knet.counts = {1000, -2500, 7};
    test::JmaFixture jma;
    jma.rateLine = " SAMPLING RATE= 200.0Hz";
    jma.rows = {"1.25, -2.5, 0.125", "-0.75, 4.5, 8.25"};
    test::At2Fixture at2;
    at2.values = {"0.1", "-.25", "1.5E-01", "2.5"};
    RunTexts texts;
    texts.model = {"300.5", "100000.25", "2.5"};
    texts.timeStep = "0.005";
    texts.analysisTime = "2.5";
    texts.displacementPeriod = "0.75";
    texts.displacementMax = "1.5";

    const std::pair<const char*, std::function<std::string()>> cases[] = {
        {"box", [] { return NumberText(LeadingNumber(" 2.5e-3 cm")); }},
        {"strict", [] { return NumberText(StrictNumber("-0.01").value_or(99)); }},
        {"written", [] { return NumberText(-5.61353006594207E-10) + " " + NumberText(1.5); }},
        {"plain", [] { return Describe(ReadWaveBytes("0.01\n1.5, -2.25\n3.125E-2\n")); }},
        {"K-NET", [&] { return Describe(ReadWaveBytes(test::KnetText(knet))); }},
        {"JMA", [&] { return Describe(ReadWaveBytes(test::JmaText(jma), RecordComponent::EW)); }},
        {"AT2", [&] { return Describe(ReadWaveBytes(test::At2Text(at2))); }},
        {"saved files", [&] { return SavedHistory(texts); }},
    };
    std::vector<std::string> inC;
    for (const auto& [what, produce] : cases) inC.push_back(produce());

    ::setenv("LOCPATH", folder.path().c_str(), 1);
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    // The C library now reads "2.5" as 2: the language really writes a decimal comma.
    const bool comma = german && std::strtod("2.5", nullptr) == 2.0;
    std::vector<std::string> inGerman;
    if (comma) {
        for (const auto& [what, produce] : cases) inGerman.push_back(produce());
    }
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    if (!comma) GTEST_SKIP() << "the built locale does not write a decimal comma";

    EXPECT_EQ(inC[0], "0.0025");
    EXPECT_EQ(inC[1], "-0.01");
    EXPECT_EQ(inC[3], "0.01 1.5 -2.25 0.03125");
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        EXPECT_TRUE(inGerman[k] == inC[k]) << cases[k].first << ":\n"
                                           << inGerman[k].substr(0, 300) << "\ninstead of\n"
                                           << inC[k].substr(0, 300);
    }
}

}  // namespace
}  // namespace kestrel
