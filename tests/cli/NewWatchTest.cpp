// quorvel-cli watch --new: a watch that reports each posting once, across restarts, and tells
// a hook. Run as a process against loopback boards whose postings change between searches; a
// settings interval that is none of the choices makes the watch tick every second.

#include "ChangingBoard.h"
#include "ChildProcess.h"
#include "DemoBoard.h"
#include "tests/support/TempFolder.h"

#include "cli/HookFailure.h"
#include "cli/HookRunner.h"
#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using watch::Gbk;
using TRows = TChangingBoard::TRows;

const std::string kCompany = "Larkspur";

std::string Link(const std::string& name) {
    return "http://board.invalid/job/" + name + ".html";
}

std::vector<std::string> LinksIn(const std::string& out) {
    std::vector<std::string> links;
    std::vector<std::string> lines = OutputLines(out);
    for (size_t i = 2; i < lines.size(); i += 4)
        links.push_back(lines[i]);
    return links;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// "2026-09-10T18:06:21+00:00", `days` days before now.
std::string IsoDaysAgo(int days) {
    std::time_t moment = std::time(nullptr) - std::time_t(days) * 24 * 3600;
    std::tm utc{};
    gmtime_r(&moment, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+00:00", &utc);
    return text;
}

// The links of a state file, checking that every line has its three fields.
std::vector<std::string> StateLinks(const std::string& bytes) {
    std::vector<std::string> links;
    for (const std::string& line : OutputLines(bytes)) {
        size_t first = line.find('\t');
        size_t second = line.find('\t', first + 1);
        EXPECT_TRUE(first == 25 && second == 51) << line;
        links.push_back(line.substr(second + 1));
    }
    return links;
}

class NewWatchTest : public ::testing::Test {
protected:
    std::vector<std::string> Watch(const std::string& board, std::vector<std::string> extra = {},
                                   const std::string& company = kCompany) {
        WriteFile(
            folder.File("program.ini"),
            Gbk("[pair]\r\ncom=" + company + "\r\nposition=*\r\n[SearchTime]\r\nvalue=tick\r\n"));
        std::vector<std::string> argv = {
            QUORVEL_CLI, "watch", "--new",   "--ini", folder.File("program.ini"),
            "--board",   board,   "--state", state};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return argv;
    }

    // Runs the watch until `searches` searches are over (the stamp line of the next one is
    // out), then stops it with SIGTERM.
    TProcessResult RunSearches(const std::vector<std::string>& argv, size_t searches) {
        bool sent = false;
        return RunProcess(
            argv, std::chrono::seconds(60),
            [this] {
                if (::chdir(folderPath.c_str()) != 0)
                    ::_exit(127);
            },
            [&](pid_t child, const TProcessResult& sofar) {
                if (sent || Count(sofar.Err, "] search\n") <= searches)
                    return;
                ::kill(child, SIGTERM);
                sent = true;
            });
    }

    TTempFolder folder;
    std::string folderPath = folder.Path().string();
    std::string state = folder.File("seen.tsv");
};

struct TRun {
    std::vector<std::optional<TRows>> Pages;
    size_t Searches;
    std::vector<std::string> Reported;
};

TEST_F(NewWatchTest, EachLinkIsReportedOnceAcrossSearchesAndRestarts) {
    const TRows ab = {{"Java A", Link("a")}, {"Java B", Link("b")}};
    const TRows abc = {{"Java A", Link("a")}, {"Java B", Link("b")}, {"Java C", Link("c")}};
    const TRows cd = {{"Java C", Link("c")}, {"Java D", Link("d")}};
    const TRows abcde = {{"Java A", Link("a")},
                         {"Java B", Link("b")},
                         {"Java C", Link("c")},
                         {"Java D", Link("d")},
                         {"Java E", Link("e")}};
    const std::vector<TRun> runs = {
        {{ab, abc, cd}, 3, {Link("a"), Link("b"), Link("c"), Link("d")}},
        {{abcde}, 2, {Link("e")}},
        {{std::nullopt, TRows{}, abcde}, 3, {}},
    };
    for (size_t i = 0; i < runs.size(); ++i) {
        TChangingBoard board(runs[i].Pages);
        TProcessResult result = RunSearches(Watch(board.HostAndPort()), runs[i].Searches);
        EXPECT_EQ(result.ExitStatus, 143) << "run " << i << ": " << result.Err;
        EXPECT_EQ(LinksIn(result.Out), runs[i].Reported) << "run " << i;
        EXPECT_EQ(OutputLines(result.Out).size(), runs[i].Reported.size() * 4) << "run " << i;
    }
    std::vector<std::string> remembered = StateLinks(ReadFile(state));
    EXPECT_EQ(std::set<std::string>(remembered.begin(), remembered.end()),
              (std::set<std::string>{Link("a"), Link("b"), Link("c"), Link("d"), Link("e")}));
}

TEST_F(NewWatchTest, ARowIsPrintedAsSearchPrintsItAndItsLinkKeptAsTheTerminalShowsIt) {
    const std::string link = "http://board.invalid/job/\x1b[2J\\x.html";
    TChangingBoard board({TRows{{"Java 开发", link}}});
    TProcessResult result = RunSearches(Watch(board.HostAndPort()), 1);
    const std::string shown = "http://board.invalid/job/\\x1b[2J\\\\x.html";
    EXPECT_EQ(result.Out, kCompany + "\nJava 开发\n" + shown + "\n===== =====\n");
    EXPECT_EQ(StateLinks(ReadFile(state)), std::vector<std::string>{shown});
}

// A TAB stays in a printed link, and a row whose link has no end marker has an empty one;
// both are remembered and read back.
TEST_F(NewWatchTest, UnusualLinksAreRememberedAndReadBackByTheNextWatch) {
    const TRows rows = {{"Java tab", "http://board.invalid/job/a\tb.html"},
                        {"Java no end", "http://board.invalid/job/1.php"},
                        {"Java no end either", "http://board.invalid/job/2.php"}};
    for (size_t run = 0; run < 2; ++run) {
        TChangingBoard board({rows});
        TProcessResult result = RunSearches(Watch(board.HostAndPort()), 1);
        EXPECT_EQ(result.ExitStatus, 143) << result.Err;
        const std::vector<std::string> expected = {"http://board.invalid/job/a\tb.html", ""};
        EXPECT_EQ(LinksIn(result.Out), run == 0 ? expected : std::vector<std::string>{})
            << "run " << run;
    }
}

TEST_F(NewWatchTest, LinksNotFoundForNinetyDaysAreDropped) {
    struct TEntry {
        std::string Link;
        int DaysAgo;
        bool OnBoard;
        bool Kept;
    };
    const std::vector<TEntry> entries = {
        {Link("gone-long"), 91, false, false},
        {Link("gone-a-while"), 89, false, true},
        {Link("back-again"), 200, true, true},
    };
    std::string bytes;
    TRows rows;
    for (const TEntry& entry : entries) {
        bytes += IsoDaysAgo(entry.DaysAgo + 10) + "\t" + IsoDaysAgo(entry.DaysAgo) + "\t" +
                 entry.Link + "\n";
        if (entry.OnBoard)
            rows.push_back({"Java", entry.Link});
    }
    WriteFile(state, bytes);
    TChangingBoard board({rows});
    TProcessResult result = RunSearches(Watch(board.HostAndPort()), 1);
    EXPECT_EQ(result.Out, "") << "a remembered link is not reported again";
    std::string after = ReadFile(state);
    for (const TEntry& entry : entries)
        EXPECT_EQ(after.find(entry.Link) != std::string::npos, entry.Kept) << entry.Link;
}

TEST_F(NewWatchTest, WithoutStateTheFileIsInTheUsersStateFolderCreatedPrivate) {
    struct TPlace {
        std::string Variable;
        std::string Folder; // under the test's folder
    };
    const std::vector<TPlace> places = {
        {"XDG_STATE_HOME=" + folder.File("xdg"), "xdg/quorvel"},
        {"HOME=" + folder.File("home"), "home/.local/state/quorvel"},
    };
    for (const TPlace& place : places) {
        SCOPED_TRACE(place.Variable);
        TChangingBoard board({TRows{{"Java", Link("a")}}});
        std::vector<std::string> argv = Watch(board.HostAndPort());
        argv.resize(argv.size() - 2); // no --state
        argv.insert(argv.begin(), {"/usr/bin/env", "-u", "XDG_STATE_HOME", place.Variable});
        TProcessResult result = RunSearches(argv, 1);
        EXPECT_EQ(result.ExitStatus, 143) << result.Err;
        std::string stateFolder = folder.File(place.Folder);
        struct stat info {};
        ASSERT_EQ(::stat(stateFolder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(StateLinks(ReadFile(stateFolder + "/seen.tsv")),
                  std::vector<std::string>{Link("a")});
    }
}

struct TRefusal {
    std::string Name;
    std::function<void(const std::string& state)> Prepare;
    std::string Message;
};

TEST_F(NewWatchTest, AStateFileThatCannotBeUsedIsReportedAndLeftAlone) {
    const std::string line = IsoDaysAgo(1) + "\t" + IsoDaysAgo(0) + "\t" + Link("a") + "\n";
    int lockFd = -1;
    const std::vector<TRefusal> refusals = {
        {"a line without its fields", [](const std::string& s) { WriteFile(s, "garbage\n"); },
         "damaged state file"},
        {"a month 13",
         [](const std::string& s) {
             WriteFile(s, "2026-13-01T00:00:00+00:00\t2026-12-01T00:00:00+00:00\thttp://x/\n");
         },
         "damaged state file"},
        {"a last line cut short",
         [&](const std::string& s) { WriteFile(s, line + line.substr(0, 30)); },
         "damaged state file"},
        {"a link listed twice", [&](const std::string& s) { WriteFile(s, line + line); },
         "damaged state file"},
        {"a folder", [](const std::string& s) { std::filesystem::create_directory(s); },
         "not a regular file"},
        {"a FIFO", [](const std::string& s) { ::mkfifo(s.c_str(), 0600); }, "not a regular file"},
        {"another watch holds the lock",
         [&](const std::string& s) {
             WriteFile(s, line);
             lockFd = ::open((s + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
             ASSERT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0);
         },
         "another watch is using"},
    };
    for (size_t i = 0; i < refusals.size(); ++i) {
        SCOPED_TRACE(refusals[i].Name);
        state = folder.File("state" + std::to_string(i) + ".tsv");
        refusals[i].Prepare(state);
        bool regular = std::filesystem::is_regular_file(state);
        std::string before = regular ? ReadFile(state) : "";
        TChangingBoard board({TRows{{"Java", Link("new")}}});
        TProcessResult result = RunProcess(Watch(board.HostAndPort()), std::chrono::seconds(10));
        EXPECT_EQ(result.ExitStatus, 2);
        EXPECT_NE(result.Err.find(refusals[i].Message), std::string::npos) << result.Err;
        EXPECT_NE(result.Err.find(state), std::string::npos) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(board.Searches(), 0);
        if (regular) {
            EXPECT_EQ(ReadFile(state), before);
        }
    }
    ::close(lockFd);
}

TEST_F(NewWatchTest, OptionsOfTheLastingWatchAloneOrMalformedAreRefused) {
    const std::vector<std::vector<std::string>> commandLines = {
        {"watch", "--state", "x.tsv"},
        {"watch", "--exec", "true"},
        {"watch", "--alert-after", "2"},
        {"watch", "--new", "--alert-after", "0"},
        {"watch", "--new", "--alert-after", "x"},
        {"watch", "--new", "--exec", ""},
        {"watch", "--new", "--state"},
        {"search", "--new"},
    };
    for (const auto& commandLine : commandLines) {
        std::vector<std::string> argv = {QUORVEL_CLI};
        argv.insert(argv.end(), commandLine.begin(), commandLine.end());
        TProcessResult result = RunProcess(argv, std::chrono::seconds(10));
        EXPECT_EQ(result.ExitStatus, 2) << commandLine[1] << " " << commandLine.back();
        EXPECT_NE(result.Err.find("usage:"), std::string::npos) << result.Err;
    }
}

// A kill -9 at any moment, a save included, leaves a state file that the next watch reads,
// holding only links that were printed; the next watch prints exactly the others.
TEST_F(NewWatchTest, AKillAtAnyMomentNeitherLosesNorRepeatsAReportedLink) {
    TDemoBoard& demo = SharedDemoBoard();
    for (int delayUs : {0, 200, 1000, 3000, 10000, 30000}) {
        SCOPED_TRACE("killed " + std::to_string(delayUs) + " us after the first find");
        state = folder.File("kill" + std::to_string(delayUs) + ".tsv");
        std::vector<std::string> argv = Watch(demo.HostAndPort(), {}, "青禾");
        bool killed = false;
        TProcessResult first = RunProcess(
            argv, std::chrono::seconds(30), {}, [&](pid_t child, const TProcessResult& sofar) {
                if (killed || sofar.Out.empty())
                    return;
                std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
                ::kill(child, SIGKILL);
                killed = true;
            });
        ASSERT_EQ(first.ExitStatus, -1);
        std::vector<std::string> printed = LinksIn(first.Out);
        std::set<std::string> remembered;
        if (std::filesystem::exists(state))
            for (const std::string& link : StateLinks(ReadFile(state)))
                remembered.insert(link);
        for (const std::string& link : remembered)
            EXPECT_NE(std::find(printed.begin(), printed.end(), link), printed.end()) << link;

        TProcessResult second = RunSearches(argv, 1);
        ASSERT_EQ(second.ExitStatus, 143) << second.Err;
        std::vector<std::string> reprinted = LinksIn(second.Out);
        EXPECT_EQ(remembered.size() + reprinted.size(), 54u);
        for (const std::string& link : reprinted)
            EXPECT_EQ(remembered.count(link), 0u) << link;
    }
}

// The hook's record of its runs: the values it saw, each ended by an RS byte (0x1e, which no
// title here holds), `fields` of them per run.
std::vector<std::vector<std::string>> HookRecords(const std::string& bytes, size_t fields) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    size_t start = 0;
    for (size_t end = bytes.find('\x1e'); end != std::string::npos;
         end = bytes.find('\x1e', start)) {
        record.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (record.size() == fields) {
            records.push_back(record);
            record.clear();
        }
    }
    return records;
}

TEST_F(NewWatchTest, TheHookGetsEachNewRowInItsEnvironmentAndNeverAsShellText) {
    const std::vector<std::string> titles = {
        "Java $(touch pwned)", "Java `touch pwned`; touch pwned", "Java \"quoted\" 'single'",
        "Java first\nsecond",  "Java \x07\x1b[31mred\x7f",        "Java 北京 \\ backslash",
    };
    TRows rows;
    for (size_t i = 0; i < titles.size(); ++i)
        rows.push_back({titles[i], Link(std::to_string(i) + "-$(id)")});
    TChangingBoard board({rows});
    const std::string hook =
        "printf '%s\\036' \"$QUORVEL_EVENT\" \"$QUORVEL_COMPANY\" \"$QUORVEL_TITLE\" "
        "\"$QUORVEL_LINK\" \"$(wc -c)\" >> hook.rec; echo hook-said; exit 7";
    TProcessResult result = RunSearches(Watch(board.HostAndPort(), {"--exec", hook}), 2);
    EXPECT_EQ(result.ExitStatus, 143) << result.Err;
    std::vector<std::vector<std::string>> records =
        HookRecords(ReadFile(folder.File("hook.rec")), 5);
    ASSERT_EQ(records.size(), titles.size())
        << "once per new row, not again" << result.Out << result.Err;
    for (size_t i = 0; i < titles.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i],
                  (std::vector<std::string>{"new", kCompany, titles[i], rows[i].second, "0"}));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("pwned")));
    EXPECT_EQ(Count(result.Out, "hook-said"), 0u);
    EXPECT_EQ(Count(result.Err, "hook-said\n"), titles.size());
    EXPECT_EQ(Count(result.Err, "the hook failed: exit status 7\n"), titles.size());
    EXPECT_EQ(LinksIn(result.Out).size(), titles.size());
}

struct TAlertCase {
    int AlertAfter;
    std::string Searches; // F: a fetch fails, o: the board answers
    std::vector<std::string> Events;
    // Index of the search that the failing line names as the first of the run.
    size_t FailingSince;
};

TEST_F(NewWatchTest, AFailingBoardIsToldOnceAndItsRecoveryOnce) {
    const std::vector<TAlertCase> cases = {
        {2, "FFFooF", {"failing", "recovered"}, 0},
        {3, "FFoFFFFo", {"failing", "recovered"}, 3},
        {1, "oFo", {"failing", "recovered"}, 1},
        {3, "FFoFFo", {}, 0},
    };
    for (size_t c = 0; c < cases.size(); ++c) {
        const TAlertCase& alert = cases[c];
        SCOPED_TRACE("alert after " + std::to_string(alert.AlertAfter) + ", " + alert.Searches);
        state = folder.File("alert" + std::to_string(c) + ".tsv");
        std::string record = "alert" + std::to_string(c) + ".rec";
        std::vector<std::optional<TRows>> pages;
        for (char search : alert.Searches)
            pages.push_back(search == 'F' ? std::nullopt : std::optional<TRows>(TRows{}));
        // The search under way when the stop comes finds a clean board.
        pages.push_back(TRows{});
        TChangingBoard board(pages);
        std::string hook = "printf '%s\\036' \"$QUORVEL_EVENT\" \"$QUORVEL_MESSAGE\" >> " + record;
        TProcessResult result =
            RunSearches(Watch(board.HostAndPort(),
                              {"--exec", hook, "--alert-after", std::to_string(alert.AlertAfter)}),
                        alert.Searches.size());
        EXPECT_EQ(result.ExitStatus, 143) << result.Err;
        std::vector<std::string> events;
        std::string path = folder.File(record);
        for (const auto& r : HookRecords(std::filesystem::exists(path) ? ReadFile(path) : "", 2))
            events.push_back(r[0]);
        EXPECT_EQ(events, alert.Events);
        EXPECT_EQ(Count(result.Err, "quorvel-cli: the board has been failing since "),
                  alert.Events.empty() ? 0u : 1u)
            << result.Err;
        EXPECT_EQ(Count(result.Err, "quorvel-cli: the board answers again since "),
                  alert.Events.empty() ? 0u : 1u)
            << result.Err;
        if (alert.Events.empty())
            continue;
        std::vector<std::string> stamps;
        for (const std::string& line : OutputLines(result.Err))
            if (line.size() > 8 && line.substr(line.size() - 8) == "] search")
                stamps.push_back(line.substr(1, line.size() - 9));
        ASSERT_GT(stamps.size(), alert.FailingSince);
        EXPECT_NE(result.Err.find("failing since " + stamps[alert.FailingSince] + " ("),
                  std::string::npos)
            << result.Err;
    }
}

struct THookCase {
    std::string Command;
    std::string Failure; // empty: none
};

TEST(HookRunnerTest, AHookThatFailsOrHangsIsReportedAndAHangingOneKilledWithItsChildren) {
    TTempFolder folder;
    const std::string pidFile = folder.File("child.pid");
    const std::vector<THookCase> cases = {
        {"true", ""},
        {"test \"$QUORVEL_EVENT\" = new", ""},
        {"exit 3", "the hook failed: exit status 3"},
        {"kill -KILL $$", "the hook failed: killed by signal 9"},
        {"sleep 30", "the hook ran longer than 300 ms and was killed"},
        {"sleep 30 & echo $! > " + pidFile + "; wait",
         "the hook ran longer than 300 ms and was killed"},
    };
    for (const THookCase& hook : cases) {
        SCOPED_TRACE(hook.Command);
        THookRunner runner(hook.Command, std::chrono::milliseconds(300));
        std::string failure;
        auto started = std::chrono::steady_clock::now();
        try {
            runner.Run({{"QUORVEL_EVENT", "new"}});
        } catch (const EHookFailure& error) {
            failure = error.what();
        }
        EXPECT_EQ(failure, hook.Failure);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    }
    // The hook's own child went with it.
    pid_t grandchild = std::stoi(ReadFile(pidFile));
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i) {
        gone = ::kill(grandchild, 0) != 0 && errno == ESRCH;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
}

} // namespace
