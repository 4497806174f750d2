#include "app/AutoStart.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One Exec argument: always quoted, with the characters that stay special inside quotes
// escaped, then escaped once more as a desktop-entry string value.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';

    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the whole entry beside its final name and moves it into place.
bool ReplaceFile(const std::filesystem::path& target, const std::string& text) {
    std::string temporary = target.string() + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    // Every user's session reads the entry.
    bool written = fchmod(fd, 0644) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

} // namespace

std::filesystem::path RunningProgramPath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

std::string AutoStartEntryText(const std::filesystem::path& program) {
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=") +
           kAutoStartName + "\nExec=" + ExecArgument(program.string()) +
           "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

void SetAutoStart(const std::filesystem::path& folder, const std::filesystem::path& program) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    auto entry = folder / (std::string(kAutoStartName) + ".desktop");
    if (!ReplaceFile(entry, AutoStartEntryText(program)))
        throw EAutoStartError(kAutoStartName);
}
