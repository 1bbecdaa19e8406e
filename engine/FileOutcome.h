#pragma once
#include "core/Operation.h"

#include <cstdint>
#include <string>

// What became of one file (or of a folder left out whole), told to the host once, on the job's
// thread and in the walk's order, beside the counter it moves: a report file is written from these
// one at a time, never from a list kept to the end.
struct FileOutcome {
    enum class Result { Done, Failed, Skipped };
    Result result = Result::Done;
    Operation operation = kOpCopy;
    std::string source;
    std::string destination;  // where it went or was to go; empty for a removal
    std::int64_t bytes = 0;   // the file's size where known
    std::string error;        // one line: why it failed, or which answer skipped it
};
