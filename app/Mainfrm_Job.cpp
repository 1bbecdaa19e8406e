// The main window's life and its job: creation, the one path of its messages, Begin / Pause /
// Cancel, and the engine's JobHost.
#include "app/Mainfrm.h"

#include "app/MainWindowClass.h"
#include "core/DateTime.h"
#include "core/LogTexts.h"
#include "engine/filefacts.h"
#include "filters/SectionSummaries.h"
#include "platform/LocalDateText.h"
#include "platform/MessagePump.h"
#include "platform/ProgramPath.h"
#include "ui/HandlerException.h"
#include "ui/Hints.h"

#include <mmsystem.h>

#include <algorithm>

namespace {

constexpr unsigned kPumpIntervalMs = 15;

// The one main window, for the control layer's exception reporter, which takes no context.
TVorCopyPasteWin* reportingWindow = nullptr;

void ReportToLog(const char* where, const char* what)
{
    if (reportingWindow)
        reportingWindow->AppendLog(HandlerErrorEntry(where, what));
}

} // namespace

TVorCopyPasteWin::TVorCopyPasteWin(const std::string& historyFolder, const std::string& commandArgument)
{
    BuildForm();
    histories.Load(historyFolder, filters.MasksList(), to.PathList());
    job = std::make_unique<JobRun>(*this, state);
    job->SetSpeedBeforeAnyJob(progress.Display().SpeedText());
    LinkSections();
    shell.HandleCommandLine(commandArgument);
    FormCreate();
    // A handler that failed is said in the log, where the user looks for what happened.
    reportingWindow = this;
    ui::SetHandlerExceptionReporter(ReportToLog);
}

TVorCopyPasteWin::~TVorCopyPasteWin()
{
    if (reportingWindow == this) {
        ui::SetHandlerExceptionReporter(nullptr);
        reportingWindow = nullptr;
    }
}

void TVorCopyPasteWin::FormCreate()
{
    progress.LoadAnimations();
    ui::SetHintStyle(100, 10000, RGB(166, 202, 240));

    fileExistsForm = std::make_unique<TFileExistsForm>(Handle());
    folderExistsForm = std::make_unique<TFolderExistsForm>(Handle());

    filters.SetInitialValues();

    RefreshSectionHeaders(-1);
    for (int i = 0; i < kSectionCount; ++i) {
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Top);
        sectionPanel[static_cast<size_t>(i)]->SetHeight(CollapsedHeight(i));
    }
    for (int i = kSectionCount - 1; i > kSectionProgress; --i)
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Bottom);
    ProgressPanel->SetAlign(ui::Align::Client);
    expandedSection = kSectionProgress;
    settings.ReadSettings();

    form->onResize = [this] { FormResize(); };
    form->onClose = [this] {
        if (StopForClose())  // the job unwinds first; Begin closes the window when it returns
            return;
        CloseWindowAfterBrowsers();
    };
    form->onDestroy = [] { PostQuitMessage(0); };
    form->onShow = [this] { tray.Show(); };
    FormResize();
    // New Folder and Rename keep to the right of their row; the row got its width before it had a
    // handler to place them, and only its height changes as the sections open and close.
    to.PlaceButtons();
    shell.Listen();
    trees.Open();
}

