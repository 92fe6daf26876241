// Saving onto the disk: the names, the replacement of old files, and every failure
// reported with its file, with nothing half written left behind.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <set>

#include "analysis/Run.h"
#include "files/FileTestSupport.h"
#include "files/ResultFiles.h"

namespace kestrel {
namespace {

using test::ReadBytes;
using test::WriteBytes;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class SaveResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunAnalysis(*state, RunTexts{}, ExcitationCase::SteadyDisplacement, {});
    }
    SaveOutcome Save(const std::string& where, const std::string& base,
                     std::optional<double> period = std::nullopt) {
        return SaveResults(where, base, values, *state, period);
    }

    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    ParameterValues values = ParameterValuesFromTexts(ModelTexts{}, 0.362832446594252);
    test::ScratchFolder folder;
    std::string root = folder.path().string();
};

TEST_F(SaveResultsTest, BothFilesTakeTheBaseNameAsTypedAndReplaceOldOnes) {
    const std::string old = folder / "a.csv(時刻暦応答).csv";
    WriteBytes(old, "old content");
    ASSERT_EQ(::chmod(old.c_str(), 0640), 0);
    for (const std::string base : {"結果 1", "a.csv", " データ "}) {
        const SaveOutcome outcome = Save(root, base);
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason;
        EXPECT_TRUE(outcome.parameterFileWritten && outcome.historyFileWritten);
    }
    // Nothing else, no temporary file among them.
    EXPECT_EQ(Names(root),
              (std::set<std::string>{"結果 1(建物パラメータ).csv", "結果 1(時刻暦応答).csv",
                                     "a.csv(建物パラメータ).csv", "a.csv(時刻暦応答).csv",
                                     " データ (建物パラメータ).csv", " データ (時刻暦応答).csv"}));
    EXPECT_EQ(ReadBytes(old), ReadBytes(folder / "結果 1(時刻暦応答).csv"));
    struct stat info {};
    ASSERT_EQ(::stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
}

TEST_F(SaveResultsTest, FailuresNameTheFileAndLeaveNoHalfWrittenFile) {
    WriteBytes(folder / "file.txt", "");
    std::filesystem::create_directory(folder / "sub");
    std::filesystem::create_directory(folder / "dir(時刻暦応答).csv");
    WriteBytes(folder / "p0(時刻暦応答).csv", "earlier good file");
    const struct {
        std::string where, base;
        std::optional<double> period;
        std::string failedPath;
        int systemError;
        bool parameterWritten;
    } cases[] = {
        {folder / "gone", "r", {}, folder / "gone/r(建物パラメータ).csv", ENOENT, false},
        {folder / "file.txt", "r", {}, folder / "file.txt/r(建物パラメータ).csv", ENOTDIR, false},
        {root, "sub/r", {}, folder / "sub/r(建物パラメータ).csv", 0, false},
        {root, "dir", {}, folder / "dir(時刻暦応答).csv", EISDIR, true},
        {root, "p0", 0.0, folder / "p0(時刻暦応答).csv", 0, true},  // period 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failedPath);
        auto expectedNames = Names(root);
        if (c.parameterWritten) expectedNames.insert(c.base + "(建物パラメータ).csv");
        const SaveOutcome outcome = Save(c.where, c.base, c.period);
        ASSERT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.error->path, c.failedPath);
        EXPECT_EQ(outcome.error->systemError, c.systemError);
        EXPECT_FALSE(outcome.error->reason.empty());
        EXPECT_EQ(outcome.parameterFileWritten, c.parameterWritten);
        EXPECT_FALSE(outcome.historyFileWritten);
        EXPECT_EQ(Names(root), expectedNames);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
    EXPECT_EQ(ReadBytes(folder / "p0(時刻暦応答).csv"), "earlier good file");
}

TEST_F(SaveResultsTest, AFullDiskFailsTheSaveAndLeavesNoPartOfTheFile) {
    const std::string disk = folder / "disk";
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small disk here";
    }
    // The longest run's history, about 3 MB, cannot fit; the parameter file can.
    RunTexts longest;
    longest.analysisTime = "327.64";
    RunAnalysis(*state, longest, ExcitationCase::SteadyAcceleration, {});
    const SaveOutcome outcome = Save(disk, "full");
    const auto names = Names(disk);
    ::umount2(disk.c_str(), MNT_DETACH);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error->systemError, ENOSPC);
    EXPECT_EQ(outcome.error->path, disk + "/full(時刻暦応答).csv");
    EXPECT_EQ(names, std::set<std::string>{"full(建物パラメータ).csv"});

    const FileMessage m = SaveErrorMessage(outcome);
    for (const std::string& part : {outcome.error->path, std::string("空き容量"),
                                    std::string("建物パラメータのファイルは")}) {
        EXPECT_NE(m.prompt.find(part), std::string::npos) << m.prompt;
    }
}

}  // namespace
}  // namespace kestrel
