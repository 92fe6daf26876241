// Saving onto the disk: the names, the replacement of old files, and every failure
// reported with its file, with nothing half written left behind.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <set>

#include "analysis/RunFromTexts.h"
#include "files/FileTestSupport.h"
#include "files/ReplaceFile.h"
#include "files/ResultFiles.h"
#include "files/SystemErrorText.h"

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
    SaveOutcome Save(const std::string& where, const std::string& base,
                     std::optional<double> period = std::nullopt) {
        return SaveResults(where, base, values, *run.response, period);
    }

    RunOutcome run = RunFromTexts(RunTexts{}, ExcitationCase::SteadyDisplacement, {});
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
        ASSERT_TRUE(outcome.ok()) << outcome.error->reason.Text();
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
    // Named pipes, one of them behind a link: neither is replaced by a file.
    ASSERT_EQ(::mkfifo((folder / "pipe(建物パラメータ).csv").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("fifo", folder / "link(時刻暦応答).csv");
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
        {root, "dir", {}, folder / "dir(時刻暦応答).csv", EISDIR, false},
        {root, "p0", 0.0, folder / "p0(時刻暦応答).csv", 0, false},  // period 0
        {root, "pipe", {}, folder / "pipe(建物パラメータ).csv", kNotRegularFile, false},
        {root, "link", {}, folder / "link(時刻暦応答).csv", kNotRegularFile, false},
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
        if (c.systemError == kNotRegularFile) {
            EXPECT_NE(SaveErrorMessage(outcome).prompt.find("」を保存できませんでした。\n理由："
                                                            "通常のファイルではありません。"),
                      std::string::npos);
        }
        EXPECT_EQ(outcome.parameterFileWritten, c.parameterWritten);
        EXPECT_FALSE(outcome.historyFileWritten);
        EXPECT_EQ(Names(root), expectedNames);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
    EXPECT_EQ(ReadBytes(folder / "p0(時刻暦応答).csv"), "earlier good file");
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe(建物パラメータ).csv"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link(時刻暦応答).csv"));
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo"));
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
    run = RunFromTexts(longest, ExcitationCase::SteadyAcceleration, {});
    const SaveOutcome outcome = Save(disk, "full");
    const auto names = Names(disk);
    ::umount2(disk.c_str(), MNT_DETACH);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error->systemError, ENOSPC);
    EXPECT_EQ(outcome.error->path, disk + "/full(時刻暦応答).csv");
    EXPECT_TRUE(names.empty());

    const FileMessage m = SaveErrorMessage(outcome);
    EXPECT_NE(m.prompt.find(outcome.error->path), std::string::npos) << m.prompt;
    EXPECT_NE(m.prompt.find("空き容量"), std::string::npos) << m.prompt;
}

// A file-size limit (ulimit -f) that the parameter file fits and the history file does not:
// the write fails instead of ending the program, and the earlier pair stays as it was.
TEST_F(SaveResultsTest, AFileSizeLimitFailsTheSaveAndKeepsTheEarlierPair) {
    const std::string parameters = folder / "pair(建物パラメータ).csv";
    const std::string history = folder / "pair(時刻暦応答).csv";
    WriteBytes(parameters, "earlier parameters");
    WriteBytes(history, "earlier history");
    struct sigaction before {};
    ::sigaction(SIGXFSZ, nullptr, &before);
    IgnoreFileSizeSignal();
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit lowered{10'000, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const SaveOutcome outcome = Save(root, "pair");  // the history file is about 76 kB
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::sigaction(SIGXFSZ, &before, nullptr);

    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error->path, history);
    EXPECT_EQ(outcome.error->systemError, EFBIG);
    EXPECT_FALSE(outcome.parameterFileWritten || outcome.historyFileWritten);
    EXPECT_EQ(ReadBytes(parameters), "earlier parameters");
    EXPECT_EQ(ReadBytes(history), "earlier history");
    EXPECT_EQ(Names(root),
              (std::set<std::string>{"pair(建物パラメータ).csv", "pair(時刻暦応答).csv"}));
    const std::string prompt = SaveErrorMessage(outcome).prompt;
    EXPECT_NE(prompt.find("上限"), std::string::npos) << prompt;
    EXPECT_EQ(prompt.find("建物パラメータのファイルは"), std::string::npos) << prompt;
}

// Saving over symbolic links replaces the files they point to, and the links stay.
TEST_F(SaveResultsTest, LinksStayAndTheFilesTheyPointToAreReplaced) {
    ASSERT_TRUE(Save(root, "plain").ok());
    std::filesystem::create_directories(folder / "real/deeper");
    const std::string deeper = folder / "real/deeper";
    const struct {
        std::string link, to;  // the link's name in the folder, and what it says
        std::string target;    // the file that must receive the bytes
    } cases[] = {
        {"rel(建物パラメータ).csv", "real/p.csv", folder / "real/p.csv"},
        {"rel(時刻暦応答).csv", "real/h.csv", folder / "real/h.csv"},
        {"abs(建物パラメータ).csv", deeper + "/p.csv", deeper + "/p.csv"},
        {"abs(時刻暦応答).csv", "hop.csv", deeper + "/h.csv"},  // a link to a link
        {"hop.csv", deeper + "/h.csv", deeper + "/h.csv"},
    };
    for (const auto& c : cases) {
        std::filesystem::create_symlink(c.to, folder / c.link);
        WriteBytes(c.target, "earlier");  // the relative pair's targets are made afresh below
    }
    std::filesystem::remove(folder / "real/p.csv");  // a link to a file not yet there
    ASSERT_TRUE(Save(root, "rel").ok());
    ASSERT_TRUE(Save(root, "abs").ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_TRUE(std::filesystem::is_symlink(folder / c.link));
        EXPECT_EQ(std::filesystem::read_symlink(folder / c.link), c.to);
        const bool history = c.target.ends_with("h.csv");
        EXPECT_EQ(ReadBytes(c.target), ReadBytes(folder / (history ? "plain(時刻暦応答).csv"
                                                                   : "plain(建物パラメータ).csv")));
    }
    EXPECT_EQ(Names(folder / "real"), (std::set<std::string>{"deeper", "p.csv", "h.csv"}));
    EXPECT_EQ(Names(deeper), (std::set<std::string>{"p.csv", "h.csv"}));
}

}  // namespace
}  // namespace kestrel
