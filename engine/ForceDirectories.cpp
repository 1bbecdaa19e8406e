#include "engine/ForceDirectories.h"

#include "platform/LongPath.h"

#include <windows.h>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsFolderAt(const std::string& path)
{
    const DWORD attributes = PathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool ForceDirectories(const std::string& path)
{
    std::string folder = path;
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';  // "E:" alone would name the drive's current folder
    while (folder.size() > 3 && IsSeparator(folder.back()))
        folder.pop_back();
    if (folder.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    if (IsFolderAt(folder))
        return true;

    // A root has no parent to make: "E:\" of a drive that is not there simply fails below.
    const std::size_t cut = folder.find_last_of("\\/");
    const bool isDriveRoot = folder.size() == 3 && folder[1] == ':';
    if (!isDriveRoot && cut != std::string::npos && cut > 0 && !ForceDirectories(folder.substr(0, cut)))
        return false;
    if (CreateDirectoryW(WidePath(folder).c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    if (IsFolderAt(folder))
        return true;  // made meanwhile by someone else
    SetLastError(error);  // a file in the way, or no such drive: the caller reports the creation's error
    return false;
}
