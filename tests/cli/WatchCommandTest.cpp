// quorvel-cli watch: the window's polling without the window. The ticks are driven in process
// through a scripted wait (the shortest polling choice is two minutes); the first-search
// find and the stop signals are tried on the real tool.

#include "ChildProcess.h"
#include "DemoBoard.h"
#include "LoopbackPort.h"
#include "tests/support/TempFolder.h"

#include "cli/SearchCommand.h"
#include "cli/TickWait.h"
#include "cli/WatchCommand.h"
#include "tests/support/ScriptedPeer.h"
#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <deque>
#include <signal.h>
#include <sstream>
#include <thread>

namespace {

using Peer = TScriptedPeer;
using watch::Gbk;

const std::string kHeadEnd = "\r\n\r\n";

// True when `line` is a stamp line: "[YYYY-MM-DD hh:mm:ss +zzzz] search".
bool IsTimeStamp(const std::string& line) {
    const std::string shape = "[9999-99-99 99:99:99 +9999] search";
    if (line.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const char c = line[i];
        const bool fits = shape[i] == '9'   ? (c >= '0' && c <= '9')
                          : shape[i] == '+' ? (c == '+' || c == '-')
                                            : c == shape[i];
        if (!fits) return false;
    }
    return true;
}

// Lets the watch's waits pass as the test says: each step is the time that one wait lets
// pass, or a stop signal that ends it.
class TScriptedWait : public ITickWait {
public:
    struct TStep {
        std::int64_t Passes = 0;
        int Signal = 0;
    };
    explicit TScriptedWait(std::deque<TStep> steps) : steps_(std::move(steps)) {}

    std::int64_t WaitAtMost(std::int64_t milliseconds) override {
        Asked.push_back(milliseconds);
        if (steps_.empty()) {
            ADD_FAILURE() << "the watch waited once more than the test let it";
            stopSignal_ = SIGTERM;
            return 0;
        }
        TStep step = steps_.front();
        steps_.pop_front();
        stopSignal_ = step.Signal;
        return step.Passes;
    }
    int StopSignal() override { return stopSignal_; }

    // What each wait was asked for, in order.
    std::vector<std::int64_t> Asked;

private:
    std::deque<TStep> steps_;
    int stopSignal_ = 0;
};

std::string Response(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A result page of the board with the given rows ({title, link}) and an optional next page.
std::string ResultPage(const std::vector<std::pair<std::string, std::string>>& rows,
                       const std::string& nextPage = "") {
    std::string page = "<html>";
    if (!nextPage.empty())
        page += "<td class=\"navBold\">1</td><td><img src=\"/images/pageron.gif\" />"
                "<a href=\"" +
                nextPage + "\">next</a></td>";
    page += "<div class=\"resultListDiv\"><table><tr><th>head</th></tr>";
    for (const auto& [title, link] : rows)
        page += "<tr><td class=\"td1\"><a href=\"" + link + "\" target=\"_blank\" >" + title +
                "</a></td><td class=\"td2\">company</td></tr>";
    return page + "</table></div><div class=\"bt_center clearboth\"></div></html>";
}

std::string Settings(const std::string& company, const std::string& interval) {
    return Gbk("[pair]\r\ncom=" + company +
               "\r\nposition=java\r\n[SearchTime]\r\nvalue=" + interval + "\r\n");
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class WatchCommandTest : public ::testing::Test {
protected:
    TSearchOptions Options(const std::string& settings, int boardPort) {
        WriteFile(folder.File("program.ini"), settings);
        TSearchOptions options;
        options.IniFile = folder.File("program.ini");
        options.Board = "127.0.0.1:" + std::to_string(boardPort);
        return options;
    }

    int Watch(const TSearchOptions& options, TScriptedWait& wait) {
        return RunWatch(options, wait, out, err);
    }

    TTempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(WatchCommandTest, SearchesAtOnceThenAfterEachFullIntervalUntilSomethingIsFound) {
    const std::string link = "http://board.invalid/job/1.html";
    Peer board({{Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage({}))),
                 Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage({{"Java", link}})))}});
    // A wait that ends early (another signal, say) is followed by one for the rest.
    TScriptedWait wait({{50000}, {70000}});
    EXPECT_EQ(Watch(Options(Settings("Larkspur", "2分钟(仅供测试)"), board.Port()), wait), 0);
    EXPECT_EQ(wait.Asked, (std::vector<std::int64_t>{120000, 70000}));
    EXPECT_EQ(out.str(), "Larkspur\nJava\n" + link + "\n===== =====\n");
    std::vector<std::string> errLines = OutputLines(err.str());
    ASSERT_EQ(errLines.size(), 2u) << err.str();
    for (const std::string& line : errLines)
        EXPECT_TRUE(IsTimeStamp(line)) << line;
    EXPECT_EQ(board.AcceptedCount(), 1);
}

