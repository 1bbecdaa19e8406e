#pragma once
#include <cstdint>
#include <string>

// Local date-time as a double: whole days since 1899-12-30 00:00:00, time of day as the fraction.
// A negative value counts days before day 0; its fraction is still the time of that day
// (-1.25 is 1899-12-29 06:00), the usual convention of this date type.
using DateTime = double;

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Exact for every whole millisecond: the day and the milliseconds of the day are encoded separately.
DateTime EncodeDateTime(const DateTimeParts& parts);
// Rounds to the nearest millisecond.
DateTimeParts DecodeDateTime(DateTime value);

// Packed file-system form (two-second resolution), as FileTimeToDosDateTime gives it.
DateTime DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime);

// "YYYY-MM-DD HH:NN:SS"
std::string FormatIsoDateTime(DateTime value);
// "YYYY_MM_DD_HH_NN_SS"
std::string FormatStamp(DateTime value);
