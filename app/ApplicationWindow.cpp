#include "app/ApplicationWindow.h"

#include "app/MainWindowClass.h"

namespace {

constexpr UINT kActivateMain = WM_APP + 1;

} // namespace

ApplicationWindow::ApplicationWindow(const char* title, HICON bigIcon, HICON smallIcon)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hIcon = bigIcon;
    type.hIconSm = smallIcon;
    type.lpszClassName = kApplicationWindowClass;
    RegisterClassExA(&type);  // already there for a second window of this process: that one serves
    // Centred with no size: a window the task bar lists, that nothing shows.
    window_ = CreateWindowExA(0, kApplicationWindowClass, title,
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, instance, this);
    if (window_) {
        SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : bigIcon));
    }
}

ApplicationWindow::~ApplicationWindow()
{
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void ApplicationWindow::MainWindowShown(bool shown)
{
    if (!window_)
        return;
    if (shown) {
        if (IsIconic(window_))
            ShowWindow(window_, SW_RESTORE);
        else if (!IsWindowVisible(window_))
            ShowWindow(window_, SW_SHOWNA);
    } else if (!IsIconic(window_)) {
        ShowWindow(window_, SW_HIDE);
    }
}

void ApplicationWindow::Minimize()
{
    if (window_)
        ShowWindow(window_, SW_MINIMIZE);
}

void ApplicationWindow::RestoreIfMinimized()
{
    if (window_ && IsIconic(window_))
        ShowWindow(window_, SW_RESTORE);
}

void ApplicationWindow::ActivateMainWindow()
{
    if (!main_ || !IsWindowVisible(main_))
        return;
    // A question that is up (a conflict dialog, a message box) has the user's attention, not the window
    // under it.
    HWND target = GetLastActivePopup(main_);
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = main_;
    SetForegroundWindow(target);
    SetActiveWindow(target);
}

LRESULT CALLBACK ApplicationWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ApplicationWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (!self->window_)
        self->window_ = window;
    return self->Handle(message, wParam, lParam);
}

LRESULT ApplicationWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {0, 0};  // it keeps no size
        return 0;
    }
    case WM_ACTIVATE:
        // A click on the button activates this window: the main window takes over once the system
        // has finished activating this one.
        if (LOWORD(wParam) != WA_INACTIVE)
            PostMessageA(window_, kActivateMain, 0, 0);
        return 0;
    case kActivateMain:
        if (GetActiveWindow() == window_)
            ActivateMainWindow();
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (main_)
                PostMessageA(main_, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            // The main window decides: to the notification area when its icon is there.
            if (main_ && IsWindowVisible(main_)) {
                SendMessageA(main_, WM_SYSCOMMAND, SC_MINIMIZE, lParam);
                return 0;
            }
            break;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        if (main_)
            PostMessageA(main_, WM_CLOSE, 0, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}
