#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// Small whole-file reads and writes on 8-bit paths of any length.

struct FileHead {
    std::string bytes;
    bool whole = true;  // false when the file holds more than was read
};

// The first `limit` bytes of the file; nothing when it cannot be opened or read (GetLastError says
// why: ERROR_FILE_NOT_FOUND for a missing file).
std::optional<FileHead> ReadFileHead(const std::string& path, std::size_t limit);

// Gives the file exactly these bytes, or leaves it as it was: the bytes go to a new file beside it,
// which then takes the old one's place in one step. Returns 0 or the Win32 error code; on failure
// the new file is removed and the old one is untouched.
DWORD ReplaceFileBytes(const std::string& path, const std::string& bytes);
