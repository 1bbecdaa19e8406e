#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

// The program's icon in the notification area: the way back to the window once a job has ended and
// hidden it. A click on the icon shows and restores the window.
class TrayIcon {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 17;

    TrayIcon(HWND window, HICON icon, const std::string& tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; a failure (say, it is there already) changes nothing.
    void Show();
    bool Shown() const { return shown_; }
    // The window's messages: answers the icon's callback; false for anything else.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    void RestoreWindow();
    NOTIFYICONDATAA Data() const;

    HWND window_;
    HICON icon_;
    std::string tip_;
    bool shown_ = false;
    UINT taskbarCreated_;
};
