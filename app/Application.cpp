#include "app/Application.h"

#include "app/MainWindowClass.h"
#include "app/Mainfrm.h"
#include "app/SingleInstance.h"
#include "ui/MessageLoop.h"

#include <commctrl.h>

#include <exception>

namespace {

void ShowException(const char* text)
{
    MessageBoxA(nullptr, text, kApplicationTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace

// Every end is exit code 0: a second start that handed over, a normal close, and a failure that was
// shown to the user.
int RunApplication(HINSTANCE, int showCommand)
{
    try {
        const std::string argument = FirstCommandArgument();
        StartLock lock;
        if (HWND running = FindRunningInstance()) {
            lock.Release();  // others may look now; the hand-off waits for the running window
            HandOverTo(running, argument);
            return 0;
        }
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&controls);
        TVorCopyPasteWin window({}, argument);
        lock.Release();  // the window exists: a start from now on finds it
        if (!window.StartsHidden()) {
            ShowWindow(window.Handle(), showCommand);
            UpdateWindow(window.Handle());
        }
        ui::RunMessageLoop();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("");
    }
    return 0;
}
