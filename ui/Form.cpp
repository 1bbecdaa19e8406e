#include "ui/Form.h"

#include "platform/MessagePump.h"
#include "ui/MessageLoop.h"

#include <algorithm>

namespace ui {

namespace {

ControlArgs Hidden(ControlArgs args)
{
    args.visible = false;
    args.align = Align::None;
    return args;
}

} // namespace

Form::Form(const ControlArgs& common, const FormArgs& args)
    : Control(nullptr, Hidden(common)),
      minWidth_(args.minWidth),
      minHeight_(args.minHeight),
      borderWidth_(args.borderWidth),
      closeBox_(args.closeBox)
{
    SetColor(args.color);
    keyPreview_ = args.keyPreview;
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
    style |= args.owner ? WS_POPUP : WS_OVERLAPPED;
    if (args.border == FormBorder::Sizeable)
        style |= WS_THICKFRAME;
    if (args.closeBox) {
        style |= WS_SYSMENU;
        if (args.minimizeBox)
            style |= WS_MINIMIZEBOX;
        if (args.maximizeBox && args.border == FormBorder::Sizeable)
            style |= WS_MAXIMIZEBOX;
    }
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (args.stayOnTop)
        exStyle |= WS_EX_TOPMOST;
    if (args.border == FormBorder::Single && !args.closeBox)
        exStyle |= WS_EX_DLGMODALFRAME;
    CreateCustom(args.className.c_str(), style, exStyle, args.caption, args.owner);
    if (args.icon)
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(args.icon));
    if (args.smallIcon || args.icon)
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(args.smallIcon ? args.smallIcon : args.icon));
    if (args.clientWidth > 0 && args.clientHeight > 0) {
        RECT r{0, 0, args.clientWidth, args.clientHeight};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
        SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (args.centered)
        CenterOnDesktop();
}

void Form::CenterOnDesktop()
{
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Bounds b = GetBounds();
    const int x = work.left + std::max((work.right - work.left - b.width) / 2, 0L);
    const int y = work.top + std::max((work.bottom - work.top - b.height) / 2, 0L);
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetMinSize(int width, int height)
{
    minWidth_ = width;
    minHeight_ = height;
}

void Form::Close()
{
    if (Handle())
        SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

RECT Form::LayoutArea() const
{
    RECT r = Control::LayoutArea();
    InflateRect(&r, -borderWidth_, -borderWidth_);
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

int Form::ShowModal()
{
    // While the program is ending nothing more is asked: the form ends unanswered without showing.
    if (!Handle() || modal_ || QuitPending())
        return kModalNone;
    HWND owner = GetWindow(Handle(), GW_OWNER);
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    modal_ = true;
    modalResult_ = kModalNone;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    MSG message;
    while (modalResult_ == kModalNone && Handle()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {  // the program is ending: the outer loop takes the quit once all has unwound
            RememberQuit(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        DispatchWithDialogKeys(message);
    }
    modal_ = false;
    // Owner first, then hide: activation then returns to the owner and not to another program.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (Handle()) {
        ShowWindow(Handle(), SW_HIDE);
        if (owner)
            SetActiveWindow(owner);
    }
    return modalResult_;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (minWidth_ > 0)
            info->ptMinTrackSize.x = minWidth_;
        if (minHeight_ > 0)
            info->ptMinTrackSize.y = minHeight_;
        return 0;
    }
    case WM_CLOSE:
        if (onClose) {
            Fire(onClose);
        } else if (modal_) {
            if (closeBox_)
                modalResult_ = kModalCancel;
        } else if (closeBox_) {
            DestroyWindow(Handle());
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && !closeBox_ && !onClose)
            return 0;
        break;
    case WM_DESTROY:
        Fire(onDestroy);
        break;
    case WM_SHOWWINDOW:
        if (wParam)
            Fire(onShow);
        break;
    case WM_COMMAND:
        if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            return 0;  // Enter and Escape as the dialog manager turns them; no default buttons here
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

} // namespace ui
