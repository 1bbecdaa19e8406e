#include "core/NewFolderName.h"

#include <cstring>

std::string ProposeNewFolderName(const std::string& parent, const std::function<bool(const std::string&)>& folderExists)
{
    std::string name = "New Folder";
    for (unsigned long long n = 1; folderExists(parent + name); ++n)
        name = "New Folder (" + std::to_string(n) + ")";
    return name;
}

bool IsForbiddenNameChar(char c) { return c != '\0' && std::strchr("\\/:*?|><\"", c) != nullptr; }

FolderNameCheck CheckFolderName(const std::string& parent, const std::string& name,
                                const std::function<bool(const std::string&)>& folderExists)
{
    const std::string full = parent + name;
    if (folderExists(full))
        return {"Folder already exists\n" + full + "\nPlease input another name.", true};
    return {"New Folder Path\n" + full, false};
}

RenameParts SplitForRename(const std::string& destination)
{
    RenameParts parts;
    parts.old = destination;
    if (!parts.old.empty() && parts.old.back() == '\\')
        parts.old.pop_back();
    const std::size_t cut = parts.old.find_last_of("\\:");
    const std::string parent = cut == std::string::npos ? std::string() : parts.old.substr(0, cut + 1);
    if (parent.empty() || parent.back() != '\\')
        return parts;
    parts.parent = parent;
    parts.name = parts.old.substr(cut + 1);
    return parts;
}
