#include "engine/jobrun.h"

#include "core/AbsolutePath.h"
#include "core/LogTexts.h"
#include "core/SectionNumber.h"
#include "engine/FileOutcomes.h"
#include "engine/FreeSpace.h"
#include "engine/JobContext.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "engine/progress.h"
#include "platform/CodePageText.h"
#include "platform/FileIdentity.h"
#include "platform/LongPath.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <utility>

namespace {

constexpr std::int64_t kKiB = 1024;
constexpr std::int64_t kMiB = 1024 * kKiB;
constexpr std::int64_t kGiB = 1024 * kMiB;

bool UsesDestination(Operation operation) { return RowOf(operation).usesDestination; }

// Clears the running mark however the job ends, also when a routine below throws.
class RunningMark {
public:
    explicit RunningMark(bool& running) : running_(running) { running_ = true; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;
    ~RunningMark() { running_ = false; }

private:
    bool& running_;
};

std::string WithoutTrailingBackslash(std::string path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

// The rule on the texts as typed: the item is the destination or found in it before a backslash. So a
// drive root item such as D: refuses every destination on that drive.
bool TextIsSameOrInside(const std::string& item, const std::string& destination)
{
    const std::string base = WithoutTrailingBackslash(item);
    return destination == base || destination.find(base + "\\") != std::string::npos;
}

bool IsDriveLetter(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

// The destination as the system resolves it, which is where the job writes; nothing for a blank one,
// which names no place. "D:" means the drive's root here as in the dispatch, not the drive's current
// folder.
ResolvedPlace ResolvedDestination(const std::string& destination)
{
    if (TrimBlanks(destination).empty())
        return ResolvedPlace(std::string());
    return ResolvedPlace(ResolvedDestinationText(destination));
}

bool IsSameOrInside(const std::string& item, const std::string& destination, const ResolvedPlace& resolved)
{
    if (TextIsSameOrInside(item, destination))
        return true;
    std::string folder = WithoutTrailingBackslash(item);
    if (IsDriveLetter(folder))
        folder += '\\';  // "D:" alone would name the drive's current folder, not its root
    return resolved.IsOrLiesInside(folder);
}

} // namespace

bool IsSameOrInside(const std::string& item, const std::string& destination)
{
    return IsSameOrInside(item, destination, ResolvedDestination(destination));
}

std::optional<std::string> InsideSourceRefusal(const JobRequest& request)
{
    // The message shows the destination as typed; the test also sees through other spellings of it.
    const std::string& typed = request.destinationText;
    const ResolvedPlace resolved = ResolvedDestination(typed);
    for (const std::string& item : request.sources) {
        if (IsSameOrInside(item, typed, resolved))
            return InsideSourceMessage(typed, item);
    }
    return std::nullopt;
}

bool LacksDestination(const JobRequest& request)
{
    // A destination without a drive and its root would be read against the program's own current
    // folder, which is no place the user chose.
    return UsesDestination(request.operation) &&
           (IsBlankText(request.destinationText) || !IsAbsolutePath(TrimBlanks(request.destinationText)));
}

std::string ResolvedDestinationText(const std::string& typed)
{
    std::string text = TrimBlanks(typed);
    if (IsDriveLetter(text))
        text += '\\';  // the drive's root, not its current folder
    // Only a full path is resolved: anything else would mean wherever this process's current folder
    // is, and the job's own checks refuse it as typed.
    const bool fullPath = (text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/')) ||
                          text.rfind("\\\\", 0) == 0;
    if (!fullPath)
        return text;
    const std::wstring full = ResolvedPathW(text);
    if (full.empty())
        return text;
    const std::optional<std::string> narrow = ExactCodePageText(full);
    return narrow ? *narrow : text;
}

std::int64_t BarUnitFor(std::int64_t scanByteTotal)
{
    if (scanByteTotal < kKiB)
        return 1;
    if (scanByteTotal < kMiB)
        return kKiB;
    if (scanByteTotal < kGiB)
        return kMiB;
    return 10 * kMiB;
}

void JobRun::Run(const JobRequest& given, const std::vector<std::string>& historyFailures)
{
    // Never a job inside a job (this can be reached from inside one, while it pumps messages), nor once
    // the program is ending.
    if (running_ || state_.quitFlag)
        return;
    // The job's own copy: the caller's may change while the job pumps messages.
    const JobRequest request = given;
    {
        RunningMark mark(running_);
        bool started = false;
        // Whatever leaves the job, an exception included, ends in the same rest state and report as
        // the job's own end: otherwise the window would stay locked in its running state.
        try {
            RunJob(request, historyFailures, started);
        } catch (const std::exception& e) {
            EndAfterError(e.what(), started);
        } catch (...) {
            EndAfterError("", started);
        }
    }
    // An exception may have left before the Cancel's report was written.
    if (std::exchange(reportPending_, false))
        WriteReport(pendingSpeedText_);
    filesInFlight_ = false;
    // The job has unwound: this last Cancel returns the window to rest.
    bbCancelClick();
}

void JobRun::RunJob(const JobRequest& request, const std::vector<std::string>& historyFailures, bool& started)
{
    const Operation operation = request.operation;
    host_.EnterRunningState(operation);

    host_.ClearLog();
    const FilterSet& filters = request.filters;
    PreparationFacts facts;
    facts.operationHeader = request.operationHeader;
    facts.sources = request.sources;
    facts.masksText = filters.masksText;
    facts.extensions = filters.extensions;
    facts.timeFromText = host_.FormatLocalDateTime(filters.timeFrom);
    facts.timeToText = host_.FormatLocalDateTime(filters.timeTo);
    facts.minSizeText = request.minSizeText;
    facts.maxSizeText = request.maxSizeText;
    facts.destinationText = request.destinationText;
    for (const std::string& entry : PreparationEntries(facts))
        host_.AppendLog(entry);
    // The job does not depend on the lists; a list that could not be stored is only told.
    for (const std::string& entry : historyFailures)
        host_.AppendLog(entry);

    state_.filesExamined = 0;
    state_.bytesExamined = 0;
    state_.bytesCopied = 0;
    state_.filesDone = 0;
    state_.filesFailed = 0;
    state_.pauseFlag = false;
    state_.stopFlag = false;
    answers_.Clear();

    state_.scan = request.scan;
    state_.barUnit = BarUnitFor(state_.scan.byteTotal);

    bool execute = true;
    if (!state_.scan.stopped) {
        // Only complete totals scale the bar and justify the free-space question.
        const std::int64_t steps = state_.scan.byteTotal / state_.barUnit;
        host_.SetOverallBarMax(steps > INT32_MAX ? INT32_MAX : steps < 0 ? 0 : static_cast<int>(steps));
        if (UsesDestination(operation))
            execute = ConfirmFreeSpace(request);
    }
    // A quit met while the question was up is its No; so is a Cancel pressed while it was up.
    if (!execute || state_.quitFlag || state_.stopFlag) {
        host_.AppendLog(UserAbortEntry());
        return;
    }

    state_.jobStartTick = host_.TickMs();
    state_.workClock.Start(0);
    state_.estimate.reset();
    if (!state_.scan.stopped)
        state_.estimate.emplace(state_.scan.byteTotal, state_.scan.fileTotal);
    host_.AppendLog(StartingTimeEntry(host_.FormatLocalDateTime(host_.Now())));
    started = true;
    // Several files in flight, as many as the rate the job gets says (or as the user fixed); the job's
    // thread keeps the walk, every question and every line.
    std::optional<FilesInFlight> flight;
    // (The bench's model of a slow device sits on the workers: its one file at a time runs there too.)
    if (request.fileWorkers != 1 || FilesInFlight::simulatedDevice)
        flight.emplace(host_, state_, request.fileWorkers);
    JobContext job{request, flight ? static_cast<JobHost&>(*flight) : host_, state_, answers_, {}};
    job.flight = flight ? &*flight : nullptr;
    filesInFlight_ = flight.has_value();
    const int walked = ProcessSourceItems(job, -1);
    if (flight)
        flight->FinishAll();
    filesInFlight_ = false;
    inFlightCount_ = flight ? flight->Count() : 1;
    // A Cancel pressed while files were in flight reports once those written before it are counted
    // and their lines written, as a one-at-a-time job would have had them before the Cancel.
    if (std::exchange(reportPending_, false))
        WriteReport(pendingSpeedText_);
    if (walked < 0) {
        // Refused before any item was touched: nothing of the sources may go either, and the log
        // must not read like a job that found nothing to do.
        const std::string reason = SystemErrorText(job.destinationError);
        host_.AppendLog(DestinationNotCreatedEntry(reason, request.destination));
        TellFailure(host_, state_, request.operation, {}, request.destination, reason);
    } else if (!RowOf(operation).keepsSources) {
        RemoveEmptiedSourceFolders(job.items, job.keptFolders);
    }
    if (state_.stopFlag)
        host_.AppendLog(UserAbortEntry());
    host_.AppendLog(EndingTimeEntry(host_.FormatLocalDateTime(host_.Now())));
}

void JobRun::EndAfterError(const std::string& what, bool started)
{
    host_.AppendLog(UnexpectedErrorEntry(what));
    ++state_.filesFailed;
    if (started)
        host_.AppendLog(EndingTimeEntry(host_.FormatLocalDateTime(host_.Now())));
}

bool JobRun::ConfirmFreeSpace(const JobRequest& request)
{
    if (state_.quitFlag)
        return false;  // the program is ending: No, without asking
    const std::string& destination = request.destination;
    // Only what must be written needs room: a Cut within one volume writes nothing.
    const std::int64_t needed = BytesToWrite(request.operation, destination, request.sources, state_.scan);
    if (needed <= 0)
        return true;
    const std::optional<std::int64_t> available = FreeBytesForDestination(destination);
    // No volume answered: the copies themselves will report what does not fit.
    if (!available || *available >= needed)
        return true;
    return host_.AskYesNo(FreeSpaceQuestion(DestinationDrivePart(destination)), FreeSpaceQuestionTitle());
}

void JobRun::WriteReport(const std::string& speedText)
{
    ReportCounts counts;
    counts.filesExamined = state_.filesExamined;
    counts.filesDone = state_.filesDone;
    counts.filesFailed = state_.filesFailed;
    counts.bytesCopied = state_.bytesCopied;
    for (const std::string& entry : ReportEntries(counts, speedText))
        host_.AppendLog(entry);
}

void JobRun::bbCancelClick()
{
    // Pressed while files are in flight (this runs inside the job's wait for them), the files already
    // written are not counted yet: the report follows once the job has taken them in.
    if (running_ && filesInFlight_ && !state_.stopFlag) {
        reportPending_ = true;
        pendingSpeedText_ = state_.speedText;  // the speed as the Cancel found it, cleared below
    } else if (!running_ || !reportPending_) {
        WriteReport(state_.speedText);
    }

    state_.pauseFlag = false;
    state_.stopFlag = true;

    host_.SetOverallText("");
    host_.SetTimeText("");
    host_.SetSpeedText("");
    state_.speedText.clear();
    // Pressed during a job, the job has yet to unwind (the running copy, the removal of emptied
    // folders): the window keeps its running state, sections locked and Begin disabled, until the
    // job's own last Cancel.
    if (!running_)
        host_.EnterRestState();
    host_.HideMainWindow();
}

void JobRun::bbPauseClick()
{
    // A cancelled job only unwinds; holding it would only keep it from ending.
    if (running_ && state_.stopFlag)
        return;
    state_.pauseFlag = !state_.pauseFlag;
    NotePauseFlag(state_, host_.TickMs());
    host_.ShowPaused(state_.pauseFlag);
    // After a pause every conflict is asked again.
    if (state_.pauseFlag)
        answers_.Clear();
}

void JobRun::SetPaused(bool paused)
{
    state_.pauseFlag = paused;
    NotePauseFlag(state_, host_.TickMs());
}

void JobRun::NewCount()
{
    state_.filesExamined = 0;
    state_.bytesExamined = 0;
}

void JobRun::RequestQuit()
{
    if (!running_ || state_.quitFlag)
        return;
    state_.quitFlag = true;
    // Skip leaves every existing item as it is, which is never destructive; standing answers give it
    // to every conflict still to come without showing a dialog.
    answers_.file = {kSkip, true};
    answers_.folder = {kSkip, true};
    bbCancelClick();
}
