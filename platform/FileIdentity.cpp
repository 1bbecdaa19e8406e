#include "platform/FileIdentity.h"

#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

std::wstring WithoutExtendedPrefix(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// Length of the root of an absolute path: 3 for "C:\", the whole "\\server\share" of a share.
std::size_t RootLength(const std::wstring& full)
{
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return 3;
    if (full.rfind(L"\\\\", 0) == 0) {
        const std::size_t afterServer = full.find(L'\\', 2);
        if (afterServer == std::wstring::npos)
            return full.size();
        const std::size_t afterShare = full.find(L'\\', afterServer + 1);
        return afterShare == std::wstring::npos ? full.size() : afterShare;
    }
    return 0;
}

std::wstring WithoutTrailingBackslash(std::wstring full)
{
    const std::size_t root = RootLength(full);
    while (full.size() > root && full.size() > 1 && full.back() == L'\\')
        full.pop_back();
    return full;
}

// The folder above, or empty at a root.
std::wstring ParentOf(const std::wstring& full)
{
    const std::size_t root = RootLength(full);
    if (root == 0 || full.size() <= root)
        return {};
    const std::size_t cut = full.rfind(L'\\');
    if (cut == std::wstring::npos || cut < root)
        return full.substr(0, root);
    return full.substr(0, cut);
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The "\\?\" form: a name ending in a dot or a blank is reached as spelt, never its twin without them.
std::wstring Openable(const std::wstring& full) { return ExtendedPathW(full); }

// Opened for its attributes only (backup semantics, so folders open too), links followed. When asked,
// also the path where the entry really lies, links resolved.
std::optional<FileIdentity> IdentityAt(const std::wstring& path, std::wstring* realPath = nullptr)
{
    if (path.empty())
        return std::nullopt;
    UniqueFile entry(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(entry.Get(), &info))
        return std::nullopt;
    // Some network file systems give every entry the index 0: that tells nothing apart.
    if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)
        return std::nullopt;
    if (realPath != nullptr) {
        const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
        const DWORD needed = GetFinalPathNameByHandleW(entry.Get(), nullptr, 0, flags);
        if (needed > 0) {
            std::wstring text(needed, L'\0');
            const DWORD length = GetFinalPathNameByHandleW(entry.Get(), text.data(), needed, flags);
            if (length > 0 && length < needed) {
                text.resize(length);
                *realPath = WithoutTrailingBackslash(WithoutExtendedPrefix(text));
            }
        }
    }
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::wstring FinalPathOf(HANDLE handle)
{
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD needed = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (needed == 0)
        return {};
    std::wstring text(needed, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, text.data(), needed, flags);
    if (length == 0 || length >= needed)
        return {};
    text.resize(length);
    return WithoutTrailingBackslash(WithoutExtendedPrefix(text));
}

std::wstring LastPart(const std::wstring& path)
{
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// Whether the open file's path within its volume (one request, where the final path with its drive
// letter costs several) is the absolute path `full` without its drive.
bool NamedWithinVolume(HANDLE handle, const std::wstring& full)
{
    std::size_t rootEnd;
    if (full.size() >= 2 && full[1] == L':')
        rootEnd = 2;  // "C:\dir\file": the volume names "\dir\file"
    else if (full.rfind(L"\\", 0) == 0)
        rootEnd = 1;  // "\\server\share\file": the volume names "\server\share\file"
    else
        return false;
    const std::size_t wanted = full.size() - rootEnd;
    const std::size_t size = sizeof(FILE_NAME_INFO) + (wanted + 8) * sizeof(wchar_t);
    const auto buffer = std::make_unique<std::uint64_t[]>(size / sizeof(std::uint64_t) + 1);
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.get());
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, info, static_cast<DWORD>(size)))
        return false;  // longer than the listed path, or not told
    const int length = static_cast<int>(info->FileNameLength / sizeof(wchar_t));
    return CompareStringOrdinal(info->FileName, length, full.c_str() + rootEnd, static_cast<int>(wanted), TRUE) ==
           CSTR_EQUAL;
}

