#pragma once
#include <windows.h>

#include "platform/LongPath.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
namespace testsupport {

// Removes a tree of any depth (wide calls: the 8-bit ones stop at 260 characters, and names the code
// page cannot hold have no 8-bit path).
inline void RemoveTreeW(const std::wstring& wide)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((wide + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = wide + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTreeW(full);
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(full.c_str());  // a link: remove the link, never what it points to
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(wide.c_str());
}

// The "\\?\" form reaches every level however deep the tree goes.
inline void RemoveTree(const std::string& path) { RemoveTreeW(ExtendedPathW(WidePath(path))); }

class TempFolder {
public:
    TempFolder() : TempFolder(SystemTemp()) {}
    // A fresh folder in base (with its closing backslash) instead; base must exist.
    explicit TempFolder(const std::string& base)
    {
        static unsigned counter = 0;
        for (;;) {
            path_ = base + "orvtest_" + std::to_string(GetCurrentProcessId()) + "_" +
                    std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
            if (GetLastError() != ERROR_ALREADY_EXISTS) {
                path_.clear();  // base is not there: nothing to make, nothing to remove
                break;
            }
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        if (!path_.empty())
            RemoveTree(path_);
    }

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    static std::string SystemTemp()
    {
        char base[MAX_PATH + 1] = {};
        GetTempPathA(sizeof base, base);
        return base;
    }

    std::string path_;
};

// Whole-file writes and reads, and what is there, through the wide calls so deep trees work too.
inline bool WriteFileText(const std::string& path, const std::string& content)
{
    HANDLE file = OpenPath(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

inline std::string ReadFileText(const std::string& path)
{
    HANDLE file = OpenPath(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content;
    std::string buffer(1 << 16, '\0');
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        content.append(buffer.data(), got);
    CloseHandle(file);
    return content;
}

inline bool Exists(const std::string& path) { return PathAttributes(path) != INVALID_FILE_ATTRIBUTES; }

inline bool IsFolder(const std::string& path)
{
    const DWORD a = PathAttributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool IsLink(const std::string& path)
{
    const DWORD a = PathAttributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Every entry below root, sorted, one a line: "name\" for a folder, "name@" for a link (not entered),
// "name=content" for a file. Test trees use ASCII names.
inline void ListTreeInto(const std::string& root, const std::string& prefix, std::vector<std::string>& lines)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(WidePath(root + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name;
        for (const wchar_t* c = entry.cFileName; *c; ++c)
            name += static_cast<char>(*c);
        if (name == "." || name == "..")
            continue;
        const std::string rel = prefix + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            lines.push_back(rel + "@");
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines.push_back(rel + "\\");
            ListTreeInto(root + "\\" + name, rel + "\\", lines);
        } else {
            lines.push_back(rel + "=" + ReadFileText(root + "\\" + name));
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

inline std::string Tree(const std::string& root)
{
    std::vector<std::string> lines;
    ListTreeInto(root, "", lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Makes entries below root in the form Tree() lists them, in order: "name\\" a folder,
// "name=content" a file. False at the first entry that cannot be made.
inline bool MakeTree(const std::string& root, std::initializer_list<std::string> entries)
{
    for (const std::string& entry : entries) {
        const bool made = entry.back() == '\\'
                              ? CreateDirectoryW(WidePath(root + "\\" + entry.substr(0, entry.size() - 1)).c_str(), nullptr) != 0
                              : WriteFileText(root + "\\" + entry.substr(0, entry.find('=')), entry.substr(entry.find('=') + 1));
        if (!made)
            return false;
    }
    return true;
}

// Sets the file's last-write time from a UTC FILETIME value.
inline bool SetWriteTime(const std::string& path, std::uint64_t fileTime)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME ft{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    const BOOL ok = SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
    return ok != 0;
}

} // namespace testsupport
