#include "core/DateTime.h"
#include "filters/PresetEntry.h"
#include "filters/PresetParsing.h"

#include <gtest/gtest.h>

TEST(PresetEntry, TheTimeSeparatorReplacesTheColonsOnly)
{
    EXPECT_EQ(FormatPresetEntry(0.0), "1899-12-30 00:00:00");
    EXPECT_EQ(FormatPresetEntry(EncodeDateTime({2024, 2, 29, 23, 5, 8, 0}), "."), "2024-02-29 23.05.08");
    EXPECT_EQ(FormatPresetEntry(EncodeDateTime({2170, 1, 2, 3, 4, 6, 0}), " h "), "2170-01-02 03 h 04 h 06");
    // Texts of this form sort as the times do, which the sorted preset lists rely on.
    EXPECT_LT(FormatPresetEntry(EncodeDateTime({2020, 9, 30, 23, 59, 58, 0})),
              FormatPresetEntry(EncodeDateTime({2020, 10, 1, 0, 0, 0, 0})));
}

// What the scan writes into the preset lists is what choosing an entry reads back.
TEST(PresetEntry, ChoosingAnEntryGivesBackTheTimeItWasMadeFrom)
{
    const DateTime times[] = {0.0, EncodeDateTime({2024, 2, 29, 23, 5, 8, 0}), EncodeDateTime({2170, 1, 2, 3, 4, 6, 0})};
    for (const char* separator : {":", ".", " h "})
        for (const DateTime value : times)
            EXPECT_EQ(ParsePresetTime(FormatPresetEntry(value, separator)), value) << separator;
}
