// The icon in the notification area, its menu, and the window's minimising to it.
#include "app/TraySide.h"

#include "app/MainWindowClass.h"
#include "res/Pictures.h"

void TraySide::Build(ui::Form& form, ApplicationWindow& application, Links links)
{
    form_ = &form;
    application_ = &application;
    links_ = std::move(links);
    TrayIcon1 = std::make_unique<TrayIcon>(form.Handle(), res::ProgramIcon(16), kMainWindowTip);
    PopupMenu2 = std::make_unique<ui::PopupMenu>();
    PopupMenu2->Add({"Help", "Help1", false, false, false, 0, [this] { links_.help(); }});
    PopupMenu2->Add({"Exit", "Exit1", false, false, false, 0, [this] { Exit1Click(); }});
    PopupMenu2->Add({"About", "About1", false, false, false, 0, [this] { About1Click(); }});
    TrayIcon1->onMouseDown = [this] { TrayIcon1MouseDown(); };
    TrayIcon1->onDoubleClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1->onPopup = [this] { TrayIcon1Popup(); };
}

void TraySide::RestoreFromTray()
{
    HWND window = form_->Handle();
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void TraySide::TrayIcon1MouseDown() { RestoreFromTray(); }

void TraySide::TrayIcon1DblClick() { RestoreFromTray(); }

void TraySide::TrayIcon1Popup()
{
    POINT at{};
    GetCursorPos(&at);
    if (menuUp_)
        return;  // the icon's own messages reach it inside its menu's loop: one menu at a time
    struct Up {
        bool& flag;
        explicit Up(bool& f) : flag(f) { flag = true; }
        ~Up() { flag = false; }
    } up{menuUp_};
    host_.RunMenu(*PopupMenu2, at);
}

void TraySide::About1Click()
{
    RestoreFromTray();
    links_.about();
}

void TraySide::Exit1Click()
{
    // A running job stops as Cancel stops it, and the window goes once the job has unwound.
    form_->Hide();
    form_->Close();
}

bool TraySide::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Minimised while the icon is there: the window leaves the task bar; the icon brings it back.
    // Without the icon the application minimises (its button stays), and the system hides the window
    // with it: the window itself has no button to minimise to.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        if (TrayIcon1->Shown())
            ShowWindow(form_->Handle(), SW_HIDE);
        else
            application_->Minimize();
        result = 0;
        return true;
    }
    // The task bar's button comes and goes with the window.
    if (message == WM_WINDOWPOSCHANGED) {
        const auto* place = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (place->flags & SWP_SHOWWINDOW)
            application_->MainWindowShown(true);
        else if (place->flags & SWP_HIDEWINDOW)
            application_->MainWindowShown(false);
        return false;  // the window's own handling goes on
    }
    return TrayIcon1->HandleMessage(message, wParam, lParam, result);
}
