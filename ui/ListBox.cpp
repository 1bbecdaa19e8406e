#include "ui/ListBox.h"
#include "ui/GdiCache.h"

namespace ui {

ListBox::ListBox(Control& parent, const ControlArgs& common, const ListBoxArgs& args)
    : Control(&parent, common), multiSelect_(args.multiSelect)
{
    DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (args.multiSelect)
        style |= LBS_EXTENDEDSEL;
    if (args.sorted)
        style |= LBS_SORT;
    CreateStandard("LISTBOX", style, WS_EX_CLIENTEDGE, {});
    for (const auto& item : args.items)
        Add(item);
}

int ListBox::Add(const std::string& item)
{
    return static_cast<int>(SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ListBox::Delete(int index) { SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void ListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }

std::string ListBox::Item(int index) const
{
    return ListBoxItemText(Handle(), index);
}

int ListBox::IndexOf(const std::string& item) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (Item(i) == item)
            return i;
    return -1;
}

bool ListBox::Selected(int index) const
{
    return SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool selected)
{
    if (multiSelect_)
        SendMessageA(Handle(), LB_SETSEL, selected ? TRUE : FALSE, index);
    else
        SendMessageA(Handle(), LB_SETCURSEL, selected ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

int ListBox::SelectedCount() const
{
    if (!multiSelect_)
        return SendMessageA(Handle(), LB_GETCURSEL, 0, 0) == LB_ERR ? 0 : 1;
    const LRESULT count = SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

void ListBox::ClearSelection()
{
    if (multiSelect_)
        SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
    else
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int ListBox::ItemIndex() const
{
    if (Count() == 0)
        return -1;
    const LRESULT index = SendMessageA(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::SetItemIndex(int index)
{
    if (multiSelect_)
        SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    else
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ListBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        FireClick();
        result = 0;
        return true;
    }
    return false;
}

} // namespace ui
