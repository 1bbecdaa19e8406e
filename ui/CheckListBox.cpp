#include "ui/CheckListBox.h"
#include "ui/GdiCache.h"
#include "ui/TextDrawing.h"

#include <windowsx.h>

#include <algorithm>

namespace ui {

namespace {
constexpr int kBoxSize = 13;
constexpr int kBoxArea = kBoxSize + 4;  // the part of an entry that flips its mark
}

CheckListBox::CheckListBox(Control& parent, const ControlArgs& common, const CheckListBoxArgs& args)
    : Control(&parent, common), columns_(std::max(args.columns, 1))
{
    DWORD style = WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    style |= columns_ > 1 ? (LBS_MULTICOLUMN | WS_HSCROLL) : WS_VSCROLL;
    if (args.sorted)
        style |= LBS_SORT;
    CreateStandard("LISTBOX", style, WS_EX_CLIENTEDGE, {});
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, std::max(FontLineHeight(Handle(), Font()), kBoxSize) + 2);
    UpdateColumnWidth();
}

void CheckListBox::UpdateColumnWidth()
{
    if (columns_ > 1)
        SendMessageA(Handle(), LB_SETCOLUMNWIDTH, std::max(ClientWidth() / columns_, 20), 0);
}

int CheckListBox::Add(const std::string& item, bool checked)
{
    const LRESULT index = SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (index >= 0)
        SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    return static_cast<int>(index);
}

CheckListBox::Batch::Batch(CheckListBox& list) : list_(list) { SendMessageA(list.Handle(), WM_SETREDRAW, FALSE, 0); }

CheckListBox::Batch::~Batch()
{
    SendMessageA(list_.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.Handle(), nullptr, TRUE);
}

int CheckListBox::Batch::Add(const std::string& item, bool checked)
{
    const LRESULT index = list_.SendToOwnProcedure(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (index >= 0)
        list_.SendToOwnProcedure(LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    return static_cast<int>(index);
}

void CheckListBox::Delete(int index) { SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void CheckListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

int CheckListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }

std::string CheckListBox::Item(int index) const
{
    return ListBoxItemText(Handle(), index);
}

bool CheckListBox::Checked(int index) const
{
    const LRESULT data = SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data != LB_ERR && data != 0;
}

void CheckListBox::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= Count())
        return;
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    RECT r{};
    if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(Handle(), &r, TRUE);
}

int CheckListBox::ItemIndex() const
{
    const LRESULT index = SendMessageA(Handle(), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void CheckListBox::Toggle(int index)
{
    SetChecked(index, !Checked(index));
    Fire(onClickCheck, index);
}

LRESULT CheckListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, lParam);
        const int index = LOWORD(hit);
        if (HIWORD(hit) == 0 && index < Count()) {
            RECT r{};
            SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
            if (GET_X_LPARAM(lParam) < r.left + kBoxArea) {
                const LRESULT result = Control::HandleMessage(message, wParam, lParam);
                Toggle(index);
                return result;
            }
        }
        break;
    }
    case WM_CHAR:
        if (wParam == ' ') {
            const int index = ItemIndex();
            if (index >= 0)
                Toggle(index);
            return 0;
        }
        break;
    case WM_SIZE: {
        const LRESULT result = Control::HandleMessage(message, wParam, lParam);
        UpdateColumnWidth();
        return result;
    }
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

bool CheckListBox::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        FireClick();
        result = 0;
        return true;
    }
    return false;
}

void CheckListBox::Draw(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    if (static_cast<int>(item.itemID) < 0)
        return;
    const int index = static_cast<int>(item.itemID);
    RECT box{r.left + 2, r.top + (r.bottom - r.top - kBoxSize) / 2, 0, 0};
    box.right = box.left + kBoxSize;
    box.bottom = box.top + kBoxSize;
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (Checked(index))
        state |= DFCS_CHECKED;
    if (!IsWindowEnabled(Handle()))
        state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);

    RECT text = r;
    text.left += kBoxArea + 1;
    const bool selected = item.itemState & ODS_SELECTED;
    if (selected)
        FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!IsWindowEnabled(Handle()) ? COLOR_GRAYTEXT
                                 : selected                  ? COLOR_HIGHLIGHTTEXT
                                                             : COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, Font());
    const std::string caption = Item(index);
    text.left += 1;
    DrawProcessText(dc, caption, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        focus.left += kBoxArea;
        DrawFocusRect(dc, &focus);
    }
}

} // namespace ui
