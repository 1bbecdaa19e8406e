#include "engine/FreeSpace.h"

#include "platform/CodePageText.h"
#include "platform/LongPath.h"

#include <windows.h>

#include <iterator>
#include <map>
#include <type_traits>

// Wide calls throughout: the 8-bit ones stop at MAX_PATH, and a destination may be longer.
namespace {

template <typename Text>
bool StartsWith(const Text& text, const typename Text::value_type* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

template <typename Char>
bool IsAsciiLetter(Char c)
{
    const auto u = static_cast<std::make_unsigned_t<Char>>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

template <typename Text>
bool IsDriveLetterPath(const Text& path, std::size_t at = 0)
{
    return path.size() >= at + 2 && path[at + 1] == ':' && IsAsciiLetter(path[at]);
}

// End of "server\share" in text, the server starting at start; 0 when there is no share.
template <typename Text>
std::size_t UncShareEnd(const Text& text, std::size_t start)
{
    const std::size_t serverEnd = text.find('\\', start);
    if (serverEnd == Text::npos || serverEnd == start)
        return 0;
    const std::size_t shareEnd = text.find('\\', serverEnd + 1);
    if (shareEnd == serverEnd + 1 || serverEnd + 1 == text.size())
        return 0;
    return shareEnd == Text::npos ? text.size() : shareEnd;
}

// Length of the root that cannot be stepped above ("C:\", "\\server\share\", "\\?\C:\").
std::size_t RootLength(const std::wstring& full)
{
    if (StartsWith(full, L"\\\\?\\UNC\\")) {
        const std::size_t end = UncShareEnd(full, 8);
        return end == 0 ? full.size() : end + 1;
    }
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\"))
        return IsDriveLetterPath(full, 4) ? 7 : full.size();
    if (StartsWith(full, L"\\\\")) {
        const std::size_t end = UncShareEnd(full, 2);
        return end == 0 ? full.size() : end + 1;
    }
    return IsDriveLetterPath(full) ? 3 : full.size();
}

std::optional<std::int64_t> QueryFreeBytes(std::wstring folder)
{
    // Network roots need their closing backslash; any other folder takes one as well.
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free))
        return std::nullopt;
    const std::uint64_t bytes = available.QuadPart;
    return bytes > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(bytes);
}

bool IsExistingFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring VolumeRootOf(const std::wstring& full)
{
    // The volume path is never longer than the path plus its closing backslash.
    std::wstring root(full.size() + 2, L'\0');
    if (!GetVolumePathNameW(full.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return {};
    root.resize(root.find(L'\0'));
    return root;
}

// The nearest existing folder at or above a full path; empty when none exists up to its root.
std::wstring NearestExistingFolder(const std::wstring& full)
{
    const std::size_t rootLength = RootLength(full);
    std::wstring folder = full;
    while (folder.size() > rootLength && folder.back() == L'\\')
        folder.pop_back();
    for (;;) {
        if (IsExistingFolder(folder))
            return folder;
        if (folder.size() <= rootLength)
            return {};
        const std::size_t cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos)
            return {};
        folder.resize(cut < rootLength ? rootLength : cut);  // "C:\a" steps up to "C:\", not "C:"
    }
}

// The folder that stands for a path when its volume is asked: the path's nearest existing folder, as
// the path itself may not exist yet (or the full path itself when nothing above it exists). Empty
// when the path cannot be made absolute.
std::wstring VolumeQueryFolder(const std::string& path)
{
    if (path.empty())
        return {};
    const std::wstring full = FullPathW(WidePath(path.size() == 2 && path[1] == ':' ? path + "\\" : path));
    if (full.empty())
        return {};
    const std::wstring folder = NearestExistingFolder(full);
    return folder.empty() ? full : folder;
}

// What names the volume that holds a folder: its volume's own name ("\\?\Volume{...}\") where the
// system gives one, so that one volume reached through two mount points is one; else the root of the
// volume the folder lies on (a mount point inside a drive is a volume of its own). Empty when unknown.
std::wstring VolumeNameOfFolder(const std::wstring& folder)
{
    if (folder.empty())
        return {};
    std::wstring root = VolumeRootOf(folder);
    if (root.empty())
        return {};
    if (root.back() != L'\\')
        root += L'\\';
    wchar_t name[64];  // "\\?\Volume{GUID}\" is 49 characters
    if (GetVolumeNameForVolumeMountPointW(root.c_str(), name, static_cast<DWORD>(std::size(name))))
        return name;
    CharUpperBuffW(root.data(), static_cast<DWORD>(root.size()));
    return root;
}

} // namespace

std::optional<std::int64_t> FreeBytesForDestination(const std::string& destination)
{
    if (destination.empty())
        return std::nullopt;
    const std::wstring full = FullPathW(WidePath(destination));
    if (full.empty())
        return std::nullopt;

    if (const std::wstring folder = NearestExistingFolder(full); !folder.empty()) {
        if (auto bytes = QueryFreeBytes(folder))
            return bytes;
    }
    const std::wstring root = VolumeRootOf(full);
    if (root.empty())
        return std::nullopt;
    return QueryFreeBytes(root);
}

bool OnSameVolume(const std::string& path, const std::string& destination)
{
    const std::wstring mine = VolumeNameOfFolder(VolumeQueryFolder(path));
    return !mine.empty() && mine == VolumeNameOfFolder(VolumeQueryFolder(destination));
}

std::int64_t BytesToWrite(Operation operation, const std::string& destination, const std::vector<std::string>& sources,
                          const ScanTotals& scan)
{
    if (!RowOf(operation).movesSources || scan.items.size() != sources.size())
        return scan.byteTotal;
    std::int64_t counted = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (scan.items[i].path != sources[i])
            return scan.byteTotal;  // counted for another list: its items say nothing of this one
        counted += scan.items[i].bytes;
    }
    if (counted != scan.byteTotal)
        return scan.byteTotal;

