#pragma once
#include "app/ApplicationWindow.h"
#include "app/JobPhase.h"
#include "app/PresetListFill.h"
#include "app/ProgressDisplay.h"
#include "core/SectionNumber.h"
#include "dialogs/Existsform.h"
#include "dialogs/Folderexists.h"
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "engine/JobState.h"
#include "engine/jobrun.h"
#include "filters/KeptFilters.h"
#include "ui/Animation.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/CheckListBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Memo.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/PopupMenu.h"
#include "ui/ProgressBar.h"
#include "ui/RadioButton.h"
#include "ui/ScrollBox.h"
#include "ui/Splitter.h"
#include "ui/Timer.h"

#include <shellapi.h>

#include <array>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ScanRun;
struct RegistryFailure;

// The main window: six collapsible sections (operation, sources, filters, destination, progress,
// settings) over a bar with Stop searching, Begin and Cancel. It holds the job's settings in its
// controls and the job's state in `state`, and is the engine's JobHost.
class TVorCopyPasteWin : public JobHost {
public:

    // The saved lists live in historyFolder, beside the program when it is empty. commandArgument is
    // the program's first command-line argument ("startup", "new_window" or a path).
    explicit TVorCopyPasteWin(const std::string& historyFolder = {}, const std::string& commandArgument = {});
    ~TVorCopyPasteWin() override;
    TVorCopyPasteWin(const TVorCopyPasteWin&) = delete;
    TVorCopyPasteWin& operator=(const TVorCopyPasteWin&) = delete;

    ui::Form& Window() { return *form; }
    HWND Handle() const { return form->Handle(); }

    // --- Sections -----------------------------------------------------------------------------
    void CopyCutLabelClick(ui::Label& header);
    void ShowSection(int index);
    void Timer3Timer();
    void FrameSection(ui::Panel* panel);
    void CopyCutLabelMouseMove(ui::Label& header);
    void FormResize();
    void RefreshSectionHeaders(int index);
    int ExpandedSection() const { return expandedSection; }
    bool SwitchRunning() const { return Timer3->Enabled(); }
    int CollapsedHeight(int section) const;

    // --- Operation chooser --------------------------------------------------------------------
    void rbCopyClick(int senderTag);

    // --- Job ----------------------------------------------------------------------------------
    void bbBeginClick();
    void bbCancelClick();
    void bbPauseClick();
    void ReclickBeginButtonTimer();
    // What the window is doing now; every handler asks EffectOf(action, Phase()) what it does.
    JobPhase Phase() const;
    // The job as the controls define it now: what Begin takes.
    JobRequest TakeJobRequest();
    Operation OperationKind() const;  // first checked radio button, Copy when none
    const FilterSet& Filters();       // cbFName, ExtList, dtp1/dtp2, size fields
    bool ScanRunning() const { return StopSearch->Enabled(); }
    void OpenSection(int section);    // as a click on its header
    void aniProgressBarTimerTimer();
    void StopSearchClick();
    void BitBtn1Click();

    // --- Pre-scan -----------------------------------------------------------------------------
    void SearchTimerTimer();
    void CountSourceItems(int index);
    void CountFolder(const std::string& folder);
    void aniSearchStart();
    void ResetFilters();

    // --- Sources (list, drops, the file clipboard) ---------------------------------------------
    // The one way into the source list: the new entry's index, or -1 when nothing was added.
    int AddSourceItem(const std::string& path);
    // After a hand-off or a drop added entries: a pre-scan now, or once a taken job has ended.
    void SourcesChangedBy(UserAction action);
    void sourceButtonAddClick();
    void sourceButtonRemoveClick();
    void sourceListKeyUp(WORD key);
    void sourceListClick();
    void DropFiles(HDROP drop);
    void DrawClipboard();
    // Reads the file-drop list of a change; a clipboard held open by another program is tried again.
    void ReadClipboardChange();
    int clipboardReadTries = 0;
    void SysClipTimerTimer();
    std::vector<std::string> clipboardFiles;
    HWND nextClipboardViewer = nullptr;
    bool clipboardListening = false;  // on the system's list of clipboard listeners, not in the chain
    // The notice of what the clipboard held when the window joined the viewer chain.
    bool IsJoiningClipboardNotice() const;
    bool joiningClipboardChain = false;
    std::vector<UINT> refusedMessageFilters;  // drop and hand-off messages the system kept blocked
    DWORD clipboardJoinSequence = 0;