// Whether the open file's own name, as the system keeps it for the handle, is the absolute path
// `full` in the system's own form (behind a question-mark prefix): drive and all, so stricter than
// the path within the volume. Wine keeps that form, resolved as the path within the volume is (links
// followed, letter case as on disk), and tells it in one request to its server, where the path
// within the volume costs two (the file's descriptor first, then the name). Windows names the volume's device instead ("\Device\HarddiskVolume3\..."):
// after the first such answer the question is no longer asked. False tells nothing either way.
bool NamedAsObject(HANDLE handle, const std::wstring& full)
{
    struct ObjectName {
        USHORT length;
        USHORT maximumLength;
        PWSTR buffer;
    };
    using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kObjectNameInformation = 1;
    static const auto query = reinterpret_cast<NtQueryObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    static std::atomic<bool> deviceNames{false};
    if (query == nullptr || deviceNames || full.size() < 3 || full[1] != L':')
        return false;
    const std::size_t size = sizeof(ObjectName) + (full.size() + 16) * sizeof(wchar_t);
    const auto buffer = std::make_unique<std::uint64_t[]>(size / sizeof(std::uint64_t) + 1);
    auto* name = reinterpret_cast<ObjectName*>(buffer.get());
    ULONG returned = 0;
    if (query(handle, kObjectNameInformation, name, static_cast<ULONG>(size), &returned) < 0 || name->buffer == nullptr)
        return false;  // longer than the listed path, or not told
    const std::wstring_view told(name->buffer, name->length / sizeof(wchar_t));
    constexpr std::wstring_view prefix = L"\\?" L"?\\";  // kept apart: not read as a trigraph
    if (told.substr(0, prefix.size()) != prefix) {
        if (told.rfind(L"\\Device\\", 0) == 0)
            deviceNames = true;
        return false;
    }
    const std::wstring_view rest = told.substr(prefix.size());
    return CompareStringOrdinal(rest.data(), static_cast<int>(rest.size()), full.c_str(), static_cast<int>(full.size()),
                                TRUE) == CSTR_EQUAL;
}

// The listed path as spelt (absolute, without the prefix and a trailing backslash) and, where the
// system reads its text otherwise (a name ending in a dot or a blank), the path that reading gives: where
// a twin without them lies.
struct ListedForms {
    std::wstring exact;
    std::wstring plain;  // empty when the system reads the text as spelt
};

std::wstring ExactFull(const std::string& path)
{
    if (path.empty())
        return {};
    return WithoutTrailingBackslash(ExactFullPathW(WidePath(path)));
}

ListedForms FormsOf(const std::string& listedPath)
{
    ListedForms forms{ExactFull(listedPath), ResolvedFullPath(listedPath)};
    if (forms.plain == forms.exact)  // letter case is kept by both: compared exactly
        forms.plain.clear();
    return forms;
}

// Whether the entry at `full`, reached as spelt, is the open file itself.
bool IsTheFileAt(HANDLE handle, const std::wstring& full)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    const std::optional<FileIdentity> there = IdentityAt(Openable(full));
    return there && *there == FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The open file is also the twin its listed name reads as without a closing dot or blank: the listed
// entry when the file has more than one name and an entry of exactly the listed name is this file.
// With one name only, one of the two entries is a link that leads to it, and the open may have come
// through it. Windows tells the listed name itself, so only systems that trim the names they tell
// (Wine) come here; there a host link spelt as its target plus a dot, to a file with other names
// elsewhere, cannot be told from a second name: its target then keeps those other names.
bool AlsoNamedAsListed(HANDLE handle, const std::wstring& exact)
{
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) ||
        standard.NumberOfLinks < 2)
        return false;
    WIN32_FIND_DATAW entry;
    return FindExactEntry(Openable(exact), entry) && IsTheFileAt(handle, exact);
}

// The system may tell the name of an open file as the plain form spells it: Wine tells `report.doc `
// opened as spelt as `report.doc`. That name is the listed one only when the twin it also names is not
// the open file (then it came through a link or a second name of the twin).
bool NamedAsPlainForm(HANDLE handle, const ListedForms& forms)
{
    return !forms.plain.empty() && NamedWithinVolume(handle, forms.plain) && !IsTheFileAt(handle, forms.plain);
}

// The path as the entry it names: as spelt where an entry has exactly that name, else as the system
// reads the text (a typed "D:\a." names D:\a).
std::wstring EntryFullPath(const std::string& path)
{
    const std::wstring exact = ExactFull(path);
    if (!exact.empty() && GetFileAttributesW(Openable(exact).c_str()) != INVALID_FILE_ATTRIBUTES)
        return exact;
    const std::wstring plain = ResolvedFullPath(path);
    return plain.empty() ? exact : plain;
}

} // namespace

bool HandleNamedAsListed(HANDLE handle, const std::string& listedPath)
{
    const ListedForms forms = FormsOf(listedPath);
    return NamedWithinVolume(handle, forms.exact) || NamedAsPlainForm(handle, forms);
}

