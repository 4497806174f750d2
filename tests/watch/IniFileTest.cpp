#include "watch/IniFile.h"

#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"
#include "watch/IniFileException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace watch;
using ::testing::ElementsAre;

class IniFileTest : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string path = folder.File("program.ini");
    TIniFile ini{path};
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ini.ReadString("pair", "com", "none"), "none");
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    EXPECT_EQ(ini.ReadString("pair2", "com", "none"), "none");
    EXPECT_EQ(ini.ReadString("pair", "position", "none"), "none");
    EXPECT_EQ(ini.ReadString("pair", "com", "none"), "IBM");
}

TEST_F(IniFileTest, ReadsHandWrittenFiles) {
    WriteFile(path, "; written by hand\n"
                    "[Pair]\n"
                    "  COM =  IBM \n"
                    "position=\n"
                    "\n"
                    "[ pair2 ]\r\n"
                    "com=a=b\r\n"
                    "[pair3\n"
                    "com=HP\n");
    EXPECT_EQ(ini.ReadString("pair", "com", "x"), "  IBM ");
    EXPECT_EQ(ini.ReadString("pair", "position", "x"), "");
    EXPECT_EQ(ini.ReadString("pair2", "com", "x"), "a=b");
    EXPECT_EQ(ini.ReadString("pair3", "com", "x"), "HP");
    EXPECT_EQ(ini.ReadString("pair2", "position", "x"), "x");
}

TEST_F(IniFileTest, ReadsAtMost2047BytesOfAValue) {
    WriteFile(path, "[pair]\r\ncom=" + std::string(3000, 'k') + "\r\n");
    EXPECT_EQ(ini.ReadString("pair", "com", ""), std::string(TIniFile::MaxValueLength, 'k'));
}

TEST_F(IniFileTest, WritesSectionsAndKeysWhereTheyBelong) {
    ini.WriteString("pair", "com", "IBM");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=IBM\r\n");

    WriteFile(path, "[pair]\r\ncom=IBM\r\n\r\n[other]\r\nkeep=1\r\n");
    ini.WriteString("pair", "position", "java");
    ini.WriteString("pair", "com", " HP");
    ini.WriteString("pair2", "com", "");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom= HP\r\nposition=java\r\n\r\n[other]\r\nkeep=1\r\n"
                              "[pair2]\r\ncom=\r\n");
    EXPECT_EQ(ini.ReadString("pair2", "com", "x"), "");
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(IniFileTest, ReplacingKeepsThePermissions) {
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    ::chmod(path.c_str(), 0600);
    ini.WriteString("pair", "com", "HP");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(IniFileTest, RefusedWriteRaisesAndLeavesTheFileAsItWas) {
    std::string before = "[pair]\r\ncom=IBM\r\n";
    WriteFile(path, before);
    ::chmod(folder.Path().c_str(), 0555);
    try {
        TUnprivileged unprivileged;
        ini.WriteString("pair", "com", "HP");
        FAIL() << "the write went through";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(IniFileTest, UnreadableFileIsNotOverwritten) {
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    ::chmod(path.c_str(), 0200);
    ::chmod(folder.Path().c_str(), 0777);
    {
        TUnprivileged unprivileged;
        EXPECT_EQ(ini.ReadString("pair", "com", "default"), "default");
        EXPECT_THROW(ini.WriteString("pair", "position", "java"), EIniFileException);
    }
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=IBM\r\n");
}
