#pragma once
#include "engine/JobContext.h"

#include <cstdint>
#include <string>

// Carries out one operation on one accepted file: copy, cut, move to trash, delete or crush.
// Counts each success and failure in the job state and logs each failure with the system's text.
void DoFileOperation(JobContext& job, const std::string& source, const std::string& destination,
                     std::int64_t size, int operation);

// One failure line for a file that is not acted on at all, worded as the operation's own failure
// with the system's text for the code, and one failure counted.
void LogUnreachableFile(JobContext& job, const std::string& source, const std::string& destination, int operation,
                        unsigned long errorCode);
