#include "watch/WatchSettings.h"

#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"
#include "watch/GbkText.h"
#include "watch/IniFileException.h"
#include "watch/MemoryWatchPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace watch;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Counts how often files in a folder are opened, from the kernel's own notices.
class TOpenCounter {
public:
    explicit TOpenCounter(const std::filesystem::path& folder)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0 || ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN) < 0)
            throw std::runtime_error("Cannot watch the folder");
    }
    ~TOpenCounter() { ::close(fd_); }
    TOpenCounter(const TOpenCounter&) = delete;
    TOpenCounter& operator=(const TOpenCounter&) = delete;

    // Opens of `name` since the last call.
    int OpensOf(const std::string& name) {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < length;) {
                auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && name == event->name)
                    ++opens;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return opens;
    }

private:
    int fd_;
};

} // namespace

class WatchSettingsTest : public ::testing::Test {
protected:
    void FillPairs() {
        for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
            panel.editComName(pair).SetText("company" + std::to_string(pair));
            panel.editPosition(pair).SetText("position" + std::to_string(pair));
        }
    }

    TTempFolder folder;
    std::string path = folder.File("program.ini");
    TMemoryWatchPanel panel;
};

TEST_F(WatchSettingsTest, FreshStartShowsEmptyPairsAndDefaultChoices) {
    FillPairs();
    LoadSettings(panel, path);
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        EXPECT_EQ(panel.editComName(pair).Text(), "");
        EXPECT_EQ(panel.editPosition(pair).Text(), "");
    }
    EXPECT_EQ(panel.comboSearchTime().ItemIndex(), 0);
    EXPECT_EQ(panel.comboSearchTime().Text(), Gbk("半小时"));
    EXPECT_EQ(panel.comboCity().Text(), Gbk("北京"));
    EXPECT_EQ(panel.comboPubDate().Text(), Gbk("一天内"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(WatchSettingsTest, SavedValuesComeBackByteForByte) {
    panel.editComName(1).SetText("  " + Gbk("微软中国"));
    panel.editPosition(1).SetText(" Java ");
    panel.editComName(4).SetText("IBM");
    panel.editPosition(4).SetText("*");
    panel.comboSearchTime().SetItemIndex(5);
    panel.comboCity().SetItemIndex(12);
    panel.comboPubDate().SetItemIndex(2);
    btnSaveClick(panel, path);

    std::string file = ReadFile(path);
    EXPECT_THAT(file, HasSubstr("[pair]\r\ncom=  " + Gbk("微软中国") + "\r\nposition= Java \r\n"));
    EXPECT_THAT(file, HasSubstr("[pair4]\r\ncom=IBM\r\nposition=*\r\n"));
    EXPECT_THAT(file, HasSubstr("[City]\r\nvalue=" + Gbk("安徽省") + "\r\n"));

    TMemoryWatchPanel loaded;
    LoadSettings(loaded, path);
    for (int pair = 1; pair <= IWatchPanel::PairCount; ++pair) {
        EXPECT_EQ(loaded.editComName(pair).Text(), panel.editComName(pair).Text());
        EXPECT_EQ(loaded.editPosition(pair).Text(), panel.editPosition(pair).Text());
    }
    EXPECT_EQ(loaded.comboSearchTime().ItemIndex(), 5);
    EXPECT_EQ(loaded.comboCity().ItemIndex(), 12);
    EXPECT_EQ(loaded.comboPubDate().ItemIndex(), 2);
}

TEST_F(WatchSettingsTest, UnknownStoredChoiceLeavesTheSelectorEmptyAndSavesEmpty) {
    WriteFile(path,
              "[City]\r\nvalue=" + Gbk("火星") + "\r\n[PubDate]\r\nvalue=" + Gbk("一天") + "\r\n");
    LoadSettings(panel, path);
    EXPECT_EQ(panel.comboCity().ItemIndex(), -1);
    EXPECT_EQ(panel.comboCity().Text(), "");
    EXPECT_EQ(panel.comboPubDate().ItemIndex(), -1);
    EXPECT_EQ(panel.comboSearchTime().Text(), Gbk("半小时"));

    btnSaveClick(panel, path);
    std::string file = ReadFile(path);
    EXPECT_THAT(file, HasSubstr("[City]\r\nvalue=\r\n"));
    EXPECT_THAT(file, HasSubstr("[PubDate]\r\nvalue=\r\n"));
}

TEST_F(WatchSettingsTest, TypedChoiceIsSavedEmpty) {
    panel.comboSearchTime().SetText(Gbk("半小时"));
    btnSaveClick(panel, path);
    EXPECT_THAT(ReadFile(path), HasSubstr("[SearchTime]\r\nvalue=\r\n"));
}

TEST_F(WatchSettingsTest, ClearedOrIncompletePairsAreSavedAsShown) {
    FillPairs();
    btnSaveClick(panel, path);
    panel.editComName(3).SetText("");
    panel.editPosition(3).SetText("");
    panel.editPosition(2).SetText("   ");
    btnSaveClick(panel, path);

    TMemoryWatchPanel loaded;
    LoadSettings(loaded, path);
    EXPECT_EQ(loaded.editComName(3).Text(), "");
    EXPECT_EQ(loaded.editPosition(3).Text(), "");
    EXPECT_EQ(loaded.editComName(2).Text(), "company2");
    EXPECT_EQ(loaded.editPosition(2).Text(), "   ");
    EXPECT_EQ(loaded.editComName(5).Text(), "company5");
}

TEST_F(WatchSettingsTest, SavingKeepsWhatElseTheFileHolds) {
    WriteFile(path, "[pair]\r\ncom=old\r\n[Window]\r\nleft=10\r\n");
    btnSaveClick(panel, path);
    std::string file = ReadFile(path);
    EXPECT_THAT(file, HasSubstr("[Window]\r\nleft=10\r\n"));
    EXPECT_THAT(file, HasSubstr("[pair]\r\ncom=\r\n"));
}

TEST_F(WatchSettingsTest, ReadOnlyFolderRaisesAndLeavesTheFileIntact) {
    FillPairs();
    btnSaveClick(panel, path);
    std::string before = ReadFile(path);
    ::chmod(folder.Path().c_str(), 0555);

    panel.editComName(1).SetText("changed");
    {
        TUnprivileged unprivileged;
        try {
            btnSaveClick(panel, path);
            FAIL() << "the save went through";
        } catch (const EIniFileException& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(WatchSettingsTest, FullDiskLeavesTheFileIntact) {
    FillPairs();
    btnSaveClick(panel, path);
    std::string before = ReadFile(path);

    // A file-size limit makes writes fail as on a full disk, whoever runs the test.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 32;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    panel.editComName(1).SetText("changed");
    EXPECT_THROW(btnSaveClick(panel, path), EIniFileException);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadFile(path), before);
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST(SettingsPath, IsProgramIniBesideTheExecutable) {
    std::string executable = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string folder = executable.substr(0, executable.rfind('/') + 1);
    EXPECT_EQ(SettingsPath(), folder + "program.ini");
}

TEST_F(WatchSettingsTest, LoadAndSaveReadTheFileOnce) {
    FillPairs();
    btnSaveClick(panel, path);
    TOpenCounter counter(folder.Path());

    TMemoryWatchPanel loaded;
    LoadSettings(loaded, path);
    EXPECT_EQ(counter.OpensOf("program.ini"), 1);
    EXPECT_EQ(loaded.editPosition(5).Text(), "position5");

    panel.editComName(2).SetText("changed");
    btnSaveClick(panel, path);
    EXPECT_EQ(counter.OpensOf("program.ini"), 1);
    TMemoryWatchPanel reloaded;
    LoadSettings(reloaded, path);
    EXPECT_EQ(reloaded.editComName(2).Text(), "changed");
    EXPECT_EQ(reloaded.editPosition(5).Text(), "position5");
}

TEST_F(WatchSettingsTest, PipeAsSettingsFileGivesTheDefaultsWithoutWaiting) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Something is in the pipe and its writer stays open, so a plain read never ends.
    int writer = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    std::string content = "[pair]\r\ncom=IBM\r\n";
    ASSERT_EQ(::write(writer, content.data(), content.size()),
              static_cast<ssize_t>(content.size()));

    std::future<void> load = std::async(std::launch::async, [&] { LoadSettings(panel, path); });
    bool finished = load.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    // A load that waits gets an end of file for each of its reads.
    ::close(writer);
    while (load.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        int unblock = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (unblock >= 0)
            ::close(unblock);
    }
    load.get();
    ASSERT_TRUE(finished) << "the load waited on the pipe";
    EXPECT_EQ(panel.editComName(1).Text(), "");
    EXPECT_EQ(panel.comboCity().Text(), Gbk("北京"));
    EXPECT_THROW(btnSaveClick(panel, path), EIniFileException);
}

TEST_F(WatchSettingsTest, FirstSaveMakesTheSettingsFolder) {
    std::string nested = folder.File("config/quorvel/program.ini");
    panel.editComName(1).SetText("IBM");
    btnSaveClick(panel, nested);
    TMemoryWatchPanel loaded;
    LoadSettings(loaded, nested);
    EXPECT_EQ(loaded.editComName(1).Text(), "IBM");
    struct stat status {};
    ASSERT_EQ(::stat(folder.File("config/quorvel").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST(SettingsPathFor, StaysBesideTheProgramWhenItsFolderIsWritableOrHoldsTheFile) {
    TTempFolder program;
    std::string folder = program.Path().string();
    ::chmod(folder.c_str(), 0777);
    {
        TUnprivileged unprivileged;
        EXPECT_EQ(SettingsPathFor(folder, "/config", "/home/user", "/usr/bin"),
                  folder + "/program.ini");
        EXPECT_EQ(SettingsPathFor(folder + "/", "/config", "/home/user", "/usr/bin"),
                  folder + "/program.ini");
        EXPECT_EQ(SettingsPathFor(folder, "", "", "/usr/bin"), folder + "/program.ini");
    }
    WriteFile(program.File("program.ini"), "");
    ::chmod(folder.c_str(), 0555);
    TUnprivileged unprivileged;
    EXPECT_EQ(SettingsPathFor(folder, "/config", "/home/user", "/usr/bin"),
              folder + "/program.ini");
}

TEST(SettingsPathFor, IsInTheUsersConfigFolderForAnInstalledProgram) {
    TTempFolder program;
    std::string folder = program.Path().string();
    ::chmod(folder.c_str(), 0555);
    TUnprivileged unprivileged;
    EXPECT_EQ(SettingsPathFor(folder, "/config", "/home/user", "/usr/bin"),
              "/config/quorvel/program.ini");
    EXPECT_EQ(SettingsPathFor(folder, "", "/home/user", "/usr/bin"),
              "/home/user/.config/quorvel/program.ini");
    // A relative config folder would depend on where the program was started.
    EXPECT_EQ(SettingsPathFor(folder, "config", "/home/user", "/usr/bin"),
              "/home/user/.config/quorvel/program.ini");
    EXPECT_EQ(SettingsPathFor("/nonexistent/bin", "/config", "/home/user", "/usr/bin"),
              "/config/quorvel/program.ini");
    EXPECT_THROW(SettingsPathFor(folder, "", "", "/usr/bin"), std::runtime_error);
}

namespace {

// A program in a folder it may write to (as root may write to every folder), and where the
// build installs its programs.
struct TInstallFolderCase {
    const char* Name;
    const char* InstallFolder; // relative to the temporary root; "program" is the program's
    bool IniThere;
    bool Beside;
};

class SettingsPathForInstalledProgram : public testing::TestWithParam<TInstallFolderCase> {};

TEST_P(SettingsPathForInstalledProgram, NeverWritesIntoTheInstallFolder) {
    TTempFolder root;
    std::filesystem::create_directory(root.File("program"));
    std::filesystem::create_directory(root.File("other"));
    std::filesystem::create_directory_symlink("program", root.File("link"));
    std::string program = root.File("program");
    if (GetParam().IniThere)
        WriteFile(program + "/program.ini", "");
    std::string expected =
        GetParam().Beside ? program + "/program.ini" : "/config/quorvel/program.ini";
    EXPECT_EQ(SettingsPathFor(program + "/", "/config", "/home/user",
                              root.File(GetParam().InstallFolder)),
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsPathForInstalledProgram,
    testing::Values(TInstallFolderCase{"InstallFolder", "program", false, false},
                    TInstallFolderCase{"InstallFolderWithSlash", "program/", false, false},
                    TInstallFolderCase{"InstallFolderThroughALink", "link", false, false},
                    TInstallFolderCase{"InstallFolderHoldingTheFile", "program", true, true},
                    TInstallFolderCase{"OtherFolder", "other", false, true},
                    TInstallFolderCase{"MissingInstallFolder", "missing/bin", false, true}),
    [](const testing::TestParamInfo<TInstallFolderCase>& info) { return info.param.Name; });

} // namespace
