// The pre-scan's counting on real trees, without a window.
#include "engine/filefacts.h"
#include "engine/prescan.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

using testsupport::MakeTree;
using testsupport::SetWriteTime;
using testsupport::TempFolder;

namespace {

struct RecordingHost : ScanHost {
    int pumps = 0;
    std::vector<std::string> extensions;
    std::vector<DateTime> times;
    std::vector<std::int64_t> counts;
    void ProcessMessages() override { ++pumps; }
    std::uint32_t Milliseconds() override { return 0; }  // time stands still: pumps per folder only
    void ExtensionMet(const std::string& entry) override { extensions.push_back(entry); }
    void TimeMet(DateTime modified) override { times.push_back(modified); }
    void Counted(std::int64_t files) override { counts.push_back(files); }
};

constexpr std::uint64_t kSecond = 10000000;
constexpr std::uint64_t k2020 = 132223104000000000;  // 2020-01-01 00:00:00 UTC

} // namespace

TEST(PreScan, CountsEveryFileAndByteBelowEverySourceOnce)
{
    TempFolder temp;
    const std::string a = temp / "a";
    const std::string b = temp / "b";
    ASSERT_TRUE(MakeTree(temp.Path(), {"a\\", "a\\one.txt=1", "a\\TWO.TXT=22", "a\\README=333", "a\\sub\\",
                                       "a\\sub\\x.doc=4444", "b\\", "b\\p.jpg=5", "b\\q.jpg=", "b\\r.JPG=66",
                                       "b\\s.tar.gz=777", "b\\sub\\", "b\\sub\\hidden.sys=88"}));
    ASSERT_TRUE(SetFileAttributesA((b + "\\sub\\hidden.sys").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesA((b + "\\sub").c_str(), FILE_ATTRIBUTE_HIDDEN));

    ScanTotals state;
    RecordingHost host;
    PreScan scan(host, state);
    for (const std::string& item : {a, b, temp / "gone", std::string(temp / "a\\one.txt")})
        scan.CountItem(item);

    EXPECT_EQ(state.fileTotal, 10);  // 3 + 4 files, 1 in each subfolder, and the file item
    EXPECT_EQ(state.byteTotal, 1 + 2 + 3 + 4 + 1 + 0 + 2 + 3 + 2 + 1);
    EXPECT_FALSE(state.stopped);
    EXPECT_EQ(std::multiset<std::string>(host.extensions.begin(), host.extensions.end()),
              (std::multiset<std::string>{".txt", ".", ".doc", ".jpg", ".gz", ".sys"}))
        << "each entry once, lower case";
    ASSERT_FALSE(host.counts.empty());
    EXPECT_EQ(host.counts.back(), 10);
    // Once per folder: a, a\sub, b, b\sub and the vanished one (whose listing then fails); a file
    // item is counted without pumping.
    EXPECT_EQ(host.pumps, 5);
}

TEST(PreScan, EachModificationTimeIsReportedOnceAtTwoSecondResolution)
{
    TempFolder temp;
    ASSERT_TRUE(MakeTree(temp.Path(), {"a=", "b=", "c=", "d="}));
    ASSERT_TRUE(SetWriteTime(temp / "a", k2020 + 10 * kSecond));
    ASSERT_TRUE(SetWriteTime(temp / "b", k2020 + 11 * kSecond + 5));  // same two-second step as a
    ASSERT_TRUE(SetWriteTime(temp / "c", k2020 + 12 * kSecond));
    ASSERT_TRUE(SetWriteTime(temp / "d", k2020 + 10 * kSecond));

    ScanTotals state;
    RecordingHost host;
    PreScan(host, state).CountFolder(temp.Path());

    ASSERT_EQ(host.times.size(), 2u);
    std::set<DateTime> expected;
    for (const std::uint64_t t : {k2020 + 10 * kSecond, k2020 + 12 * kSecond}) {
        const FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
        expected.insert(FilterTimeOf(ft));
    }
    EXPECT_EQ(std::set<DateTime>(host.times.begin(), host.times.end()), expected)
        << "the times the filters see for these files";
}

namespace {

// A clock that moves on by a step at every reading, with the pumps it saw and what each found.
struct ClockHost : ScanHost {
    explicit ClockHost(ScanTotals& s, std::uint32_t step) : state(s), step(step) {}
    ScanTotals& state;
    std::uint32_t step;
    std::uint32_t now = 0;
    std::vector<std::uint32_t> pumpTimes;
    std::vector<std::int64_t> pumpCounts;
    std::int64_t stopAtCount = -1;  // Stop searching pressed at the first pump that sees this many files
    std::vector<std::uint32_t> countedTimes;
    void ProcessMessages() override
    {
        pumpTimes.push_back(now);
        pumpCounts.push_back(state.fileTotal);
        if (stopAtCount >= 0 && state.fileTotal >= stopAtCount)
            state.stopped = true;
    }
    std::uint32_t Milliseconds() override { return now += step; }
    void Counted(std::int64_t) override { countedTimes.push_back(now); }
};

bool MakeFlatFolder(const std::string& folder, int files)
{
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return false;
    for (int i = 0; i < files; ++i)
        if (!testsupport::WriteFileText(folder + "\\f" + std::to_string(i) + ".txt", ""))
            return false;
    return true;
}

} // namespace

TEST(PreScan, ALongFolderPumpsMessagesWithinItAtLeastEveryTenthOfASecond)
{
    TempFolder temp;
    const std::string flat = temp / "flat";
    ASSERT_TRUE(MakeFlatFolder(flat, 400));

    ScanTotals state;
    ClockHost host(state, 7);
    PreScan(host, state).CountFolder(flat);

    EXPECT_EQ(state.fileTotal, 400);
    ASSERT_GT(host.pumpTimes.size(), 1u) << "not only once at the folder's start";
    // Every gap between two pumps, and from the last pump to the last file, within the interval plus
    // the clock readings of one entry.
    std::vector<std::uint32_t> times = host.pumpTimes;
    times.push_back(host.countedTimes.back());
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_LE(times[i] - times[i - 1], 100u) << "between pump " << i - 1 << " and the next";
    EXPECT_LT(host.pumpTimes.size(), 400u / 2) << "not after every file either";
}

TEST(PreScan, StopSearchingDuringAPumpWithinAFolderEndsTheCountAtOnce)
{
    TempFolder temp;
    const std::string flat = temp / "flat";
    ASSERT_TRUE(MakeFlatFolder(flat, 300));
    ASSERT_TRUE(MakeFlatFolder(temp / "after", 5));

    ScanTotals state;
    ClockHost host(state, 10);
    host.stopAtCount = 100;
    PreScan scan(host, state);
    scan.CountItem(flat);
    scan.CountItem(temp / "after");

    EXPECT_TRUE(state.stopped);
    ASSERT_FALSE(host.pumpCounts.empty());
    EXPECT_EQ(state.fileTotal, host.pumpCounts.back()) << "no file counted after the pump that stopped it";
    EXPECT_GE(state.fileTotal, 100);
    EXPECT_LT(state.fileTotal, 300);
    EXPECT_TRUE(state.items.empty()) << "an item whose count was stopped has no size of its own";
}
