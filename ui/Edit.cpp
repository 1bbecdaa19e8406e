#include "ui/Edit.h"

namespace ui {

Edit::Edit(Control& parent, const ControlArgs& common, const EditArgs& args) : Control(&parent, common)
{
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (args.readOnly)
        style |= ES_READONLY;
    if (args.alignment == TextAlign::Center)
        style |= ES_CENTER;
    else if (args.alignment == TextAlign::Right)
        style |= ES_RIGHT;
    CreateStandard("EDIT", style, WS_EX_CLIENTEDGE, args.text);
}

void Edit::SetReadOnly(bool readOnly) { SendMessageA(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }

bool Edit::ReadOnly() const { return GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY; }

void Edit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

bool Edit::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        Fire(onChange);
        result = 0;
        return true;
    }
    return false;
}

} // namespace ui
