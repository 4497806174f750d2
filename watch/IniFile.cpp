#include "watch/IniFile.h"

#include "watch/IniFileException.h"
#include "watch/MarkerText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace watch {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return LowerAscii(a) == LowerAscii(b);
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

bool IsHeaderOf(const std::string& line, const std::string& section) {
    std::optional<std::string> name = SectionName(line);
    return name && SameName(*name, section);
}

bool IsKeyLine(const std::string& line, const std::string& key) {
    size_t equals = line.find('=');
    return equals != std::string::npos && SameName(Trim(line.substr(0, equals)), key);
}

bool WriteAll(int fd, const std::string& data) {
    size_t written = 0;
    while (written < data.size()) {
        ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

// Keeps the permissions of the file being replaced; a new file gets rw-r--r--.
mode_t ModeFor(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0644;
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    std::optional<std::vector<std::string>> lines = ReadLines();
    if (!lines)
        return defaultValue;
    bool inSection = false;
    for (const std::string& line : *lines) {
        if (std::optional<std::string> name = SectionName(line)) {
            inSection = SameName(*name, section);
        } else if (inSection && IsKeyLine(line, key)) {
            return line.substr(line.find('=') + 1, MaxValueLength);
        }
    }
    return defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    std::optional<std::vector<std::string>> read = ReadLines();
    // A file that exists but cannot be read must not be replaced by this one value.
    if (!read && ::access(path_.c_str(), F_OK) == 0)
        throw EIniFileException(path_);
    std::vector<std::string> lines = read.value_or(std::vector<std::string>{});
    std::string entry = key + "=" + value;

    size_t header = 0;
    while (header < lines.size() && !IsHeaderOf(lines[header], section))
        ++header;
    if (header == lines.size()) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
        ReplaceFile(lines);
        return;
    }

    // New keys go after the section's last non-blank line, before any blank separator.
    size_t insertAt = header + 1;
    for (size_t i = header + 1; i < lines.size() && !SectionName(lines[i]); ++i) {
        if (IsKeyLine(lines[i], key)) {
            lines[i] = entry;
            ReplaceFile(lines);
            return;
        }
        if (!Trim(lines[i]).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    ReplaceFile(lines);
}

// The file's lines without their line ends, or nothing when it cannot be read.
std::optional<std::vector<std::string>> TIniFile::ReadLines() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (in.bad())
        return std::nullopt;
    return lines;
}

void TIniFile::ReplaceFile(const std::vector<std::string>& lines) const {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";

    std::string temporary = path_ + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw EIniFileException(path_);
    bool written = ::fchmod(fd, ModeFor(path_)) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw EIniFileException(path_);
    }
}

} // namespace watch
