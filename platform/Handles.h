#pragma once
#include <windows.h>

#include <utility>

// Move-only owners of Win32 handles: whoever holds one closes it.
template <typename Traits>
class UniqueWinHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueWinHandle() = default;
    explicit UniqueWinHandle(Handle h) : handle_(h) {}
    UniqueWinHandle(const UniqueWinHandle&) = delete;
    UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
    UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.handle_, Traits::Invalid()));
        return *this;
    }
    ~UniqueWinHandle() { Reset(); }

    Handle Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    void Reset(Handle h = Traits::Invalid())
    {
        if (Valid())
            Traits::Close(handle_);
        handle_ = h;
    }
    // Closes now and reports whether the close succeeded (a file's last write can fail here).
    bool Close()
    {
        if (!Valid())
            return true;
        const bool ok = Traits::Close(std::exchange(handle_, Traits::Invalid()));
        return ok;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return CloseHandle(h) != 0; }
};

// Events, threads and the like: their creators answer NULL, not INVALID_HANDLE_VALUE, on failure.
struct KernelObjectTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle h) { return CloseHandle(h) != 0; }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return FindClose(h) != 0; }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle h) { return DeleteObject(h) != 0; }
};

using UniqueFile = UniqueWinHandle<FileHandleTraits>;
using UniqueFind = UniqueWinHandle<FindHandleTraits>;
using UniqueKernelObject = UniqueWinHandle<KernelObjectTraits>;
using UniqueRegKey = UniqueWinHandle<RegistryKeyTraits>;
using UniqueGdiObject = UniqueWinHandle<GdiObjectTraits>;
