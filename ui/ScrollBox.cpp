#include "ui/ScrollBox.h"

#include <algorithm>

namespace ui {

ScrollBox::ScrollBox(Control& parent, const ControlArgs& common, const ScrollBoxArgs& args)
    : Control(&parent, common), wheelStep_(args.wheelStep), doubleBuffered_(args.doubleBuffered)
{
    SetColor(args.color);
    CreateCustom("OrvScrollBox", WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL, WS_EX_CONTROLPARENT, {});
    UpdateScrollRange();
}

int ScrollBox::MaxPosition() const { return std::max(extent_ - ClientHeight(), 0); }

void ScrollBox::UpdateScrollRange()
{
    if (!Handle())
        return;
    int extent = 0;
    for (Control* child : Children())
        if (child->GetAlign() == Align::None && child->Visible()) {
            const Bounds b = child->GetBounds();
            extent = std::max(extent, b.top + b.height + position_);
        }
    extent_ = extent;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(extent_ - 1, 0);
    info.nPage = static_cast<UINT>(std::max(ClientHeight(), 0));
    info.nPos = position_;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    if (position_ > MaxPosition())
        SetScrollPosition(MaxPosition());
}

void ScrollBox::SetScrollPosition(int position)
{
    position = std::clamp(position, 0, MaxPosition());
    if (position == position_)
        return;
    const int delta = position_ - position;
    position_ = position;
    // Children are moved one by one: ScrollWindowEx's SW_SCROLLCHILDREN leaves them in place under
    // Wine while the box is hidden.
    for (Control* child : Children())
        if (child->GetAlign() == Align::None) {
            const Bounds b = child->GetBounds();
            SetWindowPos(child->Handle(), nullptr, b.left, b.top + delta, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    InvalidateRect(Handle(), nullptr, TRUE);
    SetScrollPos(Handle(), SB_VERT, position_, TRUE);
    Realign();  // aligned children stay in view
}

void ScrollBox::AfterRealign() { UpdateScrollRange(); }

void ScrollBox::PaintBuffered()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    const RECT& r = ps.rcPaint;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC memory = width > 0 && height > 0 ? CreateCompatibleDC(dc) : nullptr;
    HBITMAP picture = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (picture) {
        HGDIOBJ old = SelectObject(memory, picture);
        SetWindowOrgEx(memory, r.left, r.top, nullptr);  // draws in the box's own coordinates
        PaintBackground(memory);
        SetWindowOrgEx(memory, 0, 0, nullptr);
        BitBlt(dc, r.left, r.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(picture);
    } else if (width > 0 && height > 0) {
        PaintBackground(dc);  // no memory for the picture: drawn directly, as an unbuffered box is
    }
    if (memory)
        DeleteDC(memory);
    EndPaint(Handle(), &ps);
}

void ScrollBox::ChildChanged(Control& child)
{
    Control::ChildChanged(child);
    UpdateScrollRange();
}

LRESULT ScrollBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_VSCROLL:
        if (lParam == 0) {  // our own bar; bars of children are reflected to them by the base
            const int page = std::max(ClientHeight() - 10, 10);
            switch (LOWORD(wParam)) {
            case SB_LINEUP: SetScrollPosition(position_ - wheelStep_); break;
            case SB_LINEDOWN: SetScrollPosition(position_ + wheelStep_); break;
            case SB_PAGEUP: SetScrollPosition(position_ - page); break;
            case SB_PAGEDOWN: SetScrollPosition(position_ + page); break;
            case SB_TOP: SetScrollPosition(0); break;
            case SB_BOTTOM: SetScrollPosition(MaxPosition()); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: {
                SCROLLINFO info{};
                info.cbSize = sizeof info;
                info.fMask = SIF_TRACKPOS;
                GetScrollInfo(Handle(), SB_VERT, &info);
                SetScrollPosition(info.nTrackPos);
                break;
            }
            default: break;
            }
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (onMouseWheel) {
            auto handler = onMouseWheel;
            if (handler(delta))
                return 0;
        }
        int notches = delta / WHEEL_DELTA;
        if (notches == 0 && delta != 0)
            notches = delta > 0 ? 1 : -1;
        SetScrollPosition(position_ - notches * wheelStep_);
        return 0;
    }
    case WM_SIZE: {
        const LRESULT result = Control::HandleMessage(message, wParam, lParam);
        UpdateScrollRange();
        return result;
    }
    case WM_ERASEBKGND:
        if (doubleBuffered_)
            return 1;  // the paint draws the background, once
        break;
    case WM_PAINT:
        if (doubleBuffered_) {
            PaintBuffered();
            return 0;
        }
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

} // namespace ui
