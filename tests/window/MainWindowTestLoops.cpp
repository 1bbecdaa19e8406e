// Loops that have to end. A folder tree's browse dialog runs a loop that ends only with the window:
// it never opens inside a job, a scan or a question, or that would never get control back. A Begin
// that waits for its scan starts its job inside no other loop of the window (a menu, a move).
// These cases run on the window's fiber, inside the browse dialogs' loops as in the program, so that
// a tree opening at rest opens where it belongs and not under the test's own pumps.
#include "tests/window/MainWindowHarness.h"

#include "app/JobPhase.h"

using namespace mainwindow;
using testsupport::Exists;
using testsupport::TempFolder;
using testsupport::Tree;

class MainWindowLoops : public MainWindowTest {
protected:
    // Notes a browse dialog that opens while the window is not at rest, and ends it, so that the
    // case fails instead of hanging in a loop that would never return. Dialogs that opened at rest
    // (those of the window's start among them) are the window's own.
    struct BuriedWatch {
        explicit BuriedWatch(MainWindowLoops& owner) : test(owner)
        {
            known.insert(test.window->Trees().BrowseDialog(true));
            known.insert(test.window->Trees().BrowseDialog(false));
        }
        MainWindowLoops& test;
        std::set<HWND> known;
        std::string seen;  // what was running when a dialog opened, empty when none did
        Every every{5, [this] {
            FolderTrees& trees = test.window->Trees();
            const JobPhase phase = test.window->Phase();
            for (const bool destination : {true, false}) {
                HWND dialog = trees.BrowseDialog(destination);
                if (!dialog || !IsWindow(dialog) || known.count(dialog))
                    continue;
                if (phase == JobPhase::Rest) {
                    known.insert(dialog);
                    continue;
                }
                seen += std::string(destination ? "destination" : "source") + " tree opened while " +
                        PhaseName(phase) + "; ";
                HWND tree = trees.Tree(destination);
                if (tree && IsWindow(tree)) {
                    ShowWindow(tree, SW_HIDE);
                    SetParent(tree, dialog);
                }
                EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                known.insert(dialog);  // closed once: not counted again while its close is on the way
            }
            return false;
        }};
    };

    bool TreeOpenAgain(bool destination)
    {
        return window->Trees().TreeOpen(destination);
    }

    bool ReportWritten() { return Log().find("**Report**") != std::string::npos; }

    // Once the scan has ended, whether the waiting Begin's timer (500 ms) has ticked several times
    // since: `since` notes the scan's end.
    bool HeldPastTheScan(DWORD& since)
    {
        if (window->ScanRunning())
            return false;
        if (since == 0)
            since = GetTickCount();
        return GetTickCount() - since > 1600;
    }
};

// A Copy of 400 folders. "Select Destination Directory" is pressed just before Begin and again while
// the job runs, then Cancel: the job unwinds, Begin comes back, and the tree opens anew at rest.
TEST_F(MainWindowLoops, ADestinationTreeAskedForAroundAJobOpensOnlyOnceTheJobHasEnded)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    AddSource(data);
    SetDestination(temp / "dst");
    BuriedWatch watch{*this};

    bool pressed = false, cancelled = false;
    bool treeButtonEnabledInJob = true;
    Every meddle(5, [&] {
        if (window->Phase() != JobPhase::Running || window->State().filesDone < 20)
            return false;
        if (!pressed) {
            treeButtonEnabledInJob = IsWindowEnabled(Find("BitBtn3"));
            ClickOn("BitBtn3");
            pressed = true;
            return false;
        }
        if (window->State().filesDone < 40)
            return false;
        ClickOn("bbCancel");
        cancelled = true;
        return true;
    });
    // Pressed at rest: its tree's timer first ticks inside the job that Begin starts at once.
    ClickOn("BitBtn3");
    PostMessageA(Find("bbBegin"), BM_CLICK, 0, 0);
    const bool ended = TreeFibers::Get().RunWindowUntil(
        [&] {
            return cancelled && window->Phase() == JobPhase::Rest && CountOf(Log(), "**Report**") == 2 &&
                   (TreeOpenAgain(true) || !watch.seen.empty());
        },
        120000);

    EXPECT_EQ(watch.seen, "") << "a browse loop started inside the job";
    ASSERT_TRUE(ended) << "the job or the tree did not come back; files copied: " << FilesBelow(temp / "dst");
    EXPECT_FALSE(treeButtonEnabledInJob) << "Select Destination Directory offered during a job";
    EXPECT_TRUE(IsWindowEnabled(Find("bbBegin")));
    EXPECT_NE(Log().find("\r\nUser abort!"), std::string::npos) << Log();
    EXPECT_LT(FilesBelow(temp / "dst"), 400) << "Cancel did not stop the job";
    EXPECT_TRUE(IsWindow(window->Trees().Tree(true)));
}

