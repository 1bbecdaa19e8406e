#include "app/JobPhase.h"

#include <array>
#include <cstddef>

namespace {

using E = Effect;
constexpr std::size_t kPhases = 7;
constexpr std::size_t kActions = 13;

// Rows: actions in UserAction's order. Columns: Rest, Scanning, BeginPending, Running, Paused, Asking,
// Stopping. The README's table is this one.
constexpr std::array<std::array<Effect, kPhases>, kActions> kTable{{
    // Begin: once taken, a job is not taken again until it has ended.
    {E::Act, E::StopScanAndHold, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // Cancel
    {E::Act, E::Act, E::DropPendingBegin, E::StopJob, E::StopJob, E::StopJob, E::Ignore},
    // Pause / Go On: a job that is asking or stopping has nothing to hold.
    {E::Ignore, E::Ignore, E::Ignore, E::Act, E::Act, E::Ignore, E::Ignore},
    // Stop searching
    {E::Ignore, E::Act, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // Source section: locked from Begin to the job's end.
    {E::Act, E::Act, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // Filters and Operation sections: the same.
    {E::Act, E::Act, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // A hand-off or a drop is the user's too: kept in the list for the next job.
    {E::Act, E::Act, E::ListOnly, E::ListOnly, E::ListOnly, E::ListOnly, E::ListOnly},
    // The file clipboard replaces the whole list: not while a job is taken or runs.
    {E::Act, E::Act, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // A pre-scan request: a running scan restarts; a taken job keeps the totals it has.
    {E::Act, E::Act, E::Later, E::Later, E::Later, E::Later, E::Later},
    // The destination text prepares the next job; the running one has its own.
    {E::Act, E::Act, E::Act, E::Act, E::Act, E::Act, E::Act},
    // Rename acts on folders on disk, which a taken job may be writing into.
    {E::Act, E::Act, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // A folder tree's browse dialog runs a loop that only ends with the window: opened inside a scan,
    // a job or a question it would bury it for good. It opens at rest, outside every other loop
    // (FolderTrees waits for that); a scan winds down by itself, a taken job does not soon.
    {E::Act, E::Later, E::Ignore, E::Ignore, E::Ignore, E::Ignore, E::Ignore},
    // Close
    {E::Act, E::Act, E::DropPendingBegin, E::EndJobThenClose, E::EndJobThenClose, E::EndJobThenClose,
     E::EndJobThenClose},
}};

} // namespace

Effect EffectOf(UserAction action, JobPhase phase)
{
    return kTable[static_cast<std::size_t>(action)][static_cast<std::size_t>(phase)];
}

const char* PhaseName(JobPhase phase)
{
    static constexpr std::array<const char*, kPhases> names{"rest", "scanning", "Begin pending", "running",
                                                            "paused", "asking", "stopping"};
    return names[static_cast<std::size_t>(phase)];
}

const char* ActionName(UserAction action)
{
    static constexpr std::array<const char*, kActions> names{
        "Begin", "Cancel", "Pause / Go On", "Stop searching", "Add, Remove", "Filters, Operation",
        "hand-off, drop", "clipboard pick-up", "pre-scan request", "destination", "Rename",
        "Select Destination / Source Directory", "close"};
    return names[static_cast<std::size_t>(action)];
}

const char* EffectName(Effect effect)
{
    static constexpr std::array<const char*, 8> names{"acts",       "ignored",   "stops the scan, job waits",
                                                      "drops the waiting job, then acts", "stops the job",
                                                      "list only",  "later",     "stops the job, then closes"};
    return names[static_cast<std::size_t>(effect)];
}
