#include "core/PauseClock.h"
#include "core/RemainingTimeEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

struct File {
    std::int64_t bytes;
    double ms;  // what dealing with it takes
};

// Runs the files through the estimate, one look after each file as a job makes it, and returns the
// estimate shown right after the file that crosses each of the given shares of the job's time,
// beside the time that truly remained then.
struct Reading {
    double shownMs;
    double trueMs;
};
std::vector<Reading> ReadAt(const std::vector<File>& files, const std::vector<double>& shares,
                            const std::function<double(std::size_t)>& pauseAfter = {})
{
    std::int64_t totalBytes = 0;
    double totalMs = 0;
    for (const File& f : files) {
        totalBytes += f.bytes;
        totalMs += f.ms;
    }
    RemainingTimeEstimate estimate(totalBytes, static_cast<std::int64_t>(files.size()));
    PauseClock clock;
    clock.Start(0);
    std::vector<Reading> readings;
    std::size_t next = 0;
    double wall = 0, worked = 0;
    std::int64_t bytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        wall += files[i].ms;
        worked += files[i].ms;
        bytes += files[i].bytes;
        if (pauseAfter) {
            const double pause = pauseAfter(i);
            if (pause > 0) {
                clock.SetPaused(true, static_cast<std::int64_t>(wall));
                wall += pause;
                clock.SetPaused(false, static_cast<std::int64_t>(wall));
            }
        }
        const auto shown = estimate.Update(clock.ActiveMs(static_cast<std::int64_t>(wall)), bytes,
                                           static_cast<std::int64_t>(i + 1));
        while (next < shares.size() && worked >= shares[next] * totalMs) {
            EXPECT_TRUE(shown.has_value()) << "no estimate at " << shares[next];
            readings.push_back({shown ? static_cast<double>(*shown) : -1.0, totalMs - worked});
            ++next;
        }
    }
    return readings;
}

void ExpectWithin(const std::vector<Reading>& readings, double share, double slackMs)
{
    for (const Reading& r : readings)
        EXPECT_LE(std::fabs(r.shownMs - r.trueMs), std::max(share * r.trueMs, slackMs))
            << "shown " << r.shownMs << " ms, truly " << r.trueMs << " ms";
}

std::vector<File> SmallFiles(int count, double msEach)
{
    std::vector<File> files;
    for (int i = 0; i < count; ++i)
        files.push_back({4000 + (i * 7919) % 9000, msEach});
    return files;
}

} // namespace

TEST(RemainingTimeEstimate, SteadyJobsOfSmallOrLargeFilesAreToldWithinATenth)
{
    // 20,000 small files at half a millisecond each (each file costs, whatever its size).
    ExpectWithin(ReadAt(SmallFiles(20000, 0.5), {0.25, 0.5, 0.75}), 0.10, 200);
    // Forty files of 600 MiB at 300 ms each: the bytes are the cost.
    std::vector<File> large(40, File{600LL << 20, 300});
    ExpectWithin(ReadAt(large, {0.25, 0.5, 0.75}), 0.10, 400);
    // A delete: sizes vary a lot, time does not follow them.
    std::vector<File> deletions;
    for (int i = 0; i < 20000; ++i)
        deletions.push_back({(i % 10) == 0 ? (5LL << 20) : 100, 0.2});
    ExpectWithin(ReadAt(deletions, {0.25, 0.5, 0.75}), 0.10, 200);
}

TEST(RemainingTimeEstimate, SmallFilesAfterLargeOnesArePricedByTheFile)
{
    // Ten files of 200 MiB (2 s each at 100 MiB/s), then 20,000 small ones at 0.5 ms each: priced at
    // the large files' byte rate the small ones would seem nearly free.
    std::vector<File> files(10, File{200LL << 20, 2000});
    for (const File& f : SmallFiles(20000, 0.5))
        files.push_back(f);
    const auto readings = ReadAt(files, {0.75, 0.85, 0.95});
    ExpectWithin(readings, 0.35, 500);
}

TEST(RemainingTimeEstimate, APauseIsNotWorkAndTheFigureDoesNotJump)
{
    // A minute's pause after the 5,000th of 20,000 files: the time worked, not the time passed, is
    // what the files cost.
    const auto pause = [](std::size_t i) { return i == 4999 ? 60000.0 : 0.0; };
    ExpectWithin(ReadAt(SmallFiles(20000, 0.5), {0.26, 0.5, 0.75}, pause), 0.10, 200);

    // A file that took a second in a job of steady 1 ms files moves the figure shown only a little.
    RemainingTimeEstimate estimate(10000 * 100, 10000);
    std::int64_t ms = 0, files = 0;
    std::int64_t before = 0;
    for (; files < 3000; ++files, ms += 1)
        before = estimate.Update(ms, files * 100, files).value_or(before);
    ms += 1000;
    ++files;
    const std::int64_t after = estimate.Update(ms, files * 100, files).value_or(-1);
    EXPECT_NEAR(static_cast<double>(before), 7000.0, 700.0);
    EXPECT_LT(after, before * 1.6) << "one slow file nearly doubles the estimate at once";
}

TEST(RemainingTimeEstimate, TellsNothingBeforeTheFirstSecondAndNeverLessThanNothing)
{
    RemainingTimeEstimate estimate(1000, 10);
    EXPECT_FALSE(estimate.Update(300, 100, 1).has_value());
    EXPECT_FALSE(estimate.Update(600, 200, 2).has_value());
    EXPECT_FALSE(estimate.Update(900, 300, 3).has_value());
    ASSERT_TRUE(estimate.Update(1200, 400, 4).has_value());
    // More met than the count found: nothing is left, not a negative time.
    EXPECT_EQ(estimate.Update(5000, 5000, 50).value_or(-1), 0);

    // No bytes at all (empty files only): the files alone carry the time.
    RemainingTimeEstimate empty(0, 100);
    std::optional<std::int64_t> shown;
    for (int i = 1; i <= 50; ++i)
        shown = empty.Update(i * 40, 0, i);
    ASSERT_TRUE(shown.has_value());
    EXPECT_NEAR(static_cast<double>(*shown), 2000.0, 200.0);
}

TEST(PauseClock, CountsOnlyTheTimeWorked)
{
    PauseClock clock;
    clock.Start(1000);
    EXPECT_EQ(clock.ActiveMs(1500), 500);
    clock.SetPaused(true, 1500);
    clock.SetPaused(true, 1700);  // pressed again while paused: still paused since 1500
    EXPECT_EQ(clock.ActiveMs(2500), 500);
    clock.SetPaused(false, 3500);
    clock.SetPaused(false, 3600);  // a Go On while going changes nothing
    EXPECT_EQ(clock.ActiveMs(4000), 1000);
    clock.Start(10);  // a new job forgets the last one's pauses
    EXPECT_EQ(clock.ActiveMs(110), 100);
}

TEST(RemainingTimeEstimate, AFirstFileSlowedByTheJobsStartDoesNotSetTheFigure)
{
    // The first of 20,000 files took 900 ms (the job starting), the rest 0.1 ms each: the job has
    // about 2 s left, not the 5 hours the first file's pace would give.
    RemainingTimeEstimate estimate(20000 * 100, 20000);
    std::optional<std::int64_t> first;
    double ms = 900;
    estimate.Update(900, 100, 1);
    for (int files = 2; files <= 20000 && !first; ++files) {
        ms += 0.1;
        first = estimate.Update(static_cast<std::int64_t>(ms), files * 100LL, files);
    }
    ASSERT_TRUE(first.has_value());
    EXPECT_LT(*first, 4000);
}
