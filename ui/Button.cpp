#include "ui/Button.h"

#include "ui/Form.h"
#include "ui/PictureDrawing.h"

#include <algorithm>

namespace ui {

Button::Button(Control& parent, const ControlArgs& common, const ButtonArgs& args)
    : Control(&parent, common), picture_(args.picture), layout_(args.layout), modalResult_(args.modalResult)
{
    CreateStandard("BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, args.caption);
}

void Button::SetPicture(HBITMAP picture)
{
    picture_ = picture;
    Invalidate();
}

void Button::Click()
{
    if (modalResult_)
        if (auto* form = dynamic_cast<Form*>(FromHandle(GetAncestor(Handle(), GA_ROOT))))
            form->SetModalResult(modalResult_);
    FireClick();
}

bool Button::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED)) {
        Click();
        result = 0;
        return true;
    }
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return false;
}

void Button::Draw(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    InflateRect(&r, -3, -3);
    if (pushed)
        OffsetRect(&r, 1, 1);

    const std::string caption = Text();
    HGDIOBJ oldFont = SelectObject(dc, Font());
    RECT textSize{0, 0, 0, 0};
    if (!caption.empty())
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int textW = textSize.right, textH = textSize.bottom;
    const SIZE pic = picture_ ? PictureSize(picture_) : SIZE{0, 0};
    const int gap = (picture_ && !caption.empty()) ? 4 : 0;
    const int width = r.right - r.left, height = r.bottom - r.top;

    int picX, picY;
    RECT textRect;
    UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_CENTER;
    int textHeight = textH;
    if (layout_ == PictureLayout::Top && textW > width) {
        // A caption wider than the button ("Auto Rename" under a picture) goes on two lines.
        RECT wrapped{0, 0, width, 0};
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &wrapped,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_CENTER);
        textHeight = wrapped.bottom;
        flags = DT_WORDBREAK | DT_NOPREFIX | DT_CENTER;
    }
    if (layout_ == PictureLayout::Top) {
        const int total = pic.cy + gap + textHeight;
        picX = r.left + (width - pic.cx) / 2;
        picY = r.top + (height - total) / 2;
        textRect = {r.left, picY + pic.cy + gap, r.right, picY + total};
    } else {
        const int total = pic.cx + gap + textW;
        picX = r.left + (width - total) / 2;
        picY = r.top + (height - pic.cy) / 2;
        textRect = {picX + pic.cx + gap, r.top, std::max<LONG>(picX + total, r.left), r.bottom};
    }
    if (picture_)
        DrawPicture(dc, picture_, picX, picY, disabled);
    if (!caption.empty()) {
        SetBkMode(dc, TRANSPARENT);
        if (disabled) {
            OffsetRect(&textRect, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, flags);
            OffsetRect(&textRect, -1, -1);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        }
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, flags);
    }
    SelectObject(dc, oldFont);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

} // namespace ui
