#pragma once
#include <windows.h>

#include <string>

#include "ui/Types.h"

namespace ui {

// Fonts and solid brushes shared by every control for the life of the process. They are created on
// first use and deleted at exit; callers never delete what they get here.
HFONT GetFont(const FontSpec& fontSpec);
HFONT DefaultFont();  // "MS Sans Serif" 8 pt
HBRUSH GetSolidBrush(COLORREF color);

// Height of a line of text in the font, as drawn on the window's device context.
int FontLineHeight(HWND window, HFONT font);

// The text of entry `index` of a list box window; empty when there is no such entry.
std::string ListBoxItemText(HWND listBox, int index);

} // namespace ui
