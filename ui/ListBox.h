#pragma once
#include "ui/Control.h"

#include <vector>

namespace ui {

struct ListBoxArgs {
    bool multiSelect = true;  // extended selection: Shift and Ctrl with the mouse or keys
    bool sorted = false;
    std::vector<std::string> items{};
};

// A list of texts. onClick runs when the selection changes; key events (onKeyUp...) as any control.
class ListBox : public Control {
public:
    ListBox(Control& parent, const ControlArgs& common, const ListBoxArgs& args = {});

    int Add(const std::string& item);  // returns its index
    void Delete(int index);
    void Clear();
    int Count() const;
    std::string Item(int index) const;
    int IndexOf(const std::string& item) const;  // exact comparison; -1 when absent

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelectedCount() const;
    void ClearSelection();
    // The focused entry (the caret of a multiple selection); -1 when the list is empty.
    int ItemIndex() const;
    void SetItemIndex(int index);

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool multiSelect_;
};

} // namespace ui
