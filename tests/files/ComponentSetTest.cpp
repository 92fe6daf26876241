// Gathering the three directions of a record: the siblings of a K-NET/KiK-net file by name
// and header, the columns of a JMA CSV record, single-direction formats and files named by
// hand, with every missing or unfitting file named in a problem.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/ComponentSet.h"
#include "files/FileTestSupport.h"
#include "files/RecordFixtures.h"

namespace kestrel {
namespace {

using test::KnetFixture;
using Kind = ComponentProblem::Kind;

std::string Knet(std::string direction, std::vector<long long> counts = {10, -20, 30, 5}) {
    KnetFixture f;
    f.direction = std::move(direction);
    f.counts = std::move(counts);
    return test::KnetText(f);
}

std::string KnetWith(std::string station, std::string frequency, std::string time) {
    KnetFixture f;
    f.station = std::move(station);
    f.frequency = std::move(frequency);
    f.counts = {1, 2, 3, 4};
    std::string text = test::KnetText(f);
    text.replace(text.find("2011/03/11 14:47:03"), 19, time);
    return text;
}

std::string Kik(std::string channel, long long scale) {
    KnetFixture f;
    f.station = "IWTH25";
    f.direction = std::move(channel);
    f.counts = {scale, -scale, 2 * scale, 0};
    return test::KnetText(f);
}

TEST(ComponentSet, FindsConfirmsOrNamesEachSibling) {
    const std::string time = "2011/03/11 14:47:03";
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;
        std::string chosen;
        std::vector<std::string> found;  // file names of the components, NS, EW, UD order
        std::vector<Kind> problems;      // in the order NS, EW, UD
        std::string problemFile;         // a name the first problem's text holds
    };
    const std::string ns = Knet("N-S"), ew = Knet("E-W", {1, 2, 3, 4}), ud = Knet("U-D");
    const Case cases[] = {
        {"K-NET",
         {{"R.NS", ns}, {"R.EW", ew}, {"R.UD", ud}},
         "R.EW",
         {"R.NS", "R.EW", "R.UD"},
         {},
         ""},
        {"letters' case",
         {{"r.ns", ns}, {"r.EW", ew}, {"r.Ud", ud}},
         "r.ns",
         {"r.ns", "r.EW", "r.Ud"},
         {},
         ""},
        {"KiK-net surface, never the borehole",
         {{"K.NS1", Kik("1", 9)},
          {"K.EW1", Kik("2", 9)},
          {"K.UD1", Kik("3", 9)},
          {"K.NS2", Kik("4", 1)},
          {"K.EW2", Kik("5", 2)}},
         "K.NS2",
         {"K.NS2", "K.EW2"},
         {Kind::SiblingMissing},
         "K.UD2"},
        {"missing",
         {{"R.NS", ns}, {"R.EW", ew}},
         "R.NS",
         {"R.NS", "R.EW"},
         {Kind::SiblingMissing},
         "R.UD"},
        {"ambiguous",
         {{"R.NS", ns}, {"R.Ew", ew}, {"R.eW", ew}, {"R.UD", ud}},
         "R.NS",
         {"R.NS", "R.UD"},
         {Kind::SiblingAmbiguous},
         "R.eW"},
        {"other station",
         {{"R.NS", ns}, {"R.EW", KnetWith("MYG005", "100Hz", time)}, {"R.UD", ud}},
         "R.NS",
         {"R.NS", "R.UD"},
         {Kind::NotSameRecord},
         "MYG005"},
        {"other time",
         {{"R.NS", ns}, {"R.EW", ew}, {"R.UD", KnetWith("MYG004", "100Hz", "2011/03/11 15:10:00")}},
         "R.NS",
         {"R.NS", "R.EW"},
         {Kind::NotSameRecord},
         "15:10:00"},
        {"other rate",
         {{"R.NS", ns}, {"R.EW", KnetWith("MYG004", "200Hz", time)}, {"R.UD", ud}},
         "R.NS",
         {"R.NS", "R.UD"},
         {Kind::RateDiffers},
         "200Hz"},
        {"other length",
         {{"R.NS", ns}, {"R.EW", Knet("E-W", {1, 2, 3})}, {"R.UD", ud}},
         "R.UD",
         {"R.NS", "R.UD"},
         {Kind::LengthDiffers},
         "3 点"},
        {"unreadable and another format",
         {{"R.NS", ns}, {"R.EW", "Origin Time\n"}, {"R.UD", "0.01\n1\n2\n3\n4\n"}},
         "R.NS",
         {"R.NS"},
         {Kind::Unreadable, Kind::OtherFormat},
         "R.EW"},
        {"renamed",
         {{"record.txt", ns}, {"record.EW", ew}},
         "record.txt",
         {"record.txt"},
         {Kind::NameNotRecognised},
         "record.txt"},
        {"JMA CSV without UD",
         {{"j.csv", test::JmaText({.columns = " NS, EW", .rows = {"1, 2", "3, 4"}})}},
         "j.csv",
         {"j.csv", "j.csv"},
         {Kind::ColumnMissing},
         "j.csv"},
        {"AT2",
         {{"a.AT2", test::At2Text({.values = {"0.1", "0.2", "0.3", "0.4"}})}},
         "a.AT2",
         {"a.AT2"},
         {Kind::SingleComponent},
         "a.AT2"},
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder;
        for (const auto& [name, text] : c.files) test::WriteBytes(folder / name, text);
        const ComponentSetRead read = ReadComponentSet(folder / c.chosen);
        ASSERT_TRUE(read.ok()) << c.what;
        const ComponentSet& set = read.set;
        ASSERT_EQ(set.components.size(), c.found.size()) << c.what;
        for (std::size_t i = 0; i < c.found.size(); ++i) {
            const ComponentRecord& got = set.components[i];
            EXPECT_EQ(got.path, folder / c.found[i]) << c.what;
            // Each read as the wave chooser reads it.
            const WaveReadResult alone = ReadWaveFile(got.path, got.direction);
            EXPECT_EQ(got.record.samples, alone.record.samples) << c.what << " " << i;
            EXPECT_EQ(got.record.timeStep, alone.record.timeStep) << c.what << " " << i;
            // A complete set's directions are known, the chosen file's too.
            EXPECT_TRUE(got.directionKnown || !c.problems.empty()) << c.what << " " << i;
        }
        EXPECT_TRUE(set.components[set.chosen].path.ends_with(c.chosen)) << c.what;
        ASSERT_EQ(set.problems.size(), c.problems.size()) << c.what;
        for (std::size_t i = 0; i < c.problems.size(); ++i) {
            EXPECT_EQ(set.problems[i].kind, c.problems[i]) << c.what << " " << i;
            EXPECT_FALSE(ComponentProblemText(set.problems[i]).empty());
        }
        EXPECT_EQ(set.complete(), c.problems.empty()) << c.what;
        if (!c.problems.empty()) {
            EXPECT_NE(ComponentProblemText(set.problems[0]).find(c.problemFile), std::string::npos)
                << c.what << ": " << ComponentProblemText(set.problems[0]);
        }
    }
}

TEST(ComponentSet, ChosenFileErrorsAndFilesNamedByHand) {
    test::ScratchFolder folder;
    const std::string at2 = test::At2Text({.values = {"0.1", "0.2", "0.3", "0.4"}});
    test::WriteBytes(folder / "x.AT2", at2);
    test::WriteBytes(folder / "y.AT2", at2);
    test::WriteBytes(folder / "fine.AT2", test::At2Text({.points = "NPTS=     4, DT=   .0100 SEC",
                                                         .values = {"1", "2", "3", "4"}}));
    test::WriteBytes(folder / "j.csv", test::JmaText({.rows = {"1, 2, 3", "4, 5, 6"}}));
    EXPECT_FALSE(ReadComponentSet(folder / "none.NS").ok());

    const ComponentSetRead jma = ReadChosenComponents({folder / "j.csv", "", folder / "j.csv"});
    ASSERT_TRUE(jma.ok());
    ASSERT_EQ(jma.set.components.size(), 2u);
    // its UD column, less its mean (raw network records lose it)
    EXPECT_EQ(jma.set.components[1].record.samples, (std::vector<double>{-1.5, 1.5}));
    ASSERT_EQ(jma.set.problems.size(), 1u);
    EXPECT_EQ(jma.set.problems[0].kind, Kind::NotNamed);

    const ComponentSetRead mixed =
        ReadChosenComponents({folder / "x.AT2", folder / "fine.AT2", folder / "y.AT2"});
    ASSERT_TRUE(mixed.ok());
    EXPECT_EQ(mixed.set.components.size(), 2u);
    ASSERT_EQ(mixed.set.problems.size(), 1u);
    EXPECT_EQ(mixed.set.problems[0].kind, Kind::RateDiffers);
    EXPECT_EQ(mixed.set.problems[0].path, folder / "fine.AT2");

    EXPECT_TRUE(ReadChosenComponents({folder / "x.AT2", folder / "y.AT2", folder / "x.AT2"})
                    .set.complete());
    // The file the user chose is the one the others must fit, wherever it stands.
    const ComponentSetRead fitted =
        ReadChosenComponents({folder / "fine.AT2", folder / "x.AT2", folder / "y.AT2"}, 1);
    ASSERT_TRUE(fitted.ok());
    ASSERT_EQ(fitted.set.components.size(), 2u);
    EXPECT_EQ(fitted.set.components[fitted.set.chosen].path, folder / "x.AT2");
    ASSERT_EQ(fitted.set.problems.size(), 1u);
    EXPECT_EQ(fitted.set.problems[0].path, folder / "fine.AT2");
    EXPECT_FALSE(ReadChosenComponents({"", "", ""}).ok());
    EXPECT_FALSE(ReadChosenComponents({folder / "missing.AT2", folder / "x.AT2", ""}).ok());

    // Names that are no recording's.
    for (const char* name : {"R.NS3", "R.XY", "R.N", ".NS", "R", "R.NSS"}) {
        EXPECT_FALSE(NetworkSiblingNames(name)) << name;
    }
}

}  // namespace
}  // namespace kestrel