// The form's one message path. Each message is offered to the window's parts in this order, and a
// part sees only what no earlier part has answered:
//  1. the shell side: hand-offs (WM_COPYDATA), drops and the clipboard's notices, all its own. It lets
//     WM_DESTROY go on once it has left the clipboard's listeners.
//  2. the session's end (WM_QUERYENDSESSION, WM_ENDSESSION): a running job stops without asking
//     anything more and the window goes once it has unwound. The answer stays the default "yes"; the
//     system may end the process after WM_ENDSESSION, which is why the job is stopped as early as the
//     query. The message goes on.
//  3. the system's own loops of the window (a move or a sizing, a menu) are noted as they start and
//     end: a waiting Begin and a folder tree start outside them. The messages go on.
//  4. the tray side: minimising, the task bar's button following the window's showing and hiding
//     (WM_WINDOWPOSCHANGED goes on), and the icon's own messages.
// What no part answers gets the form's own handling.
bool TVorCopyPasteWin::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (shell.HandleMessage(message, wParam, lParam, result))
        return true;
    if (message == WM_QUERYENDSESSION || (message == WM_ENDSESSION && wParam))
        StopForClose();
    if (message == WM_ENTERSIZEMOVE || message == WM_EXITSIZEMOVE)
        sizingOrMoving = message == WM_ENTERSIZEMOVE;
    else if (message == WM_ENTERMENULOOP || message == WM_EXITMENULOOP)
        menuLoopUp = message == WM_ENTERMENULOOP;
    return tray.HandleMessage(message, wParam, lParam, result);
}

void TVorCopyPasteWin::CloseWindowAfterBrowsers()
{
    trees.CloseForGood();
    DestroyWindow(Handle());
}

// --- Handlers ----------------------------------------------------------------------------------

bool TVorCopyPasteWin::NestedLoopUp() const
{
    return questionsUp > 0 || sizingOrMoving || menuLoopUp;
}

JobPhase TVorCopyPasteWin::Phase() const
{
    if (job && job->Running()) {
        if (state.stopFlag)
            return JobPhase::Stopping;
        if (asking)
            return JobPhase::Asking;
        return state.pauseFlag ? JobPhase::Paused : JobPhase::Running;
    }
    if (pendingBegin)
        return JobPhase::BeginPending;
    return ScanRunning() ? JobPhase::Scanning : JobPhase::Rest;
}

JobRequest TVorCopyPasteWin::TakeJobRequest()
{
    JobRequest request;
    request.operation = OperationKind();
    source.AddTo(request);
    to.AddTo(request);
    filters.AddTo(request);
    settings.AddTo(request);
    // The header as it reads once another section is open: while the Operation section is open it
    // says "Select operation", and a Begin pressed from there must still log the job's operation.
    request.operationHeader = OperationHeader(kSectionProgress, request.operation);
    request.questionOwner = Handle();
    return request;
}

void TVorCopyPasteWin::bbBeginClick()
{
    const Effect effect = EffectOf(UserAction::Begin, Phase());
    if (effect == Effect::Ignore || state.quitFlag)
        return;
    pExists->Hide();

    // The job is fixed here: what the user changes from now on prepares the next one.
    const JobRequest request = TakeJobRequest();
    if (request.sources.empty()) {
        if (expandedSection == kSectionSource)
            ShowMessage(EmptySourceListMessage());
        OpenSection(kSectionSource);
        return;
    }
    if (const std::optional<std::string> refusal = InsideSourceRefusal(request)) {
        ShowMessage(*refusal);
        return;
    }
    OpenSection(kSectionProgress);
    job->Answers().Clear();

    if (effect == Effect::StopScanAndHold) {
        HoldBeginForScan(request);
        return;
    }
    ContinueBegin(request);
}

void TVorCopyPasteWin::HoldBeginForScan(const JobRequest& request)
{
    StopSearchClick();
    pendingBegin = request;
    // The job is taken: nothing that would change it can be pressed until it has run or Cancel drops it.
    SetSectionsEnabled(false);
    bbBegin->SetEnabled(false);
    SetFolderButtonsEnabled(false);
    ReclickBeginButton->Start();
}

void TVorCopyPasteWin::DropPendingBegin()
{
    if (!pendingBegin)
        return;
    pendingBegin.reset();
    ReclickBeginButton->Stop();
    SetSectionsEnabled(true);
    bbBegin->SetEnabled(true);
    SetFolderButtonsEnabled(true);
}

void TVorCopyPasteWin::ReclickBeginButtonTimer()
{
    if (!pendingBegin) {
        ReclickBeginButton->Stop();
        return;
    }
    // The job starts inside no other loop of the window: a box, a menu, a move or a sizing that is
    // up when the scan ends keeps it waiting until that loop has ended (the job would bury it).
    if (ScanRunning() || NestedLoopUp())
        return;
    ReclickBeginButton->Stop();
    const JobRequest request = std::move(*pendingBegin);
    pendingBegin.reset();
    ContinueBegin(request);
}

