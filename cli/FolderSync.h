#pragma once

#include <string>

// Brings the entry of `path` in its folder to the disk, as a durable rename needs; 0, or the
// errno of the failure.
int SyncFolderOf(const std::string& path);
