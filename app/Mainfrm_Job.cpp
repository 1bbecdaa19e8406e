// The main window's life and its job: creation, Begin / Pause / Cancel, and the engine's JobHost.
#include "app/Mainfrm.h"

#include "app/MainWindowClass.h"
#include "app/TrayIcon.h"
#include "core/DateTime.h"
#include "core/LogTexts.h"
#include "engine/filefacts.h"
#include "filters/LocaleLower.h"
#include "platform/LocalDateText.h"
#include "platform/PickerTime.h"
#include "platform/ProgramPath.h"
#include "platform/MessagePump.h"
#include "ui/HandlerException.h"
#include "ui/Hints.h"
#include "ui/MessageBoxes.h"

#include <mmsystem.h>

#include <algorithm>

namespace {

constexpr const char* kMessageTitle = kApplicationTitle;  // the program's title, as every box of it
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
    LoadHistories(historyFolder);
    progressDisplay = std::make_unique<ProgressDisplay>(ProgressDisplay::Controls{
        *FileProgressLabel, *FileProgressBar, *AllProgressBar, *AllProgressLabel, *TimeLabel, *LabelSpeed,
        *ProgressLabel});
    state.speedText = progressDisplay->SpeedText();  // what LabelSpeed shows before the first job
    job = std::make_unique<JobRun>(*this, state);
    TrayIcon1 = std::make_unique<TrayIcon>(Handle(), res::ProgramIcon(16), kMainWindowTip);
    BuildShell();
    HandleCommandLine(commandArgument);
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

void TVorCopyPasteWin::LoadAnimations()
{
    // A clip missing beside the program falls back to the shell's own (find file, delete file,
    // recycle file, copy file).
    const std::string folder = ProgramFolderPath();
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto load = [&](ui::Animation& animation, const char* file, int builtIn) {
        if (!animation.Open(folder + file))
            animation.OpenResource(shell, builtIn);
    };
    load(*aniSearch, "a1.avi", 151);
    load(*aniSearch2, "a1.avi", 151);
    load(*aniDelete, "a2.avi", 164);
    load(*aniTrash, "a3.avi", 162);
    load(*aniCopy, "a0.avi", 161);
}

void TVorCopyPasteWin::FormCreate()
{
    LoadAnimations();
    ui::SetHintStyle(100, 10000, RGB(166, 202, 240));
    jobAnimation = aniCopy.get();

    fileExistsForm = std::make_unique<TFileExistsForm>(Handle());
    folderExistsForm = std::make_unique<TFolderExistsForm>(Handle());

    // The filters as their reset leaves them: every file passes.
    timeFrom = 0.0;
    DateTimeParts today = DecodeDateTime(LocalNow());
    today.hour = today.minute = today.second = today.millisecond = 0;
    timeTo = EncodeDateTime(today) + 52533.0;
    dtp1->SetValue(ShownInPicker(timeFrom));
    dtp2->SetValue(ShownInPicker(timeTo));
    EditFSMax->SetText("9223372036854775807");

    RefreshSectionHeaders(-1);
    for (int i = 0; i < kSectionCount; ++i) {
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Top);
        sectionPanel[static_cast<size_t>(i)]->SetHeight(CollapsedHeight(i));
    }
    for (int i = kSectionCount - 1; i > kSectionProgress; --i)
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Bottom);
    ProgressPanel->SetAlign(ui::Align::Client);
    expandedSection = kSectionProgress;
    ReadSettings();

    form->onResize = [this] { FormResize(); };
    form->onClose = [this] {
        if (StopForClose())  // the job unwinds first; Begin closes the window when it returns
            return;
        CloseWindowAfterBrowsers();
    };
    form->onDestroy = [] { PostQuitMessage(0); };
    form->onShow = [this] { TrayIcon1->Show(); };
    form->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        // The session ends (log-off, shut-down): a running job stops without asking anything more,
        // and the window goes once it has unwound. The answer to the query stays the default "yes";
        // the system may end the process after WM_ENDSESSION, which is why the job is stopped as early
        // as the query.
        if (message == WM_QUERYENDSESSION || (message == WM_ENDSESSION && wParam))
            StopForClose();
        return ShellMessage(message, wParam, lParam, result);
    };
    FormResize();
    SetUpSourcesAndTrees();
}

// --- Handlers ----------------------------------------------------------------------------------

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
    request.sources.reserve(static_cast<size_t>(sourceList->Count()));
    for (int i = 0; i < sourceList->Count(); ++i)
        request.sources.push_back(sourceList->Item(i));
    request.destinationText = cbPath->Text();
    request.destination = ResolvedDestinationText(request.destinationText);
    request.flat = cbIgnorSubDir->Checked();
    request.verify = cbVerify->Checked();
    request.filters = Filters();
    request.minSizeText = EditFSMin->Text();
    request.maxSizeText = EditFSMax->Text();
    request.operationHeader = CopyCutLabel->Text();
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
    BitBtn4->SetEnabled(false);
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
    BitBtn4->SetEnabled(true);
}

