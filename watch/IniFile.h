#pragma once

#include <optional>
#include <string>
#include <vector>

namespace watch {

// A settings file of [section] headers and key=value lines. Values are raw bytes (GBK), kept
// exactly as written, leading blanks included; section and key names match without regard
// to ASCII case. Lines are written with CR LF.
//
// The file is read and parsed once, when the object is made; reads answer from that copy
// and each write replaces the whole file from it, one value at a time. Only a regular file
// of at most MaxFileSize bytes is read: anything else (a pipe, a device, a folder, a larger
// file) reads as if it could not be read.
class TIniFile {
public:
    // Bytes of a value that a read returns at most.
    static constexpr size_t MaxValueLength = 2047;
    // Size of the largest file that is read.
    static constexpr size_t MaxFileSize = 1 << 20;

    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }

    // The value of `key` in `section`, or `defaultValue` when the file, the section or the
    // key is missing or the file cannot be read.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Sets `key` in `section`, adding either when missing. The file is replaced as a whole
    // (a temporary file beside it with the old file's owner and mode, then a rename), so it
    // is never left cut short; a symbolic link is written through to its target. When the
    // folder refuses the temporary file, or the old owner cannot be kept, a writable file
    // is rewritten in place instead. Throws EIniFileException when the file could not be
    // read or cannot be written; the file then stays as it was.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    // One line of the file, with the section or key it names, in lower case.
    struct TLine {
        std::string Text;
        std::optional<std::string> Section;
        std::optional<std::string> Key;
    };

    static TLine ParseLine(std::string text);
    static std::vector<TLine> ParseLines(const std::string& text);
    static void SetValue(std::vector<TLine>& lines, const std::string& section,
                         const std::string& key, const std::string& value);

    std::string path_;
    // The file is there but could not be read, so it must not be replaced.
    bool refused_ = false;
    std::vector<TLine> lines_;
};

// Throws EIniFileReadException ("cannot read <path>: <reason>") when `path` cannot be read
// as a settings file: it is missing, is not a regular file, is larger than MaxFileSize, or
// the system refuses to open or read it.
void CheckIniFileReadable(const std::string& path);

} // namespace watch
