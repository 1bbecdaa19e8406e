#pragma once
#include "core/DateTime.h"

#include <functional>
#include <string>
#include <vector>

// The entries of a preset time list, which of them its list control holds yet, and the times met for
// it since. A count meets thousands of distinct times, and a list control takes each entry at a real
// cost (an insert in the middle also moves everything after it): the times are only gathered while
// counting, and go into the control in one ascending pass when it has to show them.
class PresetTimeList {
public:
    // `inControl`: the entries the list control holds now, in its order (ascending).
    PresetTimeList(std::vector<std::string> inControl, std::string timeSeparator);

    // A time met: one entry unless an equal one is listed or met already. No work but keeping it.
    void Add(DateTime modified);
    // Whether the control lacks entries (times met, or entries it lost in ControlEmptied).
    bool ControlBehind() const { return !pending_.empty() || behind_ > 0; }

    // Brings the control up to date: `insert(index, text)` for each entry it lacks, in ascending
    // order, each index counting the entries inserted before it. Returns how many.
    std::size_t BringUp(const std::function<void(int index, const std::string& text)>& insert);
    // The control was emptied: every entry is to go in again. (A copy of a list, so emptied, fills
    // another control with the same entries.)
    void ControlEmptied();

    // Every entry in order, the times met included.
    const std::vector<std::string>& Entries();

private:
    void TakePending();

    std::vector<std::string> entries_;
    std::vector<char> inControl_;  // per entry
    std::size_t behind_ = 0;       // entries not in the control
    std::vector<DateTime> pending_;
    std::string separator_;
};
