#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// A directory of its own for one test, removed with everything in it at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes content to the file at relative, creating the folders on the way.
    void Write(const std::string& relative, const std::string& content) const;

private:
    std::filesystem::path path_;
};

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
int FreeLoopbackPort();

// The full path of an installed program (Debian's folders first, then PATH), or empty
// when it cannot be found.
std::string FindProgram(const std::string& name);

// A server program started for one test; it is stopped (SIGTERM, then waited for) when the
// object goes. The constructor returns once the server accepts connections on port.
class ServerProcess {
public:
    ServerProcess(const std::vector<std::string>& argv, int port,
                  const std::filesystem::path& logFile);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

private:
    pid_t pid_ = -1;
};
