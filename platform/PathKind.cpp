#include "platform/PathKind.h"

#include "platform/LongPath.h"

PathKind KindOfPath(const std::string& path)
{
    if (path.empty())
        return PathKind::Missing;
    const DWORD attributes = PathAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}
