#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct MenuItemArgs {
    std::string caption{};
    std::string name{};
    bool checked = false;
    bool autoCheck = false;  // a click flips the item's own check mark
    bool radioItem = false;  // drawn with a dot; a checked radio item unchecks the others of its group
    int groupIndex = 0;
    std::function<void()> onClick{};
};

// A right-click menu. Items are added in order; with autoCheck a click flips the item's mark, and a
// radio item that becomes checked unchecks the other radio items of its group (clicking the checked one
// thus leaves none checked). Attach it to a control with Control::SetPopupMenu, or call Popup.
class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    ~PopupMenu();

    int Add(const MenuItemArgs& item);
    int Count() const { return static_cast<int>(items_.size()); }
    int IndexOf(const std::string& name) const;
    bool Checked(int index) const { return items_.at(static_cast<size_t>(index)).checked; }
    void SetChecked(int index, bool checked);  // no click action
    const std::string& Caption(int index) const { return items_.at(static_cast<size_t>(index)).caption; }

    // Shows the menu at a screen point and runs the chosen item; returns its index or -1.
    int Popup(HWND owner, int screenX, int screenY);
    // Does what choosing the item does (check marks, then onClick).
    void Click(int index);

private:
    HMENU Build() const;
    std::vector<MenuItemArgs> items_;
};

} // namespace ui
