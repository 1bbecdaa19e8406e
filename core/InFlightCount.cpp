#include "core/InFlightCount.h"

#include <algorithm>

InFlightCount::InFlightCount(int fixed)
{
    if (fixed >= kMin && fixed <= kMax) {
        fixed_ = true;
        count_ = base_ = fixed;
    }
}

int InFlightCount::Next(std::int64_t files, std::int64_t bytes, std::uint32_t ms, bool busy)
{
    if (fixed_ || !busy || ms == 0 || (files <= 0 && bytes <= 0))
        return count_;
    const double units = static_cast<double>(std::max<std::int64_t>(files, 0)) +
                         static_cast<double>(std::max<std::int64_t>(bytes, 0)) / static_cast<double>(kBytesPerUnit);
    const double rate = units * 1000.0 / static_cast<double>(ms);
    // A window inside one large file finishes none.
    large_ = files <= 0 || bytes / files >= kLargeFileBytes;

    if (direction_ == 0) {
        const bool first = baseRate_ <= 0;
        const bool fell = !first && rate < baseRate_ * (1 - kFall);
        if (fell) {
            // Only a fall that lasts counts (one slow window is other work on the machine).
            lowUnits_ += units;
            lowMs_ += ms;
            if (++lowWindows_ < kJudgedWindows)
                return count_;
            baseRate_ = lowUnits_ * 1000.0 / lowMs_;
            ResetJudged();
            otherWayLeft_ = true;  // the way up is tried again should one fewer bring nothing
            Probe(-1);
            return count_;
        }
        lowWindows_ = 0;
        lowUnits_ = lowMs_ = 0;
        // The windows at this count are averaged, so one odd window does not decide the next probe.
        baseRate_ = first ? rate : (baseRate_ + rate) / 2;
        if (first || ++settledWindows_ >= kSettledWindows) {
            otherWayLeft_ = true;
            Probe(first ? -1 : +1);
        }
        return count_;
    }

    // A probe is judged over several windows together, against the count it started from; one that
    // plainly wins or loses is not kept waiting for a second look.
    probeUnits_ += units;
    probeMs_ += ms;
    const bool plain = rate < baseRate_ * (1 - kPlain) || rate > baseRate_ * (1 + kPlain);
    if (++probeWindows_ < kJudgedWindows && !plain)
        return count_;
    const double probeRate = probeUnits_ * 1000.0 / probeMs_;
    ResetJudged();
    if (probeRate > baseRate_ * (1 + kGain)) {
        // Better: kept, and the next one the same way tried; the other way is known to be worse.
        base_ = count_;
        baseRate_ = probeRate;
        otherWayLeft_ = false;
        Probe(direction_);
    } else {
        count_ = base_;
        Turn();
    }
    return count_;
}

void InFlightCount::ResetJudged()
{
    probeWindows_ = lowWindows_ = 0;
    probeUnits_ = probeMs_ = lowUnits_ = lowMs_ = 0;
}

void InFlightCount::Turn()
{
    if (otherWayLeft_) {
        otherWayLeft_ = false;
        Probe(-direction_);
    } else {
        Settle(base_);
    }
}

void InFlightCount::Probe(int direction)
{
    direction_ = direction;
    // Large files run alone below their places: fewer would change nothing.
    const int step = large_ ? PlacesOf(kLargeFileBytes) : 1;
    const int lowest = large_ ? PlacesOf(kLargeFileBytes) : kMin;
    const int to = base_ + direction * step;
    if (to < lowest || to > kMax) {
        Turn();
        return;
    }
    count_ = to;
}

void InFlightCount::Settle(int at)
{
    count_ = base_ = at;
    direction_ = 0;
    settledWindows_ = 0;
}
