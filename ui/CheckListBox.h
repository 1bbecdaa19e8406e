#pragma once
#include "ui/Control.h"

namespace ui {

struct CheckListBoxArgs {
    bool sorted = false;
    int columns = 1;  // more than one: entries flow into columns with a horizontal scroll bar
};

// A list whose entries carry check marks (an owner-drawn list box). A click on an entry's box, or
// Space on the focused entry, flips the mark and runs onClickCheck; SetChecked runs nothing.
class CheckListBox : public Control {
public:
    CheckListBox(Control& parent, const ControlArgs& common, const CheckListBoxArgs& args = {});

    int Add(const std::string& item, bool checked = false);  // returns its index
    void Delete(int index);
    void Clear();
    int Count() const;
    std::string Item(int index) const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int ItemIndex() const;

    std::function<void(int index)> onClickCheck;

    // Many entries added at once: the list is drawn once, when the batch ends, and the entries go
    // straight to the control. Nothing may reach the control any other way while a batch is open.
    class Batch {
    public:
        explicit Batch(CheckListBox& list);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch();
        int Add(const std::string& item, bool checked);  // as CheckListBox::Add
    private:
        CheckListBox& list_;
    };

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Toggle(int index);
    void Draw(const DRAWITEMSTRUCT& item);
    void UpdateColumnWidth();
    int columns_;
};

} // namespace ui
