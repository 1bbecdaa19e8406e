#pragma once
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "engine/conflict.h"

#include <string>
#include <vector>

// True when the destination is the item itself or lies inside it: by its text (exact, letter case
// counts), or as the system resolves it, however it is spelled (letter case, "..", trailing dots,
// short names, links).
bool IsSameOrInside(const std::string& item, const std::string& destination);

// Bytes per step of the overall bar for a scan byte total.
std::int64_t BarUnitFor(std::int64_t scanByteTotal);

// The job spine: Begin, Cancel and Pause as the window's handlers call them.
class JobRun {
public:
    JobRun(JobHost& host, JobState& state) : host_(host), state_(state) {}

    void bbBeginClick();
    void bbCancelClick();
    void bbPauseClick();

    // The program is ending (WM_QUIT met, log-off, the window closed) while a job runs: Cancel, and
    // from now on every question of the job is answered Skip / No without being shown. Nothing at rest.
    void RequestQuit();

    StandingAnswers& Answers() { return answers_; }
    bool Running() const { return running_; }

private:
    // Begin from the running state on: preparation, free space, dispatch and removal of emptied
    // folders. `started` tells whether the starting time was written.
    void RunJob(int operation, const std::string& destination, const std::vector<std::string>& sources,
                const std::vector<std::string>& historyFailures, bool& started);
    void EndAfterError(const std::string& what, bool started);
    void RemoveEmptiedSourceFolders(const std::vector<std::string>& sources,
                                    const std::vector<std::string>& keptFolders);
    void RemoveEmptySubfolders(const std::string& folder);
    bool ConfirmFreeSpace(int operation, const std::string& destination, const std::vector<std::string>& sources);

    JobHost& host_;
    JobState& state_;
    StandingAnswers answers_;
    bool running_ = false;
};
