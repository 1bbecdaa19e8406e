#pragma once
#include <windows.h>

#include <string>

// The file calls of the copy routine and the file operations, on 8-bit paths of any length.
// The 8-bit (A) calls stop at MAX_PATH (Wine answers 206), so the path is widened from the process
// code page (as the A calls themselves would) and given the "\\?\" form. Results and GetLastError are
// those of the wide calls.
//
// Two kinds of path meet here. A name the program met in a listing (a folder and a listed name, at any
// depth) is reached exactly as listed: the plain form would trim a trailing dot or blank off it and so
// reach another entry (`report.doc ` and `notes.txt.` can lie beside `report.doc` and `notes.txt`:
// other systems make such names, and they arrive over shares and in archives). Every file call below
// therefore takes the exact form. A text the user typed is resolved once, where it enters, as the
// system resolves it ("D:\a." names D:\a): ResolvedPathW, AbsolutePathText, EntryPathText.

// The form every file call takes: an absolute path in the "\\?\" form with only separators, "." and
// ".." folded, each name as spelt; a relative one as it stands (the system resolves it).
std::wstring WidePath(const std::string& path);

// The absolute, clean form of a path as the system resolves it (".", "..", trailing dots and blanks
// gone); empty when the system cannot make it absolute.
std::wstring FullPathW(const std::wstring& path);
// The same for an 8-bit text: how the system reads a typed path.
std::wstring ResolvedPathW(const std::string& path);
// The absolute form of a path with only separators, "." and ".." folded: every name stays as spelt,
// trailing dots and blanks too. A relative path is made absolute by the system (and so resolved).
std::wstring ExactFullPathW(const std::wstring& path);
// The absolute "\\?\" form of ExactFullPathW: every entry below it is reachable however deep the tree
// goes, and names the plain form would alter are reached as spelt. The path itself when it cannot be
// made absolute.
std::wstring ExtendedPathW(const std::wstring& path);
// The absolute form of an 8-bit path: as spelt where an entry has exactly that name, else resolved
// against this process's current folder and drives as the system does; empty when the system cannot
// make it absolute or the code page cannot hold the result exactly.
std::string AbsolutePathText(const std::string& path);
// A path that names an entry, given from outside the walk (a source as typed, dropped or handed over):
// as it stands where an entry has exactly that name, else as the system resolves it when that differs
// ("D:\a." for D:\a), else as it stands.
std::string EntryPathText(const std::string& path);
// True when the plain form of the path (what the system makes of its text) names another place than
// the path as spelt: a part of it ends in a dot or a blank that the system trims. Calls that take only
// the plain form (the shell's) cannot reach such an entry, and would reach its twin instead.
bool PlainFormAlters(const std::string& path);

DWORD PathAttributes(const std::string& path);  // INVALID_FILE_ATTRIBUTES when nothing is there
bool SetPathAttributes(const std::string& path, DWORD attributes);
bool DeletePath(const std::string& path);
bool MovePath(const std::string& from, const std::string& to, DWORD flags);
bool CreateFolderPath(const std::string& path);  // one folder, its parent must exist
HANDLE OpenPath(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);

// The directory entry of exactly the named file or folder (the last part of `path`, in the "\\?\" form
// of WidePath), not another that a search for that name also fits: where the system reads a name
// ending in a dot as a pattern, `notes.txt.` fits `notes.txt` as well. Letter case and the entry's short
// name count as the same name. False when there is none.
bool FindExactEntry(const std::wstring& path, WIN32_FIND_DATAW& entry);

// An existing entry that is a folder or a link (reparse point): never opened or deleted as a file.
inline bool IsFolderOrLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}
