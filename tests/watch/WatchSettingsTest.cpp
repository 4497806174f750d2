#include "watch/WatchSettings.h"

#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"
#include "watch/GbkText.h"
#include "watch/IniFileException.h"
#include "watch/MemoryWatchPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace watch;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

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
