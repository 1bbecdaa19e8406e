#include "ui/Label.h"
#include "ui/GdiCache.h"
#include "ui/TextDrawing.h"

#include <algorithm>

namespace ui {

Label::Label(Control& parent, const ControlArgs& common, const LabelArgs& args)
    : Control(&parent, common),
      textColor_(args.textColor),
      alignment_(args.alignment),
      wordWrap_(args.wordWrap),
      autoSize_(args.autoSize),
      handCursor_(args.handCursor)
{
    SetColor(args.color);
    CreateCustom("OrvLabel", WS_CHILD, 0, args.caption);
    AdjustSize();
}

void Label::SetTextColor(COLORREF color)
{
    textColor_ = color;
    Invalidate();
}

void Label::SetAlignment(TextAlign alignment)
{
    alignment_ = alignment;
    Invalidate();
}

UINT Label::DrawFlags() const
{
    UINT flags = DT_NOPREFIX | DT_EXPANDTABS;
    if (wordWrap_)
        flags |= DT_WORDBREAK;
    if (alignment_ == TextAlign::Center)
        flags |= DT_CENTER;
    else if (alignment_ == TextAlign::Right)
        flags |= DT_RIGHT;
    return flags;
}

int Label::LineHeight() const
{
    return FontLineHeight(Handle(), Font());
}

void Label::AdjustSize()
{
    if (!autoSize_ || !Handle() || adjusting_)
        return;
    adjusting_ = true;
    const std::string caption = Text();
    const char* text = caption.empty() ? " " : caption.c_str();  // an empty label keeps one line's height
    const int length = caption.empty() ? 1 : static_cast<int>(caption.size());
    const Bounds b = GetBounds();
    RECT r{0, 0, wordWrap_ ? std::max(b.width, 1) : 0, 0};
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font());
    DrawProcessText(dc, {text, static_cast<std::size_t>(length)}, &r, DrawFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    Bounds wanted = b;
    wanted.height = r.bottom - r.top;
    // A text that ends in a line break has an empty last line; measuring drops it, the label keeps it.
    if (!caption.empty() && caption.back() == '\n')
        wanted.height += LineHeight();
    if (!wordWrap_ && GetAlign() != Align::Top && GetAlign() != Align::Bottom && GetAlign() != Align::Client) {
        wanted.width = r.right - r.left;
        if (alignment_ == TextAlign::Right)
            wanted.left = b.left + b.width - wanted.width;
    }
    if (wanted.height != b.height || wanted.width != b.width || wanted.left != b.left)
        SetBounds(wanted);
    adjusting_ = false;
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT r{};
        GetClientRect(Handle(), &r);
        SetBkMode(dc, TRANSPARENT);
        COLORREF color = textColor_ == kDefaultTextColor ? GetSysColor(COLOR_WINDOWTEXT) : textColor_;
        if (!IsWindowEnabled(Handle()))
            color = GetSysColor(COLOR_GRAYTEXT);
        ::SetTextColor(dc, color);
        HGDIOBJ old = SelectObject(dc, Font());
        const std::string text = Text();
        DrawProcessText(dc, text, &r, DrawFlags());
        SelectObject(dc, old);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_SETTEXT:
        // The same text again changes nothing: it would still be stored through the server, measured
        // and repainted (a section switch sets every header, most to what they show).
        if (lParam && Text() == reinterpret_cast<const char*>(lParam))
            return TRUE;
        [[fallthrough]];
    case WM_SETFONT: {
        const LRESULT result = Control::HandleMessage(message, wParam, lParam);
        if (message == WM_SETFONT)
            font_ = reinterpret_cast<HFONT>(wParam);
        AdjustSize();
        Invalidate();
        return result;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(Font());
    case WM_SIZE: {
        const LRESULT result = Control::HandleMessage(message, wParam, lParam);
        if (wordWrap_)
            AdjustSize();
        Invalidate();
        return result;
    }
    case WM_SETCURSOR:
        if (handCursor_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

} // namespace ui
