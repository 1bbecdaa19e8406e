#pragma once
#include <windows.h>

#include "ui/Types.h"

namespace ui {

// Fonts and solid brushes shared by every control for the life of the process. They are created on
// first use and deleted at exit; callers never delete what they get here.
HFONT GetFont(const FontSpec& fontSpec);
HFONT DefaultFont();  // "MS Sans Serif" 8 pt
HBRUSH GetSolidBrush(COLORREF color);

} // namespace ui
