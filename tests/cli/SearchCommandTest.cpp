// quorvel-cli search, run as a process against the demo job board.

#include "ChildProcess.h"
#include "DemoBoard.h"
#include "LoopbackPort.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestProxy.h"

#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace {

using watch::Gbk;

// A settings file as the program writes it, in GBK.
std::string Settings(const std::string& company, const std::string& position,
                     const std::string& city = "北京", const std::string& window = "一天内") {
    return Gbk("[pair]\r\ncom=" + company + "\r\nposition=" + position +
               "\r\n[SearchTime]\r\nvalue=半小时\r\n[City]\r\nvalue=" + city +
               "\r\n[PubDate]\r\nvalue=" + window + "\r\n");
}

class SearchCommandTest : public ::testing::Test {
protected:
    TProcessResult Search(const std::string& settings, std::vector<std::string> extra = {}) {
        std::string ini = Put("program.ini", settings);
        std::vector<std::string> argv = {QUORVEL_CLI, "search",  "--ini",
                                         ini,         "--board", board.HostAndPort()};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return RunProcess(argv);
    }

    TDemoBoard& board = SharedDemoBoard();
    // Writes a file into the test's folder and returns its path.
    std::string Put(const std::string& name, const std::string& bytes) const {
        WriteFile(folder.File(name), bytes);
        return folder.File(name);
    }

    TTempFolder folder;
};

TEST_F(SearchCommandTest, GoesThroughTheProxyOption) {
    TTestProxy proxy;
    TProcessResult result =
        Search(Settings("青禾", "*"), {"--proxy", "127.0.0.1:" + std::to_string(proxy.Port())});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(OutputLines(result.Out).size(), 54u * 4);
    ASSERT_FALSE(proxy.Heads().empty());
    EXPECT_TRUE(proxy.Heads()[0].starts_with("GET http://" + board.HostAndPort() + "/"))
        << proxy.Heads()[0];
}

TEST_F(SearchCommandTest, FollowsThePagerToTheLastPageAndPrintsFourLinesARow) {
    TProcessResult result = Search(Settings("青禾", "*"));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    std::vector<std::string> lines = OutputLines(result.Out);
    // 54 postings of this company in Beijing from the last day: pages of 20, 20 and 14.
    ASSERT_EQ(lines.size(), 54u * 4);
    std::set<std::string> links;
    for (size_t row = 0; row < 54; ++row) {
        EXPECT_EQ(lines[row * 4], "青禾");
        EXPECT_EQ(lines[row * 4 + 3], "===== =====");
        links.insert(lines[row * 4 + 2]);
    }
    EXPECT_EQ(links.size(), 54u);
    std::string site = "http://" + board.HostAndPort();
    EXPECT_EQ(lines[2], site + "/job/100000.html");
    EXPECT_EQ(lines.back(), "===== =====");
    EXPECT_EQ(lines[lines.size() - 2], site + "/job/100064.html");
}

TEST_F(SearchCommandTest, KeepsTitlesContainingThePositionInAnyCase) {
    TProcessResult result = Search(Settings("青禾", "JaVa"));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    std::vector<std::string> lines = OutputLines(result.Out);
    ASSERT_EQ(lines.size(), 14u * 4);
    std::set<std::string> titles;
    for (size_t row = 0; row < 14; ++row)
        titles.insert(lines[row * 4 + 1]);
    EXPECT_EQ(titles, (std::set<std::string>{"Java开发工程师", "高级JAVA工程师",
                                             "前端开发工程师(JavaScript)", "<b>Java</b>架构师"}));
}

TEST_F(SearchCommandTest, RawOutputKeepsTheGbkBytes) {
    TProcessResult result = Search(Settings("Larkspur", "java", "北京", "三天内"), {"--raw"});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Out, "Larkspur\n" + Gbk("Java开发工程师") + "\nhttp://" + board.HostAndPort() +
                              "/job/140000.html\n===== =====\n");
}

TEST_F(SearchCommandTest, ReadsTheProgramIniBesideTheToolUnlessToldOtherwise) {
    std::string tool = folder.File("quorvel-cli");
    std::filesystem::copy_file(QUORVEL_CLI, tool);
    Put("program.ini", Settings("Larkspur", "java", "北京", "三天内"));
    TProcessResult found = RunProcess({tool, "search", "--board", board.HostAndPort()});
    EXPECT_EQ(found.ExitStatus, 0) << found.Err;
    EXPECT_NE(found.Out.find("/job/140000.html"), std::string::npos);

    std::filesystem::remove(folder.File("program.ini"));
    TProcessResult missing = RunProcess({tool, "search", "--board", board.HostAndPort()});
    EXPECT_EQ(missing.ExitStatus, 2);
    EXPECT_NE(missing.Err.find(folder.File("program.ini")), std::string::npos) << missing.Err;
}

