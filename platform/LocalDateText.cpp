#include "platform/LocalDateText.h"

#include <windows.h>

namespace {

// Both calls are asked for the length first: locale formats have no fixed upper size.
std::string FormatDate(const SYSTEMTIME& time)
{
    const int size = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, nullptr, 0);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    const int written = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text.data(), size);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written - 1));  // without the terminating zero
    return text;
}

std::string FormatTime(const SYSTEMTIME& time)
{
    const int size = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, nullptr, 0);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    const int written = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, text.data(), size);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written - 1));
    return text;
}

} // namespace

std::string FormatLocalDateText(DateTime value)
{
    const DateTimeParts parts = DecodeDateTime(value);

    std::string date;
    if (parts.year >= 1601 && parts.year <= 30827) {
        SYSTEMTIME time{};
        time.wYear = static_cast<WORD>(parts.year);
        time.wMonth = static_cast<WORD>(parts.month);
        time.wDay = static_cast<WORD>(parts.day);
        date = FormatDate(time);
    }
    if (date.empty()) {
        const std::string iso = FormatIsoDateTime(value);
        date = iso.substr(0, iso.find(' '));
    }

    if (parts.hour == 0 && parts.minute == 0 && parts.second == 0 && parts.millisecond == 0)
        return date;

    // The time of day does not depend on the date: format it on a date every system accepts.
    SYSTEMTIME clock{};
    clock.wYear = 2000;
    clock.wMonth = 1;
    clock.wDay = 1;
    clock.wHour = static_cast<WORD>(parts.hour);
    clock.wMinute = static_cast<WORD>(parts.minute);
    clock.wSecond = static_cast<WORD>(parts.second);
    std::string time = FormatTime(clock);
    if (time.empty()) {
        const std::string iso = FormatIsoDateTime(value);
        time = iso.substr(iso.find(' ') + 1);
    }
    return date + " " + time;
}
