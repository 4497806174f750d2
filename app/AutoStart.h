#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

// Start at every log-in: the user's own autostart entry, which every XDG desktop starts
// when the user logs in.  Writing it needs no rights beyond the user's own.

inline constexpr char kAutoStartName[] = "tallowfinch";

// Raised when the entry cannot be written; nothing has changed then.
class EAutoStartError : public std::runtime_error {
public:
    explicit EAutoStartError(const std::string& name)
        : std::runtime_error("Failed to set data for '" + name + "'") {}

    virtual const char* ClassName() const noexcept { return "EAutoStartError"; }
};

// "$XDG_CONFIG_HOME/autostart", or "~/.config/autostart" when that is not set to an
// absolute path; empty for a user without a home folder, where writing the entry fails.
std::filesystem::path UserAutoStartFolder();

// The full path of the program that is running.
std::filesystem::path RunningProgramPath();

// The text of the entry that starts `program`. Throws EAutoStartError for a path that an
// entry cannot hold: bytes that are not UTF-8, or a control byte other than TAB, CR and LF.
std::string AutoStartEntryText(const std::filesystem::path& program);

// Writes "tallowfinch.desktop" into `folder` (created when missing), replacing an earlier
// entry in one step so that a failed write leaves the old one whole.
void SetAutoStart(const std::filesystem::path& folder, const std::filesystem::path& program);
