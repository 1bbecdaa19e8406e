#include "engine/FileRename.h"
#include "engine/VolumeBoundaries.h"
#include "engine/FileOutcomes.h"
#include "engine/fileops_steps.h"
#include "engine/progress.h"
#include "filters/LocaleLower.h"

bool MayRenameForCut(const JobContext& job, const std::string& source, const std::string& target)
{
    // The source under another spelling of its own path is reported by the copy's path, which knows
    // how; a rename would only change the letter case.
    if (source.size() == target.size() && LocaleLower(source) == LocaleLower(target))
        return false;
    return !job.volumeBoundaries.Separate(FolderPartOf(source), FolderPartOf(target));
}

namespace {

bool RenameForCut(JobContext& job, const std::string& source, const std::string& target, bool replace)
{
    if (!MayRenameForCut(job, source, target))
        return false;
    // Any refusal leaves the file as it was, so the copy and delete can still be tried: it overcomes
    // another volume, and for the rest it meets the same trouble and reports it as a Cut always has.
    const unsigned long error = RenameFile(source, target, replace);
    if (error == ERROR_NOT_SAME_DEVICE)
        job.volumeBoundaries.Remember(FolderPartOf(source), FolderPartOf(target));
    return error == 0;
}

void CountRenamed(JobContext& job, const std::string& source, const std::string& target, std::int64_t size)
{
    // Moved whole at once: counted as a complete copy, and the file's bar is full as after a copy's
    // last step, which also lets the window answer its messages (an empty file's too: a folder of
    // renamed files goes by fast, and a Pause or Cancel must not wait for its end). They act before the
    // next file, so the answer of the progress routine has nothing left to stop here.
    job.written.Add(target);
    job.state.bytesCopied += size;
    CountFileDone(job, source, target, size);
    FileCopyProgress(job, size, size);
    UpdateSpeedText(job);
}

} // namespace

bool CutByRename(JobContext& job, const std::string& source, const std::string& target, std::int64_t size,
                 bool replace)
{
    if (!RenameForCut(job, source, target, replace))
        return false;
    CountRenamed(job, source, target, size);
    return true;
}
