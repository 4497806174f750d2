#pragma once

#include <ctime>
#include <map>
#include <string>

// The links a lasting watch has reported, kept in a file across runs: one line per link,
//   FIRST-REPORTED TAB LAST-FOUND TAB LINK LF
// with both times in ISO 8601 with the UTC offset ("2026-12-09T18:06:21+01:00") and the link
// as the terminal shows it (UTF-8, control bytes but TAB escaped), so that no line can break;
// the link is the rest of the line, TABs and all, and may be empty.
//
// The store holds a lock (an exclusive flock on FILE.lock) for its life, so that two watches
// never share a file. The file is replaced atomically on each save: the lines go to
// FILE.new, which is synced and renamed over FILE; a kill at any moment leaves the old or the
// new file whole.
class TSeenStore {
public:
    // Links not found again for this long are dropped on the next save.
    static constexpr std::time_t KeepSeconds = 90 * 24 * 3600;

    // Locks and reads `path`; a missing file is an empty store. Throws EStateFileError when
    // another watch holds the lock, or when the file cannot be read, is no regular file or
    // is damaged (then it is left untouched).
    explicit TSeenStore(std::string path);
    ~TSeenStore();
    TSeenStore(const TSeenStore&) = delete;
    TSeenStore& operator=(const TSeenStore&) = delete;

    // $XDG_STATE_HOME/quorvel/seen.tsv, or ~/.local/state/quorvel/seen.tsv; the folders are
    // created (mode 700) when missing. Throws EStateFileError when that fails.
    static std::string DefaultPath();

    bool Reported(const std::string& link) const { return links_.count(link) > 0; }
    // A link whose lines are out: reported now and found now.
    void MarkReported(const std::string& link, std::time_t now);
    // A reported link that a search found again.
    void MarkFound(const std::string& link, std::time_t now);

    // Drops the links not found for KeepSeconds and writes the file. Throws EUnwritableFile
    // when it cannot be written; the previous file then stays.
    void Save(std::time_t now);
    // When the file was last written by this store (0: not yet).
    std::time_t SavedAt() const { return savedAt_; }

private:
    struct TTimes {
        std::time_t FirstReported;
        std::time_t LastFound;
    };

    void Lock();
    void Load();
    void ParseLine(const std::string& line, int number);
    std::string Lines() const;
    void Replace(const std::string& bytes);

    std::string path_;
    int lockFd_ = -1;
    std::map<std::string, TTimes> links_;
    std::time_t savedAt_ = 0;
};
