#pragma once
#include <string>

// The running program's own file, whole (no fixed-size buffer), and its folder ending in '\'.
std::string ProgramFilePath();
std::string ProgramFolderPath();
