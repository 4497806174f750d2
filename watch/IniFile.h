#pragma once

#include <optional>
#include <string>
#include <vector>

namespace watch {

// A settings file of [section] headers and key=value lines, read and written one value at
// a time. Values are raw bytes (GBK), kept exactly as written, leading blanks included;
// section and key names match without regard to ASCII case. Lines are written with CR LF.
class TIniFile {
public:
    // Bytes of a value that a read returns at most.
    static constexpr size_t MaxValueLength = 2047;

    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }

    // The value of `key` in `section`, or `defaultValue` when the file, the section or the
    // key is missing or the file cannot be read.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Sets `key` in `section`, adding either when missing. The file is replaced as a
    // whole (a temporary file beside it, then a rename), so it is never left cut short.
    // Throws EIniFileException when the file cannot be read or replaced; the file then
    // stays as it was.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::optional<std::vector<std::string>> ReadLines() const;
    void ReplaceFile(const std::vector<std::string>& lines) const;

    std::string path_;
};

} // namespace watch
