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

bool HasOtherNames(HANDLE file)
{
    FILE_STANDARD_INFO standard{};
    return GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) &&
           standard.NumberOfLinks > 1;
}

// Through a handle known to be open on the listed file.
DWORD DeleteOpenFile(HANDLE file, DWORD attributes)
{
    // Attributes known to be archive only need no reset: the common case, one request.
    if (attributes == FILE_ATTRIBUTE_ARCHIVE) {
        if (MarkForDeletion(file))
            return 0;
        // They may have changed since they were read: a refusal for access gets the reset below.
        if (GetLastError() != ERROR_ACCESS_DENIED)
            return GetLastError();
    }
    // A read-only file is refused deletion; its marks go first, as the user chose to delete it. The
    // marks belong to the file, not to this name: where other names (hard links) still reach it, or
    // where it stays after all, it gets them back.
    FILE_BASIC_INFO before{};
    const bool known = GetFileInformationByHandleEx(file, FileBasicInfo, &before, sizeof before) != 0;
    const bool shared = known && HasOtherNames(file);
    bool marked = false;
    DWORD error = 0;
    // Another name of the same file, deleted at the same time by another file in flight, puts the
    // marks back as it ends, between the reset here and the deletion: reset again, asked again.
    for (int attempt = 0; attempt < 3 && !marked; ++attempt) {
        if (!SetHandleAttributes(file, FILE_ATTRIBUTE_ARCHIVE))
            return GetLastError();
        marked = MarkForDeletion(file);
        error = marked ? 0 : GetLastError();
        if (!marked && (!shared || error != ERROR_ACCESS_DENIED))
            break;
    }
    if (known && (shared || !marked) && before.FileAttributes != FILE_ATTRIBUTE_ARCHIVE)
        SetHandleAttributes(file, before.FileAttributes);
    return error;
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

bool TakeReadOnlyMarkForReplace(const std::string& path, DWORD attributes)
{
    bool shared = false;
    {
        const UniqueFile file(OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT));
        shared = file && HasOtherNames(file.Get());
    }
    if (shared) {
        DeleteListedFile(path, attributes);
        return false;
    }
    const DWORD unmarked = attributes & ~FILE_ATTRIBUTE_READONLY;
    SetPathAttributes(path, unmarked == 0 ? FILE_ATTRIBUTE_NORMAL : unmarked);
    return true;
}
