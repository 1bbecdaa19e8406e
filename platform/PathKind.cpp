#include "platform/PathKind.h"

#include "platform/LongPath.h"

PathKind KindOfPath(const std::string& path)
{
    if (path.empty())
        return PathKind::Missing;
    // A typed spelling the system reads otherwise ("D:\a.") is taken as it reads it, unless an entry
    // has exactly that name (one handed over or dropped).
    const DWORD attributes = PathAttributes(EntryPathText(path));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}
