#pragma once
#include "core/DateTime.h"

#include <optional>
#include <string_view>

// Reads a preset time of the form "YYYY-MM-DD HH:NN:SS". The colons stand for the system's time
// separator, so any run of one to four characters that are not digits is taken there (the same run
// both times). Nothing else is accepted: no missing fields, no out-of-range month, day, hour, minute
// or second, nothing before or after.
std::optional<DateTime> ParsePresetTime(std::string_view text);
