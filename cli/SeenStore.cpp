#include "cli/SeenStore.h"

#include "cli/FolderSync.h"
#include "cli/StateFileError.h"
#include "cli/UnwritableFile.h"
#include "watch/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A state file is small; one that is not is no state file of ours.
constexpr std::size_t StateFileLimit = std::size_t(256) << 20;
constexpr std::size_t IsoTimeLength = 25; // 2026-12-09T18:06:21+01:00

std::string SystemReason(int error) {
    return std::strerror(error);
}

std::string IsoTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    return iso.insert(iso.size() - 2, ":");
}

// The digits of `text` from `at`, `count` of them; nullopt when any is no digit.
std::optional<int> Digits(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<std::time_t> ParseIsoTime(const std::string& text) {
    const std::string shape = "9999-99-99T99:99:99+99:99";
    if (text.size() != IsoTimeLength)
        return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] != '9' && shape[i] != '+' && text[i] != shape[i])
            return std::nullopt;
    if (text[19] != '+' && text[19] != '-')
        return std::nullopt;
    auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    auto offsetHours = Digits(text, 20, 2), offsetMinutes = Digits(text, 23, 2);
    if (!year || !month || !day || !hour || !minute || !second || !offsetHours ||
        !offsetMinutes || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 ||
        *minute > 59 || *second > 60 || *offsetMinutes > 59)
        return std::nullopt;
    std::tm utc{};
    utc.tm_year = *year - 1900;
    utc.tm_mon = *month - 1;
    utc.tm_mday = *day;
    utc.tm_hour = *hour;
    utc.tm_min = *minute;
    utc.tm_sec = *second;
    std::time_t offset = (*offsetHours * 60 + *offsetMinutes) * 60;
    return timegm(&utc) - (text[19] == '+' ? offset : -offset);
}

// Creates `folder` and the folders above it that are missing, each mode 700.
void CreateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            throw EStateFileError("cannot create " + part + ": " + SystemReason(errno));
        if (slash == std::string::npos)
            return;
    }
}

int WriteWhole(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno != EINTR)
            return errno;
        if (count > 0)
            written += static_cast<std::size_t>(count);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

TSeenStore::TSeenStore(std::string path) : path_(std::move(path)) {
    Lock();
    try {
        Load();
    } catch (...) {
        ::close(lockFd_);
        throw;
    }
}

TSeenStore::~TSeenStore() {
    ::close(lockFd_);
}

std::string TSeenStore::DefaultPath() {
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (stateHome != nullptr && stateHome[0] == '/')
        base = stateHome;
    else if (home != nullptr && home[0] == '/')
        base = std::string(home) + "/.local/state";
    else
        throw EStateFileError("no state folder: neither XDG_STATE_HOME nor HOME is set; "
                              "name the state file with --state");
    CreateFolders(base + "/quorvel");
    return base + "/quorvel/seen.tsv";
}

void TSeenStore::Lock() {
    std::string lockPath = path_ + ".lock";
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        throw EStateFileError("cannot open " + lockPath + ": " + SystemReason(errno));
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(lockFd_);
        if (error == EWOULDBLOCK)
            throw EStateFileError("another watch is using " + path_ +
                                  "; stop it first or give this one its own --state");
        throw EStateFileError("cannot lock " + lockPath + ": " + SystemReason(error));
    }
}

void TSeenStore::Load() {
    watch::TRegularFileText file = watch::ReadRegularFile(path_, StateFileLimit);
    if (file.State == watch::TRegularFileText::TState::Missing)
        return;
    if (file.State != watch::TRegularFileText::TState::Read)
        throw EStateFileError("cannot read " + path_ + ": " + file.Problem);
    if (!file.Text.empty() && file.Text.back() != '\n')
        throw EStateFileError("damaged state file " + path_ + ": the last line is cut short");
    int number = 0;
    for (std::size_t start = 0; start < file.Text.size();) {
        std::size_t end = file.Text.find('\n', start);
        ParseLine(file.Text.substr(start, end - start), ++number);
        start = end + 1;
    }
}

void TSeenStore::ParseLine(const std::string& line, int number) {
    std::size_t firstTab = line.find('\t');
    std::size_t secondTab = firstTab == std::string::npos ? firstTab : line.find('\t', firstTab + 1);
    auto damaged = [&](const std::string& why) {
        return EStateFileError("damaged state file " + path_ + ", line " + std::to_string(number) +
                               ": " + why);
    };
    if (secondTab == std::string::npos)
        throw damaged("not three fields separated by TABs");
    std::optional<std::time_t> first = ParseIsoTime(line.substr(0, firstTab));
    std::optional<std::time_t> last = ParseIsoTime(line.substr(firstTab + 1, secondTab - firstTab - 1));
    // The link is the rest of the line: a printed link keeps its TABs, and a row without
    // the board's end-of-link marker has an empty one.
    std::string link = line.substr(secondTab + 1);
    if (!first || !last)
        throw damaged("a time that is not YYYY-MM-DDThh:mm:ss+hh:mm");
    if (!links_.emplace(link, TTimes{*first, *last}).second)
        throw damaged("a link listed twice");
}

void TSeenStore::MarkReported(const std::string& link, std::time_t now) {
    links_[link] = TTimes{now, now};
}

void TSeenStore::MarkFound(const std::string& link, std::time_t now) {
    auto found = links_.find(link);
    if (found != links_.end())
        found->second.LastFound = now;
}

void TSeenStore::Save(std::time_t now) {
    std::erase_if(links_, [now](const auto& entry) {
        return now - entry.second.LastFound > KeepSeconds;
    });
    Replace(Lines());
    savedAt_ = now;
}

std::string TSeenStore::Lines() const {
    std::string lines;
    for (const auto& [link, times] : links_)
        lines += IsoTime(times.FirstReported) + '\t' + IsoTime(times.LastFound) + '\t' + link + '\n';
    return lines;
}

void TSeenStore::Replace(const std::string& bytes) {
    // Only the holder of the lock writes here, so one fixed name serves, and a save cut by a
    // kill leaves no stray files behind.
    std::string temporary = path_ + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw EUnwritableFile("cannot write " + temporary + ": " + SystemReason(errno));
    int error = WriteWhole(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path_.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw EUnwritableFile("cannot write " + path_ + ": " + SystemReason(error));
    }
    // The rename itself must reach the disk, or a crash could bring the old file back.
    error = SyncFolderOf(path_);
    if (error != 0)
        throw EUnwritableFile("cannot sync the folder of " + path_ + ": " + SystemReason(error));
}
