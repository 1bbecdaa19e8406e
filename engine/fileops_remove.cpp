#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "core/ShellErrorTexts.h"
#include "engine/fileops_steps.h"
#include "engine/filefacts.h"
#include "platform/FileIdentity.h"
#include "platform/Handles.h"
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
        LogFileFailure(job, error, failed);
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
    const int result = SHFileOperationA(&request);
    if (result == 0 && !request.fAnyOperationsAborted) {
        ++job.state.filesDone;
        return;
    }
    // The result is the shell's own code (or a system code), never something left in GetLastError.
    // Nothing happened when the shell was told No or cancelled by itself.
    const unsigned long code = result != 0 ? static_cast<unsigned long>(result) : kShellCancelled;
    job.host.AppendLog(BecauseEntry(ShellResultText(code), failed));
    ++job.state.filesFailed;
}

namespace {

bool SetHandleAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of 0 stay as they are
    basic.FileAttributes = attributes;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool MarkForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

} // namespace

DWORD DeleteListedFile(const std::string& path, DWORD attributes)
{
    // Deleted through one handle, opened on the name itself: where the system opens what a link points
    // to instead of the link (Wine, with a link of the host system, even when asked for the link), a
    // delete by name would remove that other file, which may lie outside everything the user chose, and
    // a change of attributes would mark it. The link then stays, told as a file that could not be
    // deleted. Where the link itself opens (Windows), it goes as any file.
    UniqueFile file(OpenPath(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED)  // attributes may not be changed: not needed for most
        file.Reset(OpenPath(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!file)
        return GetLastError();
    if (!HandleIsListedEntry(file.Get(), path))
        return ERROR_CANT_ACCESS_FILE;
    // A read-only file is refused deletion; its marks go first, as the user chose to delete it. The
    // attributes read at listing may be old, so a refusal with none to clear gets one more try.
    const bool reset = attributes != FILE_ATTRIBUTE_ARCHIVE;
    if (reset && !SetHandleAttributes(file.Get(), FILE_ATTRIBUTE_ARCHIVE))
        return GetLastError();
    if (MarkForDeletion(file.Get()))
        return 0;
    DWORD error = GetLastError();
    if (reset || error != ERROR_ACCESS_DENIED)
        return error;
    if (!SetHandleAttributes(file.Get(), FILE_ATTRIBUTE_ARCHIVE))
        return error;
    return MarkForDeletion(file.Get()) ? 0 : GetLastError();
}

void DeleteOneFile(JobContext& job, const std::string& source, DWORD known)
{
    job.host.SetFileProgressText(FileUnderWayText(kOpDelete, source));

    // A folder, or a link to one, is never deleted as a file (nor through).
    const DWORD attributes = known != INVALID_FILE_ATTRIBUTES ? known : PathAttributes(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, DeleteFailedSentence(source));
        return;
    }
    const DWORD error = DeleteListedFile(source, attributes);
    if (error == 0) {
        ++job.state.filesDone;
        return;
    }
    LogFileFailure(job, error, DeleteFailedSentence(source));
}

void HandDelete(JobContext& job, const std::string& source, DWORD known)
{
    const DWORD attributes = known != INVALID_FILE_ATTRIBUTES ? known : PathAttributes(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, DeleteFailedSentence(source));
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
            ++job.state.filesDone;
        else
            LogFileFailure(job, *error, DeleteFailedSentence(source));
        return true;
    };
    job.flight->Hand(std::move(file));
}