    // Under Wine a volume's name takes about 2 ms to learn, and a source list may hold thousands of
    // files of one folder: each folder is asked once.
    const std::wstring target = VolumeNameOfFolder(VolumeQueryFolder(destination));
    std::map<std::wstring, bool> sameByFolder;
    std::int64_t toWrite = 0;
    for (const ScannedItem& item : scan.items) {
        if (item.bytes <= 0)
            continue;
        const std::wstring folder = VolumeQueryFolder(item.path);
        auto known = sameByFolder.find(folder);
        if (known == sameByFolder.end())
            known = sameByFolder.emplace(folder, !target.empty() && VolumeNameOfFolder(folder) == target).first;
        if (!known->second)
            toWrite += item.bytes;
    }
    return toWrite;
}

std::string DestinationDrivePart(const std::string& destination)
{
    if (IsDriveLetterPath(destination))
        return destination.substr(0, 2);
    if (StartsWith(destination, "\\\\?\\UNC\\")) {
        const std::size_t end = UncShareEnd(destination, 8);
        if (end != 0)
            return "\\\\" + destination.substr(8, end - 8);
    } else if (StartsWith(destination, "\\\\?\\") || StartsWith(destination, "\\\\.\\")) {
        if (IsDriveLetterPath(destination, 4))
            return destination.substr(4, 2);
    } else if (StartsWith(destination, "\\\\")) {
        const std::size_t end = UncShareEnd(destination, 2);
        if (end != 0)
            return destination.substr(0, end);
    }
    // A relative path: name the volume it resolves to.
    if (destination.empty())
        return {};
    const std::wstring full = FullPathW(WidePath(destination));
    if (full.empty())
        return {};
    std::wstring root = VolumeRootOf(full);
    while (root.size() > 2 && root.back() == L'\\')
        root.pop_back();
    // Only shown in the free-space question, never used as a path.
    return ShownCodePageText(root);
}
