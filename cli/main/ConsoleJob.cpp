// The glue between the console program and the engine: the JobHost and ScanHost it implements, how a
// CliJob fills the JobRequest (the count before the job included), the JobState, and Ctrl+C.
#include "cli/main/ConsoleJob.h"

#include "cli/ConsoleReply.h"
#include "cli/CsvReport.h"
#include "cli/ExitCode.h"
#include "cli/ProgressLine.h"
#include "core/AbsolutePath.h"
#include "core/LogTexts.h"
#include "core/SectionNumber.h"
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "engine/FileOutcomes.h"
#include "engine/ReportFile.h"
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "engine/prescan.h"
#include "filters/SectionSummaries.h"
#include "platform/LongPath.h"
#include "platform/MessagePump.h"

#include <windows.h>

#include <atomic>

namespace {

// Ctrl+C and Ctrl+Break pressed so far. The system calls the handler on a thread of its own; the job
// runs on the main thread, which the handler wakes with a message (the job waits for its file workers
// and for Go On in MsgWaitForMultipleObjects, which a thread message ends).
std::atomic<int> ctrlPresses{0};
DWORD mainThread = 0;

BOOL WINAPI OnCtrl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off: the system ends the program
    if (ctrlPresses.fetch_add(1) == 0) {
        PostThreadMessageW(mainThread, WM_NULL, 0, 0);
        return TRUE;
    }
    // The second press: ended at once. A copy not yet complete goes with the process (it is written
    // under a name the system removes when its handle is closed by the process's end).
    ExitProcess(kExitInterrupted | kExitFatal);
}

std::string Number(std::int64_t value) { return std::to_string(value); }

class ConsoleHost final : public JobHost {
public:
    ConsoleHost(const CliJob& job, Console& console, JobState& state, const JobRequest& request)
        : job_(job), console_(console), state_(state), request_(request)
    {
    }

    void SetRun(JobRun* run) { run_ = run; }
    ReportFile& Report() { return report_; }
    bool DestinationRefused() const { return destinationRefused_; }
    bool Interrupted() const { return ctrlPresses.load() > 0; }

    // --- JobHost -------------------------------------------------------------------------------
    void AppendLog(const std::string& entry) override
    {
        if (!job_.quiet)
            console_.Out(entry + "\r\n");
    }
    void FileSettled(const FileOutcome& outcome) override
    {
        // The engine's refusal of a destination it could not make is told as a failure of no file.
        if (outcome.result == FileOutcome::Result::Failed && outcome.source.empty() &&
            outcome.destination == request_.destination)
            destinationRefused_ = true;
        report_.Add(outcome);
    }
    void ProcessMessages() override
    {
        TakeCtrlC();
        ProcessPendingMessagesEvery(15);
    }
    void ProcessMessagesWhileWaiting() override
    {
        TakeCtrlC();
        ProcessPendingMessages();
    }
    void SetProgressText(ProgressText which, const std::string& text) override
    {
        if (which == ProgressText::Header)
            header_ = text;
        else if (which == ProgressText::Overall)
            overall_ = text;
        else if (which == ProgressText::Time)
            time_ = text;
        else
            return;
        ShowProgress(false);
    }
    ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override
    {
        if (job_.onConflict)
            return *job_.onConflict;
        return Ask(false, path, comparison);
    }
    ConflictAnswer AskFolderExists(const std::string& path) override
    {
        // A folder already there is merged into for replace, update and skip alike: they are answers
        // about files (the files of the folder meet them one by one, and new ones go in), and a whole
        // folder of the user's is never removed unasked. Rename gives the new folder a new name.
        if (job_.onConflict)
            return job_.onConflict->decision == kAutoRename ? *job_.onConflict : ConflictAnswer{kUpdate, true};
        return Ask(true, path, "");
    }
    bool AskYesNo(const std::string& text, const std::string& title) override
    {
        if (!console_.CanAsk() || state_.quitFlag) {
            console_.Err(title + ": " + text + "\nNo console input: answered No.\n");
            return false;
        }
        for (;;) {
            console_.Err(title + ": " + text + " [y/n]? ");
            const std::optional<std::string> line = console_.ReadLine();
            if (!line)
                return false;
            if (!line->empty() && ((*line)[0] == 'y' || (*line)[0] == 'Y'))
                return true;
            if (!line->empty() && ((*line)[0] == 'n' || (*line)[0] == 'N'))
                return false;
        }
    }
    void ShowMessage(const std::string& text) override { console_.Err(text + "\n"); }

    // The count's progress, for the scan's host.
    void Counted(std::int64_t fileTotal)
    {
        const DWORD now = GetTickCount();
        if (!job_.quiet && console_.ShowsProgress() && now - shownAt_ >= 200) {
            shownAt_ = now;
            console_.Progress("Counting: " + Number(fileTotal) + " files");
        }
    }

private:
    void TakeCtrlC()
    {
        if (ctrlPresses.load() > 0 && !cancelled_ && run_ && run_->Running()) {
            cancelled_ = true;
            if (!job_.quiet)
                console_.Err("Ctrl+C: cancelling\n");
            run_->bbCancelClick();  // as the window's Cancel: the report, then the job unwinds
        }
    }
    ConflictAnswer Ask(bool folder, const std::string& path, const std::string& comparison)
    {
        if (!console_.CanAsk() || state_.quitFlag) {
            if (!saidSkip_) {
                console_.Err("No console input: every question is answered Skip.\n");
                saidSkip_ = true;
            }
            return {kSkip, true};
        }
        if (!comparison.empty())
            console_.Err(comparison + "\n");
        for (;;) {
            console_.Err(ConflictPrompt(folder, path));
            const std::optional<std::string> line = console_.ReadLine();
            // Ctrl+C ends the reading too: the job is being cancelled, and Skip changes nothing.
            if (!line || ctrlPresses.load() > 0)
                return {kSkip, false};
            if (const std::optional<ConflictAnswer> answer = ParseConflictReply(*line))
                return *answer;
        }
    }
    void ShowProgress(bool)
    {
        const DWORD now = GetTickCount();
        if (job_.quiet || !console_.ShowsProgress() || now - shownAt_ < 200)
            return;
        shownAt_ = now;
        console_.Progress(ProgressLine(header_, overall_, time_, console_.Width()));
    }

