#include "core/SourceAdmission.h"

SourceAdmission DecideSourceAdmission(const std::vector<std::string>& entries, const std::string& path,
                                      const std::function<PathKind(const std::string&)>& kindOf)
{
    SourceAdmission result;
    if (path.empty() || kindOf(path) == PathKind::Missing)
        return result;
    result.exists = true;
    result.path = path;
    if (result.path.back() == '\\')
        result.path.pop_back();
    const std::string& p = result.path;
    const std::string holder = p + "\\";

    int index = 0;  // where the entry looked at stands in the list as the deletions leave it
    for (const std::string& entry : entries) {
        if (entry.find(holder) != std::string::npos) {
            result.deleteAt.push_back(index);  // the new path holds this entry
            continue;
        }
        if (entry == p || (p.find(entry + "\\") != std::string::npos && kindOf(entry) == PathKind::Folder))
            return result;
        ++index;
    }
    result.admitted = true;
    return result;
}
