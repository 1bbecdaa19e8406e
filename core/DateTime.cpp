#include "core/DateTime.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days from 1970-01-01 for a proleptic Gregorian date (Howard Hinnant's civil algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kDay0 = DaysFromCivil(1899, 12, 30);

} // namespace

DateTime EncodeDateTime(const DateTimeParts& p)
{
    const std::int64_t days = DaysFromCivil(p.year, static_cast<unsigned>(p.month),
                                            static_cast<unsigned>(p.day)) - kDay0;
    const std::int64_t ms = ((static_cast<std::int64_t>(p.hour) * 60 + p.minute) * 60 + p.second) * 1000
                            + p.millisecond;
    const double fraction = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

DateTimeParts DecodeDateTime(DateTime value)
{
    DateTimeParts parts;
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)  // beyond year 9999 either way
        return parts;
    double whole = std::trunc(value);
    std::int64_t days = static_cast<std::int64_t>(whole);
    std::int64_t ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {  // rounding reached the next day
        ms -= kMsPerDay;
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays(days + kDay0, parts.year, parts.month, parts.day);
    parts.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    parts.second = static_cast<int>(ms % 60);
    ms /= 60;
    parts.minute = static_cast<int>(ms % 60);
    parts.hour = static_cast<int>(ms / 60);
    return parts;
}

DateTime DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime)
{
    DateTimeParts p;
    p.year = 1980 + (dosDate >> 9);
    p.month = (dosDate >> 5) & 0x0F;
    p.day = dosDate & 0x1F;
    p.hour = dosTime >> 11;
    p.minute = (dosTime >> 5) & 0x3F;
    p.second = (dosTime & 0x1F) * 2;
    // A packed value with a zero month or day is not a date; keep it from wrapping to odd days.
    if (p.month < 1 || p.month > 12)
        p.month = 1;
    if (p.day < 1)
        p.day = 1;
    return EncodeDateTime(p);
}

namespace {

std::string Format(DateTime value, const char* pattern)
{
    const DateTimeParts p = DecodeDateTime(value);
    char text[64];
    std::snprintf(text, sizeof text, pattern, p.year, p.month, p.day, p.hour, p.minute, p.second);
    return text;
}

} // namespace

std::string FormatIsoDateTime(DateTime value)
{
    return Format(value, "%04d-%02d-%02d %02d:%02d:%02d");
}

std::string FormatStamp(DateTime value)
{
    return Format(value, "%04d_%02d_%02d_%02d_%02d_%02d");
}