    // --- Destination --------------------------------------------------------------------------
    void cbPathChange();
    void BitBtn2Click();  // New Folder
    void BitBtn4Click();  // Rename
    std::string lastDestinationFolder;

    // --- Embedded folder trees ----------------------------------------------------------------
    void Timer1Timer();
    void Timer2Timer();
    void BitBtn3Click();
    void BitBtn6Click();
    void SizeBrowserTrees();
    // Ends every browse dialog (a close request each); their runs return once their loops take it.
    void CloseBrowsers();
    bool BrowsersRunning() const;
    std::string browseStartPath;
    int destinationBrowseStep = -1;
    int sourceBrowseStep = -1;
    HWND destinationBrowseDialog = nullptr, destinationTree = nullptr;
    HWND sourceBrowseDialog = nullptr, sourceTree = nullptr;

    // --- Filters ------------------------------------------------------------------------------
    void cbFNameExit();
    void cbFNameClick();
    void cbFNameKeyUp(WORD key);
    bool MasksCoverExtension(const std::string& entry);
    void ExtListClickCheck();
    void cbSelAllClick();
    void cbTL1Change();
    void cbTL2Change();
    void dtp1Change();
    void dtp2Change();
    void EditFSMinKeyPress(char& key);
    void EditFSMinKeyDown(ui::Edit& edit, WORD key, ui::Shift shift);
    void EditFSMinChange();
    void EditFSMaxChange();

    JobState state;
    std::int64_t minSize = 0;
    std::int64_t maxSize = INT64_MAX;
    DateTime timeFrom = 0.0;
    DateTime timeTo = 0.0;
    bool timeFromByHand = false;  // set by the user: a new count of the sources keeps it
    bool timeToByHand = false;
    std::optional<KeptFilters> keptFilters;  // what the running (or last) count keeps of the user's filters

    // --- Saved lists (NameFilter.dat, HistoryPath.dat) ----------------------------------------
    DWORD AddToHistory(ui::ComboBox& box, const std::string& file);  // the write's error, or 0
    DWORD AddToHistory(ui::ComboBox& box, const std::string& text, const std::string& file);
    const std::string& NameFilterFile() const { return nameFilterFile; }
    const std::string& HistoryPathFile() const { return historyPathFile; }

    // --- Process life: hand-off, command line, tray, help, settings ---------------------------
    // A copy-data block another process sent; false when it is no hand-off of this program.
    bool ReceiveHandOff(ULONG_PTR tag, const void* data, std::size_t size);
    void ParamTimer4Timer();
    void Exit1Click();
    void About1Click();
    void TrayIcon1MouseDown();
    void TrayIcon1DblClick();
    void TrayIcon1Popup();
    void Label8Click();
    void Label9Click();
    void Label11Click();
    void cbStartClick();
    void cbContextClick();
    void cbMonitorClipboardClick();
    void cbVerifyClick();
    bool StartsHidden() const { return startHidden; }
    bool TrayIconShown() const;
    std::unique_ptr<ui::PopupMenu> PopupMenu2;

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
    void AppendLog(const std::string& entry) override;
    void ClearLog() override;
    void EnterRunningState(Operation operation) override;
    void ShowPaused(bool paused) override;
    void EnterRestState() override;
    void HideMainWindow() override;
    std::uint32_t TickMs() override;
    DateTime Now() override;
    std::string FormatLocalDateTime(DateTime value) override;

    // --- Controls (named as on the form) ------------------------------------------------------
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

