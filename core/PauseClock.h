#pragma once
#include <cstdint>

// How long a job has worked: the time since it began less the time it stood paused. Times are the
// job's millisecond ticks; a Pause pressed again while paused, or a Go On while going, changes nothing.
class PauseClock {
public:
    void Start(std::int64_t nowMs);
    void SetPaused(bool paused, std::int64_t nowMs);
    std::int64_t ActiveMs(std::int64_t nowMs) const;

private:
    std::int64_t startMs_ = 0;
    std::int64_t pausedMs_ = 0;
    std::int64_t pausedSinceMs_ = 0;
    bool paused_ = false;
};
