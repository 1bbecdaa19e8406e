#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Wide text (names from the wide listings) as 8-bit text in a code page, CP_ACP by default: the code
// page every 8-bit path of the program is in.

// The 8-bit text only when it is exact: every character has its own form in the code page, and
// converting back gives the same wide text. Where the code page cannot hold a character the system
// would otherwise put in a look-alike ("α.txt" becomes "a.txt"), which names another file.
std::optional<std::string> ExactCodePageText(std::wstring_view text, UINT codePage = CP_ACP);

// For showing only, never for a path that is acted on: characters the code page cannot hold become
// '?', which no file name can contain.
std::string ShownCodePageText(std::wstring_view text, UINT codePage = CP_ACP);
