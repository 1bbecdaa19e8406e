#include "engine/FileRename.h"

#include "engine/DeleteListedFile.h"
#include "engine/NewNameRecord.h"

#include "platform/FileIdentity.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <windows.h>


// The rename request of an open file. The new name goes in the absolute "\\?\" form, which the
// system takes as it is at every length (the plain form would be normalised, and a relative one read
// against the wrong folder).
bool RenameOpenFile(void* file, const std::string& to, bool replace)
{
    const NewNameRecord record(ExtendedPathW(WidePath(to)), replace);
    return SetFileInformationByHandle(file, FileRenameInfo, record.Data(), record.Size()) != 0;
}

unsigned long RenameFile(const std::string& from, const std::string& to, bool replace)
{
    // A link is renamed itself, not what it points to. Others may go on reading or writing the file
    // while it moves; a program that holds it without allowing that makes the open fail.
    UniqueFile file(OpenPath(from, DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!file)
        return GetLastError();

    // Under Wine a rename onto another name of the same file (a hard link) does nothing and reports
    // success, which would leave the file under both names while it counts as moved; Windows refuses
    // it as a name that is taken. Only a file with more than one name can meet that, so only such a
    // file pays for a look at the new name, and it is refused as Windows does.
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &standard, sizeof standard))
        return GetLastError();
    if (standard.Directory)
        return ERROR_ACCESS_DENIED;  // files only: a folder's contents are the walk's business
    // Where the system opened what a link points to instead of the link (Wine shows a link of the host
    // system as a plain file, and the request to open the link itself opens its target), a rename would
    // move that other file, which may lie outside everything the user chose, and leave the link behind.
    // Refused here, so the copy and delete takes over as it always did for links: the content arrives
    // and the link goes.
    if (!HandleNamedAsListed(file.Get(), from))
        return ERROR_CANT_ACCESS_FILE;
    if (!replace && standard.NumberOfLinks > 1 && PathAttributes(to) != INVALID_FILE_ATTRIBUTES)
        return ERROR_ALREADY_EXISTS;

    // Windows refuses to replace a read-only file; the user chose to replace it, so its mark goes,
    // and comes back if the rename fails after all.
    DWORD existing = INVALID_FILE_ATTRIBUTES;
    if (replace) {
        existing = PathAttributes(to);
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY))
            return ERROR_ACCESS_DENIED;
        if (existing == INVALID_FILE_ATTRIBUTES || !(existing & FILE_ATTRIBUTE_READONLY) ||
            !TakeReadOnlyMarkForReplace(to, existing))
            existing = INVALID_FILE_ATTRIBUTES;  // nothing to put back
    }
    if (RenameOpenFile(file.Get(), to, replace))
        return 0;
    const DWORD error = GetLastError();
    if (existing != INVALID_FILE_ATTRIBUTES)
        SetPathAttributes(to, existing);
    return error;
}
