#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/progress.h"

// Copies source to destination with the contract of a restartable CopyFileExA: the progress
// callback runs after every chunk with (total, transferred); Cancel removes the partial copy and
// fails with ERROR_REQUEST_ABORTED; Stop keeps it and fails with ERROR_REQUEST_ABORTED, and the next
// copy of the same pair continues from where it stopped. The copy is written under a temporary name
// beside the destination and takes the final name (replacing an existing file) only when complete,
// with the source's attributes and last-write time. Returns 0 or the Win32 error code.
using CopyProgressFn = std::function<CopyProgressAnswer(std::int64_t total, std::int64_t transferred)>;
unsigned long CopyFileWithProgress(const std::string& source, const std::string& destination,
                                   const CopyProgressFn& progress);

// The temporary name a copy to destination is written under until it is complete.
std::string PartialCopyName(const std::string& destination);

// Bytes read and written per step, and so per progress call. 64 KiB to 256 KiB measured alike on
// these machines (256 KiB steadiest); 1 MiB and 4 MiB were erratic.
constexpr std::int64_t kCopyChunk = 256 * 1024;
