#pragma once
#include "core/Operation.h"

#include <cstdint>
#include <string>
#include <utility>

// a * b / c with a 128-bit intermediate, truncated toward zero; saturates at the int64 range.
// c == 0 gives 0. Used where a product of two 64-bit counts can exceed 64 bits.
std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c);

// A 64-bit (maximum, position) pair scaled alike into the 32-bit range of a progress bar.
std::pair<int, int> ScaleForBar(std::int64_t maximum, std::int64_t position);

// Seconds still to go: (E*T/D - E + 50*(N - examined) + 500) / 1000, computed without overflow.
std::int64_t RemainingSeconds(std::int64_t elapsedMs, std::int64_t totalBytes, std::int64_t bytesSoFar,
                              std::int64_t totalFiles, std::int64_t filesSoFar);

// "Time Remaining 3m7s"; a negative estimate (more met than counted) reads 0m0s.
std::string TimeRemainingText(std::int64_t seconds);
// "52428800B/104857600B   --     12/30"
std::string OverallProgressText(std::int64_t bytesSoFar, std::int64_t totalBytes, std::int64_t filesSoFar,
                                std::int64_t totalFiles);
// The file line of the Progress section: "Copying <path>" (Copy and Cut), "Removing <path>" (to the
// trash), "Deleting <path>", "Crushing <path>".
std::string FileUnderWayText(Operation operation, const std::string& path);
// "Progress (50%)\n"
std::string ProgressPercentHeader(std::int64_t bytesSoFar, std::int64_t totalBytes);
// Without totals: "Spending 12s ", "5242880bytes of 3files copied.", "Progress (Dbytes of Nfiles scaned )\n"
std::string SpendingText(std::int64_t elapsedMs);
std::string CopiedSoFarText(std::int64_t bytesCopied, std::int64_t filesDone);
std::string ScannedSoFarHeader(std::int64_t bytesSoFar, std::int64_t filesSoFar);
// "  Speed 1234kbps" (bytes per millisecond); no time passed yet counts as one millisecond.
std::string SpeedText(std::int64_t bytesCopied, std::int64_t elapsedMs);
