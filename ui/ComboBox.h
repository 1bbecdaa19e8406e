#pragma once
#include "ui/Control.h"

#include <vector>

namespace ui {

enum class ComboStyle { DropDown, DropDownList };  // with an edit field / a fixed list

struct ComboBoxArgs {
    ComboStyle style = ComboStyle::DropDown;
    bool sorted = false;
    int dropDownCount = 8;
    std::string text{};
    std::vector<std::string> items{};
};

// A drop-down combo box. Its text (the edit field, or the chosen item) is the window text.
// onChange runs when the user edits the text or picks an item; onClick when an item is picked (the
// text already holds the item then). onEnter/onExit follow the focus of the whole box, and key events
// come from its edit field. Setting the text or the items from the program runs no handler.
class ComboBox : public Control {
public:
    ComboBox(Control& parent, const ControlArgs& common, const ComboBoxArgs& args = {});

    int Add(const std::string& item);  // returns its index (sorted boxes insert in order)
    void Insert(int index, const std::string& item);
    void Delete(int index);
    void Clear();  // the items; the text of an edit box stays
    int Count() const;
    std::string Item(int index) const;
    int IndexOf(const std::string& item) const;  // exact comparison; -1 when absent
    int ItemIndex() const;
    void SetItemIndex(int index);

    std::function<void()> onChange;

    // Many items put in at once: the list is drawn once, when the batch ends, and the items go
    // straight to the control. Nothing may reach the control any other way while a batch is open.
    class Batch {
    public:
        explicit Batch(ComboBox& box);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch();
        void Insert(int index, const std::string& item);  // -1: at the end
    private:
        ComboBox& box_;
        HWND list_;
    };

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PlaceWindow(int left, int top, int width, int height) override;

private:
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    int dropDownCount_;
    int placedHeight_ = -1;  // with its list, as last placed
};

} // namespace ui
