#pragma once
#include "engine/FilesInFlight.h"
#include "engine/GivenNames.h"
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "engine/JobState.h"
#include "engine/WrittenPlaces.h"
#include "engine/VolumeBoundaries.h"
#include "engine/conflict.h"
#include "filters/FilterSet.h"
#include "platform/FileIdentity.h"

#include <memory>
#include <string>
#include <vector>

// What every routine of a running job works on: the job as Begin took it, the window (through its
// interface), the job's counters and flags, the standing answers of the two conflict dialogs, and this
// job's mask list.
struct JobContext {
    const JobRequest& request;
    JobHost& host;
    JobState& state;
    StandingAnswers& answers;
    MaskList masks;
    // The source items as the job read them when it began (ProcessSourceItems), each spelling read once.
    std::vector<std::string> items{};
    unsigned long destinationError = 0;  // why a refused Copy or Cut could not make its destination
    // Source folders the job left alone on purpose, as their destination is the folder itself: the
    // removal of emptied source folders afterwards leaves them, and all below them, as they are.
    std::vector<std::string> keptFolders{};
    // The files this job has written and the folders it has made or merged into at the destination: a
    // later clash with one of them is never settled by replacing it.
    WrittenPlaces written{};
    // The source items as the system resolves them, for the folders a Replace must not remove; made
    // when the first such answer is given (`sourcePlacesMade`).
    std::vector<ResolvedPlace> sourcePlaces{};
    bool sourcePlacesMade = false;
    // Where a Cut's renames met another volume: the rest between those folders is copied at once.
    VolumeBoundaries volumeBoundaries{};
    // Where files are written several at once (also `host` then); none does one file at a time here.
    FilesInFlight* flight = nullptr;
    // Names this job gave to files of its sources (made by the first Crush of a file): the walk never
    // takes them for files of its own. Shared with the file workers, which may outlive this context.
    std::shared_ptr<GivenNames> givenNames{};
};
