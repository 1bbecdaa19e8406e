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

    JobState state;
    RecordingHost host;
    PreScan scan(host, state);
    for (const std::string& item : {a, b, temp / "gone", std::string(temp / "a\\one.txt")})
        scan.CountItem(item);

    EXPECT_EQ(state.scanFileTotal, 10);  // 3 + 4 files, 1 in each subfolder, and the file item
    EXPECT_EQ(state.scanByteTotal, 1 + 2 + 3 + 4 + 1 + 0 + 2 + 3 + 2 + 1);
    EXPECT_FALSE(state.scanStopped);
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

    JobState state;
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
