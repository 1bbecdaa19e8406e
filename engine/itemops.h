#pragma once
#include "engine/JobContext.h"

#include <string>

// Hands every source item (index -1) or one item to the operation: files to DoFileOperation, folders to
// WalkFolder. Returns -1 when a Copy or Cut destination is empty or cannot be created, else 0.
int ProcessSourceItems(JobContext& job, int index, int operation);

// Visits a source folder depth-first, mirroring it at the destination for Copy and Cut.
void WalkFolder(JobContext& job, const std::string& source, const std::string& destination, int operation);

// Removes the folder and everything below it; never a path shorter than four characters.
bool DeleteFolderTree(const std::string& path);
