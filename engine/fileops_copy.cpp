#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "engine/FileCopy.h"
#include "engine/DeleteListedFile.h"
#include "engine/FileOutcomes.h"
#include "engine/FilesInFlight.h"
#include "filters/LocaleLower.h"
#include "engine/fileops_steps.h"
#include "platform/LongPath.h"
#include "engine/filefacts.h"
#include "engine/progress.h"
#include "platform/FileIdentity.h"

#include <algorithm>
#include <memory>

namespace {

// "Do not create subdirectory": D:\B\sub1\sub2\f.txt under the destination D:\B becomes D:\B\sub1_sub2_f.txt.
std::string Flattened(const JobRequest& request, const std::string& destination)
{
    std::string root = request.destination;
    if (root.empty() || root.back() != '\\')
        root += '\\';
    if (destination.size() < root.size())
        return destination;
    std::string rest = destination.substr(root.size());
    std::replace(rest.begin(), rest.end(), '\\', '_');
    return root + rest;
}

std::string ComparisonText(std::int64_t size, std::int64_t existingSize, DateTime sourceTime, DateTime existingTime)
{
    return "Source size: " + std::to_string(size) + "B  Destination size: " + std::to_string(existingSize) +
           "B\nSource modification time: " + FormatIsoDateTime(sourceTime) +
           "   Destination modification time: " + FormatIsoDateTime(existingTime);
}

// What becomes of a file that already stands at the destination.
struct Settlement {
    bool copy = true;
    unsigned long error = 0;  // set when the copy cannot go ahead and that is a failure
    CopyTarget target = CopyTarget::Replace;
    const char* answer = "";  // the answer that left the file as it was, for the host
};

Settlement SettleExisting(JobContext& job, const std::string& source, std::string& destination, std::int64_t size)
{
    const std::int64_t existingSize = GetFileSize64(destination);
    const DateTime sourceTime = GetFileModifiedTime(source);
    const DateTime existingTime = GetFileModifiedTime(destination);
    const ConflictAnswer answer = ObtainFileDecision(job.host, job.answers, destination,
                                                     ComparisonText(size, existingSize, sourceTime, existingTime));
    ConflictDecision decision = answer.decision;
    if (decision == kUpdate) {
        if (existingTime < sourceTime || (existingTime == sourceTime && existingSize != size))
            decision = kOverwrite;
        else
            return {false, 0, CopyTarget::Replace, "Update"};
    }
    // Overwrite: the existing file is not deleted first. The copy replaces it when (and only when) it
    // is complete, so a failed copy never leaves neither file.
    if (decision == kOverwrite)
        return {true};
    if (decision != kAutoRename)
        return {false, 0, CopyTarget::Replace, "Skip"};  // nothing copied, logged or counted

    const auto now = [&job] { return job.host.Now(); };
    if (answer.renameNew) {
        // The stamped name is meant to be free; a copy never replaces a file it was not asked to, so
        // one that is taken after all fails with ERROR_FILE_EXISTS.
        destination = TimestampedName(destination, "_Copied_At_", now);
        return {true, 0, CopyTarget::NewFile};
    }

    // Rename mode old: the existing file steps aside with its attributes, and the copy takes its name.
    const std::string renamed = TimestampedName(destination, "_Renamed_At_", now);
    const DWORD attributes = PathAttributes(destination);
    SetPathAttributes(destination, FILE_ATTRIBUTE_ARCHIVE);
    if (!MovePath(destination, renamed, 0)) {
        // Copying now would overwrite the very file the user asked to keep.
        const DWORD error = GetLastError();
        SetPathAttributes(destination, attributes);
        return {false, error};
    }
    SetPathAttributes(renamed, attributes);
    return {true, 0, CopyTarget::NewFile};
}

// Holds a copy stopped by Pause until Go On (true: copy again) or Cancel (false). Pumps the window's
// messages and sleeps until the next one arrives, so a long pause costs no processor time.
bool WaitWhilePaused(JobContext& job)
{
    bool pauseSeen = false;
    while (job.state.pauseFlag && !job.state.stopFlag) {
        pauseSeen = true;
        job.host.ProcessMessages();
        if (job.state.pauseFlag && !job.state.stopFlag)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    return pauseSeen && !job.state.stopFlag;
}

// Runs the copy until it is complete or given up; a pause holds it, and Go On continues it from its
// partial file. 0 or the error of the last run. A copy given up takes its partial file with it.
unsigned long CopyThroughPauses(JobContext& job, FileCopy& copy)
{
    const CopyProgressFn progress = [&job](std::int64_t total, std::int64_t transferred) {
        return FileCopyProgress(job, total, transferred);
    };
    for (;;) {
        const unsigned long error = copy.Run(progress);
        if (error == 0 || error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || !WaitWhilePaused(job))
            return error;
    }
}

// A Cut's source goes as soon as its copy stands: a kill between the two would leave the file twice.
// 0 or why it could not be deleted.
DWORD DeleteCutSource(const std::string& source, DWORD sourceAttributes)
{
    // Only the listed file goes: a link the Cut read through stays (under Wine, where a link of the host
    // system opens what it points to) rather than the file it leads to, which may lie outside everything
    // chosen; it is told as a source that could not be deleted.
    return DeleteListedFile(source, sourceAttributes);
}

// `deleteError`: for a Cut, what the deletion of its source answered.
void CountCopied(JobContext& job, const std::string& source, const std::string& target, std::int64_t size, bool cut,
                 DWORD deleteError)
{
    job.written.Add(target);
    job.state.bytesCopied += size;
    CountFileDone(job, source, target, size);
    if (cut && deleteError != 0)
        LogFileFailure(job, deleteError, CopiedNotDeletedSentence(source), source, target);
    UpdateSpeedText(job);
}

void LogCopyFailure(JobContext& job, unsigned long error, bool verifyFailed, CarryVerdict verdict,
                    const std::string& source, const std::string& target)
{
    if (verifyFailed || verdict == CarryVerdict::RefuseStreams || verdict == CarryVerdict::RefuseEncryption) {
        const std::string entry = verifyFailed                               ? VerifyFailedEntry(source, target)
                                  : verdict == CarryVerdict::RefuseStreams ? StreamsKeepSourceEntry(source, target)
                                                                           : EncryptionNotCarriedEntry(source, target);
        job.host.AppendLog(entry);
        CountFileFailed(job, source, target, entry);
        return;
    }
    LogFileFailure(job, error, CopyFailedSentence(source, target), source, target);
}

// A Copy kept without the named streams its destination could not hold says so, once.
void NoteStreamsLeftBehind(JobContext& job, bool streamsLeft, const std::string& source, const std::string& target)
{
    if (streamsLeft)
        job.host.AppendLog(StreamsLeftBehindEntry(source, target));
}

// Whether a new file could not be made because its name is taken. A folder there may also answer
// "access denied"; only then is the name looked up.
bool SomethingStandsThere(unsigned long error, const std::string& target)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           (error == ERROR_ACCESS_DENIED && PathAttributes(target) != INVALID_FILE_ATTRIBUTES);
}

// Something already stands at the destination: the source itself under another spelling, a file to
// settle with the user, or a folder (which the copy then fails to replace).
void CopyOverExisting(JobContext& job, const std::string& source, std::string& target, std::int64_t size,
                      bool cut)
{
    Settlement settled;
    const DWORD existing = PathAttributes(target);
    const bool fileThere = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY);
    if (fileThere) {
        // The source itself under another spelling of its path (or a hard link to it): nothing to ask,
        // and no overwrite, rename or deletion of it. Looked up only where a conflict stands anyway.
        if (IsSameEntry(target, source)) {
            const std::string entry = SameFileEntry(source, target);
            job.host.AppendLog(entry);
            CountFileFailed(job, source, target, entry);
            return;
        }
        if (job.written.Contains(target)) {
            // This job wrote that file from another source (a flat copy of a_b.txt and a\b.txt, two
            // sources of one name): replacing it would lose it, and for a Cut its source is gone
            // already. The new file takes a stamped name instead, without a question.
            const std::string renamed = TimestampedName(target, "_Copied_At_", [&job] { return job.host.Now(); });
            job.host.AppendLog(WrittenByThisJobEntry(source, target, renamed));
            target = renamed;
            settled = {true, 0, CopyTarget::NewFile};
        } else {
            settled = SettleExisting(job, source, target, size);
        }
    }
    unsigned long error = settled.error;
    if (error == 0 && settled.copy) {
        // The answer settled where the file goes (over the old file, or under a free name); a Cut
        // moves it there by rename where it can, Overwrite replacing the old file in the same step.
        if (cut && fileThere && CutByRename(job, source, target, size, settled.target == CopyTarget::Replace))
            return;
        FileCopy copy(source, target, settled.target, job.request.verify);
        if (cut)
            copy.SourceGoesAfter();
        error = CopyThroughPauses(job, copy);
        if (error == 0) {
            NoteStreamsLeftBehind(job, copy.StreamsLeftBehind(), source, target);
            CountCopied(job, source, target, size, cut, cut ? DeleteCutSource(source, copy.SourceAttributes()) : 0);
        } else {
            LogCopyFailure(job, error, copy.VerifyFailed(), copy.Verdict(), source, target);
        }
        return;
    }
    if (error != 0)
        LogFileFailure(job, error, CopyFailedSentence(source, target), source, target);
    else if (!settled.copy)
        TellFileSkipped(job, source, target, settled.answer);
}

