#include "watch/IniFile.h"

#include "watch/FileDescriptor.h"
#include "watch/IniFileException.h"
#include "watch/IniFileReadException.h"
#include "watch/MarkerText.h"
#include "watch/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace watch {
namespace {

// Symbolic links followed before giving up, as the system itself does.
constexpr int MaxLinkHops = 40;

bool WriteAll(int fd, const std::string& data) {
    size_t written = 0;
    while (written < data.size()) {
        ssize_t n =
            ::pwrite(fd, data.data() + written, data.size() - written, static_cast<off_t>(written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

bool Truncate(int fd, off_t size) {
    return ::ftruncate(fd, size) == 0;
}

// The file that `path` names once symbolic links are followed; it need not exist.
std::string LinkTarget(std::string path) {
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return path;
        std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = link.is_absolute() ? link.string()
                                  : (std::filesystem::path(path).parent_path() / link).string();
    }
    return path;
}

enum class TTemporaryOutcome { Renamed, NotMade, Failed };

// Writes a temporary file beside `target`, with the old file's owner and mode, and renames
// it over `target`. NotMade: the folder refused the temporary file or it could not be
// given the old owner, and nothing was changed.
TTemporaryOutcome ReplaceThroughTemporary(const std::string& target, const std::string& text,
                                          const struct stat* old) {
    std::string temporary = target + ".XXXXXX";
    TFileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0)
        return TTemporaryOutcome::NotMade;
    if (old && ::fchown(file.Get(), old->st_uid, old->st_gid) != 0) {
        ::unlink(temporary.c_str());
        return TTemporaryOutcome::NotMade;
    }
    // A new file gets rw-r--r--.
    mode_t mode = old ? old->st_mode & 07777 : 0644;
    bool written =
        ::fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0;
    written = file.Close() && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return TTemporaryOutcome::Failed;
    }
    return TTemporaryOutcome::Renamed;
}

// Rewrites the regular file `target` where it is. Room for a longer text is taken before
// anything is written, so that a full disk leaves the old text as it was.
bool RewriteInPlace(const std::string& target, const std::string& text) {
    TFileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    off_t size = static_cast<off_t>(text.size());
    if (size > status.st_size &&
        ::posix_fallocate(file.Get(), status.st_size, size - status.st_size) != 0) {
        Truncate(file.Get(), status.st_size); // a part may have been taken
        return false;
    }
    bool written =
        WriteAll(file.Get(), text) && Truncate(file.Get(), size) && ::fsync(file.Get()) == 0;
    return file.Close() && written;
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string target = LinkTarget(path);
    struct stat old {};
    bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;
    switch (ReplaceThroughTemporary(target, text, exists ? &old : nullptr)) {
    case TTemporaryOutcome::Renamed:
        return true;
    case TTemporaryOutcome::NotMade:
        return exists && RewriteInPlace(target, text);
    case TTemporaryOutcome::Failed:
        break;
    }
    return false;
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    TRegularFileText file = ReadRegularFile(path_, MaxFileSize);
    refused_ = file.State == TRegularFileText::TState::Refused;
    if (file.State == TRegularFileText::TState::Read)
        lines_ = ParseLines(file.Text);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    std::string wantedSection = LowerAscii(section);
    std::string wantedKey = LowerAscii(key);
    bool inSection = false;
    for (const TLine& line : lines_) {
        if (line.Section)
            inSection = *line.Section == wantedSection;
        else if (inSection && line.Key == wantedKey)
            return line.Text.substr(line.Text.find('=') + 1, MaxValueLength);
    }
    return defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    if (refused_)
        throw EIniFileException(path_);
    std::vector<TLine> lines = lines_;
    SetValue(lines, section, key, value);
    std::string text;
    for (const TLine& line : lines)
        text.append(line.Text).append("\r\n");
    // A file grown past what is read would come back as defaults at the next start.
    if (text.size() > MaxFileSize || !ReplaceFile(path_, text))
        throw EIniFileException(path_);
    lines_ = std::move(lines);
}

TIniFile::TLine TIniFile::ParseLine(std::string text) {
    TLine line{std::move(text), std::nullopt, std::nullopt};
    const std::string& all = line.Text;
    size_t first = 0;
    while (first < all.size() && static_cast<unsigned char>(all[first]) <= ' ')
        ++first;
    if (first < all.size() && all[first] == '[') {
        size_t close = all.find(']', first);
        line.Section = LowerAscii(Trim(all.substr(
            first + 1, close == std::string::npos ? std::string::npos : close - first - 1)));
    } else if (size_t equals = all.find('='); equals != std::string::npos) {
        line.Key = LowerAscii(Trim(all.substr(0, equals)));
    }
    return line;
}

// The lines without their line ends; a last line without one counts too.
std::vector<TIniFile::TLine> TIniFile::ParseLines(const std::string& text) {
    std::vector<TLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r')
            --length;
        lines.push_back(ParseLine(text.substr(start, length)));
        start = end + 1;
    }
    return lines;
}

void TIniFile::SetValue(std::vector<TLine>& lines, const std::string& section,
                        const std::string& key, const std::string& value) {
    std::string wantedSection = LowerAscii(section);
    std::string wantedKey = LowerAscii(key);
    TLine entry = ParseLine(key + "=" + value);

    auto header = std::find_if(lines.begin(), lines.end(),
                               [&](const TLine& line) { return line.Section == wantedSection; });
    if (header == lines.end()) {
        lines.push_back(ParseLine("[" + section + "]"));
        lines.push_back(std::move(entry));
        return;
    }

    // New keys go after the section's last non-blank line, before any blank separator.
    size_t first = static_cast<size_t>(header - lines.begin()) + 1;
    size_t insertAt = first;
    for (size_t i = first; i < lines.size() && !lines[i].Section; ++i) {
        if (lines[i].Key == wantedKey) {
            lines[i] = std::move(entry);
            return;
        }
        if (!Trim(lines[i].Text).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

void CheckIniFileReadable(const std::string& path) {
    TRegularFileText file = ReadRegularFile(path, TIniFile::MaxFileSize);
    if (file.State != TRegularFileText::TState::Read)
        throw EIniFileReadException(path, file.Problem);
}

} // namespace watch