void TVorCopyPasteWin::ContinueBegin(JobRequest request)
{
    const std::vector<std::string> historyFailures = histories.SaveHistories(request.filters.masksText, request.destinationText);
    if (LacksDestination(request)) {
        ShowMessage(InvalidDestinationMessage());
        EnterRestState();  // a Begin that waited for its scan had locked the sections
        return;
    }
    const bool writeReport = settings.WritesReport();
    const DWORD reportError = writeReport ? reportFile.OpenBeside(ProgramFolderPath(), Now()) : 0;
    jobCancelled = false;
    // The count as the job starts. A count requested but not yet run describes another list than the
    // job's: the job runs as after a stopped count (no estimate, no free-space check), and the count
    // follows the job.
    request.scan = scanTotals;
    if (SearchTimer->Enabled() || shell.CountPending())
        request.scan.stopped = true;
    job->Run(request, historyFailures);
    if (writeReport) {
        // After the log's report block: where the same account stands for a script to read.
        if (reportError == 0 && reportFile.Finish(request.operation, state, jobCancelled))
            AppendLog(ReportFileEntry(reportFile.Path()));
        else
            AppendLog(BecauseEntry(SystemErrorText(reportError ? reportError : ERROR_WRITE_FAULT),
                                   ReportFileFailedSentence(reportFile.Path())));
    }
    pExists->Hide();
    if (closePending && !job->Running()) {
        CloseWindowAfterBrowsers();
        return;
    }
    // A quit that the job's pumping took off the queue is never seen by the browse dialogs' loops:
    // they end here so that the main loop gets to take it.
    if (QuitPending() && !job->Running())
        trees.CloseBrowsers();
    ResumeDeferredScan();
}

void TVorCopyPasteWin::bbCancelClick()
{
    switch (EffectOf(UserAction::Cancel, Phase())) {
    case Effect::Ignore:
        return;
    case Effect::DropPendingBegin:
        DropPendingBegin();
        break;
    default:
        break;
    }
    pExists->Hide();
    if (ScanRunning())
        StopSearchClick();
    if (job->Running())
        jobCancelled = true;
    job->bbCancelClick();
    ResumeDeferredScan();
}

bool TVorCopyPasteWin::StopForClose()
{
    switch (EffectOf(UserAction::Close, Phase())) {
    case Effect::EndJobThenClose:
        EndDuringJob();
        return true;
    case Effect::DropPendingBegin:
        DropPendingBegin();
        return false;
    default:
        return false;
    }
}

void TVorCopyPasteWin::EndDuringJob()
{
    closePending = true;
    jobCancelled = true;
    job->RequestQuit();
    // A conflict question that is up ends as Skip: nothing more is asked once the program is ending.
    for (ConflictDialogBase* dialog : {static_cast<ConflictDialogBase*>(fileExistsForm.get()),
                                       static_cast<ConflictDialogBase*>(folderExistsForm.get())}) {
        if (dialog && dialog->form.Modal())
            dialog->form.SetModalResult(kSkip);
    }
}

void TVorCopyPasteWin::NoticeQuit()
{
    // A WM_QUIT taken by this job's pumping (or a dialog's loop) stays remembered for the outer loop,
    // which ends the program once the job has unwound; here it only stops the job.
    if (QuitPending())
        job->RequestQuit();
}

void TVorCopyPasteWin::bbPauseClick()
{
    if (EffectOf(UserAction::Pause, Phase()) == Effect::Act)
        job->bbPauseClick();
}

void TVorCopyPasteWin::StopSearchClick()
{
    pExists->Hide();
    scanTotals.stopped = true;
    progress.RewindSearchAnimation();
}

void TVorCopyPasteWin::BitBtn1Click()
{
    SearchTimer->Start();
    OpenSection(kSectionTo);
}

