#pragma once
#include "engine/JobContext.h"

#include <cstdint>
#include <string>

// The five operations of DoFileOperation, one file each; shared by fileops*.cpp only.

void CopyOrCutFile(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size,
                   bool cut);
void MoveFileToTrash(JobContext& job, const std::string& source);
void DeleteOneFile(JobContext& job, const std::string& source);
void CrushOneFile(JobContext& job, const std::string& source);

// One failure line, "\r\nBecause " + the system's text for the code + sentence, and one failure counted.
void LogFileFailure(JobContext& job, unsigned long errorCode, const std::string& sentence);
