#pragma once
#include <functional>
#include <string>
#include <vector>

// What lies at a path, as far as the source list cares.
enum class PathKind { Missing, File, Folder };

// The outcome of offering a path to the source list. Entries are deleted one after the other at the
// indexes given (each index counts the list as it is after the deletions before it); then the path is
// appended when `admitted`. Deletions stand even when the path is refused in the end, as the walk
// that decides meets them before it meets the reason to refuse.
struct SourceAdmission {
    bool exists = false;              // the path names an existing file or folder
    bool admitted = false;
    std::string path;                 // the path as it is stored: no trailing backslash
    std::vector<int> deleteAt;
};

// The one rule for entries of the source list: no entry equals another and no entry lies inside a
// folder entry. A new folder takes the place of the entries it holds; a duplicate or a path inside a
// listed folder is refused. Comparisons are exact and case-sensitive, as the list shows the texts.
SourceAdmission DecideSourceAdmission(const std::vector<std::string>& entries, const std::string& path,
                                      const std::function<PathKind(const std::string&)>& kindOf);