    const CliJob& job_;
    Console& console_;
    JobState& state_;
    const JobRequest& request_;
    JobRun* run_ = nullptr;
    ReportFile report_;
    bool cancelled_ = false;
    bool saidSkip_ = false;
    bool destinationRefused_ = false;
    std::string header_, overall_, time_;
    DWORD shownAt_ = 0;
};

// The ScanHost's message pump: the count ends at the first Ctrl+C.
class ScanSide final : public ScanHost {
public:
    ScanSide(ConsoleHost& host, ScanTotals& totals) : host_(host), totals_(totals) {}
    void ProcessMessages() override
    {
        if (ctrlPresses.load() > 0)
            totals_.stopped = true;
    }
    void Counted(std::int64_t fileTotal) override { host_.Counted(fileTotal); }

private:
    ConsoleHost& host_;
    ScanTotals& totals_;
};

// A path of the command line as the window's lists hold one: full, "." and ".." folded. Relative
// paths are taken from the current folder, as every console program takes them.
std::string FullPath(const std::string& typed)
{
    const std::string absolute = IsAbsolutePath(typed) ? typed : AbsolutePathText(typed);
    if (absolute.empty())
        return typed;
    const std::optional<std::string> listed = SourcePathAsListed(absolute);
    return listed ? *listed : absolute;
}

JobRequest RequestFor(const CliJob& job)
{
    JobRequest request;
    request.operation = job.operation;
    for (const std::string& source : job.sources)
        request.sources.push_back(FullPath(source));
    if (job.operation == kOpCopy || job.operation == kOpCut) {
        request.destinationText = FullPath(job.destination);
        request.destination = ResolvedDestinationText(request.destinationText);
    }
    request.flat = job.flat;
    request.verify = job.verify;
    request.filters = job.filters;
    request.minSizeText = job.minSizeText;
    request.maxSizeText = job.maxSizeText;
    request.operationHeader = OperationHeader(kSectionProgress, job.operation);
    return request;
}

} // namespace

void InstallCtrlHandler()
{
    mainThread = GetCurrentThreadId();
    // The thread's message queue exists before the handler can post to it.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    // Ctrl+C may have been turned off for this process by how it was started (a process group of its
    // own starts so on Windows, and a parent can pass it on): this program means to be cancelled by
    // it, so it takes Ctrl+C back before it handles it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnCtrl, TRUE);
}

int RunConsoleJob(const CliJob& job, Console& console)
{
    JobRequest request = RequestFor(job);  // the count goes into it before the job
    JobState state;
    ConsoleHost host(job, console, state, request);
    JobTally tally;

    // Begin's own refusals, before anything is touched.
    if (LacksDestination(request)) {
        console.Err(InvalidDestinationMessage() + "\n");
        return kExitFatal | kExitFailed;
    }
    // The window lists only sources that stand; a script's typing error must not pass for a job that
    // found nothing to do.
    for (const std::string& source : request.sources)
        if (PathAttributes(source) == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            console.Err(source + ": " + OneLine(SystemErrorText(error)) + " Nothing was done.\n");
            return kExitFatal | kExitFailed;
        }
    if (const std::optional<std::string> refusal = InsideSourceRefusal(request)) {
        console.Err(*refusal + "\n");
        return kExitFatal | kExitFailed;
    }
    if (!job.reportPath.empty()) {
        const std::string reportPath = FullPath(job.reportPath);
        if (const DWORD error = host.Report().Open(reportPath)) {
            console.Err("--report " + job.reportPath + ": " + OneLine(SystemErrorText(error)) + "\n");
            return kExitFatal;
        }
    }

    // The count first, as the window's: the totals give the progress and the time remaining.
    {
        ScanSide scanSide(host, request.scan);
        PreScan scan(scanSide, request.scan);
        for (const std::string& item : request.sources) {
            if (request.scan.stopped)
                break;
            scan.CountItem(item);
        }
        console.ClearProgress();
        if (!job.quiet && !request.scan.stopped)
            console.Err("Counted " + Number(request.scan.fileTotal) + " files, " + Number(request.scan.byteTotal) +
                        " bytes\n");
    }

    if (!host.Interrupted()) {
        JobRun run(host, state);
        host.SetRun(&run);
        run.Run(request);
        host.SetRun(nullptr);
    }
    console.ClearProgress();

    tally.filesDone = state.filesDone;
    tally.filesFailed = state.filesFailed;
    tally.filesSkipped = host.Report().Skipped();
    tally.refused = host.DestinationRefused();
    tally.interrupted = host.Interrupted();
    const int code = ExitCodeFor(tally);
    if (host.Report().IsOpen() && !host.Report().Finish(job.operation, state, tally.interrupted, code)) {
        console.Err("--report " + job.reportPath + ": not everything could be written\n");
        return code | kExitFailed;
    }
    return code;
}
