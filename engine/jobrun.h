#pragma once
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "engine/JobState.h"
#include "engine/conflict.h"

#include <optional>
#include <string>
#include <vector>

// True when the destination is the item itself or lies inside it: by its text (exact, letter case
// counts), or as the system resolves it, however it is spelled (letter case, "..", trailing dots,
// short names, links).
bool IsSameOrInside(const std::string& item, const std::string& destination);

// Begin's refusal of a destination that is a source item or lies inside one, for every operation:
// the message naming the first such item, or nothing.
std::optional<std::string> InsideSourceRefusal(const JobRequest& request);

// A Copy or Cut whose destination is blank names no place to go.
bool LacksDestination(const JobRequest& request);

// Bytes per step of the overall bar for a scan byte total.
std::int64_t BarUnitFor(std::int64_t scanByteTotal);

// The job spine: a whole job from a request Begin has taken and checked, and Cancel and Pause as the
// window's handlers call them.
class JobRun {
public:
    JobRun(JobHost& host, JobState& state) : host_(host), state_(state) {}

    // Runs the job: running state, preparation block, free space, dispatch, removal of emptied source
    // folders, ending time, and the last Cancel that writes the report and returns the window to rest.
    // The request is copied: nothing the window does while the job runs reaches it. Does nothing while
    // a job runs (it can be reached from inside one) or once the program is ending.
    // `historyFailures`: a log line for each saved list that could not be stored.
    void Run(const JobRequest& request, const std::vector<std::string>& historyFailures = {});

    void bbCancelClick();
    void bbPauseClick();
    // Holds or resumes the job as it was before a Pause that is undone; shows nothing.
    void SetPaused(bool paused);
    // A new count of the sources has started: a Cancel's report at rest counts no file examined.
    void NewCount();
    // The speed a report at rest tells before any job has set one: the speed label's text as the
    // window starts.
    void SetSpeedBeforeAnyJob(const std::string& text) { state_.speedText = text; }

    // The program is ending (WM_QUIT met, log-off, the window closed) while a job runs: Cancel, and
    // from now on every question of the job is answered Skip / No without being shown. Nothing at rest.
    void RequestQuit();

    StandingAnswers& Answers() { return answers_; }
    bool Running() const { return running_; }
    // How many files the last job wrote at once when it ended (1: one at a time).
    int FilesInFlightCount() const { return inFlightCount_; }

private:
    // From the running state on. `started` tells whether the starting time was written.
    void RunJob(const JobRequest& request, const std::vector<std::string>& historyFailures, bool& started);
    void EndAfterError(const std::string& what, bool started);
    void RemoveEmptiedSourceFolders(const std::vector<std::string>& sources,
                                    const std::vector<std::string>& keptFolders);
    void RemoveEmptySubfolders(const std::string& folder);
    bool ConfirmFreeSpace(const JobRequest& request);
    void WriteReport(const std::string& speedText);

    JobHost& host_;
    JobState& state_;
    StandingAnswers answers_;
    bool running_ = false;
    // Files are in flight: a Cancel's report waits until the files already written are taken in.
    bool filesInFlight_ = false;
    int inFlightCount_ = 1;
    bool reportPending_ = false;
    std::string pendingSpeedText_;
};
