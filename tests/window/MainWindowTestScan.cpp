// The pre-scan on the real window over real trees: what it counts and fills in, Stop searching, and
// Begin pressed while it runs.
#include "tests/window/MainWindowHarness.h"

#include "engine/filefacts.h"
#include "filters/PresetEntry.h"

#include <algorithm>
#include <set>

using namespace mainwindow;
using testsupport::Exists;
using testsupport::MakeTree;
using testsupport::SetWriteTime;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

constexpr std::uint64_t kSecond = 10000000;
constexpr std::uint64_t k2020 = 132223104000000000;  // 2020-01-01 00:00:00 UTC

// The entries of a combo box as another program would read them.
std::vector<std::string> ComboItems(HWND box)
{
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<size_t>(SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, '\0');
        const auto got = SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
        items.push_back(text);
    }
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

// A tree where every file has its own modification time, the times of each folder spread over the
// whole span (so that later folders' times fall between earlier ones). Returns the preset entries of
// all its files in ascending order.
std::vector<std::string> MakeTimedTree(const std::string& root, int folders, int filesPerFolder)
{
    std::vector<std::string> presets;
    if (!CreateDirectoryA(root.c_str(), nullptr))
        return presets;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "\\d" + std::to_string(f);
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            return {};
        for (int i = 0; i < filesPerFolder; ++i) {
            const std::string file = folder + "\\f" + std::to_string(i) + ".dat";
            const std::uint64_t t = k2020 + 2 * kSecond * static_cast<std::uint64_t>(i * folders + f);
            if (!WriteFileText(file, "") || !SetWriteTime(file, t))
                return {};
            presets.push_back(PresetOf(t));
        }
    }
    std::sort(presets.begin(), presets.end());
    return presets;
}

