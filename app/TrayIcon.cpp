#include "app/TrayIcon.h"

#include <shellapi.h>

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
    if (shown_)
        return;
    NOTIFYICONDATAA data = Data();
    shown_ = Shell_NotifyIconA(NIM_ADD, &data) != 0;
}

void TrayIcon::RestoreWindow()
{
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

bool TrayIcon::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == taskbarCreated_ && shown_) {  // the shell restarted: the icon is gone
        shown_ = false;
        Show();
        return false;
    }
    if (message != kCallbackMessage)
        return false;
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        RestoreWindow();
        break;
    default:
        break;
    }
    result = 0;
    return true;
}
