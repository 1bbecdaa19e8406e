#pragma once
#include <windows.h>

#include <string>

namespace ui {

// Tool tips ("hints"): one tool-tip window per top-level window, created on first use and destroyed
// with it. An empty text removes the tip. Controls call this from Control::SetHint.
void ShowHintFor(HWND control, const std::string& text);

// Application-wide timing and colour of the tips, for those that exist and those still to come.
void SetHintStyle(int initialDelayMs, int visibleMs, COLORREF background);

} // namespace ui
