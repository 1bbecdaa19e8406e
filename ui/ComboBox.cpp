#include "ui/ComboBox.h"

#include "ui/HandlerException.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

ComboBox::ComboBox(Control& parent, const ControlArgs& common, const ComboBoxArgs& args)
    : Control(&parent, common), dropDownCount_(std::max(args.dropDownCount, 1))
{
    DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
    style |= args.style == ComboStyle::DropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
    if (args.sorted)
        style |= CBS_SORT;
    CreateStandard("COMBOBOX", style, 0, {});
    for (const auto& item : args.items)
        Add(item);
    if (!args.text.empty())
        SetText(args.text);
    const Bounds b = GetBounds();
    PlaceWindow(b.left, b.top, b.width, b.height);
    // Key events of the edit field belong to the combo box.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(Handle(), &info) && info.hwndItem && info.hwndItem != Handle())
        SetWindowSubclass(info.hwndItem, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ComboBox::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, EditProc, 1);
    } else if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) {
        auto* combo = reinterpret_cast<ComboBox*>(data);
        try {
            if (FromHandle(GetParent(window)) == combo && combo->KeyEvent(message, wParam))
                return 0;
        } catch (...) {
            ReportHandlerException("a combo box key handler");
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ComboBox::PlaceWindow(int left, int top, int width, int)
{
    // The height of a combo box window includes its list; the closed height follows the font.
    const int itemHeight = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    const int closed = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 8;
    const int height = closed + dropDownCount_ * std::max(itemHeight, 1) + 2;
    // Its window is as high as the closed box, so the base never finds it in place at this height:
    // a layout placed it again every time, each placement a trip to the display.
    const Bounds now = GetBounds();
    if (height == placedHeight_ && now.left == left && now.top == top && now.width == width)
        return;
    placedHeight_ = height;
    Control::PlaceWindow(left, top, width, height);
}

int ComboBox::Add(const std::string& item)
{
    return static_cast<int>(SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ComboBox::Insert(int index, const std::string& item)
{
    SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::Delete(int index) { SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void ComboBox::Clear()
{
    const std::string text = Text();
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    if ((GetWindowLongA(Handle(), GWL_STYLE) & 3) == CBS_DROPDOWN)
        SetText(text);
}

ComboBox::Batch::Batch(ComboBox& box) : box_(box), list_(nullptr)
{
    // A combo box keeps its entries in a list window of its own: that is the one whose drawing is held.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    list_ = GetComboBoxInfo(box.Handle(), &info) && info.hwndList ? info.hwndList : box.Handle();
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

ComboBox::Batch::~Batch()
{
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ComboBox::Batch::Insert(int index, const std::string& item)
{
    box_.SendToOwnProcedure(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

std::string ComboBox::Item(int index) const
{
    const LRESULT length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

int ComboBox::IndexOf(const std::string& item) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (Item(i) == item)
            return i;
    return -1;
}

int ComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetItemIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

LRESULT ComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Focus events come as CBN_SETFOCUS/CBN_KILLFOCUS, once for the box and its edit field together.
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        return Default(message, wParam, lParam);
    return Control::HandleMessage(message, wParam, lParam);
}

bool ComboBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_COMMAND)
        return false;
    result = 0;
    switch (HIWORD(wParam)) {
    case CBN_EDITCHANGE:
        Fire(onChange);
        return true;
    case CBN_SELCHANGE: {
        // The edit field still shows the old text at this moment; show the picked item first.
        const int index = ItemIndex();
        if (index >= 0 && (GetWindowLongA(Handle(), GWL_STYLE) & 3) == CBS_DROPDOWN)
            SetText(Item(index));
        FireClick();
        Fire(onChange);
        return true;
    }
    case CBN_SETFOCUS:
        Fire(onEnter);
        return true;
    case CBN_KILLFOCUS:
        Fire(onExit);
        return true;
    default:
        return false;
    }
}

} // namespace ui
