#include "core/ClipboardPickup.h"

#include <algorithm>

bool ClipboardReplacesSources(const std::vector<std::string>& paths,
                              const std::function<PathKind(const std::string&)>& kindOf)
{
    if (paths.size() == 1 && kindOf(paths.front()) == PathKind::File)
        return false;
    return std::any_of(paths.begin(), paths.end(),
                       [&kindOf](const std::string& path) { return kindOf(path) != PathKind::Missing; });
}