// What a copy handed to a worker came to: a complete copy waits there, still going with its handle,
// until its turn to be kept.
struct HandedCopy {
    unsigned long error = 0;
    bool kept = false;             // given its final name by its worker
    unsigned long keepError = 0;   // what stopped its worker from giving it its final name
    bool verifyFailed = false;
    CarryVerdict verdict = CarryVerdict::Keep;  // read on the job's thread
    DWORD sourceAttributes = INVALID_FILE_ATTRIBUTES;
    bool sourceDeleteTried = false;  // a Cut's source, once its copy was kept by the worker
    DWORD sourceDeleteError = 0;
    std::unique_ptr<FileCopy> copy;
};

// On a worker: the copy, held through pauses as on the job's thread, given up when the job stops.
// A complete copy takes its final name there and then, while the job has not stopped, and a Cut's
// source goes right after it: each costs the job's thread several round trips to the system per
// file, which it would otherwise spend on every file in turn while the workers wait for their next
// one. The job's thread then only counts and logs, in the walk's order.
void WriteHandedCopy(const std::string& source, const std::string& target, bool verify, bool cut,
                     FileWorkControl& control, HandedCopy& outcome)
{
    outcome.copy = std::make_unique<FileCopy>(source, target, CopyTarget::NewFile, verify);
    FileCopy& copy = *outcome.copy;
    copy.HoldUntilKept();
    if (cut)
        copy.SourceGoesAfter();
    const CopyProgressFn progress = [&control](std::int64_t total, std::int64_t transferred) {
        control.ShowProgress(total, transferred);
        if (control.Stopped())
            return CopyProgressAnswer::Cancel;
        if (control.Paused())
            return CopyProgressAnswer::Stop;
        return CopyProgressAnswer::Continue;
    };
    for (;;) {
        outcome.error = copy.Run(progress);
        // Stopped by a pause: the partial copy waits with its handle for Go On, or goes with it.
        if (outcome.error != ERROR_REQUEST_ABORTED || control.Stopped() || !control.WaitWhilePaused())
            break;
    }
    outcome.verifyFailed = copy.VerifyFailed();
    outcome.sourceAttributes = copy.SourceAttributes();
    if (outcome.error == 0 && !control.Stopped()) {
        outcome.keepError = copy.Keep();
        outcome.kept = outcome.keepError == 0;
        // At once, as on the job's thread: a kill between the two leaves the file twice, never nowhere.
        if (cut && outcome.kept) {
            outcome.sourceDeleteError = DeleteCutSource(source, outcome.sourceAttributes);
            outcome.sourceDeleteTried = true;
        }
    }
}

