#include "app/AutoStart.h"

#include <QByteArrayView>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Desktops refuse an entry whose text is not UTF-8, and with it the program's start.
bool IsUtf8(const std::string& text) {
    return QByteArrayView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8();
}

// One byte of an Exec value, escaped as a desktop-entry string value. A string value holds
// no control byte; TAB, CR and LF have escapes, the others (ESC, ...) cannot be written and
// refuse the entry.
std::string EntryValueByte(char c) {
    switch (c) {
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case '\r':
        return "\\r";
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            throw EAutoStartError(kAutoStartName);
        return std::string(1, c);
    }
}

// One Exec argument: always quoted, with the characters that stay special inside quotes
// escaped, "%" doubled so that it is no field code, then escaped once more as a
// desktop-entry string value.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c == '%' ? "%%" : std::string(1, c);
    }
    quoted += '"';

    std::string value;
    for (char c : quoted)
        value += EntryValueByte(c);
    return value;
}

// Launchers look for the program named first before they turn "%%" back into "%", and so
// cannot find a program whose path holds one; "env" finds it for them.
std::string ExecLine(const std::string& program) {
    std::string argument = ExecArgument(program);
    return program.find('%') == std::string::npos ? argument : "env " + argument;
}

// Empty when the user has none.
std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : std::filesystem::path();
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
    // An ordinary file's permissions, not the private ones of a temporary file.
    bool written = fchmod(fd, 0644) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

} // namespace

std::filesystem::path UserAutoStartFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return std::filesystem::path(configHome) / "autostart";
    std::filesystem::path home = HomeFolder();
    return home.empty() ? home : home / ".config" / "autostart";
}

std::filesystem::path RunningProgramPath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

std::string AutoStartEntryText(const std::filesystem::path& program) {
    if (!IsUtf8(program.string()))
        throw EAutoStartError(kAutoStartName);
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=") +
           kAutoStartName + "\nExec=" + ExecLine(program.string()) +
           "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

void SetAutoStart(const std::filesystem::path& folder, const std::filesystem::path& program) {
    if (folder.empty())
        throw EAutoStartError(kAutoStartName);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    auto entry = folder / (std::string(kAutoStartName) + ".desktop");
    if (!ReplaceFile(entry, AutoStartEntryText(program)))
        throw EAutoStartError(kAutoStartName);
}
