#pragma once
#include "engine/DeleteFolderTree.h"
#include "engine/JobContext.h"

#include <string>
#include <vector>

// Hands every source item of the job's request (index -1) or one item to the job's operation: files to
// DoFileOperation, folders to WalkFolder. Returns -1 when a Copy or Cut destination is empty or cannot
// be created, else 0; on -1 nothing was touched and job.destinationError holds the creation's error code.
int ProcessSourceItems(JobContext& job, int index);

// Visits a source folder depth-first, mirroring it at the destination for Copy and Cut.
void WalkFolder(JobContext& job, const std::string& source, const std::string& destination);

