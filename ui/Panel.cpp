#include "ui/Panel.h"

namespace ui {

Panel::Panel(Control& parent, const ControlArgs& common, const PanelArgs& args) : Control(&parent, common)
{
    Create(args);
}

void Panel::Create(const PanelArgs& args)
{
    SetColor(args.color);
    borderWidth_ = args.borderWidth;
    showCaption_ = args.showCaption;
    DWORD style = WS_CHILD | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (args.border == Border::Single)
        style |= WS_BORDER;
    else if (args.border == Border::Lowered)
        exStyle |= WS_EX_CLIENTEDGE;
    CreateCustom("OrvPanel", style, exStyle, args.caption);
}

RECT Panel::LayoutArea() const
{
    RECT r = Control::LayoutArea();
    InflateRect(&r, -borderWidth_, -borderWidth_);
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        if (showCaption_) {
            RECT r{};
            GetClientRect(Handle(), &r);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(IsWindowEnabled(Handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            HGDIOBJ old = SelectObject(dc, Font());
            const std::string text = Text();
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
        }
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT result = Control::HandleMessage(message, wParam, lParam);
        if (showCaption_)
            Invalidate();
        return result;
    }
    default:
        return Control::HandleMessage(message, wParam, lParam);
    }
}

} // namespace ui
