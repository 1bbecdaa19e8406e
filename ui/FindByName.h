#pragma once
#include <windows.h>

#include <string>

namespace ui {

// Finds the window named `name` (window property "Name", see ui/Names.h) among `root` and all its
// descendants; null when there is none. Works across processes, which is how end-to-end tests and
// automation find `bbBegin` or `cbPath`. Atom names ignore letter case, so this match does too.
HWND FindByName(HWND root, const std::string& name);

} // namespace ui
