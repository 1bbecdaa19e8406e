#pragma once
#include "engine/JobContext.h"

#include <cstdint>
#include <string>

// Carries out the job's operation on one accepted file: copy, cut, move to trash, delete or crush.
// Counts each success and failure in the job state and logs each failure with the system's text.
// `attributes`: the file's attributes where the caller has them at hand (the walk's entry), which
// spares looking them up again; INVALID_FILE_ATTRIBUTES when not known.
void DoFileOperation(JobContext& job, const std::string& source, const std::string& destination,
                     std::int64_t size, DWORD attributes = INVALID_FILE_ATTRIBUTES);

// One failure line for a file that is not acted on at all, worded as the operation's own failure
// with the system's text for the code, and one failure counted.
void LogUnreachableFile(JobContext& job, const std::string& source, const std::string& destination,
                        Operation operation, unsigned long errorCode);
