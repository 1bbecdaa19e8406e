#pragma once
#include "app/ApplicationWindow.h"
#include "app/FiltersSection.h"
#include "app/FolderTrees.h"
#include "app/JobPhase.h"
#include "app/ProgressSection.h"
#include "app/SavedHistories.h"
#include "app/SectionHost.h"
#include "app/SettingsSection.h"
#include "app/ShellSide.h"
#include "app/SourceSection.h"
#include "app/ToSection.h"
#include "app/TraySide.h"
#include "core/SectionNumber.h"
#include "dialogs/Existsform.h"
#include "dialogs/Folderexists.h"
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "engine/JobState.h"
#include "engine/ReportFile.h"
#include "engine/jobrun.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/RadioButton.h"
#include "ui/ScrollBox.h"
#include "ui/Timer.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct ScanRun;

// The main window: six collapsible sections (operation, sources, filters, destination, progress,
// settings) over a bar with Stop searching, Begin and Cancel. The sections are objects of their own
// (SourceSection, FiltersSection, ToSection, ProgressSection, SettingsSection), as are the tray, the
// shell side (hand-off, drops, the file clipboard), the folder trees and the saved lists; the window
// composes them, keeps the section frame, the operation chooser and the job's state, dispatches its
// messages, and is the engine's JobHost.
class TVorCopyPasteWin : public JobHost, public SectionHost {
public:

    // The saved lists live in historyFolder, beside the program when it is empty. commandArgument is
    // the program's first command-line argument ("startup", "new_window" or a path).
    explicit TVorCopyPasteWin(const std::string& historyFolder = {}, const std::string& commandArgument = {});
    ~TVorCopyPasteWin() override;
    TVorCopyPasteWin(const TVorCopyPasteWin&) = delete;
    TVorCopyPasteWin& operator=(const TVorCopyPasteWin&) = delete;

    HWND Handle() const override { return form->Handle(); }

    // --- What the program and its checks read of the window ------------------------------------
    // Which section is open, and whether a switch between two sections is still moving.
    int ExpandedSection() const override { return expandedSection; }
    bool SwitchRunning() const { return Timer3->Enabled(); }
    void OpenSection(int section) override;  // as a click on its header
    void RefreshSectionHeaders(int index) override;
    Operation OperationKind() const;  // first checked radio button, Copy when none
    // What the window is doing now; every handler asks EffectOf(action, Phase()) what it does.
    JobPhase Phase() const override;
    // A count of the sources runs now (Stop searching is enabled while it does).
    bool ScanRunning() const { return StopSearch->Enabled(); }
    // A count of the sources is asked for and its timer has not fired yet: at rest the count then
    // starts; inside a taken job it is put off until the job has ended.
    bool CountRequested() const { return SearchTimer->Enabled(); }
    // Asks for a new count of the sources, as a change of the list does.
    void RequestCount() { SearchTimer->Start(); }
    // Whether the program starts with its window hidden (started at log-on).
    bool StartsHidden() const { return shell.StartsHidden(); }

    // The running (or last) job's flags and counters, and the pre-scan's count of the sources now.
    const JobState& State() const { return state; }
    const ScanTotals& ScanCount() const { return scanTotals; }
    // The one way a check gives the window a count that no disk could hold safely: totals beyond any
    // free space, which a real count would need a file of that size for (and a job that failed to ask
    // would then try to write). Everything else a check learns by driving a real count.
    void SetScanCount(const ScanTotals& totals) { scanTotals = totals; }

    // The parts of the window whose own calls the program and its checks use (their controls are
    // their own).
    FolderTrees& Trees() { return trees; }
    SourceSection& Sources() { return source; }
    FiltersSection& Filters() { return filters; }
    ProgressSection& Progress() { return progress; }
    ShellSide& Shell() { return shell; }