    std::unique_ptr<ui::Panel> CopyCutPanel, CopyCutSubPanel, CopyCutSubPanel2;
    std::unique_ptr<ui::Label> CopyCutLabel;
    std::unique_ptr<ui::ScrollBox> ScrollBox3;
    std::array<std::unique_ptr<ui::Panel>, 5> operationCell;  // Panel10 is Copy's
    std::array<std::unique_ptr<ui::RadioButton>, 5> operationRadio;  // rbCopy rbCut rbTrash rbDelete rbCrush
    std::array<std::unique_ptr<ui::Image>, 5> operationPicture;     // imcopy imcut imtrash imdelete imcrash
    std::array<std::unique_ptr<ui::Image>, 5> operationIcon;        // imcopy1 … imcrash1

    std::unique_ptr<ui::Panel> SourcePanel, SourceSubPanel, SourceSubPanel2, sourceSubPanel3, Panel8;
    std::unique_ptr<ui::Label> SourceLabel;
    std::unique_ptr<ui::ListBox> sourceList;
    std::unique_ptr<ui::Splitter> Splitter1;
    std::unique_ptr<ui::Edit> sourceEdit;
    std::unique_ptr<ui::Button> sourceButtonAdd, sourceButtonRemove, BitBtn6;

    std::unique_ptr<ui::Panel> NameFilterPanel, NameFilterSubPanel, NameFilterSubPanel2, FNamePanel;
    std::unique_ptr<ui::Label> NameFilterLabel, Label1, Label6, ModificationTimeFilterLabel, Label2, Label3,
        SizeFilterLabel, Label4, Label5;
    std::unique_ptr<ui::ScrollBox> ScrollBox1;
    std::unique_ptr<ui::ComboBox> cbFName, cbTL1, cbTL2, cbFSMin, cbFSMax;
    std::unique_ptr<ui::CheckBox> cbSelAll;
    std::unique_ptr<ui::CheckListBox> ExtList;
    std::unique_ptr<ui::DateTimePicker> dtp1, dtp2;
    std::unique_ptr<ui::Edit> EditFSMin, EditFSMax, Edit1, Edit2, minEdit3, maxEdit3;
    // The entries of cbTL1 and cbTL2, put in when they are looked at (after the controls: gone first).
    std::unique_ptr<PresetListFill> presetsFrom, presetsTo;

    std::unique_ptr<ui::Panel> ToPanel, ToSubPanel, ToSubPanel2, Panel26, Panel3, Panel14, ToBottomPanel;
    std::unique_ptr<ui::Label> ToLabel;
    std::unique_ptr<ui::ComboBox> cbPath;
    std::unique_ptr<ui::CheckBox> cbIgnorSubDir;
    std::unique_ptr<ui::Button> BitBtn2, BitBtn3, BitBtn4;

    std::unique_ptr<ui::Panel> ProgressPanel, ProgressSubPanel, ProgressSubPanel2;
    std::unique_ptr<ui::Label> ProgressLabel, AllProgressLabel, TimeLabel, LabelSpeed, FileProgressLabel;
    std::unique_ptr<ui::PageControl> PageControl1;
    std::unique_ptr<ui::ProgressBar> AllProgressBar, FileProgressBar, aniProgressBar;
    std::unique_ptr<ui::Animation> aniSearch, aniSearch2, aniCopy, aniTrash, aniDelete;
    std::unique_ptr<ui::Button> bbPause;
    std::unique_ptr<ui::Memo> Memo1;

    std::unique_ptr<ui::Panel> SettingsPanel, SettingsSubPanel, SettingsSubPanel2;
    std::unique_ptr<ui::Label> SettingsLabel, Label7, Label8, Label9, Label11;
    std::unique_ptr<ui::PageControl> PageControl2;
    std::unique_ptr<ui::CheckBox> cbStart, cbContext, cbMonitorClipboard, cbVerify;
    std::unique_ptr<ui::Image> Image2;

    std::unique_ptr<ui::Timer> SearchTimer, ReclickBeginButton, aniProgressBarTimer, Timer1, Timer2, Timer3,
        SysClipTimer, ParamTimer4, clipboardRetryTimer;

