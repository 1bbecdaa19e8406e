#include "core/ShellErrorTexts.h"
#include "engine/filefacts.h"
#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <winioctl.h>

#include <cmath>
#include <cstdint>
#include <string>

using testsupport::TempFolder;

namespace {

const std::int64_t kFiveGiB = std::int64_t{5} << 30;
const DateTime kTwoSeconds = 2.0 / 86400.0;

// Times are compared as whole milliseconds: the 32-bit build computes dates on the x87 unit, where
// the same encoding reached through two call paths can differ in the last bit of the double.
std::int64_t Ms(DateTime value) { return std::llround(value * 86400000.0); }

DateTime FromSystemTime(const SYSTEMTIME& st)
{
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

DateTime ClockNow()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

// The UTC file time of a local date and time, as SetFileTime wants it.
std::uint64_t UtcFileTimeOfLocal(const DateTimeParts& p)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.year);
    st.wMonth = static_cast<WORD>(p.month);
    st.wDay = static_cast<WORD>(p.day);
    st.wHour = static_cast<WORD>(p.hour);
    st.wMinute = static_cast<WORD>(p.minute);
    st.wSecond = static_cast<WORD>(p.second);
    st.wMilliseconds = static_cast<WORD>(p.millisecond);
    FILETIME local;
    FILETIME utc;
    EXPECT_TRUE(SystemTimeToFileTime(&st, &local));
    EXPECT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    return (static_cast<std::uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

std::uint64_t FreeBytes(const std::string& folder)
{
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

const DateTime kStamped = EncodeDateTime({2026, 12, 6, 10, 17, 3, 0});
DateTime FixedClock() { return kStamped; }

} // namespace

TEST(FileFacts, SizeIsTheFull64BitValue)
{
    TempFolder dir;
    const std::string big = dir / "big.bin";
    const std::uint64_t freeBefore = FreeBytes(dir.Path());
    {
        UniqueFile file(CreateFileA(big.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.Valid()) << GetLastError();
        // Sparse where the file system needs asking (NTFS); ext4 under Wine leaves the gap unwritten anyway.
        DWORD returned = 0;
        DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = kFiveGiB;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    // The test must not eat 5 GiB of real disk.
    const std::uint64_t freeAfter = FreeBytes(dir.Path());
    EXPECT_LT(freeBefore > freeAfter ? freeBefore - freeAfter : 0, std::uint64_t{1} << 30);

    EXPECT_EQ(GetFileSize64(big), 5368709120);

    ASSERT_TRUE(testsupport::WriteFileText(dir / "five.txt", "hello"));
    ASSERT_TRUE(testsupport::WriteFileText(dir / "empty", ""));
    EXPECT_EQ(GetFileSize64(dir / "five.txt"), 5);
    EXPECT_EQ(GetFileSize64(dir / "FIVE.TXT"), 5);  // names are found without regard to case
    EXPECT_EQ(GetFileSize64(dir / "empty"), 0);
}

TEST(FileFacts, MissingFileHasNoSizeAndTheCurrentTime)
{
    TempFolder dir;
    for (const std::string& path : {dir / "missing.txt", dir / "no folder\\missing.txt"}) {
        EXPECT_EQ(GetFileSize64(path), -1) << path;
        const DateTime before = ClockNow();
        const DateTime t = GetFileModifiedTime(path);
        const DateTime after = ClockNow();
        EXPECT_LE(Ms(before), Ms(t)) << path;
        EXPECT_LE(Ms(t), Ms(after)) << path;
    }
}

TEST(FileFacts, ModifiedTimeHasTwoSecondResolution)
{
    TempFolder dir;
    const std::string file = dir / "stamped.txt";
    ASSERT_TRUE(testsupport::WriteFileText(file, "x"));
    const struct {
        DateTimeParts set;
        DateTimeParts expected;
    } rows[] = {
        {{2021, 6, 15, 10, 20, 31, 500}, {2021, 6, 15, 10, 20, 30, 0}},  // odd second rounds down
        {{2021, 6, 15, 10, 20, 30, 0}, {2021, 6, 15, 10, 20, 30, 0}},
        {{2021, 6, 15, 23, 59, 59, 999}, {2021, 6, 15, 23, 59, 58, 0}},  // never into the next day
        {{1980, 1, 1, 0, 0, 1, 0}, {1980, 1, 1, 0, 0, 0, 0}},
        // Before 1980 the packed form has no value; the file keeps its own date.
        {{1975, 6, 15, 10, 20, 31, 0}, {1975, 6, 15, 10, 20, 30, 0}},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(testsupport::SetWriteTime(file, UtcFileTimeOfLocal(r.set)));
        EXPECT_EQ(FormatIsoDateTime(GetFileModifiedTime(file)), FormatIsoDateTime(EncodeDateTime(r.expected)));
        EXPECT_EQ(Ms(GetFileModifiedTime(file)), Ms(EncodeDateTime(r.expected)));
    }
}

TEST(FileFacts, LocalNowReadsTheClockToTheMillisecond)
{
    const DateTime before = ClockNow();
    const DateTime now = LocalNow();
    const DateTime after = ClockNow();
    EXPECT_LE(Ms(before), Ms(now));
    EXPECT_LE(Ms(now), Ms(after));
}

TEST(FileFacts, TimestampedNames)
{
    TempFolder dir;
    const std::string stamp = "_Copied_At_2026_12_06_10_17_03";
    const std::string first = dir / ("report" + stamp + ".txt");
    EXPECT_EQ(TimestampedName(dir / "report.txt", "_Copied_At_", FixedClock), first);

    // Two stamps in the same second.
    ASSERT_TRUE(testsupport::WriteFileText(first, "1"));
    const std::string second = dir / ("report" + stamp + "_(1).txt");
    EXPECT_EQ(TimestampedName(dir / "report.txt", "_Copied_At_", FixedClock), second);
    ASSERT_TRUE(testsupport::WriteFileText(second, "2"));
    EXPECT_EQ(TimestampedName(dir / "report.txt", "_Copied_At_", FixedClock), dir / ("report" + stamp + "_(2).txt"));

    // The extension is the last dot's part of the file name, never of a folder's name.
    EXPECT_EQ(TimestampedName(dir / "archive.tar.gz", "_Copied_At_", FixedClock),
              dir / ("archive.tar" + stamp + ".gz"));
    EXPECT_EQ(TimestampedName(dir / "my.dir\\Docs", "_New_Copied_At_", FixedClock),
              dir / "my.dir\\Docs_New_Copied_At_2026_12_06_10_17_03");
    EXPECT_EQ(TimestampedName("Q:report.txt", "_Renamed_At_", FixedClock), "Q:report_Renamed_At_2026_12_06_10_17_03.txt");
    EXPECT_EQ(TimestampedName(dir / ".profile", "_Copied_At_", FixedClock), dir / (stamp + ".profile"));

    // The default clock is the local clock.
    const std::string before = FormatStamp(ClockNow());
    const std::string named = TimestampedName("D:\\B\\report.txt", "_Copied_At_");
    const std::string after = FormatStamp(ClockNow());
    ASSERT_EQ(named.size(), std::string("D:\\B\\report_Copied_At_.txt").size() + before.size()) << named;
    const std::string used = named.substr(std::string("D:\\B\\report_Copied_At_").size(), before.size());
    EXPECT_LE(before, used);
    EXPECT_LE(used, after);
}

TEST(FileFacts, AFolderOfTheCandidatesNameDoesNotMoveItOn)
{
    TempFolder dir;
    const std::string candidate = dir / "Docs_Old_Saved_At_2026_12_06_10_17_03";
    ASSERT_TRUE(CreateDirectoryA(candidate.c_str(), nullptr));
    EXPECT_EQ(TimestampedName(dir / "Docs", "_Old_Saved_At_", FixedClock), candidate);

    const std::string withExtension = dir / "a_Copied_At_2026_12_06_10_17_03.txt";
    ASSERT_TRUE(CreateDirectoryA(withExtension.c_str(), nullptr));
    EXPECT_EQ(TimestampedName(dir / "a.txt", "_Copied_At_", FixedClock), withExtension);
}

TEST(FileFacts, BadPathsAnswerWithoutHarm)
{
    TempFolder dir;
    const std::string longName = dir / (std::string(5000, 'a') + ".txt");
    std::string deep = dir.Path();
    while (deep.size() < 5000)
        deep += "\\abcdefgh";
    for (const std::string& path : {std::string(), longName, deep}) {
        EXPECT_EQ(GetFileSize64(path), -1) << path.size();
        const DateTime before = ClockNow();
        const DateTime t = GetFileModifiedTime(path);
        EXPECT_LE(Ms(before), Ms(t));
        EXPECT_LE(Ms(t), Ms(ClockNow()));
    }
    EXPECT_EQ(TimestampedName("", "_Copied_At_", FixedClock), "_Copied_At_2026_12_06_10_17_03");
    EXPECT_EQ(TimestampedName(longName, "_S_", FixedClock),
              dir / (std::string(5000, 'a') + "_S_2026_12_06_10_17_03.txt"));

    // A folder path: its own entry, not its contents.
    const DateTime before = ClockNow() - kTwoSeconds;
    const std::string folder = dir / "sub";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(testsupport::WriteFileText(folder + "\\inside.txt", "12345"));
    EXPECT_EQ(GetFileSize64(folder), 0);
    const DateTime t = GetFileModifiedTime(folder);
    EXPECT_LE(Ms(before), Ms(t));
    EXPECT_LE(Ms(t), Ms(ClockNow()));
    EXPECT_EQ(TimestampedName(folder, "_New_Copied_At_", FixedClock), folder + "_New_Copied_At_2026_12_06_10_17_03");
}

TEST(FileFacts, WildcardsInAPathMatchNoOtherFile)
{
    TempFolder dir;
    const std::string file = dir / "a.txt";
    ASSERT_TRUE(testsupport::WriteFileText(file, "hello"));
    ASSERT_TRUE(testsupport::SetWriteTime(file, UtcFileTimeOfLocal({2001, 2, 3, 4, 5, 6, 0})));
    ASSERT_EQ(GetFileSize64(file), 5);
    for (const std::string& pattern : {dir / "*.txt", dir / "a.tx?", dir / "*", dir / "a<", dir / "a.txt*"}) {
        EXPECT_EQ(GetFileSize64(pattern), -1) << pattern;
        const DateTime before = ClockNow();
        const DateTime t = GetFileModifiedTime(pattern);
        EXPECT_LE(Ms(before), Ms(t)) << pattern;
        EXPECT_LE(Ms(t), Ms(ClockNow())) << pattern;
    }
    // A file that fits the pattern does not count as taking the candidate's name.
    ASSERT_TRUE(testsupport::WriteFileText(dir / "x_S_2026_12_06_10_17_03.txt", ""));
    EXPECT_EQ(TimestampedName(dir / "?.txt", "_S_", FixedClock), dir / "?_S_2026_12_06_10_17_03.txt");
}

TEST(FileFacts, SystemErrorTexts)
{
    const std::string notFound = SystemErrorText(ERROR_FILE_NOT_FOUND);
    const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
    const std::string none = " Sorry, cannot find this error info. ";
    for (const std::string& text : {notFound, denied}) {
        ASSERT_GE(text.size(), 3u);
        EXPECT_NE(text, none);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");  // the system's own line break is kept
    }
    EXPECT_NE(notFound, denied);
    // Codes with the customer bit set never have a system message.
    EXPECT_EQ(SystemErrorText(0x20001234ul), none);

    // The last error of the calling thread, read before anything can change it.
    TempFolder dir;
    EXPECT_EQ(GetFileAttributesA((dir / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(SystemErrorText(), notFound);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(SystemErrorText(), denied);
    SetLastError(0x20001234ul);
    EXPECT_EQ(SystemErrorText(), none);
}

TEST(FileFacts, ShellResultTextsGiveTheShellsOwnCodesTheirMeaningAndOtherCodesTheSystemText)
{
    // 0x7C is what the shell answers for an invalid path; as a system code it would read "invalid level".
    EXPECT_EQ(ShellResultText(0x7C), "The source or destination path is not valid. (shell code 0x7C)\r\n");
    EXPECT_EQ(ShellResultText(0x75), *ShellOperationCodeText(0x75));
    EXPECT_EQ(ShellResultText(ERROR_FILE_NOT_FOUND), SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ShellResultText(ERROR_SHARING_VIOLATION), SystemErrorText(ERROR_SHARING_VIOLATION));
}

// The system's lower-casing follows the process code page: UTF-8 under the program's manifest, which
// the test programs carry as well, or a Western single-byte page without it.
TEST(LocaleLowerOnWindows, LowersLettersOfTheCodePage)
{
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) {
        EXPECT_EQ(LocaleLower("\xC3\x89T\xC3\x89.TXT"), "\xC3\xA9t\xC3\xA9.txt");        // ÉTÉ.TXT
        EXPECT_EQ(LocaleLower("\xD0\x9F\xD0\xA0\xD0\x98"), "\xD0\xBF\xD1\x80\xD0\xB8");  // ПРИ
        // Ⱥ (2 bytes) lowers to ⱥ (3 bytes): the text grows and must come back whole.
        EXPECT_EQ(LocaleLower("A\xC8\xBA.TXT"), "a\xE2\xB1\xA5.txt");
        // Bytes that are not UTF-8 are kept as they are; only ASCII letters fold then.
        EXPECT_EQ(LocaleLower("\xC9T\xC9.TXT"), "\xC9t\xC9.txt");
        // Masks and names lowered alike match although the matcher itself folds ASCII only.
        EXPECT_TRUE(MatchesNameFilter(BuildMaskList("\xC3\x89T\xC3\x89*"), {},
                                      LocaleLower("\xC3\x89t\xC3\xA9 2026.DOC")));
    } else if (codePage == 1252) {
        EXPECT_EQ(LocaleLower("\xC9T\xC9.TXT"), "\xE9t\xE9.txt");
        EXPECT_EQ(LocaleLower("\xD6\xC0\xE9"), "\xF6\xE0\xE9");
        EXPECT_TRUE(MatchesNameFilter(BuildMaskList("\xC9T\xC9*"), {}, LocaleLower("\xC9t\xE9 2026.DOC")));
    } else {
        GTEST_SKIP() << "no sample letters for code page " << codePage;
    }
}

TEST(FileFacts, FilesDeeperThanTheOldPathLimitAreFound)
{
    // A source file chosen directly may lie deeper than 260 characters; its size must not read
    // as -1, or the size filter would quietly leave it out.
    TempFolder dir;
    std::string deep = dir.Path();
    while (deep.size() < 300) {
        deep += "\\folder_of_some_length";
        ASSERT_TRUE(CreateDirectoryW(WidePath(deep).c_str(), nullptr)) << GetLastError();
    }
    const std::string file = deep + "\\deep.txt";
    {
        UniqueFile f(OpenPath(file, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(f.Valid()) << GetLastError();
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(f.Get(), "0123456789", 10, &written, nullptr));
    }
    EXPECT_EQ(GetFileSize64(file), 10);
    const DateTime before = ClockNow() - kTwoSeconds;
    EXPECT_LE(Ms(before), Ms(GetFileModifiedTime(file)));
}
