#include "engine/DeleteFolderTree.h"

#include "platform/LongPath.h"
#include "platform/Handles.h"

#include <windows.h>

#include <vector>

namespace {

constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The file at the path, open to have its attributes set, where it has other names; none otherwise.
UniqueFile OpenIfOtherNames(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_STANDARD_INFO standard{};
    if (!file || !GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &standard, sizeof standard) ||
        standard.NumberOfLinks < 2)
        return UniqueFile();
    return file;
}

void RestoreMarks(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of 0 stay as they are
    basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_DIRECTORY;
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// Removes a folder link itself, never what it points to. The entry is opened as the link and deleted
// through that handle only when the handle really is the link. Wine 8 cannot open a link as such,
// and its RemoveDirectory on a link removes the folder the link points to when that one is empty;
// there the link stays and its removal counts as failed.
bool RemoveLink(const std::wstring& path)
{
    UniqueFile link(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link)
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_DISPOSITION_INFO dispose{TRUE};
    return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

// A read-only folder cannot be removed, so it goes back to plain first; it is to go anyway.
void MakeRemovable(const std::wstring& folder)
{
    const DWORD own = GetFileAttributesW(folder.c_str());
    if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(folder.c_str(), own & ~FILE_ATTRIBUTE_READONLY);
}

// root: an extended path without a trailing backslash. Stops deleting at the first failure, as a
// Replace then merges into what is left. Depth-first with a stack of open searches, not a call per
// level, so that any depth costs no machine stack; a folder's search is closed before it goes.
bool DeleteTree(const std::wstring& root)
{
    struct Level {
        std::size_t length;  // of this folder's path in `path`
        UniqueFind find;     // invalid when the folder could not be searched
        WIN32_FIND_DATAW entry;
        bool started;
    };
    std::vector<Level> levels;
    std::wstring path = root;  // the deepest level's folder; every level's folder is a prefix of it
    bool allGood = true;

    const auto enter = [&] {
        MakeRemovable(path);
        Level level{path.size(), UniqueFind(), {}, false};
        level.find = UniqueFind(FindFirstFileW((path + L"\\*.*").c_str(), &level.entry));
        levels.push_back(std::move(level));
    };

    enter();
    while (!levels.empty()) {
        Level& level = levels.back();
        path.resize(level.length);
        if (!level.find || (level.started && !FindNextFileW(level.find.Get(), &level.entry))) {
            levels.pop_back();  // closes the search first
            allGood = allGood && RemoveDirectoryW(path.c_str()) != 0;
            continue;
        }
        level.started = true;
        const std::wstring name = level.entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const DWORD attributes = level.entry.dwFileAttributes;
        const std::wstring entryPath = path + L'\\' + name;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link is never entered: what it points to lies outside the tree (and may be an ancestor
            // of it).
            if (allGood) {
                if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                    allGood = RemoveLink(entryPath);
                } else {
                    path = entryPath;
                    enter();  // `level` may move: not used after this
                }
            }
        } else {
            // Marks belong to the file, not to a name: a file with other names (hard links) outside
            // the tree gets them back once this name is gone.
            const UniqueFile other = (attributes & kMarks) ? OpenIfOtherNames(entryPath) : UniqueFile();
            SetFileAttributesW(entryPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (allGood)
                allGood = DeleteFileW(entryPath.c_str()) != 0;
            if (other)
                RestoreMarks(other.Get(), attributes);
        }
    }
    return allGood;
}

} // namespace

bool IsVolumeRoot(const std::string& path)
{
    if (path.size() == 2 && path[1] == ':')
        return true;
    std::wstring full = FullPathW(WidePath(path));
    if (full.empty())
        return true;
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0)
        full = L"\\\\" + full.substr(8);
    else if (full.rfind(L"\\\\?\\", 0) == 0)
        full = full.substr(4);
    while (!full.empty() && full.back() == L'\\')
        full.pop_back();
    if (full.size() <= 2)
        return true;  // "C:"
    if (full.rfind(L"\\\\", 0) == 0) {
        // \\server\share: nothing after the share name.
        const std::size_t afterServer = full.find(L'\\', 2);
        return afterServer == std::wstring::npos || full.find(L'\\', afterServer + 1) == std::wstring::npos;
    }
    return false;
}

bool DeleteFolderTree(const std::string& path)
{
    if (path.size() < 4 || IsVolumeRoot(path))
        return false;
    std::wstring folder = ExtendedPathW(WidePath(path));
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveLink(folder);
    return DeleteTree(folder);
}
