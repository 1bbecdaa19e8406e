#pragma once
#include "ui/Control.h"

namespace ui {

struct EditArgs {
    std::string text{};
    bool readOnly = false;
    TextAlign alignment = TextAlign::Left;
};

// A single-line text field. onChange runs on every change of the text, typed or set by the program;
// onKeyPress can discard typed characters, onKeyDown/onKeyUp see the keys.
class Edit : public Control {
public:
    Edit(Control& parent, const ControlArgs& common, const EditArgs& args = {});
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const;
    void SelectAll();

    std::function<void()> onChange;

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
