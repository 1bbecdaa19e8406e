#include "app/TrayIcon.h"

#include <cstring>

TrayIcon::TrayIcon(HWND window, HICON icon, const std::string& tip)
    : window_(window), icon_(icon), tip_(tip), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated"))
{
}

TrayIcon::~TrayIcon()
{
    if (shown_) {
        NOTIFYICONDATAA data = Data();
        Shell_NotifyIconA(NIM_DELETE, &data);
    }
}

NOTIFYICONDATAA TrayIcon::Data() const
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    std::strncpy(data.szTip, tip_.c_str(), sizeof data.szTip - 1);
    return data;
}

void TrayIcon::Show()
{
    wanted_ = true;
    if (shown_)
        return;
    NOTIFYICONDATAA data = Data();
    shown_ = Shell_NotifyIconA(NIM_ADD, &data) != 0;
}

bool TrayIcon::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    // The shell restarted (or started after us): its notification area is new and empty. The
    // message also goes to other top-level windows, so it is not taken as handled.
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        if (wanted_) {
            shown_ = false;
            Show();
        }
        return false;
    }
    if (message != kCallbackMessage)
        return false;
    const auto fire = [](const std::function<void()>& handler) {
        if (handler) {
            auto copy = handler;  // a handler may pump messages and be replaced meanwhile
            copy();
        }
    };
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        fire(onMouseDown);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        fire(onDoubleClick);
        break;
    case WM_RBUTTONUP:
        fire(onPopup);
        break;
    default:
        break;
    }
    result = 0;
    return true;
}
