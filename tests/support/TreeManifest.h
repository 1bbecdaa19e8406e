#pragma once
#include "platform/LongPath.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

// What a tree holds, entry by entry, to prove that a job left every file whole and where it belongs:
// each folder, and each file's size, content digest, last-write time and attributes.
namespace testsupport {

struct ManifestEntry {
    bool folder = false;
    std::int64_t size = 0;
    std::uint64_t digest = 0;   // FNV-1a of the contents
    std::uint64_t written = 0;  // last-write time, 100 ns steps
    DWORD attributes = 0;       // read-only, hidden, system and archive

    bool operator==(const ManifestEntry&) const = default;
};

// Relative path ("sub\name") to entry.
using Manifest = std::map<std::string, ManifestEntry>;

inline std::uint64_t Digest(const std::string& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

inline void AddToManifest(const std::string& root, const std::string& prefix, Manifest& manifest)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(WidePath(root + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name;
        for (const wchar_t* c = entry.cFileName; *c; ++c)
            name += static_cast<char>(*c);  // test trees use ASCII names
        if (name == "." || name == "..")
            continue;
        const std::string rel = prefix + name;
        ManifestEntry& item = manifest[rel];
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            item.folder = true;
            AddToManifest(root + "\\" + name, rel + "\\", manifest);
            continue;
        }
        item.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) |
                                              entry.nFileSizeLow);
        item.digest = Digest(ReadFileText(root + "\\" + name));
        item.written = (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                       entry.ftLastWriteTime.dwLowDateTime;
        item.attributes = entry.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

// Everything below root; empty when root is not there.
inline Manifest TreeManifest(const std::string& root)
{
    Manifest manifest;
    AddToManifest(root, "", manifest);
    return manifest;
}

// One line per entry, for failure messages.
inline std::string Describe(const Manifest& manifest)
{
    std::string text;
    for (const auto& [path, e] : manifest) {
        if (e.folder)
            text += path + "\\\n";
        else
            text += path + " size=" + std::to_string(e.size) + " digest=" + std::to_string(e.digest) +
                    " written=" + std::to_string(e.written) + " attributes=" + std::to_string(e.attributes) + "\n";
    }
    return text;
}

} // namespace testsupport
