#pragma once
#include "core/Operation.h"
#include "core/PauseClock.h"
#include "core/RemainingTimeEstimate.h"
#include "engine/ScanTotals.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>


// A flag the job's own thread sets and its file workers read while they write. A worker held by a
// pause sleeps until some flag changes, rather than looking every few milliseconds.
class SharedFlag {
public:
    SharedFlag(bool value = false) : value_(value) {}
    SharedFlag(const SharedFlag& other) : value_(other.value_.load()) {}
    SharedFlag& operator=(const SharedFlag& other)
    {
        value_.store(other.value_.load());
        WakeWaiters();
        return *this;
    }
    SharedFlag& operator=(bool value)
    {
        value_.store(value);
        WakeWaiters();
        return *this;
    }
    operator bool() const { return value_.load(); }

    // How many times any shared flag of any job has been set; read before the flags are looked at,
    // then given to WaitForChange, so a change between the look and the wait is never missed.
    static std::uint32_t Changes() { return changes_.load(); }
    static void WaitForChange(std::uint32_t seen) { changes_.wait(seen); }
    // For a waiter's other reasons to stop waiting (a job given up), which are no flag of the job.
    static void WakeWaiters()
    {
        changes_.fetch_add(1);
        changes_.notify_all();
    }

private:
    std::atomic<bool> value_;
    static inline std::atomic<std::uint32_t> changes_{0};
};

// The flags of the running job, set by the window's Pause and Cancel and by the program's end (through
// JobRun's bbPauseClick, SetPaused, bbCancelClick and RequestQuit); the job and its file workers read
// them. Pause and Cancel run nested inside a job and talk to it only through these.
struct JobFlags {
    SharedFlag stopFlag = false;
    SharedFlag pauseFlag = false;
    // The program is ending (log-off, the window closed, WM_QUIT) during a job: the job stops and
    // asks nothing more. Never cleared: no job starts once the program is on its way out.
    bool quitFlag = false;
};

// The flags and the counters of the running (or last) job. Owned by whoever runs the job and passed
// by reference; the counters are written by the engine only, the window reads them.
struct JobState : JobFlags {
    // The count the job started with (its request's): what its bar, its estimate and its free-space
    // check go by.
    ScanTotals scan;

    std::int64_t filesExamined = 0;  // "All Files"
    std::int64_t bytesExamined = 0;
    std::int64_t filesDone = 0;      // "Copied Files"
    std::int64_t filesFailed = 0;    // "Errors"
    std::int64_t bytesCopied = 0;    // "Copied Size"

    std::int64_t jobStartTick = 0;   // 32-bit millisecond tick kept in 64 bits
    std::int64_t barUnit = 1;        // bytes per step of the overall bar
    std::string speedText;           // LabelSpeed as the job last set it, for the report
    // The time the job has worked (on milliseconds since jobStartTick), and what it tells of the
    // time still to go; the estimate exists once the job has begun with the count's totals.
    PauseClock workClock;
    std::optional<RemainingTimeEstimate> estimate;
};
