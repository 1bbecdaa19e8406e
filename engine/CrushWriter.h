#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// Crush's overwrite: the file's 256-byte block grid, counted from its end, is overwritten with 0xFF
// from the end towards the start, the piece at offset 0 (1 to 256 bytes) last, in one pass. Many
// blocks go into one write: one system call per block makes a large crush take minutes.

constexpr std::int64_t kCrushBlock = 256;
// Bytes per write: a whole number of blocks, so every write but the last covers whole blocks of the grid.
constexpr std::int64_t kCrushWriteSize = 4096 * kCrushBlock;  // 1 MiB

// Overwrites the first `length` bytes of the open file. `onBlocks` is told the number of blocks
// (the piece at offset 0 counting as one) done after every write. Returns 0 or the Win32 error of
// the first seek or write that failed; nothing is written after a failure.
DWORD OverwriteWithOnes(HANDLE file, const std::string& path, std::int64_t length,
                        const std::function<void(std::int64_t blocksDone)>& onBlocks);

// Sees every overwrite before it is made: the file's current path, the offset and the bytes.
// Answering false makes that write fail as a full disk would, so tests reach the failure path.
using CrushWriteObserver =
    std::function<bool(const std::string& path, std::int64_t offset, const unsigned char* data, std::uint32_t length)>;

// For tests: installs the observer (an empty function removes it). Jobs never set one.
void SetCrushWriteObserver(CrushWriteObserver observer);
