#include "engine/LinkOpenFile.h"

#include "engine/NewNameRecord.h"
#include "platform/LongPath.h"

#include <windows.h>

namespace {

// The system's own request for a second name of an open file; Win32 has none through a handle
// (CreateHardLink opens the file again by its name), so it is reached in ntdll.
struct IoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
constexpr int kFileLinkInformationClass = 11;
using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);
using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(LONG);

template <typename Fn>
Fn NtdllCall(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

} // namespace

bool LinkOpenFile(void* file, const std::string& to, bool replace)
{
    static const auto setInformation = NtdllCall<NtSetInformationFileFn>("NtSetInformationFile");
    static const auto toDosError = NtdllCall<RtlNtStatusToDosErrorFn>("RtlNtStatusToDosError");
    if (!setInformation || !toDosError) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    // The system's own form of the absolute path: "\??\" where Win32 writes "\\?\" (both for a drive
    // and for "\\?\UNC\...").
    std::wstring name = ExtendedPathW(WidePath(to));
    if (name.rfind(L"\\\\?\\", 0) != 0) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    name[1] = L'?';
    const NewNameRecord record(name, replace);
    IoStatusBlock io{};
    const LONG status = setInformation(file, &io, record.Data(), record.Size(), kFileLinkInformationClass);
    if (status >= 0)
        return true;
    SetLastError(toDosError(status));
    return false;
}

bool LinksRefusedBy(unsigned long error)
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}
