#pragma once
#include "core/DateTime.h"

#include <string>
#include <vector>

// The entries of a preset time list and the times met for it since they were last put into the list.
// A count meets thousands of distinct times, and a list control takes each entry at a real cost (and
// an insert in the middle moves everything after it): the times are only gathered while counting and
// go into the control in one ascending pass whenever it has to show them.
class PresetTimeList {
public:
    struct Insertion {
        int index;  // where the entry goes, once every insertion before it has been made
        std::string text;
    };

    // `shown`: the entries the list control holds now, in its order (ascending).
    PresetTimeList(std::vector<std::string> shown, std::string timeSeparator);

    // A time met: one entry unless an equal one is shown or met already. No work but keeping it.
    void Add(DateTime modified);
    bool HasPending() const { return !pending_.empty(); }
    std::size_t PendingCount() const { return pending_.size(); }

    // Takes the pending times into the entries and says what to insert into the control, in
    // ascending order: made one after the other, the control then holds Entries().
    std::vector<Insertion> TakePending();
    // The entries in order (without the pending ones).
    const std::vector<std::string>& Entries() const { return shown_; }

private:
    std::vector<std::string> shown_;
    std::vector<DateTime> pending_;
    std::string separator_;
};
