#pragma once
#include <windows.h>

#include <string>

// Other ways to name an entry than its plain path: folder links made for a test (removed, the link
// only, at its end: declare them after the TempFolder they live in, so that they go first), and the
// short (8.3) name the system gives a path.
namespace testsupport {

// The short form of an existing path, or empty when the system gives it none that differs.
inline std::string ShortPathOf(const std::string& path)
{
    const DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::string text(needed, '\0');
    const DWORD length = GetShortPathNameA(path.c_str(), text.data(), needed);
    if (length == 0 || length >= needed)
        return {};
    text.resize(length);
    return text == path ? std::string() : text;
}

// Folder links. Under Wine CreateSymbolicLinkA reports success and makes nothing, and a host program
// started through CreateProcess cannot be waited on, so there the link is made by the host system's
// own symlink call on the Unix path that Wine names; on Windows CreateSymbolicLinkA does it.
using UnixNameOf = char*(__cdecl*)(const wchar_t*);

inline UnixNameOf WineUnixNames()
{
    return reinterpret_cast<UnixNameOf>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

inline std::string UnixPath(UnixNameOf unixName, const std::string& path)
{
    const std::wstring wide(path.begin(), path.end());  // the temporary folder's path is plain ASCII
    char* name = unixName(wide.c_str());
    if (name == nullptr)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

#if defined(__i386__)
inline long HostSyscall(long number, const char* first, const char* second)
{
    long result;
    asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(first), "c"(second) : "memory");
    return result;
}
#endif

inline bool MakeFolderLink(const std::string& link, const std::string& target)
{
    if (UnixNameOf unixName = WineUnixNames()) {
#if defined(__i386__)
        const std::string unixTarget = UnixPath(unixName, target), unixLink = UnixPath(unixName, link);
        return !unixTarget.empty() && !unixLink.empty() &&
               HostSyscall(83 /* symlink */, unixTarget.c_str(), unixLink.c_str()) == 0;
#else
        return false;
#endif
    }
    // Without the privilege, Windows 10 and later make the link in developer mode when asked to;
    // older versions refuse that flag, so they are asked once more without it.
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | kUnprivileged) ||
           CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
}

// A file link, made the same way. Under Wine it then shows as a plain file, and opening it opens what
// it points to. False when no link could be made.
inline bool MakeFileLink(const std::string& link, const std::string& target)
{
    if (UnixNameOf unixName = WineUnixNames()) {
#if defined(__i386__)
        const std::string unixTarget = UnixPath(unixName, target), unixLink = UnixPath(unixName, link);
        return !unixTarget.empty() && !unixLink.empty() &&
               HostSyscall(83 /* symlink */, unixTarget.c_str(), unixLink.c_str()) == 0;
#else
        return false;
#endif
    }
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), kUnprivileged) ||
           CreateSymbolicLinkA(link.c_str(), target.c_str(), 0);
}

inline void RemoveFolderLink(const std::string& link)
{
    if (UnixNameOf unixName = WineUnixNames()) {
#if defined(__i386__)
        const std::string unixLink = UnixPath(unixName, link);
        if (!unixLink.empty())
            HostSyscall(10 /* unlink */, unixLink.c_str(), nullptr);
#endif
        return;
    }
    RemoveDirectoryA(link.c_str());
}

// A folder link, removed (the link only) at the end of the test.
class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target) : link_(link)
    {
        MakeFolderLink(link, target);
        const DWORD attributes = GetFileAttributesA(link.c_str());
        made_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;
    ~FolderLink()
    {
        if (made_)
            RemoveFolderLink(link_);
    }
    bool Made() const { return made_; }

private:
    std::string link_;
    bool made_ = false;
};

} // namespace testsupport
