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
            triedDown_ = true;  // the way up is tried again with the next round of probes
            Probe(-1);
            return count_;
        }
        lowWindows_ = 0;
        lowUnits_ = lowMs_ = 0;
        // The windows at this count are averaged, so one odd window does not decide the next probe.
        baseRate_ = first ? rate : (baseRate_ + rate) / 2;
        if (first || ++settledWindows_ >= kSettledWindows) {
            triedDown_ = false;
            Probe(+1);
        }
        return count_;
    }

    // A probe is judged over several windows together, against the count it started from.
    probeUnits_ += units;
    probeMs_ += ms;
    if (++probeWindows_ < kJudgedWindows)
        return count_;
    const double probeRate = probeUnits_ * 1000.0 / probeMs_;
    ResetJudged();
    if (probeRate > baseRate_ * (1 + kGain)) {
        // Better: kept, and the next one the same way tried; the other way is known to be worse.
        base_ = count_;
        baseRate_ = probeRate;
        triedDown_ = true;
        Probe(direction_);
    } else if (direction_ > 0 && !triedDown_) {
        count_ = base_;
        Probe(-1);
    } else {
        Settle(base_);
    }
    return count_;
}

void InFlightCount::ResetJudged()
{
    probeWindows_ = lowWindows_ = 0;
    probeUnits_ = probeMs_ = lowUnits_ = lowMs_ = 0;
}

void InFlightCount::Probe(int direction)
{
    const int to = base_ + direction;
    if (to < kMin || to > kMax) {
        if (direction > 0 && !triedDown_) {
            Probe(-1);
            return;
        }
        Settle(base_);
        return;
    }
    if (direction < 0)
        triedDown_ = true;
    direction_ = direction;
    count_ = to;
}

void InFlightCount::Settle(int at)
{
    count_ = base_ = at;
    direction_ = 0;
    settledWindows_ = 0;
}
