#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "core/ShellErrorTexts.h"
#include "engine/FileOutcomes.h"
#include "engine/fileops_steps.h"
#include "engine/filefacts.h"
#include "engine/DeleteListedFile.h"
#include "platform/DialogWatch.h"
#include "platform/LongPath.h"

#include <shellapi.h>

#include <memory>

void MoveFileToTrash(JobContext& job, const std::string& source)
{
    job.host.SetFileProgressText(FileUnderWayText(kOpTrash, source));
    const std::string failed = TrashFailedSentence(source);

    // A file that is not there is reported here: the shell would first ask whether to delete it for
    // good (Wine does, as it cannot put a missing file into the trash) or show an error box of its own.
    if (PathAttributes(source) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        LogFileFailure(job, error, failed, source);
        return;
    }
    // The shell takes no "\\?\" path: it reads the path as the system reads typed text, which trims a
    // trailing dot or blank off a name. A file named so (made by another system, over a share or from
    // an archive) would not be reached, and its twin without them would go to the trash instead (on
    // Windows; Wine's shell happens to take the name as it is). Such a file stays, with one line.
    if (PlainFormAlters(source)) {
        LogFileFailure(job, ERROR_INVALID_NAME, failed, source);
        return;
    }

    // A list of one path, ending in two NULs, however long the path is.
    std::string from = source;
    from.append(2, '\0');
    SHFILEOPSTRUCTA request{};
    request.hwnd = job.request.questionOwner;
    request.wFunc = FO_DELETE;
    request.pFrom = from.c_str();
    request.pTo = nullptr;
    // Where the trash cannot take the file (no recycle bin on the volume, a file too big for it, a
    // trash folder that cannot be made), FOF_ALLOWUNDO alone deletes it for good without a word.
    // FOF_WANTNUKEWARNING makes the shell ask first, in spite of FOF_NOCONFIRMATION; a No leaves the
    // file and aborts. FOF_NOERRORUI is left out: it must not silence that question (Wine asks either
    // way; Windows documents no such promise). FOF_SILENT only drops the progress box.
    request.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_SILENT;
    int result;
    bool asked;
    {
        // The shell asks its question about deleting for good on this thread, from inside the call;
        // answered Yes, the call succeeds as if the file were in the trash.
        const DialogWatch questions;
        result = SHFileOperationA(&request);
        asked = questions.Watching() && questions.DialogsShown() > 0;
    }
    if (result == 0 && !request.fAnyOperationsAborted) {
        CountFileDone(job, source, {}, 0);
        // Where the shell asked, the file is gone for good, not in the trash: the log says so.
        if (asked && PathAttributes(source) == INVALID_FILE_ATTRIBUTES)
            job.host.AppendLog(DeletedForGoodEntry(source));
        return;
    }
    // The result is the shell's own code (or a system code), never something left in GetLastError.
    // Nothing happened when the shell was told No or cancelled by itself.
    const unsigned long code = result != 0 ? static_cast<unsigned long>(result) : kShellCancelled;
    const std::string reason = ShellResultText(code);
    job.host.AppendLog(BecauseEntry(reason, failed));
    CountFileFailed(job, source, {}, reason);
}

void DeleteOneFile(JobContext& job, const std::string& source, DWORD known)
{
    job.host.SetFileProgressText(FileUnderWayText(kOpDelete, source));

    // A folder, or a link to one, is never deleted as a file (nor through).
    const DWORD attributes = known != INVALID_FILE_ATTRIBUTES ? known : PathAttributes(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, DeleteFailedSentence(source), source);
        return;
    }
    const DWORD error = DeleteListedFile(source, attributes);
    if (error == 0) {
        CountFileDone(job, source, {}, 0);
        return;
    }
    LogFileFailure(job, error, DeleteFailedSentence(source), source);
}

void HandDelete(JobContext& job, const std::string& source, DWORD known)
{
    const DWORD attributes = known != INVALID_FILE_ATTRIBUTES ? known : PathAttributes(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, DeleteFailedSentence(source), source);
        return;
    }
    auto error = std::make_shared<DWORD>(0);
    FilesInFlight::FileWork file;
    file.shown = FileUnderWayText(kOpDelete, source);
    file.work = [source, attributes, error](FileWorkControl&) {
        *error = DeleteListedFile(source, attributes);
    };
    file.finish = [&job, source, error](bool workRan) {
        if (!workRan)
            return false;
        if (*error == 0)
            CountFileDone(job, source, {}, 0);
        else
            LogFileFailure(job, *error, DeleteFailedSentence(source), source);
        return true;
    };
    job.flight->Hand(std::move(file));
}
