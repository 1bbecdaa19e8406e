#include "engine/VolumeBoundaries.h"

namespace {

// A few pairs are plenty: one per source item on another volume, or per folder of a flattened Cut.
constexpr std::size_t kKept = 16;

bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\');
}

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\:"); }

} // namespace

std::string FolderPartOf(const std::string& path)
{
    const std::size_t cut = LastSeparator(path);
    if (cut == std::string::npos)
        return {};
    return path[cut] == ':' ? path.substr(0, cut + 1) : path.substr(0, cut);
}

bool VolumeBoundaries::Separate(const std::string& fromFolder, const std::string& toFolder) const
{
    for (auto pair = pairs_.rbegin(); pair != pairs_.rend(); ++pair) {
        if (IsAtOrBelow(fromFolder, pair->first) && IsAtOrBelow(toFolder, pair->second))
            return true;
    }
    return false;
}

void VolumeBoundaries::Remember(std::string fromFolder, std::string toFolder)
{
    // Strip the trailing names both end in, but keep at least one name of each (never a bare drive,
    // which would cover the whole volume): "C:\S\a" and "E:\D\S\a" become "C:\S" and "E:\D\S".
    for (;;) {
        const std::size_t a = fromFolder.find_last_of('\\');
        const std::size_t b = toFolder.find_last_of('\\');
        if (a == std::string::npos || b == std::string::npos || fromFolder.compare(a, std::string::npos, toFolder, b) != 0)
            break;
        const std::string shorterFrom = fromFolder.substr(0, a);
        const std::string shorterTo = toFolder.substr(0, b);
        if (shorterFrom.find('\\') == std::string::npos || shorterTo.find('\\') == std::string::npos)
            break;
        fromFolder = shorterFrom;
        toFolder = shorterTo;
    }
    if (Separate(fromFolder, toFolder))
        return;
    if (pairs_.size() == kKept)
        pairs_.erase(pairs_.begin());
    pairs_.emplace_back(std::move(fromFolder), std::move(toFolder));
}
