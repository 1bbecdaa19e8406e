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

// What reading the clipboard's file-drop list found. Busy: another program held the clipboard open
// (the one that just wrote it, or a viewer reading it), so the list may be there a moment later.
enum class ClipboardRead { Files, NoFiles, Busy };

// The file-drop list on the clipboard; the clipboard is closed again in every case.
ClipboardRead ReadClipboardFiles(HWND owner, std::vector<std::string>& paths);
