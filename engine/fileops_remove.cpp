#include "engine/fileops_steps.h"
#include "platform/LongPath.h"

#include <shellapi.h>

void MoveFileToTrash(JobContext& job, const std::string& source)
{
    job.host.SetFileProgressText("Removing " + source);

    // A list of one path, ending in two NULs, however long the path is. The engine has no window to
    // own the request, and no confirmation or error box may stop a job: nobody might answer it.
    std::string from = source;
    from.append(2, '\0');
    SHFILEOPSTRUCTA request{};
    request.hwnd = nullptr;
    request.wFunc = FO_DELETE;
    request.pFrom = from.c_str();
    request.pTo = nullptr;
    request.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SetLastError(ERROR_SUCCESS);
    const int result = SHFileOperationA(&request);
    if (result == 0 && !request.fAnyOperationsAborted) {
        ++job.state.filesDone;
        return;
    }
    // The shell's own answer stands in when it left no error behind (never "completed successfully").
    DWORD error = GetLastError();
    if (error == ERROR_SUCCESS)
        error = result != 0 ? static_cast<DWORD>(result) : ERROR_CANCELLED;
    LogFileFailure(job, error, " So failed to move file " + source + " to trash!");
}

void DeleteOneFile(JobContext& job, const std::string& source)
{
    job.host.SetFileProgressText("Deleting " + source);

    // A folder, or a link to one, is never deleted as a file (nor through).
    const DWORD attributes = PathAttributes(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, " So failed to delete file " + source + "!");
        return;
    }
    SetPathAttributes(source, FILE_ATTRIBUTE_ARCHIVE);
    if (DeletePath(source)) {
        ++job.state.filesDone;
        return;
    }
    const DWORD error = GetLastError();
    LogFileFailure(job, error, " So failed to delete file " + source + "!");
}
