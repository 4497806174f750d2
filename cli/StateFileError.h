#pragma once

#include "cli/UnreadableFile.h"

// A state file that the watch cannot use: unreadable, no regular file, damaged, or locked by
// another watch. Like any file that cannot be read, it ends the tool with status 2, and the
// file is left as it is.
class EStateFileError : public EUnreadableFile {
public:
    explicit EStateFileError(const std::string& message) : EUnreadableFile(message) {}
};
