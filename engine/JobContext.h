#pragma once
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "engine/VolumeBoundaries.h"
#include "engine/conflict.h"
#include "filters/FilterSet.h"

#include <string>
#include <vector>

// What every routine of a running job works on: the window (through its interface), the job's
// counters and flags, the standing answers of the two conflict dialogs, and this job's mask list.
struct JobContext {
    JobHost& host;
    JobState& state;
    StandingAnswers& answers;
    MaskList masks;
    unsigned long destinationError = 0;  // why a refused Copy or Cut could not make its destination
    // Source folders the job left alone on purpose, as their destination is the folder itself: the
    // removal of emptied source folders afterwards leaves them, and all below them, as they are.
    std::vector<std::string> keptFolders{};
    // Where a Cut's renames met another volume: the rest between those folders is copied at once.
    VolumeBoundaries volumeBoundaries{};
};
