// What the user does while the window pumps messages inside a scan, a Begin that waits for its scan,
// and a job: each action has one effect, and none changes a job once Begin has taken it.
#include "tests/window/MainWindowHarness.h"

#include "app/JobPhase.h"

using namespace mainwindow;
using testsupport::Exists;
using testsupport::IsFolder;
using testsupport::MakeTree;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::Tree;

class MainWindowReentry : public MainWindowTest {
protected:
    // Rest is also no Begin waiting for its scan (the phase says so) and no count asked for.
    bool AtRest() { return window->Phase() == JobPhase::Rest && !window->CountRequested(); }
};

TEST(JobPhaseTable, EveryActionHasOneEffectInEveryPhaseAndNothingChangesATakenJob)
{
    const JobPhase taken[] = {JobPhase::BeginPending, JobPhase::Running, JobPhase::Paused, JobPhase::Asking,
                              JobPhase::Stopping};
    for (const JobPhase phase : taken) {
        SCOPED_TRACE(PhaseName(phase));
        EXPECT_EQ(EffectOf(UserAction::Begin, phase), Effect::Ignore) << "a second job over a taken one";
        EXPECT_EQ(EffectOf(UserAction::EditSources, phase), Effect::Ignore);
        EXPECT_EQ(EffectOf(UserAction::EditFilters, phase), Effect::Ignore);
        EXPECT_EQ(EffectOf(UserAction::ClipboardPickup, phase), Effect::Ignore);
        EXPECT_EQ(EffectOf(UserAction::RenameFolder, phase), Effect::Ignore);
        EXPECT_EQ(EffectOf(UserAction::HandOff, phase), Effect::ListOnly);
        EXPECT_EQ(EffectOf(UserAction::ScanRequest, phase), Effect::Later);
        EXPECT_EQ(EffectOf(UserAction::EditDestination, phase), Effect::Act) << "it prepares the next job";
    }
    EXPECT_EQ(EffectOf(UserAction::Cancel, JobPhase::BeginPending), Effect::DropPendingBegin);
    EXPECT_EQ(EffectOf(UserAction::Begin, JobPhase::Scanning), Effect::StopScanAndHold);
    for (const JobPhase phase : {JobPhase::Running, JobPhase::Paused, JobPhase::Asking})
        EXPECT_EQ(EffectOf(UserAction::Cancel, phase), Effect::StopJob) << PhaseName(phase);
    EXPECT_EQ(EffectOf(UserAction::Cancel, JobPhase::Stopping), Effect::Ignore) << "it unwinds already";
    EXPECT_EQ(EffectOf(UserAction::Pause, JobPhase::Stopping), Effect::Ignore);
    for (const UserAction action : {UserAction::Begin, UserAction::EditSources, UserAction::HandOff,
                                    UserAction::ClipboardPickup, UserAction::ScanRequest, UserAction::Close})
        EXPECT_EQ(EffectOf(action, JobPhase::Rest), Effect::Act) << ActionName(action);
}

// Delete of a folder that is still being counted: Begin, then Cancel before the scan has wound down.
TEST_F(MainWindowReentry, CancelDropsABeginPressedDuringTheScanAndNothingIsDeleted)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    Click(Find("rbDelete"));

    bool pressed = false;
    JobPhase afterBegin = JobPhase::Rest;
    Every press(5, [&] {
        if (!window->ScanRunning())
            return false;
        ClickOn("bbBegin");
        afterBegin = window->Phase();
        ClickOn("bbCancel");
        pressed = true;
        return true;
    });
    SetText(Find("sourceEdit"), data);
    ClickOn("sourceButtonAdd");
    ASSERT_TRUE(PumpUntil([&] { return pressed && AtRest(); }));
    EXPECT_EQ(afterBegin, JobPhase::BeginPending);
    // Longer than the waiting Begin's timer would take to start a job: it must have nothing to start.
    const DWORD since = GetTickCount();
    PumpUntil([&] { return GetTickCount() - since > 1500; }, 3000);
    EXPECT_EQ(FilesBelow(data), 400) << "a job ran after Cancel";
    EXPECT_TRUE(IsFolder(data));
    EXPECT_EQ(Log().find("**Execute**"), std::string::npos) << Log();
    ExpectIdle("after Cancel of a waiting Begin");
}

