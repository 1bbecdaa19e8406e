#include "core/InFlightCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr std::uint32_t kMs = InFlightCount::kWindowMs;

// Runs windows of small files through the rule, each window getting the rate a volume gives at the
// count it ran with (files per window as a function of the count); the counts it ran with, in order.
std::vector<int> RunWindows(InFlightCount& rule, int windows, const std::function<double(int)>& filesAt)
{
    std::vector<int> counts;
    for (int i = 0; i < windows; ++i) {
        const int count = rule.Count();
        counts.push_back(count);
        rule.Next(static_cast<std::int64_t>(filesAt(count)), count * 4096, kMs, true);
    }
    return counts;
}

int Share(const std::vector<int>& counts, int count, std::size_t from)
{
    int n = 0;
    for (std::size_t i = from; i < counts.size(); ++i)
        n += counts[i] == count ? 1 : 0;
    return n;
}

TEST(InFlightCount, StartsAtTwoAndStaysInRange)
{
    InFlightCount rule;
    EXPECT_EQ(rule.Count(), 2);
    EXPECT_FALSE(rule.Fixed());
    const std::vector<int> counts = RunWindows(rule, 200, [](int count) { return 100.0 * count * count; });
    for (int count : counts) {
        EXPECT_GE(count, InFlightCount::kMin);
        EXPECT_LE(count, InFlightCount::kMax);
    }
}

TEST(InFlightCount, RisingRateClimbsToTheTopAndStays)
{
    InFlightCount rule;
    const std::vector<int> counts = RunWindows(rule, 120, [](int count) { return 200.0 * count; });
    // One fewer plainly loses and is given up after one window; a plain gain is kept after one window,
    // a smaller one after two.
    const std::vector<int> start(counts.begin(), counts.begin() + 12);
    EXPECT_EQ(start, (std::vector<int>{2, 1, 3, 4, 5, 5, 6, 6, 7, 7, 8, 8}));
    // Later probes (one fewer, worse) come back.
    EXPECT_GE(Share(counts, 8, 11), 100);
    EXPECT_GE(rule.Count(), 7);
}

TEST(InFlightCount, FlatRateStaysAtTwo)
{
    InFlightCount rule;
    const std::vector<int> counts = RunWindows(rule, 120, [](int) { return 500.0; });
    // One and three are tried and bring nothing: two stays but for the rare probe.
    const std::vector<int> start(counts.begin(), counts.begin() + 6);
    EXPECT_EQ(start, (std::vector<int>{2, 1, 1, 3, 3, 2}));
    EXPECT_GE(Share(counts, 2, 5), 95);
    for (int count : counts)
        EXPECT_LE(count, 3);
}

TEST(InFlightCount, FallingRateSettlesOnOneFileAtATime)
{
    // A spinning disk: every file more in flight costs half a file's time in seeks.
    InFlightCount rule;
    const std::vector<int> counts = RunWindows(rule, 120, [](int count) { return 600.0 * 2 / (count + 1); });
    // One fewer is tried first, so no window goes to a count above the start.
    EXPECT_EQ(counts[1], 1);
    EXPECT_GE(Share(counts, 1, 1), 112);
    // The later probes of two plainly lose and take one window each.
    for (std::size_t i = 1; i + 1 < counts.size(); ++i)
        EXPECT_FALSE(counts[i] == 2 && counts[i + 1] == 2) << "window " << i;
    EXPECT_LE(*std::max_element(counts.begin(), counts.end()), 2);
    EXPECT_EQ(rule.Count(), 1);
}

TEST(InFlightCount, SettlesWhereTheRateIsBest)
{
    InFlightCount rule;
    const std::vector<int> counts = RunWindows(rule, 120, [](int count) {
        const double best[] = {0, 300, 500, 650, 750, 700, 600, 500, 400};
        return best[count];
    });
    // Each later round tries five and three once, and comes back.
    EXPECT_GE(Share(counts, 4, 14), 90);
    EXPECT_EQ(rule.Count(), 4);
}

TEST(InFlightCount, AFallAtASettledCountTriesOneFewer)
{
    InFlightCount rule;
    double scale = 1.0;
    RunWindows(rule, 20, [&scale](int count) { return scale * 200.0 * count; });
    ASSERT_EQ(rule.Count(), 8);
    // The volume slows down and now loses with every file more in flight.
    scale = 0.1;
    const std::vector<int> counts = RunWindows(rule, 40, [](int count) { return 2000.0 / count; });
    EXPECT_LT(counts[2], 8);
    EXPECT_EQ(rule.Count(), 1);
}

