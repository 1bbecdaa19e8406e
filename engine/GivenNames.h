#pragma once
#include "engine/WrittenPlaces.h"

#include <mutex>
#include <string>

// The names a job gave to files of its sources: Crush hides a file under 0, 1, … in its own folder
// while it is overwritten, and gives it its name back when it is not crushed. A listing of that folder
// (the walk still going through it, or a later source that reaches it again under another spelling)
// may meet such a name; it is the same file, already handed on, never a file of its own.
//
// Renames on the file workers and the walk's look-ups on the job's thread meet here under one lock:
// a name is recorded in the same step as the rename that gives it, so a listing that shows the new
// name finds it recorded, and a rename refused for a name already taken (a file of the user's) never
// records that name. Names are kept for the whole job as hashes (a few per folder: hidden names are
// taken again once free).
class GivenNames {
public:
    // Renames `from` to `to` (never replacing anything) and, when that succeeds, records `to`. The
    // result and the last error are those of the rename.
    bool Move(const std::string& from, const std::string& to);
    // The same for a file the caller holds open (with DELETE access): renamed through its handle.
    bool MoveOpen(void* file, const std::string& to);
    bool Contains(const std::string& path) const;

private:
    mutable std::mutex mutex_;
    WrittenPlaces names_;
};