void TVorCopyPasteWin::ReclickBeginButtonTimer()
{
    if (!pendingBegin) {
        ReclickBeginButton->Stop();
        return;
    }
    // The job starts from no other question's loop: a box of this window that is up when the scan
    // ends keeps it waiting until it is answered.
    if (ScanRunning() || questionsUp > 0)
        return;
    ReclickBeginButton->Stop();
    const JobRequest request = std::move(*pendingBegin);
    pendingBegin.reset();
    ContinueBegin(request);
}

void TVorCopyPasteWin::ContinueBegin(const JobRequest& request)
{
    const std::vector<std::string> historyFailures = SaveHistories(request.filters.masksText, request.destinationText);
    if (LacksDestination(request)) {
        ShowMessage(InvalidDestinationMessage());
        EnterRestState();  // a Begin that waited for its scan had locked the sections
        return;
    }
    job->Run(request, historyFailures);
    pExists->Hide();
    if (closePending && !job->Running()) {
        CloseWindowAfterBrowsers();
        return;
    }
    // A quit that the job's pumping took off the queue is never seen by the browse dialogs' loops:
    // they end here so that the main loop gets to take it.
    if (QuitPending() && !job->Running())
        CloseBrowsers();
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

void TVorCopyPasteWin::aniProgressBarTimerTimer()
{
    int position = aniProgressBar->Position() + 1;
    if (position == aniProgressBar->Max())
        position = 1;
    aniProgressBar->SetPosition(position);
}

void TVorCopyPasteWin::StopSearchClick()
{
    pExists->Hide();
    state.scanStopped = true;
    aniSearch->Rewind();
}

void TVorCopyPasteWin::BitBtn1Click()
{
    SearchTimer->Start();
    CopyCutLabelClick(*ToLabel);
}

// --- The job's settings as the controls hold them --------------------------------------------

Operation TVorCopyPasteWin::OperationKind() const
{
    for (int i = 0; i < 5; ++i)
        if (operationRadio[static_cast<size_t>(i)]->Checked())
            return static_cast<Operation>(i);
    return kOpCopy;
}

const FilterSet& TVorCopyPasteWin::Filters()
{
    filterSnapshot.masksText = cbFName->Text();
    filterSnapshot.extensions.clear();
    for (int i = 0; i < ExtList->Count(); ++i)
        filterSnapshot.extensions.push_back({LocaleLower(ExtList->Item(i)), ExtList->Checked(i)});
    filterSnapshot.timeFrom = timeFrom;
    filterSnapshot.timeTo = timeTo;
    filterSnapshot.minSize = minSize;
    filterSnapshot.maxSize = maxSize;
    return filterSnapshot;
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
        progressDisplay->Flush();
    else
        progressDisplay->ShowWhenDue();
    ProcessPendingMessages();
    NoticeQuit();
}

void TVorCopyPasteWin::ProcessMessages()
{
    if (state.pauseFlag) {
        progressDisplay->Flush();  // a pause shows where the job stopped
        ProcessPendingMessages();
    } else {
        ProcessPendingMessagesEvery(kPumpIntervalMs);
    }
    NoticeQuit();
}

// --- JobHost: progress display -----------------------------------------------------------------

void TVorCopyPasteWin::SetProgressText(ProgressText which, const std::string& text) { progressDisplay->SetText(which, text); }
void TVorCopyPasteWin::SetFileBar(int maximum, int position) { progressDisplay->SetFileBar(maximum, position); }
void TVorCopyPasteWin::SetOverallBarMax(int maximum) { progressDisplay->SetOverallMax(maximum); }
void TVorCopyPasteWin::SetOverallBarPos(int position) { progressDisplay->SetOverallPos(position); }

// --- JobHost: questions and log ------------------------------------------------------------------

// A dialog ended by a quit answers Skip (it shows nothing once a quit is known); the job stops.
namespace {

// Marks a job's question as up for as long as it is: the phase is Asking, and this window's own
// questions keep a waiting Begin from starting inside their loops.
class QuestionUp {
public:
    QuestionUp(int& count, bool* asking) : count_(count), asking_(asking)
    {
        ++count_;
        if (asking_)
            *asking_ = true;
    }
    QuestionUp(const QuestionUp&) = delete;
    QuestionUp& operator=(const QuestionUp&) = delete;
    ~QuestionUp()
    {
        --count_;
        if (asking_)
            *asking_ = false;
    }

private:
    int& count_;
    bool* asking_;
};

} // namespace

ConflictAnswer TVorCopyPasteWin::AskFileExists(const std::string& path, const std::string& comparison)
{
    progressDisplay->Flush();  // the job stands still while it asks: show where
    ConflictAnswer answer;
    {
        QuestionUp up(questionsUp, &asking);
        answer = fileExistsForm->Ask(path, comparison);
    }
    answer.renameNew = fileExistsForm->RenameModeNew();
    NoticeQuit();
    return answer;
}

ConflictAnswer TVorCopyPasteWin::AskFolderExists(const std::string& path)
{
    progressDisplay->Flush();
    ConflictAnswer answer;
    {
        QuestionUp up(questionsUp, &asking);
        answer = folderExistsForm->Ask(path);
    }
    answer.renameNew = folderExistsForm->RenameModeNew();
    NoticeQuit();
    return answer;
}

bool TVorCopyPasteWin::AskYesNo(const std::string& text, const std::string& title)
{
    // While the program is ending nothing is asked: No never does anything.
    if (QuitPending() || state.quitFlag)
        return false;
    progressDisplay->Flush();
    bool yes = false;
    {
        QuestionUp up(questionsUp, job && job->Running() ? &asking : nullptr);
        yes = ui::AskYesNo(Handle(), text, title);
    }
    NoticeQuit();
    return yes && !state.quitFlag;
}

void TVorCopyPasteWin::ShowMessage(const std::string& text)
{
    progressDisplay->Flush();
    QuestionUp up(questionsUp, nullptr);
    ui::ShowMessage(Handle(), text, kMessageTitle);
}
void TVorCopyPasteWin::AppendLog(const std::string& entry) { Memo1->Append(entry + "\r\n"); }
void TVorCopyPasteWin::ClearLog() { Memo1->Clear(); }

// --- JobHost: window state -----------------------------------------------------------------------

void TVorCopyPasteWin::SetSectionsEnabled(bool enabled)
{
    for (int i = kSectionOperation; i <= kSectionFilters; ++i) {
        sectionPanel[static_cast<size_t>(i)]->SetEnabled(enabled);
        sectionHeader[static_cast<size_t>(i)]->SetEnabled(enabled);
    }
}

void TVorCopyPasteWin::EnterRunningState(Operation operation)
{
    // A scan requested but not yet run: the totals describe another list than the job's, so the job
    // runs as after a stopped scan (no estimate, no free-space check); the scan follows the job.
    if (SearchTimer->Enabled() || ParamTimer4->Enabled())
        state.scanStopped = true;
    SetSectionsEnabled(false);
    BitBtn4->SetEnabled(false);  // Rename: the job may be writing into the folder
    bbPause->SetText("Pause");
    bbPause->SetPicture(res::GetPicture(res::Picture::Pause, 24));
    bbPause->Show();
    bbBegin->SetEnabled(false);
    JobAnimation().Hide();
    jobAnimation = operation <= kOpCut ? aniCopy.get() : operation == kOpTrash ? aniTrash.get() : aniDelete.get();
    JobAnimation().Show();
    aniSearch->Hide();
    aniProgressBar->Show();
    JobAnimation().Play();
    aniProgressBarTimer->Start();
}

void TVorCopyPasteWin::ShowPaused(bool paused)
{
    bbPause->SetText(paused ? "Go On" : "Pause");
    bbPause->SetPicture(res::GetPicture(paused ? res::Picture::GoOn : res::Picture::Pause, 24));
    if (paused) {
        progressDisplay->Flush();  // the job sets nothing more before it holds: this is where it stops
        JobAnimation().Stop();
    } else {
        JobAnimation().Play();
    }
}

void TVorCopyPasteWin::EnterRestState()
{
    progressDisplay->Flush();  // the job's final values
    bbPause->Hide();
    bbBegin->SetEnabled(true);
    JobAnimation().Hide();
    aniSearch->Show();
    aniProgressBar->Hide();
    JobAnimation().Stop();
    aniProgressBarTimer->Stop();
    SetSectionsEnabled(true);
    BitBtn4->SetEnabled(true);
}

void TVorCopyPasteWin::HideMainWindow()
{
    progressDisplay->Flush();  // a Cancel pressed during a job hides the window before the job's end
    // The icon in the notification area brings the window back.
    TrayIcon1->Show();
    form->Hide();
}

// --- JobHost: clock --------------------------------------------------------------------------------

std::uint32_t TVorCopyPasteWin::TickMs() { return timeGetTime(); }
DateTime TVorCopyPasteWin::Now() { return LocalNow(); }
std::string TVorCopyPasteWin::FormatLocalDateTime(DateTime value) { return FormatLocalDateText(value); }

// --- Tabs ----------------------------------------------------------------------------------------

void TVorCopyPasteWin::DrawProgressTab(int index, HDC dc, RECT rect)
{
    const COLORREF color = ProgressSubPanel->EffectiveColor();
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    rect.top += 1;
    SetBkMode(dc, TRANSPARENT);
    const std::string& caption = PageControl1->PageCaption(index);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}
