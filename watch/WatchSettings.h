#pragma once

#include <string>

namespace watch {

class IWatchPanel;

// "program.ini" in the folder of the running executable.
std::string SettingsPath();

// Fills the five keyword pairs and the three selectors from the settings file at `path`.
// Missing values (or a missing or unreadable file) give empty pairs, "半小时", "北京" and
// "一天内". A stored choice that is not an item of its selector leaves that selector with
// no selection and an empty text.
void LoadSettings(IWatchPanel& panel, const std::string& path);

// Writes the five pairs as typed (also incomplete or empty ones) and the selected item of
// each selector (empty when none is selected) to `path`, one value at a time. Throws
// EIniFileException ("Unable to write to <path>") at the first value that cannot be
// written; the values after it are not written.
void btnSaveClick(IWatchPanel& panel, const std::string& path);

} // namespace watch
