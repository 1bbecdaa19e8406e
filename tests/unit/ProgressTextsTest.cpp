#include "core/ProgressTexts.h"

#include <gtest/gtest.h>

TEST(ProgressTexts, EstimateOfTheWorkedExample)
{
    // 1 MiB in 4 files, 10 s after the first file of 256 KiB.
    EXPECT_EQ(RemainingSeconds(10000, 1048576, 262144, 4, 1), 30);
    EXPECT_EQ(TimeRemainingText(30), "Time Remaining 0m30s");
    EXPECT_EQ(TimeRemainingText(187), "Time Remaining 3m7s");
    EXPECT_EQ(TimeRemainingText(-12), "Time Remaining 0m0s");
}

TEST(ProgressTexts, EstimateDoesNotOverflowOnHugeTotals)
{
    // 49 days of ticks times an 8 EiB total overflows 64 bits; the estimate saturates instead.
    const std::int64_t seconds = RemainingSeconds(4'000'000'000LL, INT64_MAX / 2, 1, 1000, 1);
    EXPECT_GT(seconds, 0);
    EXPECT_EQ(MulDiv64(4'000'000'000LL, 4'000'000'000'000LL, 1'000'000LL), 16'000'000'000'000'000LL);
    EXPECT_EQ(MulDiv64(INT64_MAX, INT64_MAX, INT64_MAX), INT64_MAX);
    EXPECT_EQ(MulDiv64(INT64_MAX, 3, 1), INT64_MAX);
    EXPECT_EQ(MulDiv64(-7, 3, 2), -10);
    EXPECT_EQ(MulDiv64(5, 5, 0), 0);
}

TEST(ProgressTexts, OverallTextsAsWritten)
{
    EXPECT_EQ(OverallProgressText(52428800, 104857600, 12, 30), "52428800B/104857600B   --     12/30");
    EXPECT_EQ(ProgressPercentHeader(1, 1048576), "Progress (0%)\n");
    EXPECT_EQ(ProgressPercentHeader(524288, 1048576), "Progress (50%)\n");
    EXPECT_EQ(SpendingText(12999), "Spending 12s ");
    EXPECT_EQ(CopiedSoFarText(5242880, 3), "5242880bytes of 3files copied.");
    EXPECT_EQ(ScannedSoFarHeader(10, 2), "Progress (10bytes of 2files scaned )\n");
}

TEST(ProgressTexts, SpeedWithNoElapsedTimeDoesNotDivideByZero)
{
    EXPECT_EQ(SpeedText(5000, 0), "  Speed 5000kbps");
    EXPECT_EQ(SpeedText(5000, 2), "  Speed 2500kbps");
}

TEST(ProgressTexts, BarScalingKeepsLargeFilesInRange)
{
    EXPECT_EQ(ScaleForBar(100, 50), std::make_pair(100, 50));
    const auto [max, pos] = ScaleForBar(5LL << 30, 5LL << 29);  // 5 GiB, half done
    EXPECT_LE(max, INT32_MAX);
    EXPECT_GT(max, 0);
    EXPECT_EQ(pos, max / 2);
    EXPECT_EQ(ScaleForBar(INT64_MAX, INT64_MAX).first, ScaleForBar(INT64_MAX, INT64_MAX).second);
    EXPECT_EQ(ScaleForBar(-1, 5), std::make_pair(0, 0));
}

TEST(ProgressTexts, TheFileLineNamesWhatIsDoneToTheFile)
{
    EXPECT_EQ(FileUnderWayText(kOpCopy, "C:\\a"), "Copying C:\\a");
    EXPECT_EQ(FileUnderWayText(kOpCut, "C:\\a"), "Copying C:\\a");
    EXPECT_EQ(FileUnderWayText(kOpTrash, "C:\\a"), "Removing C:\\a");
    EXPECT_EQ(FileUnderWayText(kOpDelete, "C:\\a"), "Deleting C:\\a");
    EXPECT_EQ(FileUnderWayText(kOpCrush, "C:\\a"), "Crushing C:\\a");
}
