#include "app/Application.h"

#include "app/Mainfrm.h"
#include "ui/MessageLoop.h"

#include <commctrl.h>

#include <exception>

int RunApplication(HINSTANCE, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);
    try {
        TVorCopyPasteWin window;
        ShowWindow(window.Handle(), showCommand);
        UpdateWindow(window.Handle());
        return ui::RunMessageLoop();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Marrowick", MB_OK | MB_ICONERROR);
        return 1;
    }
}
