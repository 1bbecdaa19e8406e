#include "ui/PopupMenu.h"

namespace ui {

namespace {
constexpr UINT kFirstCommand = 100;
}

PopupMenu::~PopupMenu() = default;

int PopupMenu::Add(const MenuItemArgs& item)
{
    items_.push_back(item);
    return Count() - 1;
}

int PopupMenu::IndexOf(const std::string& name) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == name)
            return static_cast<int>(i);
    return -1;
}

void PopupMenu::SetChecked(int index, bool checked)
{
    MenuItemArgs& item = items_.at(static_cast<size_t>(index));
    item.checked = checked;
    if (checked && item.radioItem)
        for (size_t i = 0; i < items_.size(); ++i)
            if (static_cast<int>(i) != index && items_[i].radioItem && items_[i].groupIndex == item.groupIndex)
                items_[i].checked = false;
}

HMENU PopupMenu::Build() const
{
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < items_.size(); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.fType = MFT_STRING | (items_[i].radioItem ? MFT_RADIOCHECK : 0);
        info.fState = items_[i].checked ? MFS_CHECKED : MFS_UNCHECKED;
        info.wID = kFirstCommand + static_cast<UINT>(i);
        std::string caption = items_[i].caption;
        info.dwTypeData = caption.data();
        InsertMenuItemA(menu, static_cast<UINT>(i), TRUE, &info);
    }
    return menu;
}

int PopupMenu::Popup(HWND owner, int screenX, int screenY)
{
    HMENU menu = Build();
    if (!menu)
        return -1;
    SetForegroundWindow(owner);  // else the menu does not close when the user clicks elsewhere
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, screenX, screenY, 0, owner, nullptr));
    DestroyMenu(menu);
    PostMessageA(owner, WM_NULL, 0, 0);
    if (command < kFirstCommand || command >= kFirstCommand + items_.size())
        return -1;
    const int index = static_cast<int>(command - kFirstCommand);
    Click(index);
    return index;
}

void PopupMenu::Click(int index)
{
    MenuItemArgs& item = items_.at(static_cast<size_t>(index));
    if (item.autoCheck)
        SetChecked(index, !item.checked);
    if (item.onClick) {
        auto handler = item.onClick;
        handler();
    }
}

} // namespace ui
