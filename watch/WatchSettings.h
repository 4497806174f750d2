#pragma once

#include <string>

namespace watch {

class IWatchPanel;

// The settings file of the running program: see SettingsPathFor. Its folder and the user's
// folders come from the executable's location, $XDG_CONFIG_HOME and $HOME (or the user's
// entry in the password database when $HOME is unset or empty).
std::string SettingsPath();

// "program.ini" in `programFolder` when a "program.ini" is already there, or when the user
// may write to that folder and it is not `installFolder`, the folder the build installs its
// programs to (a build tree, a portable copy). Otherwise, for an installed program,
// "quorvel/program.ini" in the user's config folder: `configHome` ($XDG_CONFIG_HOME) when it
// is an absolute path, else ".config" in `home`; throws std::runtime_error when that is
// needed and `home` is empty.
std::string SettingsPathFor(const std::string& programFolder, const std::string& configHome,
                            const std::string& home, const std::string& installFolder);

// Fills the five keyword pairs and the three selectors from the settings file at `path`.
// Missing values (or a missing or unreadable file) give empty pairs, "半小时", "北京" and
// "一天内". A stored choice that is not an item of its selector leaves that selector with
// no selection and an empty text.
void LoadSettings(IWatchPanel& panel, const std::string& path);

// The board text of the settings file ([Board] value); empty when absent or unreadable.
std::string LoadBoardSetting(const std::string& path);

// Writes the board text back to [Board] value of `path`, as it was read. Throws as
// btnSaveClick does.
void SaveBoardSetting(const std::string& path, const std::string& board);

// Writes the five pairs as typed (also incomplete or empty ones) and the selected item of
// each selector (empty when none is selected) to `path`, one value at a time. Throws
// EIniFileException ("Unable to write to <path>") at the first value that cannot be
// written; the values after it are not written. A missing folder of `path` is made first,
// readable by the user alone.
void btnSaveClick(IWatchPanel& panel, const std::string& path);

} // namespace watch
