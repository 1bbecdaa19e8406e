#include "core/DateTime.h"

#include <gtest/gtest.h>

TEST(DateTime, DayZeroAndKnownDates)
{
    EXPECT_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(EncodeDateTime({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    EXPECT_EQ(EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
}

TEST(DateTime, RoundTripsEveryFieldExactly)
{
    for (const DateTimeParts p : {DateTimeParts{2026, 12, 6, 10, 17, 3, 0}, DateTimeParts{1980, 1, 1, 0, 0, 0, 0},
                                  DateTimeParts{2107, 12, 31, 23, 59, 58, 0}, DateTimeParts{2024, 2, 29, 23, 59, 59, 999},
                                  DateTimeParts{1601, 1, 1, 0, 0, 1, 0}}) {
        const DateTimeParts back = DecodeDateTime(EncodeDateTime(p));
        EXPECT_EQ(back.year, p.year);
        EXPECT_EQ(back.month, p.month);
        EXPECT_EQ(back.day, p.day);
        EXPECT_EQ(back.hour, p.hour);
        EXPECT_EQ(back.minute, p.minute);
        EXPECT_EQ(back.second, p.second);
        EXPECT_EQ(back.millisecond, p.millisecond);
    }
}

TEST(DateTime, Formats)
{
    const DateTime t = EncodeDateTime({2026, 12, 6, 10, 17, 3, 0});
    EXPECT_EQ(FormatIsoDateTime(t), "2026-12-06 10:17:03");
    EXPECT_EQ(FormatStamp(t), "2026_12_06_10_17_03");
    // Garbage values give day 0 rather than reading past any table.
    EXPECT_EQ(FormatIsoDateTime(1e300), "1899-12-30 00:00:00");
}

TEST(DateTime, PackedFormHasTwoSecondResolution)
{
    // 2026-03-03 14:05:09 packs its seconds as 4 (8 s): the odd second is lost by the file system.
    const std::uint16_t date = static_cast<std::uint16_t>(((2026 - 1980) << 9) | (3 << 5) | 3);
    const std::uint16_t time = static_cast<std::uint16_t>((14 << 11) | (5 << 5) | (9 / 2));
    EXPECT_EQ(FormatIsoDateTime(DosDateTimeToDateTime(date, time)), "2026-03-03 14:05:08");
}
