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
using test::ScratchFolder;
using test::WriteBytes;

std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class SaveResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunAnalysis(*state, RunTexts{}, ExcitationCase::SteadyDisplacement, {}).status,
                  RunResult::Status::Completed);
    }
    SaveOutcome Save(const std::string& folder, const std::string& base,
                     std::optional<double> period = std::nullopt) {
        return SaveResults(folder, base, values, *state, period);
    }

    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    ParameterValues values = ParameterValuesFromTexts(ModelTexts{}, 0.362832446594252);
    ScratchFolder folder;
};

TEST_F(SaveResultsTest, BothFilesTakeTheBaseNameAsTyped) {
    for (const std::string base : {"結果 1", "a.csv", " データ "}) {
        const SaveOutcome outcome = Save(folder.path().string(), base);
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason;
        EXPECT_TRUE(outcome.parameterFileWritten && outcome.historyFileWritten);
    }
    // Nothing else, no temporary file among them.
    EXPECT_EQ(Names(folder.path()),
              (std::set<std::string>{"結果 1(建物パラメータ).csv", "結果 1(時刻暦応答).csv",
                                     "a.csv(建物パラメータ).csv", "a.csv(時刻暦応答).csv",
                                     " データ (建物パラメータ).csv", " データ (時刻暦応答).csv"}));
}

TEST_F(SaveResultsTest, ExistingFilesAreReplacedAndKeepTheirPermissions) {
    const std::string history = folder / "r(時刻暦応答).csv";
    WriteBytes(history, "old content that is longer than nothing");
    ASSERT_EQ(::chmod(history.c_str(), 0640), 0);
    ASSERT_TRUE(Save(folder.path().string(), "r").ok());
    std::ostringstream expected;
    WriteHistoryFile(expected, *state, std::nullopt);
    EXPECT_EQ(ReadBytes(history), expected.str());
    struct stat info {};
    ASSERT_EQ(::stat(history.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(SaveResultsTest, FailuresNameTheFileAndLeaveNoHalfWrittenFile) {
    const std::string root = folder.path().string();
    WriteBytes(folder / "file.txt", "");
    std::filesystem::create_directory(folder / "sub");
    std::filesystem::create_directory(folder / "dir(時刻暦応答).csv");
    WriteBytes(folder / "p0(時刻暦応答).csv", "earlier good file");
    struct Case {
        const char* what;
        std::string folder;
        std::string base;
        std::optional<double> period;
        std::string failedPath;
        int systemError;
        bool parameterWritten;
    };
    const Case cases[] = {
        {"folder gone",
         folder / "gone",
         "r",
         {},
         folder / "gone/r(建物パラメータ).csv",
         ENOENT,
         false},
        {"folder is a file",
         folder / "file.txt",
         "r",
         {},
         folder / "file.txt/r(建物パラメータ).csv",
         ENOTDIR,
         false},
        {"separator in the base name",
         root,
         "sub/r",
         {},
         folder / "sub/r(建物パラメータ).csv",
         0,
         false},
        {"folder in the history file's place",
         root,
         "dir",
         {},
         folder / "dir(時刻暦応答).csv",
         EISDIR,
         true},
        {"displacement period 0", root, "p0", 0.0, folder / "p0(時刻暦応答).csv", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = Names(folder.path());
        const SaveOutcome outcome = Save(c.folder, c.base, c.period);
        ASSERT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.error->path, c.failedPath);
        EXPECT_EQ(outcome.error->systemError, c.systemError);
        EXPECT_FALSE(outcome.error->reason.empty());
        EXPECT_EQ(outcome.parameterFileWritten, c.parameterWritten);
        EXPECT_FALSE(outcome.historyFileWritten);
        auto after = Names(folder.path());
        if (c.parameterWritten) after.erase(c.base + "(建物パラメータ).csv");
        EXPECT_EQ(after, before);
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
}

TEST(SaveErrorMessage, NamesTheFileTheReasonAndWhatWasSaved) {
    SaveOutcome outcome;
    outcome.parameterFileWritten = true;
    outcome.error = SaveError{"/d/r(時刻暦応答).csv", "ディスクの空き容量が足りません", ENOSPC};
    const FileMessage m = SaveErrorMessage(outcome);
    EXPECT_EQ(m.title, "データの保存");
    for (const char* part : {"/d/r(時刻暦応答).csv", "ディスクの空き容量", "建物パラメータ"}) {
        EXPECT_NE(m.prompt.find(part), std::string::npos) << part;
    }
    outcome.parameterFileWritten = false;
    EXPECT_EQ(SaveErrorMessage(outcome).prompt.find("建物パラメータ"), std::string::npos);
    EXPECT_FALSE(outcome.error->fileInUse());
    EXPECT_TRUE((SaveError{"x", "", EBUSY}.fileInUse()));
}

}  // namespace
}  // namespace kestrel
