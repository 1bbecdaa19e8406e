#include "core/LogTexts.h"
#include "platform/LongPath.h"
#include "engine/jobrun.h"
#include "platform/Handles.h"

#include <windows.h>

// Removal of the source folders a job has emptied. Works on wide "\\?\" paths: a tree that the job
// could empty may be deeper than the 8-bit calls reach, and its folders must go all the same.
namespace {

// "E:" names the current folder of drive E; the source list means the drive's root.
std::string FolderPathOf(const std::string& item)
{
    if (item.size() == 2 && item[1] == ':')
        return item + "\\";
    return item;
}

// The item as an absolute "\\?\" path, so that every folder below it is reachable however deep.
std::wstring ExtendedPathOf(const std::string& item) { return ExtendedPathW(WidePath(FolderPathOf(item))); }

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

bool IsKept(const std::vector<std::wstring>& kept, const std::wstring& folder)
{
    for (const std::wstring& k : kept) {
        if (CompareStringOrdinal(k.c_str(), static_cast<int>(k.size()), folder.c_str(), static_cast<int>(folder.size()),
                                 TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

void RemoveEmptySubfoldersOf(JobHost& host, const JobState& state, const std::wstring& folder,
                             const std::vector<std::wstring>& kept)
{
    host.ProcessMessages();
    if (state.stopFlag)
        return;

    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(Join(folder, L"*.*").c_str(), &entry));
    if (!find)
        return;
    do {
        if (state.stopFlag)
            break;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // Links are neither followed nor removed: what they point to is not part of the job, and a
        // link to an ancestor would loop.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        const std::wstring path = Join(folder, name);
        if (IsKept(kept, path))
            continue;
        if (!RemoveDirectoryW(path.c_str())) {
            RemoveEmptySubfoldersOf(host, state, path, kept);
            RemoveDirectoryW(path.c_str());
        }
    } while (FindNextFileW(find.Get(), &entry));
}

} // namespace

void JobRun::RemoveEmptiedSourceFolders(const std::vector<std::string>& sources,
                                        const std::vector<std::string>& keptFolders)
{
    std::vector<std::wstring> kept;
    for (const std::string& folder : keptFolders)
        kept.push_back(ExtendedPathOf(folder));
    for (const std::string& item : sources) {
        const std::wstring folder = ExtendedPathOf(item);
        if (IsKept(kept, folder))
            continue;  // not gone through, so not emptied by this job either
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;  // files are never removed here
        // A link chosen as a source is left in place: the job never went through it, so removing it
        // would drop it, and descending would reach outside the chosen tree.
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveEmptySubfoldersOf(host_, state_, folder, kept);
            if (RemoveDirectoryW(folder.c_str()))
                continue;
        }
        host_.AppendLog(FolderNotRemovedEntry(item));
    }
}

void JobRun::RemoveEmptySubfolders(const std::string& folder)
{
    RemoveEmptySubfoldersOf(host_, state_, ExtendedPathOf(folder), {});
}
