#include "filters/PresetEntry.h"

std::string FormatPresetEntry(DateTime value, std::string_view timeSeparator)
{
    const std::string iso = FormatIsoDateTime(value);  // "YYYY-MM-DD HH:NN:SS"
    if (timeSeparator == ":")
        return iso;
    std::string text;
    for (const char c : iso) {
        if (c == ':')
            text += timeSeparator;
        else
            text += c;
    }
    return text;
}
