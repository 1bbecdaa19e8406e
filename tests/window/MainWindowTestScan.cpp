// The pre-scan on the real window over real trees: what it counts and fills in, Stop searching, and
// Begin pressed while it runs.
#include "tests/window/MainWindowHarness.h"

#include "engine/filefacts.h"
#include "filters/PresetEntry.h"

using namespace mainwindow;
using testsupport::Exists;
using testsupport::MakeTree;
using testsupport::SetWriteTime;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

constexpr std::uint64_t kSecond = 10000000;
constexpr std::uint64_t k2020 = 132223104000000000;  // 2020-01-01 00:00:00 UTC

std::vector<std::string> ComboItems(ui::ComboBox& box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box.Count(); ++i)
        items.push_back(box.Item(i));
    return items;
}

std::string Separator()
{
    char separator[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    return separator;
}

std::string PresetOf(std::uint64_t fileTime)
{
    const FILETIME ft{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    return FormatPresetEntry(FilterTimeOf(ft), Separator());
}

} // namespace

class MainWindowScan : public MainWindowTest {
protected:
    bool ScanAtRest() { return !window->SearchTimer->Enabled() && !window->ScanRunning(); }
    bool WaitScanEnd() { return PumpUntil([this] { return ScanAtRest(); }); }
};

TEST_F(MainWindowScan, AddingAFolderCountsItAndFillsTheExtensionAndPresetLists)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeTree(temp.Path(), {"data\\", "data\\A.TXT=12", "data\\b.txt=345", "data\\README=6", "data\\sub\\",
                                       "data\\sub\\c.doc=7890"}));
    ASSERT_TRUE(SetFileAttributesA((data + "\\README").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetWriteTime(data + "\\A.TXT", k2020 + 100 * kSecond));
    ASSERT_TRUE(SetWriteTime(data + "\\b.txt", k2020 + 100 * kSecond));
    ASSERT_TRUE(SetWriteTime(data + "\\README", k2020 + 50 * kSecond));
    ASSERT_TRUE(SetWriteTime(data + "\\sub\\c.doc", k2020 + 86400 * kSecond));
    SetText(Find("cbFName"), "*.*/");  // the default in another form, which the count puts in its own

    AddSource(data);
    ASSERT_TRUE(WaitScanEnd());

    EXPECT_EQ(window->state.scanFileTotal, 4);
    EXPECT_EQ(window->state.scanByteTotal, 2 + 3 + 1 + 4);
    EXPECT_FALSE(window->state.scanStopped);
    EXPECT_EQ(Text(Find("ProgressLabel")), "Searching... ( 4 files are found )\n");
    ASSERT_EQ(window->ExtList->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window->ExtList->Item(i), (std::vector<std::string>{".", ".doc", ".txt"})[static_cast<size_t>(i)]);
        EXPECT_TRUE(window->ExtList->Checked(i)) << "Select All is checked by the reset";
    }
    const std::vector<std::string> presets = ComboItems(*window->cbTL1);
    ASSERT_EQ(presets.size(), 5u) << "the two outer presets and three distinct times";
    EXPECT_EQ(presets[0], FormatPresetEntry(0.0, Separator()));
    EXPECT_EQ(presets[1], PresetOf(k2020 + 50 * kSecond));
    EXPECT_EQ(presets[2], PresetOf(k2020 + 100 * kSecond));
    EXPECT_EQ(presets[3], PresetOf(k2020 + 86400 * kSecond));
    EXPECT_GT(presets[4].substr(0, 4), "2150");
    EXPECT_EQ(ComboItems(*window->cbTL2), presets);
    EXPECT_FALSE(IsWindowEnabled(Find("dtp1"))) << "a scan that ran to its end leaves only the presets";
    EXPECT_FALSE(IsWindowEnabled(Find("dtp2")));
    EXPECT_NE(Text(Find("cbFName")).rfind("*.*", 0), std::string::npos) << "the reset gives the default mask";
    EXPECT_FALSE(OwnVisible(Find("aniSearch2")));
    EXPECT_FALSE(IsWindowEnabled(Find("StopSearch")));
}