    std::unique_ptr<TFileExistsForm> fileExistsForm;
    std::unique_ptr<TFolderExistsForm> folderExistsForm;

private:
    void BuildForm();
    void BuildBottomBar();
    void BuildSection(int index, const std::string& panelName, const std::string& headerName,
                      const std::string& headerText, const std::string& bodyName, const std::string& iconName,
                      std::unique_ptr<ui::Panel>& panel, std::unique_ptr<ui::Label>& header,
                      std::unique_ptr<ui::Panel>& body, std::unique_ptr<ui::Panel>& icon);
    void BuildOperationSection();
    void BuildSourceSection();
    void BuildFiltersSection();
    void WireFilterControls();
    void BuildToSection();
    void BuildProgressSection();
    void BuildSettingsSection();
    void BuildTimers();
    void LoadAnimations();
    void FormCreate();
    void PlaceIconPanels();
    void SetSectionsEnabled(bool enabled);
    // Begin from the saved lists on, with the job taken at the press (at once, or once a scan that
    // was running has wound down).
    void ContinueBegin(const JobRequest& request);
    void HoldBeginForScan(const JobRequest& request);
    void DropPendingBegin();
    // Remembers the masks and the destination of the job; a log line for each list it could not store.
    std::vector<std::string> SaveHistories(const std::string& masksText, const std::string& pathText);
    std::optional<JobRequest> pendingBegin;  // taken at Begin during a scan, run when it has wound down
    int questionsUp = 0;    // modal questions of this window that are open (they pump messages)
    bool asking = false;    // a job waits for the answer to a question
    // The window is closing (closed, Exit, the session ending): a job stops asking and unwinds, a
    // waiting Begin is dropped. True while a job must unwind before the window can go.
    bool StopForClose();
    void EndDuringJob();  // closed or the session ends while a job runs
    void NoticeQuit();    // stops the job when a quit has been met
    void DrawProgressTab(int index, HDC dc, RECT rect);
    ui::Animation& JobAnimation() { return *jobAnimation; }

    FilterSet filterSnapshot;
    bool closePending = false;  // closed during a job: the window goes once the job has unwound
    ui::Animation* jobAnimation = nullptr;
    int expandedSection = kSectionProgress;  // the tag of ScrollBox2
    bool pauseAtSwitch = false;       // the pause flag when a switch began
    std::unique_ptr<JobRun> job;
    std::unique_ptr<class TrayIcon> TrayIcon1;

    void ResumeDeferredScan();  // a request that came during a job, once it has ended
    bool scanDeferred = false;
    ScanRun* activeScan = nullptr;

    void BuildShell();                                  // tray menu and the handlers of this group
    void HandleCommandLine(const std::string& argument);  // before FormCreate
    void ReadSettings();                                // in FormCreate
    void ShowRegistryFailure(const RegistryFailure& failure);
    bool ShellMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void RestoreFromTray();
    bool startHidden = false;

    void LoadHistories(std::string folder);
    std::string nameFilterFile, historyPathFile;
    std::set<std::string> partlyReadHistories;  // too big to read whole: never written over
    std::unique_ptr<ProgressDisplay> progressDisplay;  // the job's texts and bars, ten times a second

    // Sources, destination and the embedded trees (Mainfrm_Sources, Mainfrm_Destination, Mainfrm_Trees).
    void SetUpSourcesAndTrees();
    bool SourcesMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void CloseWindowAfterBrowsers();
    void BrowserTick(bool destination);
    void RunDestinationBrowser();
    void RunSourceBrowser();
    void RunBrowser(bool destination);
    static int CALLBACK DestinationBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    static int CALLBACK SourceBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    void BrowseCallback(bool destination, HWND dialog, UINT message, LPARAM lParam);
    struct BrowseRun {
        HWND dialog = nullptr;
        HWND tree = nullptr;  // moved out of the dialog into a panel; null when the dialog has none
        bool destination = false;
    };
    std::vector<BrowseRun> browseRuns;   // every dialog that runs, oldest first
    int destinationRunsActive = 0;       // browse calls that have not returned yet
    int sourceRunsActive = 0;
    bool closingBrowsers = false;        // the window is going: returning dialogs touch nothing
    bool steeringFromPath = false;       // a selection the destination text asked for
};