// "Select Source Directory" during the count of 400 folders: the count ends whole, then the tree
// opens; a Begin that follows runs its job.
TEST_F(MainWindowLoops, ASourceTreeAskedForDuringAScanOpensOnceTheScanHasEnded)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    SetDestination(temp / "dst");
    BuriedWatch watch{*this};

    bool pressed = false;
    JobPhase phaseAtPress = JobPhase::Rest;
    Every press(5, [&] {
        if (!window->ScanRunning())
            return false;
        phaseAtPress = window->Phase();
        ClickOn("BitBtn6");
        pressed = true;
        return true;
    });
    SetText(Find("sourceEdit"), data);
    PostMessageA(Find("sourceButtonAdd"), BM_CLICK, 0, 0);
    const bool scanned = TreeFibers::Get().RunWindowUntil(
        [&] {
            return pressed && window->Phase() == JobPhase::Rest && !window->CountRequested() &&
                   (TreeOpenAgain(false) || !watch.seen.empty());
        },
        120000);

    EXPECT_EQ(phaseAtPress, JobPhase::Scanning);
    EXPECT_EQ(watch.seen, "") << "a browse loop started inside the scan";
    ASSERT_TRUE(scanned) << "the scan or the tree did not come back";
    EXPECT_EQ(window->ScanCount().fileTotal, 400) << "the scan did not count to its end";

    PostMessageA(Find("bbBegin"), BM_CLICK, 0, 0);
    ASSERT_TRUE(TreeFibers::Get().RunWindowUntil(
        [&] { return window->Phase() == JobPhase::Rest && ReportWritten() && IsWindowEnabled(Find("bbBegin")); },
        120000));
    EXPECT_EQ(FilesBelow(temp / "dst\\data"), 400);
}

// Begin during a scan, then the window's move loop and the icon's menu are up when the scan ends:
// the waiting job starts inside neither, and runs once both have ended.
TEST_F(MainWindowLoops, AWaitingBeginStartsInsideNoMoveAndNoMenu)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    SetDestination(temp / "dst");

    // The move begins once Begin waits; the menu opens while the move is still up, and stays up after
    // the move has ended.
    enum class Stage { Scan, Moving, MenuOpening, Menu, Free } stage = Stage::Scan;
    DWORD heldSince = 0;
    std::vector<std::string> startedInside;
    const auto menuUp = [] {
        HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
    };
    // Long enough for the waiting Begin's timer (500 ms) to have ticked several times.
    const auto heldLongEnough = [&] { return heldSince != 0 && GetTickCount() - heldSince > 1600; };
    Every act(5, [&] {
        const JobPhase phase = window->Phase();
        if (stage != Stage::Scan && stage != Stage::Free && phase != JobPhase::BeginPending) {
            startedInside.push_back(stage == Stage::Moving ? "move" : "menu");
            if (menuUp())
                EndMenu();  // the case ends here: nothing is left open for the next one
            return true;
        }
        switch (stage) {
        case Stage::Scan:
            if (!window->ScanRunning())
                return false;
            ClickOn("bbBegin");
            if (window->Phase() != JobPhase::BeginPending)
                return true;  // said below
            SendMessageA(main, WM_ENTERSIZEMOVE, 0, 0);  // what the system says as a move begins
            stage = Stage::Moving;
            return false;
        case Stage::Moving:
            if (window->ScanRunning())
                return false;
            if (heldSince == 0)
                heldSince = GetTickCount();
            if (!heldLongEnough())
                return false;
            // A right-click on the icon, as the shell reports it: its menu opens.
            PostMessageA(main, TrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
            heldSince = GetTickCount();
            stage = Stage::MenuOpening;
            return false;
        case Stage::MenuOpening:
            if (!menuUp())
                return GetTickCount() - heldSince > 10000;  // never opened: said below
            SendMessageA(main, WM_EXITSIZEMOVE, 0, 0);
            heldSince = GetTickCount();
            stage = Stage::Menu;
            return false;
        case Stage::Menu:
            if (!heldLongEnough())
                return false;
            stage = Stage::Free;
            EndMenu();
            return true;
        case Stage::Free:
            return true;
        }
        return true;
    });
    SetText(Find("sourceEdit"), data);
    PostMessageA(Find("sourceButtonAdd"), BM_CLICK, 0, 0);
    // However the case goes, the job that was taken runs (or is left waiting when the menu never came).
    const bool done = TreeFibers::Get().RunWindowUntil(
        [&] {
            return act.Done() && (stage == Stage::MenuOpening ||
                                  (window->Phase() == JobPhase::Rest && ReportWritten()));
        },
        120000);

    EXPECT_TRUE(startedInside.empty()) << "the job started inside the " << startedInside.front();
    ASSERT_EQ(stage, Stage::Free) << "the case did not get to the menu's end";
    ASSERT_TRUE(done);
    EXPECT_NE(Log().find("**Execute**"), std::string::npos) << Log();
    EXPECT_EQ(FilesBelow(temp / "dst\\data"), 400) << "the job that waited did not run whole";
}