    // --- JobHost ------------------------------------------------------------------------------
    void ProcessMessages() override;
    void ProcessMessagesWhileWaiting() override;
    void SetProgressText(ProgressText which, const std::string& text) override;
    void SetFileBar(int maximum, int position) override;
    void SetOverallBarMax(int maximum) override;
    void SetOverallBarPos(int position) override;
    ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override;
    ConflictAnswer AskFolderExists(const std::string& path) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    void ShowMessage(const std::string& text) override;
    int RunDialog(ui::Form& dialog) override;
    void RunMenu(ui::PopupMenu& menu, POINT at) override;
    void AppendLog(const std::string& entry) override;
    void ClearLog() override;
    void FileSettled(const FileOutcome& outcome) override;
    void EnterRunningState(Operation operation) override;
    void ShowPaused(bool paused) override;
    void EnterRestState() override;
    void HideMainWindow() override;
    std::uint32_t TickMs() override;
    DateTime Now() override;
    std::string FormatLocalDateTime(DateTime value) override;

private:
    friend class ScanDisplay;
    friend struct ScanRun;

    // --- Section frame ------------------------------------------------------------------------
    void CopyCutLabelClick(ui::Label& header);
    void ShowSection(int index);
    void Timer3Timer();
    void FrameSection(ui::Panel* panel);
    void CopyCutLabelMouseMove(ui::Label& header);
    void FormResize();
    int CollapsedHeight(int section) const;

    // --- Operation chooser --------------------------------------------------------------------
    void rbCopyClick(int senderTag);

    // --- Job ----------------------------------------------------------------------------------
    void bbBeginClick();
    void bbCancelClick();
    void bbPauseClick();
    void ReclickBeginButtonTimer();
    // The job as the controls define it now: what Begin takes.
    JobRequest TakeJobRequest();
    void StopSearchClick();
    void BitBtn1Click();
    // A loop of the window's that must end is up: a question, the icon's or the system's menu, a move
    // or a sizing of the window. Each dispatches the window's timers, and whatever starts there runs
    // inside it and keeps it from ending until it returns.
    bool NestedLoopUp() const;
    // At rest, outside every such loop: the only place a folder tree's browse dialog may start (its
    // loop only ends with the window).
    bool AtRestOutsideLoops() const
    {
        return EffectOf(UserAction::ReopenTree, Phase()) == Effect::Act && !NestedLoopUp();
    }

    // --- Pre-scan -----------------------------------------------------------------------------
    void SearchTimerTimer();
    void CountSourceItems(int index);
    // After a hand-off or a drop added entries: a pre-scan now, or once a taken job has ended.
    void SourcesChangedBy(UserAction action);

    // --- Frame controls (named as on the form) ------------------------------------------------
    // The task bar's button under the application title; owns the form, so it goes after it.
    std::unique_ptr<ApplicationWindow> application;
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<ui::Panel> Panel18, Panel19, pExists;
    std::unique_ptr<ui::ScrollBox> ScrollBox2;
    std::unique_ptr<ui::Button> StopSearch, bbBegin, bbCancel, BitBtn1;
    std::unique_ptr<ui::Label> Label10;
    std::array<std::unique_ptr<ui::Panel>, 4> frame;  // pr0 top, pr1 right, pr2 bottom, pr3 left

    // Section table, indexed by section number.
    std::array<ui::Panel*, kSectionCount> sectionPanel{};
    std::array<ui::Label*, kSectionCount> sectionHeader{};
    std::array<ui::Panel*, kSectionCount> sectionBody{};
    std::array<ui::Panel*, kSectionCount> sectionIcon{};

    // Each section's panel, body and icon box, and its header (declared after the panels that hold
    // them, the headers are destroyed first).
    std::unique_ptr<ui::Panel> CopyCutPanel, CopyCutSubPanel, CopyCutSubPanel2, SourcePanel, SourceSubPanel,
        SourceSubPanel2, NameFilterPanel, NameFilterSubPanel, NameFilterSubPanel2, ToPanel, ToSubPanel, ToSubPanel2,
        ProgressPanel, ProgressSubPanel, ProgressSubPanel2, SettingsPanel, SettingsSubPanel, SettingsSubPanel2;
    std::unique_ptr<ui::Label> CopyCutLabel, SourceLabel, NameFilterLabel, ToLabel, ProgressLabel, SettingsLabel;

