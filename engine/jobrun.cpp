#include "engine/jobrun.h"

#include "core/AbsolutePath.h"
#include "core/LogTexts.h"
#include "core/SectionNumber.h"
#include "engine/FreeSpace.h"
#include "engine/JobContext.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "platform/FileIdentity.h"

#include <cstdint>
#include <exception>

namespace {

constexpr std::int64_t kKiB = 1024;
constexpr std::int64_t kMiB = 1024 * kKiB;
constexpr std::int64_t kGiB = 1024 * kMiB;

bool UsesDestination(int operation) { return operation == kOpCopy || operation == kOpCut; }

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

// The destination as the system resolves it; nothing for a blank one, which names no place. "D:"
// means the drive's root here as in the dispatch, not the drive's current folder.
ResolvedPlace ResolvedDestination(const std::string& destination)
{
    if (TrimBlanks(destination).empty())
        return ResolvedPlace(std::string());
    return ResolvedPlace(IsDriveLetter(destination) ? destination + "\\" : destination);
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

void JobRun::bbBeginClick()
{
    // Begin is disabled while a job runs, but this handler can still be reached from inside the job
    // (the walk and the copy pump messages, a re-click timer may fire): never start a job inside a job,
    // nor once the program is ending.
    if (running_ || state_.quitFlag)
        return;

    host_.HideExistsNotice();

    // The job works on the list as it is now: entries handed over, dropped or removed while it runs
    // change neither what is dispatched nor which emptied folders are removed.
    std::vector<std::string> sources;
    const int sourceCount = host_.SourceCount();
    sources.reserve(static_cast<std::size_t>(sourceCount > 0 ? sourceCount : 0));
    for (int i = 0; i < sourceCount; ++i)
        sources.push_back(host_.SourceItem(i));

    if (sources.empty()) {
        if (host_.OpenSectionIndex() == kSectionSource)
            host_.ShowMessage(EmptySourceListMessage());
        host_.OpenSection(kSectionSource);
        return;
    }

    // The message shows the destination as typed; the test also sees through other spellings of it.
    const std::string typedDestination = host_.DestinationText();
    const ResolvedPlace resolvedDestination = ResolvedDestination(typedDestination);
    for (const std::string& item : sources) {
        if (IsSameOrInside(item, typedDestination, resolvedDestination)) {
            host_.ShowMessage(InsideSourceMessage(typedDestination, item));
            return;
        }
    }

    host_.OpenSection(kSectionProgress);
    answers_.Clear();

    if (host_.ScanRunning()) {
        // The re-click timer repeats Begin once the scan has wound down.
        host_.StopScan();
        host_.StartReclickTimer();
        return;
    }

    const std::vector<std::string> historyFailures = host_.SaveHistories();
    const int operation = host_.OperationKind();
    const std::string destination = host_.DestinationText();
    // A destination without a drive and its root would be read against the program's own current
    // folder, which is no place the user chose.
    if (UsesDestination(operation) && (IsBlankText(destination) || !IsAbsolutePath(destination))) {
        host_.ShowMessage(InvalidDestinationMessage());
        return;
    }

    {
        RunningMark mark(running_);
        bool started = false;
        // Whatever leaves the job, an exception included, ends in the same rest state and report as
        // the job's own end: otherwise the window would stay locked in its running state.
        try {
            RunJob(operation, destination, sources, historyFailures, started);
        } catch (const std::exception& e) {
            EndAfterError(e.what(), started);
        } catch (...) {
            EndAfterError("", started);
        }
    }
    // The job has unwound: this last Cancel returns the window to rest.
    bbCancelClick();
}

void JobRun::RunJob(int operation, const std::string& destination, const std::vector<std::string>& sources,
                    const std::vector<std::string>& historyFailures, bool& started)
{
    host_.EnterRunningState(operation);

    host_.ClearLog();
    const FilterSet& filters = host_.Filters();
    PreparationFacts facts;
    facts.operationHeader = host_.OperationHeaderText();
    facts.sources = sources;
    facts.masksText = filters.masksText;
    facts.extensions = filters.extensions;
    facts.timeFromText = host_.FormatLocalDateTime(filters.timeFrom);
    facts.timeToText = host_.FormatLocalDateTime(filters.timeTo);
    facts.minSizeText = host_.MinSizeText();
    facts.maxSizeText = host_.MaxSizeText();
    facts.destinationText = destination;
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

    state_.barUnit = BarUnitFor(state_.scanByteTotal);

    bool execute = true;
    if (!state_.scanStopped) {
        // Only complete totals scale the bar and justify the free-space question.
        const std::int64_t steps = state_.scanByteTotal / state_.barUnit;
        host_.SetOverallBarMax(steps > INT32_MAX ? INT32_MAX : steps < 0 ? 0 : static_cast<int>(steps));
        if (UsesDestination(operation))
            execute = ConfirmFreeSpace();
    }
    // A quit met while the question was up is its No.
    if (!execute || state_.quitFlag) {
        host_.AppendLog(UserAbortEntry());
        return;
    }

    state_.jobStartTick = host_.TickMs();
    host_.AppendLog(StartingTimeEntry(host_.FormatLocalDateTime(host_.Now())));
    started = true;
    JobContext job{host_, state_, answers_, {}};
    if (ProcessSourceItems(job, sources, -1, operation) < 0) {
        // Refused before any item was touched: nothing of the sources may go either, and the log
        // must not read like a job that found nothing to do.
        host_.AppendLog(DestinationNotCreatedEntry(SystemErrorText(job.destinationError), destination));
        ++state_.filesFailed;
    } else if (operation != kOpCopy) {
        RemoveEmptiedSourceFolders(sources, job.keptFolders);
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

bool JobRun::ConfirmFreeSpace()
{
    if (state_.quitFlag)
        return false;  // the program is ending: No, without asking
    const std::string destination = host_.DestinationText();
    const std::optional<std::int64_t> available = FreeBytesForDestination(destination);
    // No volume answered: the copies themselves will report what does not fit.
    if (!available || *available >= state_.scanByteTotal)
        return true;
    return host_.AskYesNo(FreeSpaceQuestion(DestinationDrivePart(destination)), FreeSpaceQuestionTitle());
}

void JobRun::bbCancelClick()
{
    host_.HideExistsNotice();
    if (host_.ScanRunning())
        host_.StopScan();

    ReportCounts counts;
    counts.filesExamined = state_.filesExamined;
    counts.filesDone = state_.filesDone;
    counts.filesFailed = state_.filesFailed;
    counts.bytesCopied = state_.bytesCopied;
    for (const std::string& entry : ReportEntries(counts, host_.SpeedText()))
        host_.AppendLog(entry);

    state_.pauseFlag = false;
    state_.stopFlag = true;

    host_.SetOverallText("");
    host_.SetTimeText("");
    host_.SetSpeedText("");
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
    host_.ShowPaused(state_.pauseFlag);
    // After a pause every conflict is asked again.
    if (state_.pauseFlag)
        answers_.Clear();
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
