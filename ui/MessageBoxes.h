#pragma once
#include <windows.h>

#include <string>

namespace ui {

// An information box with an OK button.
void ShowMessage(HWND owner, const std::string& text, const std::string& caption);
// A question box with Yes and No; true for Yes.
bool AskYesNo(HWND owner, const std::string& text, const std::string& title);

} // namespace ui
