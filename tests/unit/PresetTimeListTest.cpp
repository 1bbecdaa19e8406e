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

// A list control as the list brings it up: inserts at the places it is told.
struct FakeControl {
    std::vector<std::string> items;
    int inserts = 0;
    void BringUp(PresetTimeList& list)
    {
        list.BringUp([this](int index, const std::string& text) {
            ++inserts;
            ASSERT_GE(index, 0);
            ASSERT_LE(index, static_cast<int>(items.size()));
            items.insert(items.begin() + index, text);
        });
    }
};

const std::vector<std::string> kOuter{"1899-12-30 00:00:00", "2170-01-01 10:00:00"};

} // namespace

TEST(PresetTimeList, TimesMetInAnyOrderGoInAscendingOnceEach)
{
    PresetTimeList list(kOuter, ":");
    FakeControl control{kOuter};
    EXPECT_FALSE(list.ControlBehind());
    for (const DateTime t : {At(2021, 5, 1, 8, 0, 0), At(2020, 1, 1, 0, 0, 2), At(2021, 5, 1, 8, 0, 0),
                             At(2020, 1, 1, 0, 0, 0), At(1899, 12, 30, 0, 0, 0)})
        list.Add(t);
    EXPECT_TRUE(list.ControlBehind());

    control.BringUp(list);
    const std::vector<std::string> expected{"1899-12-30 00:00:00", "2020-01-01 00:00:00", "2020-01-01 00:00:02",
                                            "2021-05-01 08:00:00", "2170-01-01 10:00:00"};
    EXPECT_EQ(control.items, expected);
    EXPECT_EQ(control.inserts, 3) << "the time equal to an outer entry is not inserted again";
    EXPECT_EQ(list.Entries(), expected);
    EXPECT_FALSE(list.ControlBehind());
    control.BringUp(list);
    EXPECT_EQ(control.inserts, 3) << "nothing more to put in";
}

TEST(PresetTimeList, EntriesIncludeTimesTheControlHasNotBeenGivenYet)
{
    PresetTimeList list(kOuter, ":");
    FakeControl control{kOuter};
    list.Add(At(2020, 6, 1, 12, 0, 0));
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{kOuter[0], "2020-06-01 12:00:00", kOuter[1]}));
    EXPECT_TRUE(list.ControlBehind()) << "known to the list is not yet in the control";
    control.BringUp(list);
    EXPECT_EQ(control.items, list.Entries());
}

TEST(PresetTimeList, LaterBatchesGoBetweenTheEntriesAlreadyInTheControl)
{
    PresetTimeList list(kOuter, ":");
    FakeControl control{kOuter};
    // Folders met one after the other, each holding every third time of the same span; the control
    // brought up after the first two only.
    for (int folder = 0; folder < 3; ++folder) {
        for (int i = folder; i < 300; i += 3)
            list.Add(At(2020, 3, 1, 0, 0, 0) + i * 2.0 / 86400.0);
        if (folder < 2) {
            control.BringUp(list);
            EXPECT_EQ(control.items, list.Entries());
        }
    }
    EXPECT_EQ(control.items.size(), 202u);
    control.BringUp(list);
    EXPECT_EQ(control.items, list.Entries());
    ASSERT_EQ(control.items.size(), 302u);
    EXPECT_TRUE(std::is_sorted(control.items.begin(), control.items.end()));
    EXPECT_EQ(std::adjacent_find(control.items.begin(), control.items.end()), control.items.end());
    EXPECT_EQ(control.items[1], "2020-03-01 00:00:00");
    EXPECT_EQ(control.items[300], "2020-03-01 00:09:58");
}

TEST(PresetTimeList, AnEmptiedControlGetsEveryEntryAgainInOrder)
{
    PresetTimeList list(kOuter, ":");
    for (int i = 0; i < 50; ++i)
        list.Add(At(2020, 1, 1, 0, 0, 0) + (50 - i) * 2.0 / 86400.0);
    FakeControl control{kOuter};
    control.BringUp(list);
    list.Add(At(2023, 1, 1, 0, 0, 0));  // met after the first look, before the control is emptied

    FakeControl other;
    list.ControlEmptied();
    other.BringUp(list);
    EXPECT_EQ(other.items, list.Entries());
    EXPECT_EQ(other.items.size(), 53u);
    EXPECT_EQ(other.inserts, 53);
}

TEST(PresetTimeList, TimesBeforeDayZeroStandInTheirOrderWithinTheDay)
{
    // -1.25 is 06:00 and -1.5 is 12:00 of the same day: by value the later time would come first.
    PresetTimeList list(kOuter, ":");
    list.Add(-1.5);
    list.Add(-1.25);
    list.Add(-2.75);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"1899-12-28 18:00:00", "1899-12-29 06:00:00",
                                                         "1899-12-29 12:00:00", "1899-12-30 00:00:00",
                                                         "2170-01-01 10:00:00"}));
}

TEST(PresetTimeList, UsesTheTimeSeparatorItWasGiven)
{
    const std::vector<std::string> outer{FormatPresetEntry(0.0, "."), FormatPresetEntry(At(2170, 1, 1, 10, 0, 0), ".")};
    PresetTimeList list(outer, ".");
    FakeControl control{outer};
    list.Add(At(2022, 7, 9, 13, 45, 10));
    control.BringUp(list);
    EXPECT_EQ(control.items[1], "2022-07-09 13.45.10");
}

TEST(PresetTimeList, ManyDistinctTimesMetNewestFirstEndInOneAscendingPass)
{
    PresetTimeList list(kOuter, ":");
    for (int i = 20000; i-- > 0;)
        list.Add(At(2019, 1, 1, 0, 0, 0) + i * 2.0 / 86400.0);
    int expectedIndex = 1;
    std::size_t n = list.BringUp([&](int index, const std::string&) {
        ASSERT_EQ(index, expectedIndex) << "each one just before the last outer entry";
        ++expectedIndex;
    });
    EXPECT_EQ(n, 20000u);
    EXPECT_EQ(list.Entries().size(), 20002u);
    EXPECT_TRUE(std::is_sorted(list.Entries().begin(), list.Entries().end()));
}

TEST(PresetTimeList, ACopyFillsAnotherControlWithTheSameEntriesTimesNotYetPutInIncluded)
{
    PresetTimeList list(kOuter, ":");
    list.Add(At(2020, 1, 1, 0, 0, 4));
    FakeControl first{kOuter};
    first.BringUp(list);
    list.Add(At(2020, 1, 1, 0, 0, 2));  // met after the first control was brought up

    PresetTimeList copy = list;
    copy.ControlEmptied();
    FakeControl second;
    second.BringUp(copy);
    first.BringUp(list);
    EXPECT_EQ(second.items, first.items);
    EXPECT_EQ(second.items, (std::vector<std::string>{kOuter[0], "2020-01-01 00:00:02", "2020-01-01 00:00:04", kOuter[1]}));
}
