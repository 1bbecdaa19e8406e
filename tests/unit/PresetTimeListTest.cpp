#include "filters/PresetTimeList.h"

#include "filters/PresetEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

DateTime At(int year, int month, int day, int hour, int minute, int second)
{
    return EncodeDateTime({year, month, day, hour, minute, second, 0});
}

// What a list control holds after the insertions are made one after the other.
std::vector<std::string> Applied(std::vector<std::string> control, const std::vector<PresetTimeList::Insertion>& insertions)
{
    for (const auto& insertion : insertions) {
        EXPECT_GE(insertion.index, 0);
        EXPECT_LE(insertion.index, static_cast<int>(control.size()));
        if (insertion.index < 0 || insertion.index > static_cast<int>(control.size()))
            return control;
        control.insert(control.begin() + insertion.index, insertion.text);
    }
    return control;
}

const std::vector<std::string> kOuter{"1899-12-30 00:00:00", "2170-01-01 10:00:00"};

} // namespace

TEST(PresetTimeList, TimesMetInAnyOrderGoInAscendingOnceEach)
{
    PresetTimeList list(kOuter, ":");
    for (const DateTime t : {At(2021, 5, 1, 8, 0, 0), At(2020, 1, 1, 0, 0, 2), At(2021, 5, 1, 8, 0, 0),
                             At(2020, 1, 1, 0, 0, 0), At(1899, 12, 30, 0, 0, 0)})
        list.Add(t);
    EXPECT_TRUE(list.HasPending());
    EXPECT_EQ(list.Entries(), kOuter) << "nothing is shown before it is taken";

    const auto insertions = list.TakePending();
    const std::vector<std::string> expected{"1899-12-30 00:00:00", "2020-01-01 00:00:00", "2020-01-01 00:00:02",
                                            "2021-05-01 08:00:00", "2170-01-01 10:00:00"};
    EXPECT_EQ(list.Entries(), expected);
    EXPECT_EQ(insertions.size(), 3u) << "the time equal to an outer entry is not inserted again";
    EXPECT_EQ(Applied(kOuter, insertions), expected);
    EXPECT_FALSE(list.HasPending());
    EXPECT_TRUE(list.TakePending().empty());
}

TEST(PresetTimeList, LaterBatchesGoBetweenTheEntriesAlreadyShown)
{
    PresetTimeList list(kOuter, ":");
    std::vector<std::string> control = kOuter;
    // Folders met one after the other, each holding every third time of the same span.
    for (int folder = 0; folder < 3; ++folder) {
        for (int i = folder; i < 300; i += 3)
            list.Add(At(2020, 3, 1, 0, 0, 0) + i * 2.0 / 86400.0);
        control = Applied(control, list.TakePending());
        EXPECT_EQ(control, list.Entries());
    }
    ASSERT_EQ(control.size(), 302u);
    EXPECT_TRUE(std::is_sorted(control.begin(), control.end()));
    EXPECT_EQ(std::adjacent_find(control.begin(), control.end()), control.end());
    EXPECT_EQ(control[1], "2020-03-01 00:00:00");
    EXPECT_EQ(control[300], "2020-03-01 00:09:58");
}

TEST(PresetTimeList, TimesBeforeDayZeroStandInTheirOrderWithinTheDay)
{
    // -1.25 is 06:00 and -1.5 is 12:00 of the same day: by value the later time would come first.
    PresetTimeList list(kOuter, ":");
    list.Add(-1.5);
    list.Add(-1.25);
    list.Add(-2.75);
    list.TakePending();
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"1899-12-28 18:00:00", "1899-12-29 06:00:00",
                                                         "1899-12-29 12:00:00", "1899-12-30 00:00:00",
                                                         "2170-01-01 10:00:00"}));
}

TEST(PresetTimeList, UsesTheTimeSeparatorItWasGiven)
{
    const std::vector<std::string> outer{FormatPresetEntry(0.0, "."), FormatPresetEntry(At(2170, 1, 1, 10, 0, 0), ".")};
    PresetTimeList list(outer, ".");
    list.Add(At(2022, 7, 9, 13, 45, 10));
    const auto insertions = list.TakePending();
    ASSERT_EQ(insertions.size(), 1u);
    EXPECT_EQ(insertions[0].index, 1);
    EXPECT_EQ(insertions[0].text, "2022-07-09 13.45.10");
}

TEST(PresetTimeList, ManyDistinctTimesMetNewestFirstEndInOneAscendingPass)
{
    PresetTimeList list(kOuter, ":");
    for (int i = 20000; i-- > 0;)
        list.Add(At(2019, 1, 1, 0, 0, 0) + i * 2.0 / 86400.0);
    EXPECT_EQ(list.PendingCount(), 20000u);
    const auto insertions = list.TakePending();
    ASSERT_EQ(insertions.size(), 20000u);
    for (std::size_t i = 0; i < insertions.size(); ++i)
        ASSERT_EQ(insertions[i].index, static_cast<int>(i) + 1) << "each one just before the last outer entry";
    EXPECT_EQ(list.Entries().size(), 20002u);
    EXPECT_TRUE(std::is_sorted(list.Entries().begin(), list.Entries().end()));
}
