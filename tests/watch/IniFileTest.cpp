#include "watch/IniFile.h"

#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"
#include "watch/IniFileException.h"
#include "watch/IniFileReadException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace watch;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace {

constexpr uid_t Nobody = 65534;

std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

class IniFileTest : public ::testing::Test {
protected:
    // The file as it is now: a settings file is read once, when it is opened.
    TIniFile Ini() const { return TIniFile(path); }

    TTempFolder folder;
    std::string path = folder.File("program.ini");
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Ini().ReadString("pair", "com", "none"), "none");
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    EXPECT_EQ(Ini().ReadString("pair2", "com", "none"), "none");
    EXPECT_EQ(Ini().ReadString("pair", "position", "none"), "none");
    EXPECT_EQ(Ini().ReadString("pair", "com", "none"), "IBM");
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
    EXPECT_EQ(Ini().ReadString("pair", "com", "x"), "  IBM ");
    EXPECT_EQ(Ini().ReadString("pair", "position", "x"), "");
    EXPECT_EQ(Ini().ReadString("pair2", "com", "x"), "a=b");
    EXPECT_EQ(Ini().ReadString("pair3", "com", "x"), "HP");
    EXPECT_EQ(Ini().ReadString("pair2", "position", "x"), "x");
}

TEST_F(IniFileTest, ReadsAtMost2047BytesOfAValue) {
    WriteFile(path, "[pair]\r\ncom=" + std::string(3000, 'k') + "\r\n");
    EXPECT_EQ(Ini().ReadString("pair", "com", ""), std::string(TIniFile::MaxValueLength, 'k'));
}

TEST_F(IniFileTest, WritesSectionsAndKeysWhereTheyBelong) {
    Ini().WriteString("pair", "com", "IBM");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=IBM\r\n");

    WriteFile(path, "[pair]\r\ncom=IBM\r\n\r\n[other]\r\nkeep=1\r\n");
    TIniFile ini(path);
    ini.WriteString("pair", "position", "java");
    ini.WriteString("pair", "com", " HP");
    ini.WriteString("pair2", "com", "");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom= HP\r\nposition=java\r\n\r\n[other]\r\nkeep=1\r\n"
                              "[pair2]\r\ncom=\r\n");
    EXPECT_EQ(Ini().ReadString("pair2", "com", "x"), "");
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(IniFileTest, ReplacingKeepsThePermissions) {
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    ::chmod(path.c_str(), 0600);
    Ini().WriteString("pair", "com", "HP");
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
        Ini().WriteString("pair", "com", "HP");
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
        EXPECT_EQ(Ini().ReadString("pair", "com", "default"), "default");
        EXPECT_THROW(Ini().WriteString("pair", "position", "java"), EIniFileException);
    }
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=IBM\r\n");
}

