#pragma once
#include <windows.h>

namespace ui {

// The program's main loop: runs until WM_QUIT (or a quit that nested pumping remembered, see
// platform/MessagePump.h) and returns its exit code. Tab and arrow keys move
// between the controls of this layer's forms.
int RunMessageLoop();

// Translates and dispatches one message, giving a form's dialog keys (Tab...) their meaning first.
void DispatchWithDialogKeys(MSG& message);

} // namespace ui
