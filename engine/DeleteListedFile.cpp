#include "engine/DeleteListedFile.h"

#include "platform/FileIdentity.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"

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

// Through a handle known to be open on the listed file.
DWORD DeleteOpenFile(HANDLE file, DWORD attributes)
{
    // A read-only file is refused deletion; its marks go first, as the user chose to delete it. The
    // attributes read at listing may be old, so a refusal with none to clear gets one more try.
    const bool reset = attributes != FILE_ATTRIBUTE_ARCHIVE;
    if (reset && !SetHandleAttributes(file, FILE_ATTRIBUTE_ARCHIVE))
        return GetLastError();
    if (MarkForDeletion(file))
        return 0;
    const DWORD error = GetLastError();
    if (reset || error != ERROR_ACCESS_DENIED)
        return error;
    if (!SetHandleAttributes(file, FILE_ATTRIBUTE_ARCHIVE))
        return error;
    return MarkForDeletion(file) ? 0 : GetLastError();
}

} // namespace

DWORD DeleteListedFile(const std::string& path, DWORD attributes)
{
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
    return DeleteOpenFile(file.Get(), attributes);
}
