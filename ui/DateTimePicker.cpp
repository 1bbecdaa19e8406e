#include "ui/DateTimePicker.h"

#include <commctrl.h>

namespace ui {

DateTimePicker::DateTimePicker(Control& parent, const ControlArgs& common, const DateTimePickerArgs& args)
    : Control(&parent, common)
{
    DWORD style = WS_TABSTOP | DTS_SHORTDATEFORMAT;
    if (args.upDown)
        style |= DTS_UPDOWN;
    CreateStandard(DATETIMEPICK_CLASSA, style, 0, {});
    if (!args.format.empty())
        SetFormat(args.format);
}

SYSTEMTIME DateTimePicker::Value() const
{
    SYSTEMTIME value{};
    SendMessageA(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

bool DateTimePicker::SetValue(const SYSTEMTIME& value)
{
    SYSTEMTIME copy = value;
    return SendMessageA(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&copy)) != 0;
}

void DateTimePicker::SetFormat(const std::string& format)
{
    SendMessageA(Handle(), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format.c_str()));
}

bool DateTimePicker::Reflect(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == DTN_DATETIMECHANGE) {
        Fire(onChange);
        result = 0;
        return true;
    }
    return false;
}

} // namespace ui
