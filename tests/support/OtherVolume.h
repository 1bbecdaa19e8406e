#pragma once
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <memory>
#include <string>

// A fresh folder on another volume than the one of the system's temporary folder, for the paths of a
// job that cannot move a file by rename. Under Wine a tmpfs such as /dev/shm (Z:\dev\shm) is another
// file system than the disk. The place is taken only when the system says so itself: a rename of a
// file from the temporary folder into it is refused with ERROR_NOT_SAME_DEVICE.
namespace testsupport {

inline constexpr char kOtherVolumeBase[] = "Z:\\dev\\shm\\";

// Null when there is no such volume here (then the caller skips, saying so).
inline std::unique_ptr<TempFolder> FolderOnAnotherVolume(const TempFolder& nearby)
{
    auto folder = std::make_unique<TempFolder>(kOtherVolumeBase);
    if (folder->Path().empty())
        return nullptr;
    const std::string probe = nearby / "volume-probe";
    if (!WriteFileText(probe, "probe"))
        return nullptr;
    const BOOL moved = MoveFileExA(probe.c_str(), (*folder / "volume-probe").c_str(), 0);
    const DWORD error = moved ? 0 : GetLastError();
    DeleteFileA(probe.c_str());
    DeleteFileA((*folder / "volume-probe").c_str());
    if (error != ERROR_NOT_SAME_DEVICE)
        return nullptr;
    return folder;
}

} // namespace testsupport
