#pragma once
#include <windows.h>

#include <string>

namespace ui {

// The window property that names a control for automation: its value is a global atom of the name.
inline constexpr const char* kNameProperty = "Name";

// Stable control ID from a name (FNV-1a, in 1000..60999); a collision among siblings moves to the next
// free number, so the same creation order always gives the same IDs.
int ControlIdForName(HWND parent, const std::string& name);

// Puts the name on a window; returns the atom to hand to UnnameWindow when the window goes.
ATOM NameWindow(HWND window, const std::string& name);
void UnnameWindow(HWND window, ATOM atom);

// The name a window carries, or "" (works on windows of other processes).
std::string WindowName(HWND window);

} // namespace ui