// A dialog of a section (New Folder's name dialog) is up while a Begin waits for its scan and when
// that scan ends: the job waits until the dialog has ended, then runs whole. Every modal loop of the
// window is counted the same way, through one call.
TEST_F(MainWindowLoops, AWaitingBeginStartsInsideNoDialogOfASection)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    SetDestination(temp / "dst");

    enum class Stage { DialogOpening, Scan, Held, Free } stage = Stage::DialogOpening;
    DWORD heldSince = GetTickCount();
    bool startedInside = false;
    const auto dialog = []() -> HWND {
        for (HWND w : ThreadWindows().windows)
            if (IsWindowVisible(w) && ui::FindByName(w, "edFolderName"))
                return w;
        return nullptr;
    };
    Every act(5, [&] {
        const JobPhase phase = window->Phase();
        if (stage == Stage::Held && phase != JobPhase::BeginPending) {
            startedInside = true;
            Click(ui::FindByName(dialog(), "BitBtn2"));  // Cancel: nothing is left open
            return true;
        }
        switch (stage) {
        case Stage::DialogOpening:
            if (!dialog())
                return GetTickCount() - heldSince > 10000;  // never opened: said below
            // From inside the dialog's loop: a source is added, its scan starts, Begin waits for it.
            SetText(Find("sourceEdit"), data);
            PostMessageA(Find("sourceButtonAdd"), BM_CLICK, 0, 0);
            stage = Stage::Scan;
            return false;
        case Stage::Scan:
            if (!window->ScanRunning())
                return false;
            ClickOn("bbBegin");
            heldSince = 0;
            stage = Stage::Held;
            if (window->Phase() != JobPhase::BeginPending)
                return true;  // said below
            return false;
        case Stage::Held:
            if (!HeldPastTheScan(heldSince))
                return false;
            stage = Stage::Free;
            Click(ui::FindByName(dialog(), "BitBtn2"));  // Cancel
            return true;
        case Stage::Free:
            return true;
        }
        return true;
    });
    PostMessageA(Find("BitBtn2"), BM_CLICK, 0, 0);  // New Folder: its dialog opens
    const bool done = TreeFibers::Get().RunWindowUntil(
        [&] { return act.Done() && window->Phase() == JobPhase::Rest && ReportWritten(); }, 120000);

    EXPECT_FALSE(startedInside) << "the job started inside the folder-name dialog";
    ASSERT_EQ(stage, Stage::Free) << "the case did not get to the dialog's end";
    ASSERT_TRUE(done);
    EXPECT_EQ(FilesBelow(temp / "dst\\data"), 400) << "the job that waited did not run whole";
}
