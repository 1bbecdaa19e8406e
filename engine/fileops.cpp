#include "engine/fileops.h"

#include "core/LogTexts.h"
#include "engine/FileOutcomes.h"
#include "engine/fileops_steps.h"
#include "engine/filefacts.h"

void DoFileOperation(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size,
                     DWORD attributes)
{
    const Operation operation = job.request.operation;
    switch (operation) {
    case kOpCopy:
    case kOpCut:
        CopyOrCutFile(job, source, destination, size, operation == kOpCut);
        break;
    case kOpTrash:
        MoveFileToTrash(job, source);
        break;
    case kOpDelete:
        if (job.flight)
            HandDelete(job, source, attributes);
        else
            DeleteOneFile(job, source, attributes);
        break;
    case kOpCrush:
        if (job.flight)
            HandCrush(job, source, attributes);
        else
            CrushOneFile(job, source, attributes);
        break;
    default:
        break;
    }
}

void LogFileFailure(JobContext& job, unsigned long errorCode, const std::string& sentence, const std::string& source,
                    const std::string& destination)
{
    const std::string reason = SystemErrorText(errorCode);
    job.host.AppendLog(BecauseEntry(reason, sentence));
    CountFileFailed(job, source, destination, reason);
}

void LogUnreachableFile(JobContext& job, const std::string& source, const std::string& destination,
                        Operation operation, unsigned long errorCode)
{
    switch (operation) {
    case kOpCopy:
    case kOpCut:
        LogFileFailure(job, errorCode, CopyFailedSentence(source, destination), source, destination);
        break;
    case kOpTrash:
        LogFileFailure(job, errorCode, TrashFailedSentence(source), source);
        break;
    default:
        LogFileFailure(job, errorCode, DeleteFailedSentence(source), source);
        break;
    }
}
