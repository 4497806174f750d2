#pragma once

#include <cstdint>
#include <string>

// The bytes of a whole regular file of at most `maxBytes` (a whole number of MiB). Throws
// EUnreadableFile naming the file and the reason when it cannot be read (missing, no
// permission), is no regular file (a directory, a FIFO, a device) or is larger.
std::string ReadRegularFile(const std::string& path, std::int64_t maxBytes);

// Writes bytes to a new file beside `path`, syncs it to the disk and renames it onto `path`,
// replacing what stood there (a link itself, never its target). Throws EUnwritableFile
// naming the file and the reason when that fails; nothing is then left at `path`.
void WriteFileBytes(const std::string& path, const std::string& bytes);