bool SameFileByFacts(const HandleFacts& one, const HandleFacts& other)
{
    if (one.volumeSerial != other.volumeSerial)
        return false;
    const bool indexed = (one.indexHigh | one.indexLow) != 0 && (other.indexHigh | other.indexLow) != 0;
    if (indexed)
        return one.indexHigh == other.indexHigh && one.indexLow == other.indexLow;
    return !one.finalPath.empty() && !other.finalPath.empty() && SameText(one.finalPath, other.finalPath);
}

bool ReadHandleFacts(HANDLE handle, HandleFacts& facts, bool withPath)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    facts.volumeSerial = info.dwVolumeSerialNumber;
    facts.indexHigh = info.nFileIndexHigh;
    facts.indexLow = info.nFileIndexLow;
    if (withPath)
        facts.finalPath = FinalPathOf(handle);
    return true;
}

bool HandleIsListedEntry(HANDLE handle, const std::string& listedPath)
{
    const ListedForms forms = FormsOf(listedPath);
    if (NamedAsObject(handle, forms.exact) || NamedWithinVolume(handle, forms.exact))
        return true;  // the common case, in one request
    // A name ending in a dot or a blank: the file opened must not be its twin without them, unless
    // both are names of one file (hard links).
    if (!forms.plain.empty() && IsTheFileAt(handle, forms.plain))
        return AlsoNamedAsListed(handle, forms.exact);
    if (NamedAsPlainForm(handle, forms))
        return true;
    const std::wstring real = FinalPathOf(handle);
    if (real.empty() || forms.exact.empty())
        return true;  // nothing to compare with: the attribute checks before the open are all there is
    const auto named = [&real](const std::wstring& listed) { return !listed.empty() && SameText(real, listed); };
    if (named(forms.exact) || named(forms.plain))
        return true;
    const auto endsIn = [&real](const std::wstring& listed) {
        return !listed.empty() && SameText(LastPart(real), LastPart(listed));
    };
    if (!endsIn(forms.exact) && !endsIn(forms.plain))
        return false;
    const std::optional<FileIdentity> finalFolder = IdentityAt(Openable(ParentOf(real)));
    const std::optional<FileIdentity> listedFolder = IdentityAt(Openable(ParentOf(forms.exact)));
    return !finalFolder || !listedFolder || *finalFolder == *listedFolder;
}

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    if (std::optional<FileIdentity> identity = IdentityAt(WidePath(path)))
        return identity;
    // A spelling the system reads otherwise ("D:\a." typed for D:\a) names what it reads.
    const ListedForms forms = FormsOf(path);
    if (forms.plain.empty())
        return std::nullopt;
    return IdentityAt(Openable(forms.plain));
}

bool IsSameEntry(const std::string& first, const std::string& second)
{
    const std::optional<FileIdentity> one = IdentityOf(first);
    if (!one)
        return false;
    const std::optional<FileIdentity> other = IdentityOf(second);
    return other && *one == *other;
}

std::wstring ResolvedFullPath(const std::string& path)
{
    if (path.empty())
        return {};
    const std::wstring full = ResolvedPathW(path);
    if (full.empty())
        return {};
    return WithoutTrailingBackslash(WithoutExtendedPrefix(full));
}

ResolvedPlace::ResolvedPlace(const std::string& path)
{
    const std::wstring full = EntryFullPath(path);
    if (full.empty())
        return;
    // The folders the text goes through. The first that exists also tells where it really lies.
    std::wstring firstExisting, realPath;
    for (std::wstring level = full; !level.empty(); level = ParentOf(level)) {
        const bool first = firstExisting.empty();
        std::optional<FileIdentity> identity = IdentityAt(Openable(level), first ? &realPath : nullptr);
        if (identity && first)
            firstExisting = level;
        levels_.push_back({level, identity});
    }
    // A link on the way: the folders above the real place are other folders than those above the text.
    if (realPath.empty() || SameText(realPath, firstExisting))
        return;
    for (std::wstring level = ParentOf(realPath); !level.empty(); level = ParentOf(level))
        levels_.push_back({level, IdentityAt(Openable(level))});
}

bool ResolvedPlace::IsOrLiesInside(const std::string& folder) const
{
    const std::optional<FileIdentity> identity = IdentityOf(folder);
    const std::wstring full = EntryFullPath(folder);
    for (const Level& level : levels_) {
        if (level.identity && identity) {
            if (*level.identity == *identity)
                return true;
        } else if (!full.empty() && SameText(level.path, full)) {
            return true;
        }
    }
    return false;
}
