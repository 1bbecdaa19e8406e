#include "core/LogTexts.h"
#include "platform/LongPath.h"
#include "engine/jobrun.h"
#include "platform/Handles.h"

#include <windows.h>

#include <vector>

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

// The item as an absolute "\\?\" path, so that every folder below it is reachable however deep: a
// source as the job read it when it began, a folder the walk met as listed. Never read again: a
// source "a." that has gone would now read as its twin "a".
std::wstring ExtendedPathOf(const std::string& item)
{
    return ExtendedPathW(WidePath(FolderPathOf(item)));
}

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

// Removes every subfolder below `root` that is empty or becomes empty, deepest first: a folder that
// does not go at once is searched, and tried once more when its own subfolders have been dealt with.
// Depth-first with a stack of open searches, not a call per level, so that any depth costs no machine
// stack; messages are processed once per folder searched, and the stop flag looked at before every
// entry.
void RemoveEmptySubfoldersOf(JobHost& host, const JobState& state, const std::wstring& root,
                             const std::vector<std::wstring>& kept)
{
    struct Level {
        std::size_t length;  // of this folder's path in `path`
        UniqueFind find;
        WIN32_FIND_DATAW entry;
        bool started;        // `entry` has been handled: the next one is to be found
    };
    std::vector<Level> levels;
    std::wstring path = root;  // the deepest level's folder; every level's folder is a prefix of it

    const auto enter = [&] {
        host.ProcessMessages();
        if (state.stopFlag)
            return;
        Level level{path.size(), UniqueFind(), {}, false};
        level.find = UniqueFind(FindFirstFileW(Join(path, L"*.*").c_str(), &level.entry));
        if (level.find)
            levels.push_back(std::move(level));
    };
    // The deepest level is searched through: its search is closed, and the folder is tried once more
    // (the root is not: its caller decides about it).
    const auto leave = [&] {
        path.resize(levels.back().length);
        levels.pop_back();
        if (!levels.empty())
            RemoveDirectoryW(path.c_str());
    };

    enter();
    while (!levels.empty()) {
        Level& level = levels.back();
        path.resize(level.length);
        if (level.started && !FindNextFileW(level.find.Get(), &level.entry)) {
            leave();
            continue;
        }
        level.started = true;
        if (state.stopFlag) {
            leave();
            continue;
        }
        const WIN32_FIND_DATAW& entry = level.entry;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // Links are neither followed nor removed: what they point to is not part of the job, and a
        // link to an ancestor would loop.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        const std::wstring subfolder = Join(path, name);
        if (IsKept(kept, subfolder))
            continue;
        if (!RemoveDirectoryW(subfolder.c_str())) {
            path = subfolder;
            const std::size_t depth = levels.size();
            enter();  // `level` may move: not used after this
            if (levels.size() == depth)
                RemoveDirectoryW(subfolder.c_str());  // not searched (stopped or unreadable): tried again as before
        }
    }
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
