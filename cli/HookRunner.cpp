#include "cli/HookRunner.h"

#include "cli/HookFailure.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

// An environment cannot carry a NUL byte; it is written as the terminal would show it.
std::string WithoutNul(const std::string& value) {
    std::string kept;
    for (char c : value)
        kept += c == '\0' ? std::string("\\x00") : std::string(1, c);
    return kept;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Between fork and exec only system calls: the child gets the signals the tool blocks or
// ignores back, its own process group, an empty input and the tool's error for its output.
[[noreturn]] void ExecShell(char** argv, char** envp) {
    ::setpgid(0, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &fallback, nullptr);
    int input = ::open("/dev/null", O_RDONLY);
    if (input < 0 || ::dup2(input, 0) < 0 || ::dup2(2, 1) < 0)
        ::_exit(127);
    ::execve("/bin/sh", argv, envp);
    ::_exit(127);
}

std::string Describe(int status) {
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

std::string LimitText(std::chrono::milliseconds limit) {
    if (limit.count() % 1000 == 0)
        return std::to_string(limit.count() / 1000) + " s";
    return std::to_string(limit.count()) + " ms";
}

} // namespace

THookRunner::THookRunner(std::string command, std::chrono::milliseconds limit)
    : command_(std::move(command)), limit_(limit) {}

std::vector<std::string> THookRunner::Environment(const TVariables& variables) const {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string name = NameOf(*entry);
        bool replaced = false;
        for (const auto& variable : variables)
            replaced = replaced || variable.first == name;
        if (!replaced)
            environment.emplace_back(*entry);
    }
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + WithoutNul(value));
    return environment;
}

void THookRunner::Run(const TVariables& variables) const {
    std::vector<std::string> argvTexts = {"sh", "-c", command_};
    std::vector<std::string> envTexts = Environment(variables);
    std::vector<char*> argv = Pointers(argvTexts);
    std::vector<char*> envp = Pointers(envTexts);
    pid_t child = ::fork();
    if (child < 0)
        throw EHookFailure(std::string("cannot start the hook: ") + std::strerror(errno));
    if (child == 0)
        ExecShell(argv.data(), envp.data());
    // Also here, so that a kill at the limit finds the group even if the child is slow.
    ::setpgid(child, child);
    int status = WaitWithin(child);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw EHookFailure("the hook failed: " + Describe(status));
}

int THookRunner::WaitWithin(int child) const {
    // The C library's header for this call is not usable from C++ here.
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    if (pidfd < 0) {
        int error = errno;
        ::kill(-child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        throw EHookFailure(std::string("cannot watch the hook: ") + std::strerror(error));
    }
    Clock::time_point deadline = Clock::now() + limit_;
    bool ended = false;
    while (!ended) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd watch{pidfd, POLLIN, 0};
        ended = ::poll(&watch, 1, static_cast<int>(left.count())) > 0;
    }
    ::close(pidfd);
    if (!ended)
        ::kill(-child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended)
        throw EHookFailure("the hook ran longer than " + LimitText(limit_) + " and was killed");
    return status;
}
