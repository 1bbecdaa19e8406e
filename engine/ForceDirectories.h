#pragma once
#include <string>

// Creates the folder with all missing parents. True when it exists as a folder afterwards
// (so an existing folder is a success, a file in the way a failure). "E:" means the drive's root.
// On failure the thread's last error is that of the creation that failed. Paths are 8-bit texts of
// any length (the calls go through platform/LongPath.h).
bool ForceDirectories(const std::string& path);
