#include "ui/CheckBox.h"

#include "ui/GdiCache.h"

namespace ui {

bool ParentColoredBackground(const Control& control, UINT message, WPARAM wParam, LRESULT& result)
{
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN)
        return false;
    auto dc = reinterpret_cast<HDC>(wParam);
    const COLORREF color = control.EffectiveColor();
    SetBkColor(dc, color);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    result = reinterpret_cast<LRESULT>(GetSolidBrush(color));
    return true;
}

CheckBox::CheckBox(Control& parent, const ControlArgs& common, const CheckBoxArgs& args) : Control(&parent, common)
{
    CreateStandard("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, args.caption);
    if (args.checked)
        SendMessageA(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

bool CheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked, bool raiseClick)
{
    if (Checked() == checked)
        return;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (raiseClick)
        FireClick();
}

bool CheckBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        FireClick();
        return true;
    }
    return ParentColoredBackground(*this, message, wParam, result);
}

} // namespace ui