// What the drop-down list of a combo box holds, read from its list window as it is drawn.
std::vector<std::string> ListWindowItems(HWND box)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    std::vector<std::string> items;
    if (!GetComboBoxInfo(box, &info) || !info.hwndList)
        return items;
    const auto n = static_cast<int>(SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::string text(static_cast<size_t>(SendMessageA(info.hwndList, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, '\0');
        text.resize(static_cast<size_t>(SendMessageA(info.hwndList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

bool IsListOpen(HWND box)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(box, &info) && info.hwndList && IsWindowVisible(info.hwndList);
}

// The entries between the two outer presets: the times the count put in.
std::vector<std::string> Inner(std::vector<std::string> entries)
{
    if (entries.size() < 2)
        return {};
    return {entries.begin() + 1, entries.end() - 1};
}

} // namespace

class MainWindowScan : public MainWindowTest {
protected:
    bool ScanAtRest() { return !window->CountRequested() && !window->ScanRunning(); }
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

    EXPECT_EQ(window->ScanCount().fileTotal, 4);
    EXPECT_EQ(window->ScanCount().byteTotal, 2 + 3 + 1 + 4);
    EXPECT_FALSE(window->ScanCount().stopped);
    EXPECT_EQ(Text(Find("ProgressLabel")), "Searching... ( 4 files are found )\n");
    const std::vector<ExtensionEntry> extensions = window->Filters().Filters().extensions;
    ASSERT_EQ(extensions.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(extensions[i].extension, (std::vector<std::string>{".", ".doc", ".txt"})[i]);
        EXPECT_TRUE(extensions[i].checked) << "Select All is checked by the reset";
    }
    const std::vector<std::string> presets = ComboItems(Find("cbTL1"));
    ASSERT_EQ(presets.size(), 5u) << "the two outer presets and three distinct times";
    EXPECT_EQ(presets[0], FormatPresetEntry(0.0, Separator()));
    EXPECT_EQ(presets[1], PresetOf(k2020 + 50 * kSecond));
    EXPECT_EQ(presets[2], PresetOf(k2020 + 100 * kSecond));
    EXPECT_EQ(presets[3], PresetOf(k2020 + 86400 * kSecond));
    EXPECT_GT(presets[4].substr(0, 4), "2150");
    EXPECT_EQ(ComboItems(Find("cbTL2")), presets);
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

    EXPECT_TRUE(window->ScanCount().stopped);
    EXPECT_LT(window->ScanCount().fileTotal, 1500);
    EXPECT_TRUE(IsWindowEnabled(Find("dtp1"))) << "a stopped scan leaves the pickers to the user";
    EXPECT_TRUE(IsWindowEnabled(Find("dtp2")));
    EXPECT_FALSE(IsWindowEnabled(Find("StopSearch")));
    EXPECT_EQ(ComboItems(Find("cbTL2")).size(), ComboItems(Find("cbTL1")).size());
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

    EXPECT_TRUE(window->ScanCount().stopped);
    EXPECT_LT(window->ScanCount().fileTotal, 500) << "the scan was stopped, not run to its end";
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
    ASSERT_FALSE(window->ScanCount().stopped);
    SetDestination(temp / "dst");

    bool added = false;
    int extensionsDuringJob = -1;
    Every add(10, [&] {
        if (!OwnVisible(Find("bbPause")))
            return false;
        if (!added) {
            // A source handed over while the job runs; its scan request must not reset the filters now.
            window->Sources().AddSourceItem(later);
            window->RequestCount();
            added = true;
            return false;
        }
        extensionsDuringJob = static_cast<int>(window->Filters().Filters().extensions.size());
        return false;
    });
    ClickOn("bbBegin");  // the whole job runs inside this click
    ASSERT_TRUE(added) << "the job ended before the request could be made";

    EXPECT_EQ(extensionsDuringJob, 1) << "the filters changed under the job";
    EXPECT_NE(Log().find("\r\nAll Files: 300\r\n"), std::string::npos) << Log();
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(window->ScanCount().fileTotal, 301) << "the deferred scan counted the new list after the job";
    EXPECT_EQ(static_cast<int>(window->Filters().Filters().extensions.size()), 2);
}

TEST_F(MainWindowScan, ATreeWhereEveryFileHasItsOwnTimeListsEveryTimeOnceInOrder)
{
    TempFolder temp;
    const std::string data = temp / "data";
    const std::vector<std::string> presets = MakeTimedTree(data, 40, 25);
    ASSERT_EQ(presets.size(), 1000u);

    AddSource(data);

    ASSERT_FALSE(window->ScanCount().stopped);
    EXPECT_EQ(window->ScanCount().fileTotal, 1000);
    const std::vector<std::string> listed = ComboItems(Find("cbTL1"));
    ASSERT_EQ(listed.size(), 1002u);
    EXPECT_EQ(listed.front(), FormatPresetEntry(0.0, Separator()));
    EXPECT_GT(listed.back().substr(0, 4), "2150");
    EXPECT_EQ(Inner(listed), presets);
    EXPECT_EQ(ListWindowItems(Find("cbTL1")), listed) << "what the open list would draw";
    EXPECT_EQ(ComboItems(Find("cbTL2")), listed);
    EXPECT_EQ(ListWindowItems(Find("cbTL2")), listed);

    // A preset chosen from the filled list sets its picker, as from any other list.
    const int chosen = 500;
    SendMessageA(Find("cbTL1"), CB_SETCURSEL, chosen, 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Find("cbTL1")), CBN_SELCHANGE), reinterpret_cast<LPARAM>(Find("cbTL1")));
    EXPECT_EQ(Text(Find("cbTL1")), listed[chosen]);
}

TEST_F(MainWindowScan, AStoppedCountListsExactlyTheTimesOfTheFilesItCounted)
{
    TempFolder temp;
    const std::string data = temp / "data";
    const std::vector<std::string> presets = MakeTimedTree(data, 300, 4);
    ASSERT_EQ(presets.size(), 1200u);

    bool stopped = false;
    Every stop(10, [&] {
        if (!window->ScanRunning() || window->ScanCount().fileTotal < 200)
            return false;
        ClickOn("StopSearch");
        return stopped = true;
    });
    AddSource(data);
    ASSERT_TRUE(stopped) << "the count ended before it could be stopped";

    ASSERT_TRUE(window->ScanCount().stopped);
    const std::int64_t counted = window->ScanCount().fileTotal;
    EXPECT_LT(counted, 1200);
    const std::vector<std::string> listed = ComboItems(Find("cbTL1"));
    const std::vector<std::string> inner = Inner(listed);
    EXPECT_EQ(static_cast<std::int64_t>(inner.size()), counted) << "one entry per file counted, each its own time";
    EXPECT_TRUE(std::is_sorted(inner.begin(), inner.end()));
    const std::set<std::string> all(presets.begin(), presets.end());
    for (const std::string& entry : inner)
        EXPECT_TRUE(all.count(entry)) << entry << " is no time of the tree";
    EXPECT_EQ(std::set<std::string>(inner.begin(), inner.end()).size(), inner.size()) << "an entry twice";
    EXPECT_EQ(ListWindowItems(Find("cbTL1")), listed);
    EXPECT_EQ(ComboItems(Find("cbTL2")), listed);
}

TEST_F(MainWindowScan, AListOpenedDuringTheCountShowsEveryTimeMetSoFarAndKeepsUp)
{
    TempFolder temp;
    const std::string data = temp / "data";
    const std::vector<std::string> presets = MakeTimedTree(data, 300, 4);
    ASSERT_EQ(presets.size(), 1200u);

    struct Look {
        std::int64_t counted = -1;
        bool open = false;
        std::vector<std::string> shown;
    };
    std::vector<Look> looks;
    HWND box = Find("cbTL1");
    int clicks = 0;
    Every look(10, [&] {
        if (!window->ScanRunning() || window->ScanCount().fileTotal < 100)
            return false;
        // A window of another program (a test running beside this one) may take the foreground; the
        // open list closes with it, as it should. The user then clicks the list again.
        if (looks.empty() || (!IsListOpen(box) && GetForegroundWindow() != main && clicks < 20)) {
            // The user clicks the closed list: it takes the focus and opens.
            RECT r{};
            GetClientRect(box, &r);
            SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 4, r.bottom / 2));
            SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(r.right - 4, r.bottom / 2));
            ++clicks;
        }
        looks.push_back({window->ScanCount().fileTotal, IsListOpen(box), ListWindowItems(box)});
        if (looks.size() < 3)
            return false;
        SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
        return true;
    });
    AddSource(data);
    ASSERT_FALSE(looks.empty()) << "the count ended before the list could be opened";

    for (const Look& seen : looks) {
        EXPECT_TRUE(seen.open);
        // Each look comes from a pump of the count: every file counted so far is listed.
        EXPECT_EQ(static_cast<std::int64_t>(Inner(seen.shown).size()), seen.counted);
        EXPECT_TRUE(std::is_sorted(seen.shown.begin(), seen.shown.end()));
    }
    ASSERT_FALSE(window->ScanCount().stopped);
    const std::vector<std::string> listed = ComboItems(Find("cbTL1"));
    EXPECT_EQ(Inner(listed), presets) << "entries put in while open, and the rest after, in their places";
    EXPECT_EQ(ListWindowItems(box), listed);
    EXPECT_EQ(ComboItems(Find("cbTL2")), listed);
}