// On the job's thread, in the walk's order: what CopyOrCutFile does after its copy. False for a copy
// the job's stop came before, which goes without a trace, as a file a one-at-a-time job never reached.
bool FinishHandedCopy(JobContext& job, const std::string& source, std::string target, std::int64_t size, bool cut,
                      HandedCopy& outcome)
{
    unsigned long error = outcome.error;
    FilesInFlight& flight = *job.flight;
    // Once the job has stopped, complete copies are kept up to the first file the stop met, as one file
    // at a time would have got that far; that file is reported as the one a Cancel met when the stop
    // cut its copy off, and the files after it go without a trace (a complete copy with its handle).
    if (job.state.stopFlag && !(error == 0 && !flight.StopPointTaken())) {
        // A Cut its worker finished, source and all, past the file the stop met: the file has moved
        // and is counted so, as if the Cancel had come a moment later; taking the copy back would
        // leave it nowhere.
        if (outcome.sourceDeleteTried && outcome.sourceDeleteError == 0) {
            CountCopied(job, source, target, size, cut, 0);
            return true;
        }
        const bool stopPoint = flight.TakeStopPoint();
        outcome.copy.reset();
        // Complete and named by its worker, but past the file the stop met: made new by this job a
        // moment ago, it goes as the complete copies still held go (a Cut's source still stands).
        if (outcome.kept) {
            SetPathAttributes(target, FILE_ATTRIBUTE_NORMAL);  // read-only would keep it there
            DeletePath(target);
        }
        if (!stopPoint || error != ERROR_REQUEST_ABORTED)
            return false;
        LogCopyFailure(job, error, false, CarryVerdict::Keep, source, target);
        return true;
    }
    if (error == 0 && !outcome.kept)
        error = outcome.keepError ? outcome.keepError : outcome.copy->Keep();
    outcome.verdict = outcome.copy->Verdict();  // as judged by its run and its keeping
    if (error == 0) {
        DWORD deleteError = 0;
        if (cut)
            deleteError = outcome.sourceDeleteTried ? outcome.sourceDeleteError
                                                    : DeleteCutSource(source, outcome.sourceAttributes);
        NoteStreamsLeftBehind(job, outcome.verdict == CarryVerdict::KeepWithoutStreams, source, target);
        CountCopied(job, source, target, size, cut, deleteError);
        return true;
    }
    if (!outcome.verifyFailed && SomethingStandsThere(error, target)) {
        // Settled here as one file at a time would: the files handed in after this one have ended
        // their writing before anything is asked.
        job.host.SetFileProgressText(FileUnderWayText(kOpCopy, source));
        CopyOverExisting(job, source, target, size, cut);
        job.host.SetFileProgressText("");
        job.host.SetFileBar(0, 0);
        return true;
    }
    LogCopyFailure(job, error, outcome.verifyFailed, outcome.verdict, source, target);
    return true;
}

} // namespace