    // The operation chooser.
    std::unique_ptr<ui::ScrollBox> ScrollBox3;
    std::array<std::unique_ptr<ui::Panel>, kOperationCount> operationCell;  // Panel10 is Copy's
    std::array<std::unique_ptr<ui::RadioButton>, kOperationCount> operationRadio;  // rbCopy rbCut rbTrash rbDelete rbCrush
    std::array<std::unique_ptr<ui::Image>, kOperationCount> operationPicture;     // imcopy imcut imtrash imdelete imcrash
    std::array<std::unique_ptr<ui::Image>, kOperationCount> operationIcon;        // imcopy1 … imcrash1

    std::unique_ptr<ui::Timer> SearchTimer, ReclickBeginButton, Timer3;

    // --- Sections and sides (after the frame they are built into: they go first) --------------
    FolderTrees trees;  // the trees of the Source and To sections
    SourceSection source{*this, trees};
    FiltersSection filters{*this};
    ToSection to{*this, trees};
    ProgressSection progress;
    SettingsSection settings{*this};
    SavedHistories histories;
    TraySide tray{*this};
    ShellSide shell{*this};

    std::unique_ptr<TFileExistsForm> fileExistsForm;
    std::unique_ptr<TFolderExistsForm> folderExistsForm;

    // Written by the job only (and its flags through its Pause, Cancel and quit calls): the window
    // reads it to know its phase.
    JobState state;
    ScanTotals scanTotals;  // the pre-scan counts here; Begin copies it into the job's request

    void BuildForm();
    void BuildSection(int index, const std::string& panelName, const std::string& headerName,
                      const std::string& headerText, const std::string& bodyName, const std::string& iconName,
                      std::unique_ptr<ui::Panel>& panel, std::unique_ptr<ui::Label>& header,
                      std::unique_ptr<ui::Panel>& body, std::unique_ptr<ui::Panel>& icon);
    void BuildOperationSection();
    void LinkSections();
    void FormCreate();
    void PlaceIconPanels();
    void SetSectionsEnabled(bool enabled);
    // Rename and Select Destination Directory: off from Begin to the job's end.
    void SetFolderButtonsEnabled(bool enabled);
    // The form's one message path: offers a message to the window's parts in the order written down
    // at its definition.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Begin from the saved lists on, with the job taken at the press (at once, or once a scan that
    // was running has wound down).
    void ContinueBegin(JobRequest request);
    void HoldBeginForScan(const JobRequest& request);
    void DropPendingBegin();
    // The one call through which every modal loop of the window runs (app/Mainfrm_Modal.cpp): the loop
    // is counted as up while it runs, and a job's own question (`jobQuestion`) makes the phase Asking.
    int RunModal(const std::function<int()>& loop, bool jobQuestion = false);
    std::optional<JobRequest> pendingBegin;  // taken at Begin during a scan, run when it has wound down
    int questionsUp = 0;    // modal questions of this window that are open (they pump messages)
    bool sizingOrMoving = false;  // the system's loop of a move or a sizing of the window runs
    bool menuLoopUp = false;      // the system's loop of a menu of the window runs
    bool asking = false;    // a job waits for the answer to a question
    // The window is closing (closed, Exit, the session ending): a job stops asking and unwinds, a
    // waiting Begin is dropped. True while a job must unwind before the window can go.
    bool StopForClose();
    void EndDuringJob();  // closed or the session ends while a job runs
    void NoticeQuit();    // stops the job when a quit has been met
    void CloseWindowAfterBrowsers();
    void ResetForScan();  // the totals and the filters as a new count starts them
    void ResumeDeferredScan();  // a request that came during a job, once it has ended

    bool closePending = false;  // closed during a job: the window goes once the job has unwound
    int expandedSection = kSectionProgress;  // the tag of ScrollBox2
    bool pauseAtSwitch = false;       // the pause flag when a switch began
    std::unique_ptr<JobRun> job;
    // "Also write a report file": the running job's report, and whether the job was cancelled.
    ReportFile reportFile;
    bool jobCancelled = false;
    bool scanDeferred = false;
    ScanRun* activeScan = nullptr;
};
