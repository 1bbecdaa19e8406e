#pragma once
#include "ui/Control.h"

namespace ui {

struct CheckBoxArgs {
    std::string caption{};
    bool checked = false;
};

// A check box on its parent's colour. onClick runs when the user toggles it and also when the
// program changes the mark with SetChecked (unless told not to), as the window's start-up relies on.
class CheckBox : public Control {
public:
    CheckBox(Control& parent, const ControlArgs& common, const CheckBoxArgs& args = {});
    bool Checked() const;
    void SetChecked(bool checked, bool raiseClick = true);

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// Answers WM_CTLCOLORSTATIC/BTN for check boxes and radio buttons: the parent's colour behind them.
bool ParentColoredBackground(const Control& control, UINT message, WPARAM wParam, LRESULT& result);

} // namespace ui
