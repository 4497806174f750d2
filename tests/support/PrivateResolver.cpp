#include "tests/support/PrivateResolver.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr int kCannotIsolate = 77;

bool BindOver(const std::string& file, const char* target) {
    return ::mount(file.c_str(), target, nullptr, MS_BIND, nullptr) == 0;
}

bool Exists(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0;
}

} // namespace

// Without /etc/resolv.conf the resolver asks loopback already, so there is nothing to cover.
// A name service cache would answer from the machine's own configuration: its folder is
// covered with an empty one.
bool TPrivateResolver::Isolate() const {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           BindOver(folder_.File("hosts"), "/etc/hosts") &&
           BindOver(folder_.File("nsswitch.conf"), "/etc/nsswitch.conf") &&
           (!Exists("/var/run/nscd") || BindOver(folder_.File("nscd"), "/var/run/nscd")) &&
           (!Exists("/etc/resolv.conf") ||
            BindOver(folder_.File("resolv.conf"), "/etc/resolv.conf"));
}

std::optional<std::string> TPrivateResolver::Run(const std::string& hosts,
                                                 const std::function<std::string()>& check) {
    if (::geteuid() != 0)
        return std::nullopt;
    WriteFile(folder_.File("hosts"), hosts);
    std::filesystem::create_directory(folder_.File("nscd"));
    WriteFile(folder_.File("nsswitch.conf"), "hosts: files\n");
    WriteFile(folder_.File("resolv.conf"), "nameserver 127.0.0.1\noptions timeout:1 attempts:1\n");
    int report[2];
    if (::pipe(report) != 0)
        throw std::runtime_error("Cannot make a pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        if (!Isolate())
            ::_exit(kCannotIsolate);
        std::string text;
        try {
            text = check();
        } catch (const std::exception& failure) {
            text = std::string("raised: ") + failure.what();
        }
        (void)!::write(report[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string text;
    char buffer[512];
    for (ssize_t count; (count = ::read(report[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(count));
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotIsolate)
        return std::nullopt;
    if (!WIFEXITED(status))
        throw std::runtime_error("The child did not end normally");
    return text;
}
