#pragma once
#include <windows.h>

// The application's own window. It carries the program's button in the task bar (and its entry in
// Alt+Tab) under the application title, and owns the main window, which then has no button of its
// own: the task bar names the program, while the main window's caption names the product. It has no
// size and is never seen; what the user does with the button reaches the main window, and the button
// comes and goes with the main window.
class ApplicationWindow {
public:
    ApplicationWindow(const char* title, HICON bigIcon, HICON smallIcon);
    ~ApplicationWindow();
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    HWND Handle() const { return window_; }
    void SetMainWindow(HWND main) { main_ = main; }

    // The main window was shown or hidden (a hide that comes with the application's own minimise
    // keeps the button: the main window returns with the restore).
    void MainWindowShown(bool shown);
    // The main window's minimise, where it does not go to the notification area: the application is
    // minimised, and the system hides the main window with it until it is restored.
    void Minimize();
    bool Minimized() const { return window_ && IsIconic(window_); }
    void RestoreIfMinimized();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ActivateMainWindow();

    HWND window_ = nullptr;
    HWND main_ = nullptr;
};
