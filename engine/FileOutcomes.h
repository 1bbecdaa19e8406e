#pragma once
#include "engine/JobContext.h"

#include <cstdint>
#include <string>

// The job's counting of a file, and the same outcome told to the host (JobHost::FileSettled): one
// place for both, so that a report's lines and the log's counts cannot disagree.

// One file done: counted in the files-done counter.
void CountFileDone(JobContext& job, const std::string& source, const std::string& destination, std::int64_t bytes);
// One failure: counted in the files-failed counter. `why` may hold line breaks (a log entry, a system
// text); the host gets it on one line.
void CountFileFailed(JobContext& job, const std::string& source, const std::string& destination,
                     const std::string& why);
// Left as it was by an answer to a question (Skip, or Update finding the existing one as new):
// nothing is counted, the host is told.
void TellFileSkipped(JobContext& job, const std::string& source, const std::string& destination,
                     const std::string& answer);
// The same three for callers that hold the host and state but no context (the job spine).
void TellFailure(JobHost& host, JobState& state, Operation operation, const std::string& source,
                 const std::string& destination, const std::string& why);

// The text on one line: line breaks and the blanks around them become one blank; ends trimmed.
std::string OneLine(const std::string& text);
