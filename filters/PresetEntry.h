#pragma once
#include "core/DateTime.h"

#include <string>
#include <string_view>

// A preset time of the time-window lists: "YYYY-MM-DD HH:NN:SS", the colons being the system's time
// separator. Such texts sort as the times do.
std::string FormatPresetEntry(DateTime value, std::string_view timeSeparator = ":");