void HandCopyOrCut(JobContext& job, const std::string& source, const std::string& target, std::int64_t size,
                   bool cut)
{
    FilesInFlight& flight = *job.flight;
    const std::string place = LocaleLower(target);
    if (cut && MayRenameForCut(job, source, target)) {
        // A rename is done at once, on this thread: it waits its turn behind the files handed in before
        // it, so that it is counted in the walk's order, and a Pause or Cancel met meanwhile acts before
        // it as before any file. Done ahead of them, it could not be taken back by a Cancel that then
        // gives them up, and its count would hang on them.
        flight.FinishAll();
        WaitWhilePaused(job);
        // Stopped: the file goes to the workers, who start nothing once the job has stopped, so it goes
        // without a trace as every file not reached does.
        if (!job.state.stopFlag) {
            job.host.SetFileProgressText(FileUnderWayText(kOpCopy, source));
            const bool renamed = CutByRename(job, source, target, size, false);
            job.host.SetFileProgressText("");
            job.host.SetFileBar(0, 0);
            if (renamed)
                return;
        }
    }
    auto outcome = std::make_shared<HandedCopy>();
    FilesInFlight::FileWork file;
    file.shown = FileUnderWayText(kOpCopy, source);
    file.place = place;
    file.bytes = size;
    file.work = [source, target, verify = job.request.verify, cut, outcome](FileWorkControl& control) {
        WriteHandedCopy(source, target, verify, cut, control, *outcome);
    };
    file.finish = [&job, source, target, size, cut, outcome](bool workRan) {
        return workRan && FinishHandedCopy(job, source, target, size, cut, *outcome);
    };
    flight.Hand(std::move(file));
}

void CopyOrCutFile(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size,
                   bool cut)
{
    std::string target = job.request.flat ? Flattened(job.request, destination) : destination;
    if (job.flight) {
        HandCopyOrCut(job, source, target, size, cut);
        return;
    }
    job.host.SetFileProgressText(FileUnderWayText(kOpCopy, source));
    job.host.SetFileBar(0, 0);

    // A Cut within one volume moves the name, not the bytes. Where that cannot be done (another
    // volume, a name taken, a file in use), nothing has changed and the copy below takes over.
    if (!cut || !CutByRename(job, source, target, size, false)) {
        // The usual case, a destination where nothing stands yet, costs no look-up before the copy:
        // the copy's own creation of the new file tells whether something is there.
        FileCopy copy(source, target, CopyTarget::NewFile, job.request.verify);
        if (cut)
            copy.SourceGoesAfter();
        const unsigned long error = CopyThroughPauses(job, copy);
        if (error == 0) {
            NoteStreamsLeftBehind(job, copy.StreamsLeftBehind(), source, target);
            CountCopied(job, source, target, size, cut, cut ? DeleteCutSource(source, copy.SourceAttributes()) : 0);
        } else if (!copy.VerifyFailed() && SomethingStandsThere(error, target)) {
            CopyOverExisting(job, source, target, size, cut);
        } else {
            LogCopyFailure(job, error, copy.VerifyFailed(), copy.Verdict(), source, target);
        }
    }

    job.host.SetFileProgressText("");
    job.host.SetFileBar(0, 0);
}
