#pragma once
#include <string>

// Removes the folder and everything below it; never a path shorter than four characters, never a
// volume's root, never what a link inside points to. Paths are 8-bit texts of any length.
bool DeleteFolderTree(const std::string& path);

// True for the root of a drive or share however it is written (C:, C:\, C:\\, C:\., \\srv\share\),
// and for a path the system cannot make absolute: such a path is never removed.
bool IsVolumeRoot(const std::string& path);
