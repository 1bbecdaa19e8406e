#pragma once
#include <windows.h>

#include <string>

// Renames a folder through the shell's file-operation service, silently and without asking, so that
// shell views (the embedded folder trees) learn of the new name. True when the service reports
// success. Each path travels whole, in a buffer sized to it.
bool ShellRenameFolder(HWND owner, const std::string& from, const std::string& to);