TEST_F(MainWindowScan, BeginDuringACountOfDistinctTimesLeavesBothListsComplete)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_EQ(MakeTimedTree(data, 300, 2).size(), 600u);
    SetDestination(temp / "dst");

    bool begun = false;
    std::vector<std::string> startList, endList;
    std::int64_t countedAtJob = -1;
    bool drawn = false;
    Every press(10, [&] {
        if (!begun) {
            if (!window->ScanRunning() || window->ScanCount().fileTotal < 100)
                return false;
            ClickOn("bbBegin");
            begun = true;
            return false;
        }
        if (!OwnVisible(Find("bbPause")))
            return false;
        // The job runs: what the lists show now is what the count left (read as any program reads a
        // combo box, then as its drop-down list would draw it).
        countedAtJob = window->ScanCount().fileTotal;
        startList = ComboItems(Find("cbTL1"));
        endList = ComboItems(Find("cbTL2"));
        drawn = ListWindowItems(Find("cbTL1")) == startList && ListWindowItems(Find("cbTL2")) == endList;
        return true;
    });
    AddSource(data);
    ASSERT_TRUE(PumpUntil([&] { return begun && Log().find("**Report**") != std::string::npos && !OwnVisible(Find("bbPause")); }, 120000));

    ASSERT_GE(countedAtJob, 0) << "the job was not seen running";
    EXPECT_TRUE(window->ScanCount().stopped);
    EXPECT_EQ(static_cast<std::int64_t>(Inner(startList).size()), countedAtJob);
    EXPECT_TRUE(std::is_sorted(startList.begin(), startList.end()));
    EXPECT_EQ(endList, startList);
    EXPECT_TRUE(drawn);
}
