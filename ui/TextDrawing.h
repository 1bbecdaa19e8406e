#pragma once
#include <windows.h>

#include <string_view>

namespace ui {

// DrawTextA for 8-bit text in the process code page (paths, extensions): converted with that code
// page and drawn with the wide call. Under Wine the 8-bit GDI calls convert with the system code page
// even where the manifest makes the process code page UTF-8, so names in other scripts were drawn as
// mojibake; on Windows the two ways agree, so this is right everywhere.
int DrawProcessText(HDC dc, std::string_view text, RECT* rect, UINT flags);

} // namespace ui
