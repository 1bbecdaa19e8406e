#include "core/PauseClock.h"

void PauseClock::Start(std::int64_t nowMs)
{
    *this = PauseClock();
    startMs_ = nowMs;
}

void PauseClock::SetPaused(bool paused, std::int64_t nowMs)
{
    if (paused == paused_)
        return;
    if (paused)
        pausedSinceMs_ = nowMs;
    else if (nowMs > pausedSinceMs_)
        pausedMs_ += nowMs - pausedSinceMs_;
    paused_ = paused;
}

std::int64_t PauseClock::ActiveMs(std::int64_t nowMs) const
{
    const std::int64_t standing = paused_ && nowMs > pausedSinceMs_ ? nowMs - pausedSinceMs_ : 0;
    const std::int64_t active = nowMs - startMs_ - pausedMs_ - standing;
    return active > 0 ? active : 0;
}
