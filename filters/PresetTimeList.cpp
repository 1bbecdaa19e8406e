#include "filters/PresetTimeList.h"

#include "filters/PresetEntry.h"

#include <algorithm>
#include <utility>

PresetTimeList::PresetTimeList(std::vector<std::string> shown, std::string timeSeparator)
    : shown_(std::move(shown)), separator_(std::move(timeSeparator))
{
}

void PresetTimeList::Add(DateTime modified) { pending_.push_back(modified); }

std::vector<PresetTimeList::Insertion> PresetTimeList::TakePending()
{
    if (pending_.empty())
        return {};
    // Ordered by text, not by value: before day 0 the value's fraction still counts forward within
    // its day, so values there do not sort as the times do; the texts do (fixed-width digits).
    std::vector<std::string> met;
    met.reserve(pending_.size());
    for (const DateTime t : pending_)
        met.push_back(FormatPresetEntry(t, separator_));
    pending_.clear();
    pending_.shrink_to_fit();
    std::sort(met.begin(), met.end());
    met.erase(std::unique(met.begin(), met.end()), met.end());

    std::vector<Insertion> insertions;
    std::vector<std::string> merged;
    merged.reserve(shown_.size() + met.size());
    auto old = shown_.begin();
    for (std::string& text : met) {
        while (old != shown_.end() && *old < text)
            merged.push_back(std::move(*old++));
        if (old != shown_.end() && *old == text)
            continue;  // shown already
        insertions.push_back({static_cast<int>(merged.size()), text});
        merged.push_back(std::move(text));
    }
    while (old != shown_.end())
        merged.push_back(std::move(*old++));
    shown_ = std::move(merged);
    return insertions;
}