TEST(InFlightCount, ALargeFileAmongSmallOnesIsNoFall)
{
    InFlightCount rule;
    RunWindows(rule, 10, [](int) { return 800.0; });  // tried three and one, settled
    ASSERT_EQ(rule.Count(), 2);
    // A window spent on one large file at the same pace: a few small files and many mebibytes.
    rule.Next(20, 780LL * InFlightCount::kBytesPerUnit, kMs, true);
    EXPECT_EQ(rule.Count(), 2);
    rule.Next(20, 780LL * InFlightCount::kBytesPerUnit, kMs, true);
    EXPECT_EQ(rule.Count(), 2);
    // The same windows counted by their files alone would read as a fall and try one fewer.
    InFlightCount byFiles;
    RunWindows(byFiles, 10, [](int) { return 800.0; });
    byFiles.Next(20, 0, kMs, true);
    EXPECT_EQ(byFiles.Count(), 2);  // one slow window is not yet a fall
    byFiles.Next(20, 0, kMs, true);
    EXPECT_EQ(byFiles.Count(), 1);

    EXPECT_EQ(InFlightCount::PlacesOf(0), 1);
    EXPECT_EQ(InFlightCount::PlacesOf(InFlightCount::kLargeFileBytes - 1), 1);
    EXPECT_EQ(InFlightCount::PlacesOf(InFlightCount::kLargeFileBytes), 2);
    EXPECT_EQ(InFlightCount::PlacesOf(512LL << 20), 2);
}

TEST(InFlightCount, LargeFilesStepByThePlacesOneTakes)
{
    // Windows inside large files finish few or none; the bytes are the work. The files in flight are
    // the count over two.
    const auto run = [](InFlightCount& rule, int windows, const std::function<double(int)>& mibAt) {
        std::vector<int> counts;
        for (int i = 0; i < windows; ++i) {
            counts.push_back(rule.Count());
            const int files = i % 3 == 0 ? 1 : 0;
            rule.Next(files, static_cast<std::int64_t>(mibAt(rule.Count() / 2)) * InFlightCount::kBytesPerUnit, kMs, true);
        }
        return counts;
    };
    InFlightCount rising;
    std::vector<int> counts = run(rising, 40, [](int files) { return 100.0 * files; });
    const std::vector<int> start(counts.begin(), counts.begin() + 7);
    EXPECT_EQ(start, (std::vector<int>{2, 4, 6, 8, 8, 8, 8})) << "no probe below one large file, steps of two";
    EXPECT_EQ(rising.Count(), 8);

    // A spinning disk: a second large file beside the first costs seeks. It is tried for one window.
    InFlightCount falling;
    counts = run(falling, 40, [](int files) { return files > 1 ? 60.0 : 100.0; });
    EXPECT_EQ(counts[1], 4);
    for (std::size_t i = 1; i + 1 < counts.size(); ++i)
        EXPECT_FALSE(counts[i] == 4 && counts[i + 1] == 4) << "window " << i;
    EXPECT_LE(*std::max_element(counts.begin(), counts.end()), 4);
    EXPECT_GE(Share(counts, 2, 2), 36);
    EXPECT_EQ(falling.Count(), 2);
}

TEST(InFlightCount, WindowsThatSayNothingLeaveTheCount)
{
    InFlightCount rule;
    rule.Next(1000, 0, kMs, true);
    ASSERT_EQ(rule.Count(), 1);
    // Held back by the walk or a question, empty, or of no length: no probe is judged by them.
    rule.Next(10, 0, kMs, false);
    rule.Next(0, 0, kMs, true);
    rule.Next(1000, 0, 0, true);
    EXPECT_EQ(rule.Count(), 1);
    // A little worse, not plainly: judged over two windows, then the other way is tried.
    rule.Next(950, 0, kMs, true);
    EXPECT_EQ(rule.Count(), 1);
    rule.Next(950, 0, kMs, true);
    EXPECT_EQ(rule.Count(), 3);
}

TEST(InFlightCount, AFixedCountHolds)
{
    for (int fixed = InFlightCount::kMin; fixed <= InFlightCount::kMax; ++fixed) {
        InFlightCount rule(fixed);
        EXPECT_TRUE(rule.Fixed());
        const std::vector<int> counts = RunWindows(rule, 30, [](int count) { return 100.0 * count; });
        for (int count : counts)
            EXPECT_EQ(count, fixed);
    }
    // Outside the range it is no setting: the count follows the rate.
    EXPECT_FALSE(InFlightCount(0).Fixed());
    EXPECT_FALSE(InFlightCount(9).Fixed());
    EXPECT_FALSE(InFlightCount(-1).Fixed());
    EXPECT_EQ(InFlightCount(9).Count(), InFlightCount::kStart);
}

} // namespace