TEST_F(IniFileTest, TellsWhyAFileCannotBeRead) {
    auto reason = [](const std::string& file) -> std::string {
        try {
            CheckIniFileReadable(file);
            return "readable";
        } catch (const EIniFileReadException& error) {
            return error.what();
        }
    };
    EXPECT_EQ(reason(path), "cannot read " + path + ": No such file or directory");
    EXPECT_EQ(reason(folder.Path().string()),
              "cannot read " + folder.Path().string() + ": not a regular file");
    EXPECT_EQ(reason("/dev/zero"), "cannot read /dev/zero: not a regular file");
    std::string fifo = folder.File("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(reason(fifo), "cannot read " + fifo + ": not a regular file");

    WriteFile(path, std::string(TIniFile::MaxFileSize + 1, ';'));
    EXPECT_EQ(reason(path), "cannot read " + path + ": larger than 1 MiB");
    WriteFile(path, std::string(TIniFile::MaxFileSize, ';'));
    EXPECT_EQ(reason(path), "readable");

    ::chmod(path.c_str(), 0200);
    ::chmod(folder.Path().c_str(), 0777);
    TUnprivileged unprivileged;
    EXPECT_EQ(reason(path), "cannot read " + path + ": Permission denied");
}

TEST_F(IniFileTest, FileOverOneMebibyteReadsAsDefaultsAndIsNotOverwritten) {
    std::string start = "[pair]\r\ncom=IBM\r\n";
    std::string largest = start + std::string(TIniFile::MaxFileSize - start.size(), ';');
    WriteFile(path, largest);
    EXPECT_EQ(Ini().ReadString("pair", "com", "default"), "IBM");
    // Growing it past the limit would lose it at the next read.
    EXPECT_THROW(Ini().WriteString("pair", "com", "International"), EIniFileException);
    EXPECT_TRUE(ReadFile(path) == largest) << "the file was rewritten";

    std::string tooLarge = start + std::string(TIniFile::MaxFileSize + 1 - start.size(), ';');
    WriteFile(path, tooLarge);
    EXPECT_EQ(Ini().ReadString("pair", "com", "default"), "default");
    EXPECT_THROW(Ini().WriteString("pair", "com", "HP"), EIniFileException);
    EXPECT_TRUE(ReadFile(path) == tooLarge) << "the file was rewritten";
}

TEST_F(IniFileTest, ReplacingKeepsTheOwner) {
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    if (::chown(path.c_str(), Nobody, Nobody) != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    Ini().WriteString("pair", "com", "HP");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, Nobody);
    EXPECT_EQ(status.st_gid, Nobody);
    EXPECT_EQ(Ini().ReadString("pair", "com", ""), "HP");
}

TEST_F(IniFileTest, SomeoneElsesWritableFileIsRewrittenInPlaceKeepingItsOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a file that belongs to another user";
    WriteFile(path, "[pair]\r\ncom=IBM\r\n");
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.Path().c_str(), 0777);
    {
        TUnprivileged unprivileged;
        Ini().WriteString("pair", "com", "HP");
    }
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 0u);
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=HP\r\n");
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(IniFileTest, SymbolicLinkIsWrittenThroughToItsTarget) {
    std::filesystem::create_directory(folder.Path() / "real");
    std::string target = folder.File("real/settings.ini");
    WriteFile(target, "[pair]\r\ncom=IBM\r\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink("real/settings.ini", path);

    TIniFile ini(path);
    ini.WriteString("pair", "com", "HP");
    ini.WriteString("pair", "position", "java");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(target), "[pair]\r\ncom=HP\r\nposition=java\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_THAT(folder.Entries(), UnorderedElementsAre("program.ini", "real"));
    EXPECT_THAT(EntriesOf(folder.Path() / "real"), ElementsAre("settings.ini"));

    // A link whose target does not exist yet makes the target.
    std::filesystem::remove(target);
    Ini().WriteString("pair", "com", "HP");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(target), "[pair]\r\ncom=HP\r\n");
}

TEST_F(IniFileTest, ReadOnlyFolderWithWritableFileIsRewrittenInPlace) {
    WriteFile(path, "[pair]\r\ncom=IBM\r\nposition=java\r\n");
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.Path().c_str(), 0555);
    TUnprivileged unprivileged;
    TIniFile ini(path);
    ini.WriteString("pair", "com", "International Business Machines");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=International Business Machines\r\nposition=java\r\n");
    ini.WriteString("pair", "com", "HP");
    EXPECT_EQ(ReadFile(path), "[pair]\r\ncom=HP\r\nposition=java\r\n");
    EXPECT_THAT(folder.Entries(), ElementsAre("program.ini"));
}

TEST_F(IniFileTest, InPlaceRewriteOnAFullDiskLeavesTheFileAsItWas) {
    std::string before = "[pair]\r\ncom=IBM\r\n";
    WriteFile(path, before);
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.Path().c_str(), 0555);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = before.size() + 4;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    {
        TUnprivileged unprivileged;
        EXPECT_THROW(Ini().WriteString("pair", "com", "International Business Machines"),
                     EIniFileException);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadFile(path), before);
}