TEST_F(MainWindowScan, StopSearchingLeavesPartialTotalsAndThePickersEnabled)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(MakeWideTree(data, 1500));

    bool stopped = false;
    Every stop(10, [&] {
        if (!window->ScanRunning())
            return false;
        ClickOn("StopSearch");
        return stopped = true;
    });
    AddSource(data);
    ASSERT_TRUE(PumpUntil([&] { return stopped && ScanAtRest(); }));

    EXPECT_TRUE(window->state.scanStopped);
    EXPECT_LT(window->state.scanFileTotal, 1500);
    EXPECT_TRUE(IsWindowEnabled(Find("dtp1"))) << "a stopped scan leaves the pickers to the user";
    EXPECT_TRUE(IsWindowEnabled(Find("dtp2")));
    EXPECT_FALSE(IsWindowEnabled(Find("StopSearch")));
    EXPECT_EQ(window->cbTL2->Count(), window->cbTL1->Count());
}

TEST_F(MainWindowScan, BeginDuringAScanStopsItThenRunsTheJobWithoutTotals)
{
    TempFolder temp;
    const std::string data = temp / "data";
    const std::string destination = temp / "dst";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(MakeWideTree(data, 500));
    SetDestination(destination);

    bool begun = false;
    std::string timeText;
    Every press(10, [&] {
        if (!begun) {
            if (!window->ScanRunning())
                return false;
            ClickOn("bbBegin");  // returns at once: the scan has to wind down first
            begun = true;
            return false;
        }
        // The job's own texts, while it runs.
        if (OwnVisible(Find("bbPause")) && Text(Find("TimeLabel")).rfind("Spending ", 0) == 0)
            timeText = Text(Find("TimeLabel"));
        return false;
    });
    AddSource(data);
    ASSERT_TRUE(PumpUntil([&] { return begun && Log().find("**Report**") != std::string::npos && !OwnVisible(Find("bbPause")); }, 120000));

    EXPECT_TRUE(window->state.scanStopped);
    EXPECT_LT(window->state.scanFileTotal, 500) << "the scan was stopped, not run to its end";
    const std::string log = Log();
    EXPECT_EQ(CountOf(log, "**Report**"), 1) << log;
    EXPECT_NE(log.find("\r\nAll Files: 500\r\n"), std::string::npos) << log;
    EXPECT_TRUE(Exists(destination + "\\data\\d499\\f.txt"));
    EXPECT_EQ(timeText.rfind("Spending ", 0), 0u) << "a job after a stopped scan shows the time spent";
}

TEST_F(MainWindowScan, ARequestDuringAJobWaitsForItsEnd)
{
    TempFolder temp;
    const std::string data = temp / "data";
    const std::string later = temp / "later";
    ASSERT_TRUE(MakeTree(temp.Path(), {"later\\", "later\\x.later="}));
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(MakeWideTree(data, 300));
    AddSource(data);
    ASSERT_TRUE(WaitScanEnd());
    ASSERT_FALSE(window->state.scanStopped);
    SetDestination(temp / "dst");

    bool added = false;
    int extensionsDuringJob = -1;
    Every add(10, [&] {
        if (!OwnVisible(Find("bbPause")))
            return false;
        if (!added) {
            // A source handed over while the job runs; its scan request must not reset the filters now.
            window->AddSourceItem(later);
            window->SearchTimer->Start();
            added = true;
            return false;
        }
        extensionsDuringJob = window->ExtList->Count();
        return false;
    });
    ClickOn("bbBegin");  // the whole job runs inside this click
    ASSERT_TRUE(added) << "the job ended before the request could be made";

    EXPECT_EQ(extensionsDuringJob, 1) << "the filters changed under the job";
    EXPECT_NE(Log().find("\r\nAll Files: 300\r\n"), std::string::npos) << Log();
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(window->state.scanFileTotal, 301) << "the deferred scan counted the new list after the job";
    EXPECT_EQ(window->ExtList->Count(), 2);
}
