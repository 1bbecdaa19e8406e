#pragma once
#include "engine/JobContext.h"

#include <cstdint>
#include <string>

// The five operations of DoFileOperation, one file each; shared by fileops*.cpp only.

// `attributes` are the file's attributes where the caller knows them, else INVALID_FILE_ATTRIBUTES.

void CopyOrCutFile(JobContext& job, const std::string& source, const std::string& destination, std::int64_t size,
                   bool cut);
// A Cut's move by rename, tried before the copy: true when the file now stands at target, counted and
// shown as a complete copy. False when it could not be renamed (another volume, a name taken, a file
// in use...), with nothing changed: the caller copies and deletes instead. With `replace` a file
// standing at target is replaced in the rename itself.
bool CutByRename(JobContext& job, const std::string& source, const std::string& target, std::int64_t size,
                 bool replace);
// Whether a Cut tries a rename at all: not onto the source's own path, nor between folders where one
// was refused before for lying on other volumes.
bool MayRenameForCut(const JobContext& job, const std::string& source, const std::string& target);

// The same operations handed to the job's file workers (job.flight): the writing is done there, the
// counting and every line in the walk's order on the job's thread.
void HandCopyOrCut(JobContext& job, const std::string& source, const std::string& target, std::int64_t size,
                   bool cut);
void HandDelete(JobContext& job, const std::string& source, DWORD attributes);
void HandCrush(JobContext& job, const std::string& source, DWORD attributes);
void MoveFileToTrash(JobContext& job, const std::string& source);
void DeleteOneFile(JobContext& job, const std::string& source, DWORD attributes);
void CrushOneFile(JobContext& job, const std::string& source, DWORD attributes);


// One failure line, "\r\nBecause " + the system's text for the code + sentence, and one failure counted
// (and told to the host for the file `source`, bound for `destination`).
void LogFileFailure(JobContext& job, unsigned long errorCode, const std::string& sentence, const std::string& source,
                    const std::string& destination = {});
