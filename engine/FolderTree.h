#pragma once
#include <string>

// Folder helpers shared by the dispatch, the folder walk and the Replace answer. Paths are 8-bit
// texts of any length (the calls go through platform/LongPath.h). DeleteFolderTree itself is declared
// in engine/itemops.h.

// Creates the folder with all missing parents. True when it exists as a folder afterwards
// (so an existing folder is a success, a file in the way a failure). "E:" means the drive's root.
// On failure the thread's last error is that of the creation that failed.
bool ForceDirectories(const std::string& path);

// True for the root of a drive or share however it is written (C:, C:\, C:\\, C:\., \\srv\share\),
// and for a path the system cannot make absolute: such a path is never removed.
bool IsVolumeRoot(const std::string& path);
