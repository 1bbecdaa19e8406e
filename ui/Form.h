#pragma once
#include "ui/Control.h"

namespace ui {

enum class FormBorder {
    Sizeable,  // resizable frame
    Single,    // fixed single frame
};

inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

struct FormArgs {
    std::string className = "OrvForm";  // a form may register a class of its own
    std::string caption{};
    int clientWidth = 0;   // when set, the window is sized around this client area;
    int clientHeight = 0;  // otherwise ControlArgs::bounds gives the window size
    int minWidth = 0;      // smallest window size the user can drag to
    int minHeight = 0;
    COLORREF color = kParentColor;
    int borderWidth = 0;   // inner margin kept free of aligned children
    FormBorder border = FormBorder::Sizeable;
    bool closeBox = true;  // false: no system menu or title-bar buttons, and the user cannot close it
    bool minimizeBox = true;
    bool maximizeBox = true;
    bool stayOnTop = false;
    bool centered = true;  // on the desktop's work area
    bool keyPreview = false;  // key events of every child go through the form's handlers first
    HWND owner = nullptr;
    HICON icon = nullptr;       // big icon (title bar, Alt+Tab)
    HICON smallIcon = nullptr;
};

// A top-level window holding controls. Created hidden: Show() it, or run it with ShowModal(), which
// disables the owner, runs its own message loop until SetModalResult (or a Button's modalResult) gives
// a value other than kModalNone, hides the form, re-enables the owner and returns that value. A quit
// met by its loop, or remembered before it starts, ends it with kModalNone (the quit is remembered).
// WM_CLOSE runs onClose when set; otherwise a modal form with a close box ends with kModalCancel, one
// without ignores it, and a modeless form is destroyed. onDestroy runs on WM_DESTROY.
// Use RunMessageLoop (ui/MessageLoop.h) for the main loop and ProcessPendingMessages
// (platform/MessagePump.h) inside long work.
class Form : public Control {
public:
    explicit Form(const ControlArgs& common, const FormArgs& args = {});

    int ShowModal();
    bool Modal() const { return modal_; }
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResult() const { return modalResult_; }
    void Close();  // sends WM_CLOSE
    void CenterOnDesktop();
    void SetMinSize(int width, int height);

    std::function<void()> onClose;
    std::function<void()> onDestroy;
    std::function<void()> onShow;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    RECT LayoutArea() const override;

private:
    int minWidth_;
    int minHeight_;
    int borderWidth_;
    bool closeBox_;
    bool modal_ = false;
    int modalResult_ = kModalNone;
};

} // namespace ui