TEST_F(SearchCommandTest, ExclusionFileLinesAreComparedExactly) {
    std::string site = "http://" + board.HostAndPort();
    // CR LF and LF line ends; a trailing blank makes a line match nothing.
    std::string exclude = Put("exclude.txt", site + "/job/100000.html\r\n" + site +
                                                 "/job/100001.html \n" + site + "/job/100064.html");
    TProcessResult result = Search(Settings("青禾", "*"), {"--exclude", exclude});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    std::vector<std::string> lines = OutputLines(result.Out);
    ASSERT_EQ(lines.size(), 52u * 4);
    EXPECT_EQ(lines[2], site + "/job/100001.html");
    EXPECT_EQ(result.Out.find("/job/100000.html"), std::string::npos);
    EXPECT_EQ(result.Out.find("/job/100064.html"), std::string::npos);
}

TEST_F(SearchCommandTest, NothingFoundEndsWithStatusOne) {
    TProcessResult result = Search(Settings("无此公司", "*"));
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "");
}

TEST_F(SearchCommandTest, NoCompletePairShowsTheProgramsMessage) {
    TProcessResult result = Search(Settings("青禾", "  "));
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "请至少输入一组公司名、职位名关键字！\n");
}

TEST_F(SearchCommandTest, UnreachableBoardGivesOneNetworkMessagePerPair) {
    TLoopbackPort refusing = TLoopbackPort::Refusing();
    std::string ini =
        Put("program.ini", Gbk("[pair]\ncom=青禾\nposition=java\n[pair3]\ncom=Larkspur\n"
                               "position=*\n"));
    TProcessResult result = RunProcess(
        {QUORVEL_CLI, "search", "--ini", ini, "--board", "127.0.0.1:" + refusing.Port()});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "出现网络问题！请检查您的网络连接情况。\n"
                          "出现网络问题！请检查您的网络连接情况。\n");
}

TEST_F(SearchCommandTest, BadCommandLinesAndUnreadableFilesEndWithStatusTwo) {
    std::string ini = Put("program.ini", Settings("青禾", "*"));
    for (std::vector<std::string> arguments : std::vector<std::vector<std::string>>{
             {"search", "--color"},
             {"search", "--ini"},
             {"search", "--ini", ini, "--board", "127.0.0.1:http"},
             {"search", "--ini", ini, "--board", "127.0.0.1:70000"},
             {"search", "--ini", ini, "--board", "host/path"},
             {"search", "--ini", folder.File("missing.ini")},
             {"search", "--ini", folder.Path().string()},
             {"search", "--ini", ini, "--exclude", folder.File("missing.txt")},
             {"find"},
             {}}) {
        arguments.insert(arguments.begin(), QUORVEL_CLI);
        TProcessResult result = RunProcess(arguments);
        EXPECT_EQ(result.ExitStatus, 2) << arguments.back();
        EXPECT_EQ(result.Out, "") << arguments.back();
        EXPECT_NE(result.Err, "") << arguments.back();
    }
}

// A FIFO would block the tool for good and /dev/zero would never end; a huge file would
// have to fit in memory. Both files are read only when they are regular and not too big.
TEST_F(SearchCommandTest, ExclusionAndSettingsFilesMustBeRegularFilesOfBoundedSize) {
    std::string ini = Put("program.ini", Settings("青禾", "*"));
    std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string hugeExclusion = folder.File("huge.txt");
    std::filesystem::resize_file(Put("huge.txt", ""), (256u << 20) + 1);
    std::string hugeIni = folder.File("huge.ini");
    std::filesystem::resize_file(Put("huge.ini", ""), (1u << 20) + 1);
    for (auto [arguments, refusal] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--ini", ini, "--exclude", fifo}, fifo + ": not a regular file"},
             {{"--ini", ini, "--exclude", "/dev/zero"}, "/dev/zero: not a regular file"},
             {{"--ini", ini, "--exclude", hugeExclusion}, hugeExclusion + ": larger than 256 MiB"},
             {{"--ini", fifo}, fifo},
             {{"--ini", hugeIni}, hugeIni},
             {{"watch", "--ini", ini, "--exclude", fifo}, fifo + ": not a regular file"},
             {{"watch", "--ini", fifo}, fifo}}) {
        if (arguments.front() != "watch")
            arguments.insert(arguments.begin(), "search");
        arguments.insert(arguments.begin(), QUORVEL_CLI);
        TProcessResult result = RunProcess(arguments, std::chrono::seconds(5));
        EXPECT_EQ(result.ExitStatus, 2) << arguments.back();
        EXPECT_EQ(result.Out, "") << arguments.back();
        EXPECT_NE(result.Err.find(refusal), std::string::npos) << result.Err;
    }
}

} // namespace
