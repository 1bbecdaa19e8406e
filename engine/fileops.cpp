#include "engine/fileops.h"

#include "core/LogTexts.h"
#include "engine/FileOutcomes.h"
#include "engine/fileops_steps.h"
#include "engine/filefacts.h"

#include <iterator>

namespace {

// Each operation's file operation, in the order of Operation (the operation table's rows).
using FileOperation = void (*)(JobContext& job, const std::string& source, const std::string& destination,
                               std::int64_t size, DWORD attributes);

void DoCopy(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size, DWORD)
{
    CopyOrCutFile(job, source, destination, size, false);
}

void DoCut(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size, DWORD)
{
    CopyOrCutFile(job, source, destination, size, true);
}

void DoTrash(JobContext& job, const std::string& source, const std::string&, std::int64_t, DWORD)
{
    MoveFileToTrash(job, source);
}

void DoDelete(JobContext& job, const std::string& source, const std::string&, std::int64_t, DWORD attributes)
{
    if (job.flight)
        HandDelete(job, source, attributes);
    else
        DeleteOneFile(job, source, attributes);
}

void DoCrush(JobContext& job, const std::string& source, const std::string&, std::int64_t, DWORD attributes)
{
    if (job.flight)
        HandCrush(job, source, attributes);
    else
        CrushOneFile(job, source, attributes);
}

constexpr FileOperation kFileOperations[] = {DoCopy, DoCut, DoTrash, DoDelete, DoCrush};
static_assert(std::size(kFileOperations) == kOperationCount, "each operation has its file operation");

} // namespace

void DoFileOperation(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size,
                     DWORD attributes)
{
    kFileOperations[RowOf(job.request.operation).kind](job, source, destination, size, attributes);
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
    switch (RowOf(operation).failure) {
    case FailureWording::Copy:
        LogFileFailure(job, errorCode, CopyFailedSentence(source, destination), source, destination);
        break;
    case FailureWording::Trash:
        LogFileFailure(job, errorCode, TrashFailedSentence(source), source);
        break;
    case FailureWording::Delete:
        LogFileFailure(job, errorCode, DeleteFailedSentence(source), source);
        break;
    }
}
