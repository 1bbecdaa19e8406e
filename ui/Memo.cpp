#include "ui/Memo.h"

namespace ui {

Memo::Memo(Control& parent, const ControlArgs& common, const MemoArgs& args) : Control(&parent, common)
{
    DWORD style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (args.readOnly)
        style |= ES_READONLY;
    CreateStandard("EDIT", style, WS_EX_CLIENTEDGE, {});
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);  // 0: as much as memory allows
    if (!args.text.empty())
        SetText(args.text);
}

void Memo::Append(const std::string& text)
{
    const int end = Length();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void Memo::Clear() { SetText({}); }

int Memo::Length() const { return GetWindowTextLengthA(Handle()); }

} // namespace ui
