#include "ui/RadioButton.h"

#include "ui/CheckBox.h"

namespace ui {

RadioButton::RadioButton(Control& parent, const ControlArgs& common, const RadioButtonArgs& args)
    : Control(&parent, common)
{
    // BS_RADIOBUTTON, not the auto kind: the system would otherwise uncheck the group's others.
    CreateStandard("BUTTON", BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP, 0, args.caption);
    SetChecked(args.checked);
}

bool RadioButton::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void RadioButton::SetChecked(bool checked)
{
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool RadioButton::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (!Checked()) {
            SetChecked(true);
            FireClick();
        }
        return true;
    }
    return ParentColoredBackground(*this, message, wParam, result);
}

} // namespace ui
