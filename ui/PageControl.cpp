#include "ui/PageControl.h"
#include "ui/GdiCache.h"

#include "ui/PictureDrawing.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace ui {

PageControl::PageControl(Control& parent, const ControlArgs& common, const PageControlArgs& args)
    : Control(&parent, common)
{
    DWORD style = WS_TABSTOP | WS_CLIPCHILDREN | TCS_OWNERDRAWFIXED;
    if (args.tabsAtBottom)
        style |= TCS_BOTTOM;
    if (args.buttonTabs)
        style |= TCS_BUTTONS;
    if (args.tabWidth > 0)
        style |= TCS_FIXEDWIDTH;
    CreateStandard(WC_TABCONTROLA, style, WS_EX_CONTROLPARENT, {});
    // Framed the classic way (the tabs are drawn by their owner either way). Under Wine the visual
    // style's drawing of the frame took about 45 ms a paint against under 2 ms (measured): the
    // Progress section's pages paint as a job begins, and those 45 ms held up the window then.
    SetWindowTheme(Handle(), L" ", L" ");
    if (args.tabWidth > 0 || args.tabHeight > 0) {
        const int height = args.tabHeight > 0 ? args.tabHeight : FontLineHeight(Handle(), Font()) + 6;
        SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(args.tabWidth > 0 ? args.tabWidth : 60, height));
    }
}

PageControl::~PageControl() { pages_.clear(); }

Panel& PageControl::AddPage(const std::string& caption, const std::string& name, HBITMAP picture)
{
    const int index = PageCount();
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = caption;
    if (picture) {
        // The control sizes a tab by its text; blanks make room for the picture drawn beside it
        // (the caption drawn is the page's own, without them).
        HDC dc = GetDC(Handle());
        HGDIOBJ old = SelectObject(dc, Font());
        SIZE blank{};
        GetTextExtentPoint32A(dc, " ", 1, &blank);
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
        const int room = PictureSize(picture).cx + 8;
        text.append(static_cast<size_t>(blank.cx > 0 ? (room + blank.cx - 1) / blank.cx : 8), ' ');
    }
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    auto page = std::make_unique<Panel>(*this, ControlArgs{.name = name, .align = Align::Client, .visible = index == 0},
                                        PanelArgs{.caption = caption});
    Panel& result = *page;
    pages_.push_back({std::move(page), caption, picture});
    Realign();
    return result;
}

int PageControl::ActivePageIndex() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)); }

void PageControl::SetActivePage(int index)
{
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowActivePage();
}

void PageControl::ShowActivePage()
{
    const int active = ActivePageIndex();
    for (int i = 0; i < PageCount(); ++i)
        if (i != active)
            pages_[static_cast<size_t>(i)].panel->Hide();
    if (active >= 0 && active < PageCount())
        pages_[static_cast<size_t>(active)].panel->Show();
}

RECT PageControl::LayoutArea() const
{
    RECT r = Control::LayoutArea();
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool PageControl::Reflect(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        ShowActivePage();
        Fire(onChange);
        result = 0;
        return true;
    }
    if (message == WM_DRAWITEM) {
        DrawTab(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return false;
}

void PageControl::DrawTab(const DRAWITEMSTRUCT& item)
{
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= PageCount())
        return;
    const bool selected = item.itemState & ODS_SELECTED;
    if (onDrawTab) {
        Fire(onDrawTab, index, item.hDC, item.rcItem, selected);
        return;
    }
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const PageEntry& page = pages_[static_cast<size_t>(index)];
    HGDIOBJ old = SelectObject(dc, Font());
    RECT textSize{0, 0, 0, 0};
    DrawTextA(dc, page.caption.c_str(), static_cast<int>(page.caption.size()), &textSize,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const SIZE pic = page.picture ? PictureSize(page.picture) : SIZE{0, 0};
    const int gap = page.picture ? 4 : 0;
    int x = r.left + (r.right - r.left - (pic.cx + gap + textSize.right)) / 2;
    if (page.picture) {
        DrawPicture(dc, page.picture, x, r.top + (r.bottom - r.top - pic.cy) / 2, !IsWindowEnabled(Handle()));
        x += pic.cx + gap;
    }
    RECT text{x, r.top, r.right, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(Handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(dc, page.caption.c_str(), static_cast<int>(page.caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
}

} // namespace ui
