#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The paths of a file-drop list (dropped on a window or put on the clipboard), in their order, each
// read whole whatever its length. A name that the process code page cannot hold exactly has no 8-bit
// path that names the same file: it is left out (counted in `skipped`) rather than acted upon in a
// look-alike form.
std::vector<std::string> DroppedPaths(HDROP drop, std::size_t* skipped = nullptr);

// The file-drop list on the clipboard. False when the clipboard could not be opened or holds no
// file-drop list; the clipboard is closed again in every case.
bool ReadClipboardFiles(HWND owner, std::vector<std::string>& paths);
