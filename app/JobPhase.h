#pragma once

// What the window is doing, as far as the user's actions are concerned. Everything runs on one
// thread, and long work (the pre-scan, a job, every modal question) pumps messages, so any handler can
// run inside any of these phases: each handler asks EffectOf what its action does now, and this table
// is the one place that says it.
enum class JobPhase {
    Rest,          // nothing runs
    Scanning,      // the pre-scan counts the sources
    BeginPending,  // Begin was pressed during a scan: the job is taken and waits for the scan to wind down
    Running,       // a job runs
    Paused,        // a job holds (Go On resumes it)
    Asking,        // a job waits for the answer to a question (a conflict, free space)
    Stopping,      // a job was cancelled and unwinds
};

enum class UserAction {
    Begin,
    Cancel,
    Pause,            // Pause / Go On
    StopSearch,
    EditSources,      // Add, Remove, the Source section's controls
    EditFilters,      // the Filters and Operation sections
    HandOff,          // a path from a second start; files dropped on the window
    ClipboardPickup,  // files copied or cut in the file manager
    ScanRequest,      // the pre-scan's request timer fires
    EditDestination,  // cbPath typed or picked, the destination tree, New Folder
    RenameFolder,     // Rename in the To section
    ReopenTree,       // Select Destination Directory, Select Source Directory: a folder tree opens anew
    Close,            // the window closed, the session ending, Exit from the icon's menu
};

enum class Effect {
    Act,                  // what the action does at rest
    Ignore,               // nothing at all
    StopScanAndHold,      // Begin during a scan: the scan stops; the job taken now starts once it has wound down
    DropPendingBegin,     // the Begin waiting for its scan is dropped (nothing runs), then the action acts
    StopJob,              // Cancel: the job stops at its next look at the stop flag
    ListOnly,             // the source list changes for the next job; its pre-scan waits for the job's end
    Later,                // kept, and done once the window is at rest again
    EndJobThenClose,      // the job stops asking and unwinds; then the window closes
};

Effect EffectOf(UserAction action, JobPhase phase);

// For the log and the tests.
const char* PhaseName(JobPhase phase);
const char* ActionName(UserAction action);
const char* EffectName(Effect effect);
