#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

// What a world holds, entry by entry, read through "\\?\" wide paths so that names the plain form
// would alter (a trailing dot or blank, a twin of another letter case) are read as they are listed.
namespace randomjobs {

inline std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

inline std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

inline std::wstring Extended(const std::string& path) { return L"\\\\?\\" + Wide(path); }

inline std::uint64_t Fnv(const void* data, std::size_t size, std::uint64_t hash = 14695981039346656037ull)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// The attributes a copy carries and a check compares (archive comes and goes with every write).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

struct Seen {
    enum Kind { File, Folder, Link } kind = File;
    std::int64_t size = 0;
    std::uint64_t content = 0;  // hash of the bytes
    std::uint64_t written = 0;  // last-write time, 100 ns steps
    DWORD attributes = 0;       // kKeptAttributes only
    DWORD links = 1;            // names of the file
    std::uint64_t id = 0;       // the file's index: two names of one file share it

    // What a file is, wherever it stands: its bytes, its time and its kept attributes.
    std::uint64_t Value() const
    {
        std::uint64_t v = content;
        v = Fnv(&written, sizeof written, v);
        return Fnv(&attributes, sizeof attributes, v);
    }
};

// Path below the root (UTF-8, "\\"-separated, exactly as listed) to what stands there.
using Snapshot = std::map<std::string, Seen>;

inline void ReadInto(const std::string& root, const std::string& prefix, Snapshot& snapshot)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((Extended(root) + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::string rel = prefix + Utf8(name);
        const std::string full = root + "\\" + Utf8(name);
        Seen& seen = snapshot[rel];
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            seen.kind = Seen::Link;  // never entered: what it leads to is seen where it stands
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            seen.kind = Seen::Folder;
            ReadInto(full, rel + "\\", snapshot);
            continue;
        }
        seen.attributes = entry.dwFileAttributes & kKeptAttributes;
        seen.written = (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                       entry.ftLastWriteTime.dwLowDateTime;
        HANDLE file = CreateFileW(Extended(full).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            seen.content = 1;  // unreadable: differs from every content
            continue;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(file, &info)) {
            seen.links = info.nNumberOfLinks;
            seen.id = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        }
        static char buffer[1 << 16];
        std::uint64_t hash = 14695981039346656037ull;
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            hash = Fnv(buffer, got, hash);
            seen.size += got;
        }
        seen.content = hash;
        CloseHandle(file);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

inline Snapshot Read(const std::string& root)
{
    Snapshot snapshot;
    ReadInto(root, "", snapshot);
    return snapshot;
}

} // namespace randomjobs
