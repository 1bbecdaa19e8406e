#include "platform/LongPath.h"

#include "platform/CodePageText.h"
#include "platform/Handles.h"

#include <vector>

namespace {

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// "\\?\..." is taken by the system as it stands, "\\.\..." names a device: neither is folded.
bool IsLiteralForm(const std::wstring& path) { return StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"); }

bool IsAbsolute(const std::wstring& path)
{
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]))
        return true;
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (path.size() > 3 && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

// The exact and the plain (system-resolved) absolute forms of an absolute path, each without a
// trailing backslash but at a drive's root. The plain one is empty when the system gives none.
struct TwoForms {
    std::wstring exact, plain;
    bool Differ() const { return exact != plain; }  // letter case is kept by both: compared exactly
};

TwoForms FormsOf(const std::wstring& wide)
{
    return {WithoutTrailingSeparators(ExactFullPathW(wide)), WithoutTrailingSeparators(FullPathW(wide))};
}

bool ExactEntryExists(const std::wstring& exact)
{
    return GetFileAttributesW(ExtendedPathW(exact).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameName(const wchar_t* listed, const std::wstring& wanted)
{
    return CompareStringOrdinal(listed, -1, wanted.c_str(), static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::wstring FullPathW(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

std::wstring ResolvedPathW(const std::string& path) { return path.empty() ? std::wstring() : FullPathW(Widen(path)); }

// Folded here, never by GetFullPathNameW: that trims trailing dots and blanks off every name (Wine's
// does so even in the "\\?\" form, which Windows' leaves alone).
std::wstring ExactFullPathW(const std::wstring& path)
{
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWith(path, L"\\\\?\\"))
        return path.substr(4);
    if (StartsWith(path, L"\\\\.\\") || !IsAbsolute(path))
        return FullPathW(path);

    std::wstring root;
    std::size_t at = 0;
    if (path[1] == L':') {
        root = path.substr(0, 2) + L"\\";
        at = 3;
    } else {
        // "\\server\share": both names are needed, and ".." never climbs above them.
        std::size_t serverEnd = 2;
        while (serverEnd < path.size() && !IsSeparator(path[serverEnd]))
            ++serverEnd;
        std::size_t shareEnd = serverEnd + 1;
        while (shareEnd < path.size() && !IsSeparator(path[shareEnd]))
            ++shareEnd;
        if (serverEnd == 2 || serverEnd >= path.size() || shareEnd == serverEnd + 1)
            return FullPathW(path);
        root = L"\\\\" + path.substr(2, serverEnd - 2) + L"\\" + path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        at = shareEnd;
    }
    std::vector<std::wstring> names;
    while (at < path.size()) {
        while (at < path.size() && IsSeparator(path[at]))
            ++at;
        std::size_t end = at;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::wstring name = path.substr(at, end - at);
        if (name == L"..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        at = end;
    }
    std::wstring full = root;
    for (const std::wstring& name : names) {
        if (full.back() != L'\\')
            full += L'\\';
        full += name;
    }
    return full;
}

std::wstring ExtendedPathW(const std::wstring& path)
{
    if (IsLiteralForm(path))
        return path;
    const std::wstring full = ExactFullPathW(path);
    if (full.empty())
        return path;
    if (IsLiteralForm(full))
        return full;
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string AbsolutePathText(const std::string& path)
{
    if (path.empty())
        return {};
    const std::wstring wide = Widen(path);
    std::wstring full = FullPathW(wide);
    if (full.empty())
        return {};
    if (IsAbsolute(wide) && !IsLiteralForm(wide)) {
        const TwoForms forms = FormsOf(wide);
        if (forms.Differ() && ExactEntryExists(forms.exact))
            full = forms.exact;
    }
    return ExactCodePageText(full).value_or(std::string());
}

std::string EntryPathText(const std::string& path)
{
    const std::wstring wide = Widen(path);
    if (!IsAbsolute(wide) || IsLiteralForm(wide))
        return path;
    const TwoForms forms = FormsOf(wide);
    if (!forms.Differ() || forms.plain.empty() || ExactEntryExists(forms.exact))
        return path;
    return ExactCodePageText(forms.plain).value_or(path);
}

bool PlainFormAlters(const std::string& path)
{
    const std::wstring wide = Widen(path);
    if (IsLiteralForm(wide))
        return true;  // the plain form cannot spell it at all
    if (!IsAbsolute(wide))
        return false;  // read by the system either way
    const TwoForms forms = FormsOf(wide);
    return forms.plain.empty() || forms.Differ();
}

std::wstring WidePath(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (IsLiteralForm(wide))
        return wide;
    // A relative text is the system's to read; made absolute by it only where the plain form would
    // be too long (below this it works everywhere: CreateDirectory's limit is MAX_PATH - 12).
    if (!IsAbsolute(wide) && wide.size() < MAX_PATH - 12)
        return wide;
    return ExtendedPathW(wide);
}

DWORD PathAttributes(const std::string& path) { return GetFileAttributesW(WidePath(path).c_str()); }

bool SetPathAttributes(const std::string& path, DWORD attributes)
{
    return SetFileAttributesW(WidePath(path).c_str(), attributes) != 0;
}

bool DeletePath(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != 0; }

bool MovePath(const std::string& from, const std::string& to, DWORD flags)
{
    return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags) != 0;
}

bool CreateFolderPath(const std::string& path) { return CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0; }

HANDLE OpenPath(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    return CreateFileW(WidePath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

bool FindExactEntry(const std::wstring& path, WIN32_FIND_DATAW& entry)
{
    const std::size_t cut = path.find_last_of(L"\\/");
    const std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    // A pattern names no single entry: the search would report whatever fits it.
    if (name.empty() || name.find_first_of(L"*?<>\"") != std::wstring::npos)
        return false;
    UniqueFind find(FindFirstFileW(path.c_str(), &entry));
    if (!find)
        return false;
    do {
        if (SameName(entry.cFileName, name) || (entry.cAlternateFileName[0] && SameName(entry.cAlternateFileName, name)))
            return true;
    } while (FindNextFileW(find.Get(), &entry));
    return false;
}
