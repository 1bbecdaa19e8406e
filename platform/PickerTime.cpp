#include "platform/PickerTime.h"

#include <algorithm>

SYSTEMTIME ShownInPicker(DateTime value)
{
    const DateTimeParts p = DecodeDateTime(value);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(std::clamp(p.year, 1753, 9999));
    t.wMonth = static_cast<WORD>(p.month);
    t.wDay = static_cast<WORD>(p.day);
    t.wHour = static_cast<WORD>(p.hour);
    t.wMinute = static_cast<WORD>(p.minute);
    t.wSecond = static_cast<WORD>(p.second);
    return t;
}

DateTime FromPicker(const SYSTEMTIME& t)
{
    DateTimeParts p;
    p.year = t.wYear;
    p.month = t.wMonth;
    p.day = t.wDay;
    p.hour = t.wHour;
    p.minute = t.wMinute;
    p.second = t.wSecond;
    return EncodeDateTime(p);
}
