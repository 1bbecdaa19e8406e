#include "platform/LongPath.h"

#include "platform/CodePageText.h"

namespace {

// Below this the plain form works everywhere (CreateDirectory's limit is MAX_PATH - 12).
constexpr std::size_t kPlainLimit = MAX_PATH - 12;

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
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

// "\\?\" turns off the system's normalisation, so the path is made absolute and clean first.
std::wstring ExtendedPathW(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    const std::wstring full = FullPathW(path);
    if (full.empty())
        return path;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string AbsolutePathText(const std::string& path)
{
    if (path.empty())
        return {};
    const std::wstring full = FullPathW(Widen(path));
    if (full.empty())
        return {};
    return ExactCodePageText(full).value_or(std::string());
}

std::wstring WidePath(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (wide.size() < kPlainLimit || wide.rfind(L"\\\\?\\", 0) == 0)
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
