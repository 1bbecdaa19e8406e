#pragma once
#include "app/ApplicationWindow.h"
#include "app/SectionHost.h"
#include "app/TrayIcon.h"
#include "ui/Form.h"
#include "ui/PopupMenu.h"

#include <functional>
#include <memory>

// The window's side in the notification area: the icon and its menu, the way back to a hidden
// window, and where a minimised window goes (the icon while it is there, else the task bar's
// application).
class TraySide {
public:
    // The menu's Help and About, which the window's sections answer.
    struct Links {
        std::function<void()> help;
        std::function<void()> about;
    };

    explicit TraySide(SectionHost& host) : host_(host) {}
    TraySide(const TraySide&) = delete;
    TraySide& operator=(const TraySide&) = delete;

    void Build(ui::Form& form, ApplicationWindow& application, Links links);
    void Show() { TrayIcon1->Show(); }
    bool Shown() const { return TrayIcon1->Shown(); }
    // Minimising, the window's showing and hiding, and the icon's callback; false for anything else
    // and for what the window handles on as well.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void TrayIcon1MouseDown();
    void TrayIcon1DblClick();
    void TrayIcon1Popup();
    void About1Click();
    void Exit1Click();
    void RestoreFromTray();

private:
    std::unique_ptr<TrayIcon> TrayIcon1;
    std::unique_ptr<ui::PopupMenu> PopupMenu2;
    SectionHost& host_;
    ui::Form* form_ = nullptr;
    ApplicationWindow* application_ = nullptr;
    Links links_;
    bool menuUp_ = false;  // the icon's messages reach it inside its menu's loop: one menu at a time
};
