#pragma once
#include "ui/Control.h"

namespace ui {

struct RadioButtonArgs {
    std::string caption{};
    bool checked = false;
};

// A radio button that stands alone: checking it never unchecks any other radio button, so the owner
// keeps a group consistent itself. A user click (or BM_CLICK) on an unchecked one checks it and runs
// onClick; a click on a checked one changes nothing. SetChecked never runs onClick.
class RadioButton : public Control {
public:
    RadioButton(Control& parent, const ControlArgs& common, const RadioButtonArgs& args = {});
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