TEST_F(WatchCommandTest, FailuresPrintTheProgramsMessageAndPollingGoesOn) {
    TLoopbackPort refusing = TLoopbackPort::Refusing();
    TScriptedWait wait({{3600000}, {3600000}, {0, SIGINT}});
    EXPECT_EQ(Watch(Options(Settings("Larkspur", "1小时"), std::stoi(refusing.Port())), wait), 130);
    EXPECT_EQ(wait.Asked, (std::vector<std::int64_t>{3600000, 3600000, 3600000}));
    EXPECT_EQ(out.str(), "");
    std::vector<std::string> errLines = OutputLines(err.str());
    ASSERT_EQ(errLines.size(), 6u) << err.str();
    for (size_t search = 0; search < 3; ++search) {
        EXPECT_TRUE(IsTimeStamp(errLines[search * 2])) << errLines[search * 2];
        EXPECT_EQ(errLines[search * 2 + 1], "出现网络问题！请检查您的网络连接情况。");
    }
}

TEST_F(WatchCommandTest, NoCompletePairShowsTheMessageAndNeverWaits) {
    TScriptedWait wait({});
    EXPECT_EQ(Watch(Options(Settings("  ", "半小时"), 9), wait), 1);
    EXPECT_TRUE(wait.Asked.empty());
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "请至少输入一组公司名、职位名关键字！\n");
}

// The real tool, as a service manager or a shell runs it.
class WatchProcessTest : public ::testing::Test {
protected:
    std::vector<std::string> Watch(const std::string& settings, const std::string& board) {
        WriteFile(folder.File("program.ini"), settings);
        return {QUORVEL_CLI, "watch", "--ini", folder.File("program.ini"), "--board", board};
    }

    TTempFolder folder;
};

TEST_F(WatchProcessTest, AFirstSearchThatFindsSomethingEndsWithStatusZero) {
    TDemoBoard& board = SharedDemoBoard();
    TProcessResult result =
        RunProcess(Watch(Gbk("[pair]\ncom=青禾\nposition=*\n"), board.HostAndPort()));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(OutputLines(result.Out).size(), 54u * 4);
    ASSERT_EQ(OutputLines(result.Err).size(), 1u) << result.Err;
    EXPECT_TRUE(IsTimeStamp(OutputLines(result.Err)[0])) << result.Err;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

TEST_F(WatchProcessTest, SigintAndSigtermEndTheWaitBetweenTicksAtOnce) {
    Peer board({{Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage({})))},
                {Peer::ExpectUntil(kHeadEnd), Peer::Send(Response(ResultPage({})))}});
    std::vector<std::string> argv =
        Watch(Settings("Larkspur", "半小时"), "127.0.0.1:" + std::to_string(board.Port()));
    for (auto [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        size_t run = signal == SIGINT ? 0 : 1;
        bool sent = false;
        // Once the search is answered the tool sits in a half-hour wait; only the signal can
        // end it before the time limit of the run.
        TProcessResult result =
            RunProcess(argv, std::chrono::seconds(10), {}, [&](pid_t child, const TProcessResult&) {
                if (sent || !board.WaitForScript(run, 5000))
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                ::kill(child, signal);
                sent = true;
            });
        EXPECT_EQ(result.ExitStatus, status) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(OutputLines(result.Err).size(), 1u) << result.Err;
    }
}

TEST_F(WatchProcessTest, AStopDuringAFetchGivesItUpAndFetchesNoFurtherPage) {
    const std::string link = "http://board.invalid/job/1.html";
    Peer board({{Peer::ExpectUntil(kHeadEnd), Peer::Pause(1000),
                 Peer::Send(Response(ResultPage({{"Java", link}}, "search_result.php?page=2")))}});
    bool sent = false;
    TProcessResult result = RunProcess(
        Watch(Settings("Larkspur", "半小时"), "127.0.0.1:" + std::to_string(board.Port())),
        std::chrono::seconds(10), {}, [&](pid_t child, const TProcessResult&) {
            if (sent || !WaitUntil([&] { return !board.Received(0).empty(); }))
                return;
            ::kill(child, SIGTERM);
            sent = true;
        });
    EXPECT_EQ(result.ExitStatus, 143) << result.Err;
    EXPECT_EQ(Count(board.Received(0), "GET "), 1u);
    EXPECT_EQ(board.AcceptedCount(), 1);
    // The page that was on its way when the stop came is no answer of the search.
    EXPECT_EQ(result.Out, "");
}

} // namespace
