#include "engine/GivenNames.h"

#include "engine/FileRename.h"
#include "platform/LongPath.h"

#include <windows.h>

bool GivenNames::Move(const std::string& from, const std::string& to)
{
    bool moved = false;
    DWORD error = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        moved = MovePath(from, to, 0);
        error = GetLastError();
        if (moved)
            names_.Add(to);
    }
    // The lock's release may touch the last error; the caller reads the rename's.
    SetLastError(error);
    return moved;
}

bool GivenNames::MoveOpen(void* file, const std::string& to)
{
    bool moved = false;
    DWORD error = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        moved = RenameOpenFile(file, to, false);
        error = GetLastError();
        if (moved)
            names_.Add(to);
    }
    SetLastError(error);
    return moved;
}

bool GivenNames::Contains(const std::string& path) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return names_.Count() != 0 && names_.Contains(path);
}
