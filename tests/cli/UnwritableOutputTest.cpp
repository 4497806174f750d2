// Standard output or error that cannot be written, as cron and service managers leave them:
// the tool run as a process against the demo job board.

#include "ChildProcess.h"
#include "DemoBoard.h"
#include "tests/support/TempFolder.h"

#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// What stands at a standard stream's number when the tool starts. Each runs in the child.
struct TSink {
    const char* Name;
    void (*Install)(int fd);
    int Errno;
};

void Closed(int fd) {
    ::close(fd);
}

void FullDevice(int fd) {
    int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, fd);
    ::close(full);
}

// A pipe whose reader has gone, with SIGPIPE's default action as a shell leaves it.
void ReaderGone(int fd) {
    int ends[2];
    if (::pipe(ends) != 0)
        ::_exit(120);
    ::close(ends[0]);
    ::dup2(ends[1], fd);
    ::close(ends[1]);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &action, nullptr);
}

const TSink kSinks[] = {
    {"closed", Closed, EBADF},
    {"full", FullDevice, ENOSPC},
    {"readerGone", ReaderGone, EPIPE},
};

class UnwritableOutputTest : public ::testing::Test {
protected:
    // A command of the tool that prints something on standard output when it can.
    std::vector<std::string> Command(const std::string& name) {
        const std::string board = SharedDemoBoard().HostAndPort();
        if (name == "get")
            return {QUORVEL_CLI, "get", "http://" + board + "/announce.html"};
        WriteFile(folder.File("program.ini"), watch::Gbk("[pair]\ncom=青禾\nposition=*\n"));
        return {QUORVEL_CLI, name, "--ini", folder.File("program.ini"), "--board", board};
    }

    TTempFolder folder;
};

TEST_F(UnwritableOutputTest, AStandardOutputThatTakesNoWriteEndsEveryCommandWithStatusThree) {
    for (const char* command : {"search", "watch", "get"}) {
        for (const TSink& sink : kSinks) {
            SCOPED_TRACE(std::string(command) + " with standard output " + sink.Name);
            TProcessResult result =
                RunProcess(Command(command), std::chrono::seconds(30), [&] { sink.Install(1); });
            EXPECT_EQ(result.ExitStatus, 3) << result.Err;
            const std::string message = std::string("quorvel-cli: cannot write standard output: ") +
                                        std::strerror(sink.Errno) + "\n";
            EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
        }
    }
}

TEST_F(UnwritableOutputTest, AStandardErrorThatTakesNoWriteLeavesTheFindsAndTheStatus) {
    for (const char* command : {"search", "watch"}) {
        for (const TSink& sink : kSinks) {
            SCOPED_TRACE(std::string(command) + " with standard error " + sink.Name);
            TProcessResult result =
                RunProcess(Command(command), std::chrono::seconds(30), [&] { sink.Install(2); });
            EXPECT_EQ(result.ExitStatus, 0);
            EXPECT_EQ(OutputLines(result.Out).size(), 54u * 4);
        }
    }
}

TEST_F(UnwritableOutputTest, TheLastingWatchRemembersNoRowItCouldNotPrint) {
    for (const TSink& sink : kSinks) {
        SCOPED_TRACE(std::string("watch --new with standard output ") + sink.Name);
        std::vector<std::string> command = Command("watch");
        const std::string state = folder.File(std::string(sink.Name) + ".tsv");
        command.insert(command.begin() + 2, {"--new", "--state", state});
        TProcessResult result =
            RunProcess(command, std::chrono::seconds(30), [&] { sink.Install(1); });
        EXPECT_EQ(result.ExitStatus, 3) << result.Err;
        EXPECT_EQ(ReadFile(state), "");
    }
}

} // namespace
