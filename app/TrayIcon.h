#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// The program's icon in the notification area: the way back to the window once it is hidden. It
// reports the mouse on the icon through its handlers and comes back by itself when the shell
// rebuilds the task bar.
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

    std::function<void()> onMouseDown;    // any button pressed on the icon
    std::function<void()> onDoubleClick;  // any button
    std::function<void()> onPopup;        // the right button released

private:
    NOTIFYICONDATAA Data() const;

    HWND window_;
    HICON icon_;
    std::string tip_;
    bool shown_ = false;
    bool wanted_ = false;  // shown at least once: a rebuilt task bar gets it back
    UINT taskbarCreated_;
};
