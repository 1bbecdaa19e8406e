#pragma once
#include <windows.h>

#include <string>

// The file calls of the copy routine and the file operations, on 8-bit paths of any length.
// The 8-bit (A) calls stop at MAX_PATH (Wine answers 206), so the path is widened from the process
// code page (as the A calls themselves would) and, when too long for the plain form, normalised and
// given the "\\?\" prefix. Results and GetLastError are those of the wide calls.

std::wstring WidePath(const std::string& path);

// The absolute, clean form of a path as the system resolves it (".", "..", trailing dots and blanks
// gone); empty when the system cannot make it absolute.
std::wstring FullPathW(const std::wstring& path);
// The absolute "\\?\" form: every entry below it is reachable however deep the tree goes, and names
// the plain form would alter are reached as listed. The path itself when it cannot be made absolute.
std::wstring ExtendedPathW(const std::wstring& path);
// The absolute form of an 8-bit path, resolved against this process's current folder and drives;
// empty when the system cannot make it absolute or the code page cannot hold the result exactly.
std::string AbsolutePathText(const std::string& path);

DWORD PathAttributes(const std::string& path);  // INVALID_FILE_ATTRIBUTES when nothing is there
bool SetPathAttributes(const std::string& path, DWORD attributes);
bool DeletePath(const std::string& path);
bool MovePath(const std::string& from, const std::string& to, DWORD flags);
bool CreateFolderPath(const std::string& path);  // one folder, its parent must exist
HANDLE OpenPath(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);

// An existing entry that is a folder or a link (reparse point): never opened or deleted as a file.
inline bool IsFolderOrLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}