// --- The operation chosen ----------------------------------------------------------------------

Operation TVorCopyPasteWin::OperationKind() const
{
    for (int i = 0; i < kOperationCount; ++i)
        if (operationRadio[static_cast<size_t>(i)]->Checked())
            return static_cast<Operation>(i);
    return kOpCopy;
}

void TVorCopyPasteWin::OpenSection(int section) { CopyCutLabelClick(*sectionHeader[static_cast<size_t>(section)]); }

// Long work asks often (after every step of a copy); a look at the queue every few milliseconds
// keeps the window as responsive and costs far less. A held job calls only from its pause wait,
// which sleeps until the next message arrives: there every call looks, or the messages left unread
// would wake the wait again at once and the pause would keep a processor busy.
void TVorCopyPasteWin::ProcessMessagesWhileWaiting()
{
    // Waiting, the job sets the file bar of the file it waits for: shown as while it worked itself.
    if (state.pauseFlag)
        progress.Display().Flush();
    else
        progress.Display().ShowWhenDue();
    ProcessPendingMessages();
    NoticeQuit();
}

void TVorCopyPasteWin::ProcessMessages()
{
    if (state.pauseFlag) {
        progress.Display().Flush();  // a pause shows where the job stopped
        ProcessPendingMessages();
    } else {
        ProcessPendingMessagesEvery(kPumpIntervalMs);
    }
    NoticeQuit();
}

// --- JobHost: progress display -----------------------------------------------------------------

void TVorCopyPasteWin::SetProgressText(ProgressText which, const std::string& text) { progress.Display().SetText(which, text); }
void TVorCopyPasteWin::SetFileBar(int maximum, int position) { progress.Display().SetFileBar(maximum, position); }
void TVorCopyPasteWin::SetOverallBarMax(int maximum) { progress.Display().SetOverallMax(maximum); }
void TVorCopyPasteWin::SetOverallBarPos(int position) { progress.Display().SetOverallPos(position); }

// --- JobHost: log ---------------------------------------------------------------------------------

void TVorCopyPasteWin::AppendLog(const std::string& entry) { progress.AppendLog(entry); }
void TVorCopyPasteWin::ClearLog() { progress.ClearLog(); }
void TVorCopyPasteWin::FileSettled(const FileOutcome& outcome) { reportFile.Add(outcome); }

// --- JobHost: window state -----------------------------------------------------------------------

void TVorCopyPasteWin::SetSectionsEnabled(bool enabled)
{
    for (int i = kSectionOperation; i <= kSectionFilters; ++i) {
        sectionPanel[static_cast<size_t>(i)]->SetEnabled(enabled);
        sectionHeader[static_cast<size_t>(i)]->SetEnabled(enabled);
    }
}

void TVorCopyPasteWin::SetFolderButtonsEnabled(bool enabled) { to.SetFolderButtonsEnabled(enabled); }

void TVorCopyPasteWin::EnterRunningState(Operation operation)
{
    SetSectionsEnabled(false);
    SetFolderButtonsEnabled(false);
    bbBegin->SetEnabled(false);
    progress.EnterRunning(operation);
}

void TVorCopyPasteWin::ShowPaused(bool paused) { progress.ShowPaused(paused); }

void TVorCopyPasteWin::EnterRestState()
{
    progress.EnterRest();
    bbBegin->SetEnabled(true);
    SetSectionsEnabled(true);
    SetFolderButtonsEnabled(true);
}

void TVorCopyPasteWin::HideMainWindow()
{
    progress.Display().Flush();  // a Cancel pressed during a job hides the window before the job's end
    // The icon in the notification area brings the window back.
    tray.Show();
    form->Hide();
}

// --- JobHost: clock --------------------------------------------------------------------------------

std::uint32_t TVorCopyPasteWin::TickMs() { return timeGetTime(); }
DateTime TVorCopyPasteWin::Now() { return LocalNow(); }
std::string TVorCopyPasteWin::FormatLocalDateTime(DateTime value) { return FormatLocalDateText(value); }