// Begin during the scan takes the job; Remove while it waits changes neither the list nor the job.
TEST_F(MainWindowReentry, AWaitingBeginRunsTheJobItTookWhateverIsPressedMeanwhile)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 300));
    ASSERT_TRUE(MakeTree(temp.Path(), {"other\\", "other\\o.txt=o"}));
    AddSource(temp / "other");
    SetDestination(temp / "dst");
    boxes->answer = IDYES;

    bool pressed = false;
    std::vector<JobPhase> seen;
    Every press(5, [&] {
        if (!window->ScanRunning())
            return false;
        ClickOn("bbBegin");
        seen.push_back(window->Phase());
        // What a careless user does next: remove the entry, type another destination, drop a folder.
        SelectListItem(Find("sourceList"), 0);
        window->Sources().sourceButtonRemoveClick();
        SetDestination(temp / "elsewhere");
        DropOn(main, {temp / "other"});
        seen.push_back(window->Phase());
        pressed = true;
        return true;
    });
    SetText(Find("sourceEdit"), data);
    ClickOn("sourceButtonAdd");
    ASSERT_TRUE(PumpUntil([&] { return pressed && Log().find("**Report**") != std::string::npos && AtRest(); },
                          120000));

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], JobPhase::BeginPending);
    EXPECT_EQ(seen[1], JobPhase::BeginPending);
    EXPECT_EQ(ListCount(Find("sourceList")), 2) << "Remove acted while the job was taken";
    EXPECT_TRUE(boxes->seen.empty()) << "a question was asked while the job was taken";
    EXPECT_EQ(ReadFileText(temp / "dst\\other\\o.txt"), "o");
    EXPECT_EQ(FilesBelow(temp / "dst\\data"), 300);
    EXPECT_FALSE(Exists(temp / "elsewhere"));
    EXPECT_EQ(Text(Find("cbPath")), temp / "elsewhere") << "the destination typed stays for the next job";
}

// A flat Copy: another destination typed, a new folder made and a drop, all while the job runs.
TEST_F(MainWindowReentry, WhatIsTypedOrDroppedDuringAJobNeverRedirectsIt)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(MakeWideTree(data, 400));
    ASSERT_TRUE(MakeTree(temp.Path(), {"later\\", "later\\l.txt=l", "out\\"}));
    AddSource(data);
    Click(Find("cbIgnorSubDir"));
    SetDestination(temp / "out");

    bool changed = false;
    bool beginEnabledAfterDrop = true;
    Every meddle(5, [&] {
        if (window->Phase() != JobPhase::Running || window->State().filesDone < 20)
            return false;
        SetDestination(temp / "redirected");
        DropOn(main, {temp / "later"});
        beginEnabledAfterDrop = IsWindowEnabled(Find("bbBegin"));
        window->RequestCount();  // as a hand-off would request a count
        changed = true;
        return true;
    });
    Click(Find("bbBegin"));
    ASSERT_TRUE(PumpUntil([&] { return changed && AtRest() && Log().find("**Report**") != std::string::npos; },
                          120000));

    EXPECT_EQ(FilesBelow(temp / "out"), 400);
    EXPECT_FALSE(Exists(temp / "redirected")) << "the job read the destination again";
    EXPECT_FALSE(beginEnabledAfterDrop) << "a drop during the job enabled Begin";
    EXPECT_EQ(ListCount(Find("sourceList")), 2) << "the dropped folder waits in the list for the next job";
    EXPECT_NE(Log().find("\r\nAll Files: 400\r\n"), std::string::npos) << Log();
    // The count the drop asked for ran once the job had ended.
    EXPECT_EQ(window->ScanCount().fileTotal, 401);
}

// Delete with masks set to *.tmp; a source removed, which starts a new count: the masks still hold.
TEST_F(MainWindowReentry, FiltersTheUserSetSurviveAChangeOfTheSources)
{
    TempFolder temp;
    ASSERT_TRUE(MakeTree(temp.Path(), {"A\\", "A\\a.tmp=1", "A\\a.txt=2", "A\\sub\\", "A\\sub\\s.doc=3", "B\\",
                                       "B\\b.tmp=4"}));
    Click(Find("rbDelete"));
    AddSource(temp / "A");
    AddSource(temp / "B");
    SetText(Find("cbFName"), "*.tmp");
    window->Filters().cbFNameKeyUp(13);  // Enter
    boxes->answer = IDYES;
    ClearListSelection(Find("sourceList"));
    SelectListItem(Find("sourceList"), 1);
    ClickOn("sourceButtonRemove");
    ASSERT_EQ(ListCount(Find("sourceList")), 1);
    ASSERT_TRUE(PumpUntil([&] { return AtRest(); }));

    EXPECT_EQ(Text(Find("cbFName")), "*.tmp");
    for (const ExtensionEntry& entry : window->Filters().Filters().extensions)
        EXPECT_EQ(entry.checked, entry.extension == ".tmp") << entry.extension;
    EXPECT_FALSE(Checked(Find("cbSelAll")));

    ClickOn("bbBegin");
    ASSERT_TRUE(PumpUntil([&] { return AtRest() && Log().find("**Report**") != std::string::npos; }));
    EXPECT_FALSE(Exists(temp / "A\\a.tmp"));
    EXPECT_EQ(ReadFileText(temp / "A\\a.txt"), "2");
    EXPECT_EQ(ReadFileText(temp / "A\\sub\\s.doc"), "3");
    EXPECT_EQ(ReadFileText(temp / "B\\b.tmp"), "4") << "the removed source";
}
