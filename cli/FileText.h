#pragma once

#include <string>

// The bytes of a whole file. Throws EUnreadableFile naming the file and the reason when it
// cannot be read (missing, a directory, no permission).
std::string ReadFileBytes(const std::string& path);

// Writes bytes to a file, replacing it, and syncs it to the disk. Throws EUnwritableFile
// naming the file and the reason when that fails; the file is then removed, not left cut
// short or empty.
void WriteFileBytes(const std::string& path, const std::string& bytes);
