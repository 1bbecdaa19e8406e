#pragma once
#include "core/DateTime.h"

#include <string>

// A local date-time in the system's short date format, a blank and its long time format; the time is
// left out when it is exactly 00:00:00. Dates the system cannot format (before 1601) fall back to
// the year-month-day form so that nothing is lost.
std::string FormatLocalDateText(DateTime value);
