#include "filters/PresetTimeList.h"

#include "filters/PresetEntry.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// A key that orders as the preset texts do: the local date and time to the second. Sorting and
// merging by key spares the text of every time met more than once. (The value itself does not
// order so before day 0, where its fraction still counts forward within its day.)
std::uint64_t KeyOf(const DateTimeParts& p)
{
    return ((((static_cast<std::uint64_t>(p.year) * 13 + static_cast<std::uint64_t>(p.month)) * 32 +
              static_cast<std::uint64_t>(p.day)) * 24 + static_cast<std::uint64_t>(p.hour)) * 60 +
            static_cast<std::uint64_t>(p.minute)) * 60 + static_cast<std::uint64_t>(p.second);
}

} // namespace

PresetTimeList::PresetTimeList(std::vector<std::string> inControl, std::string timeSeparator)
    : entries_(std::move(inControl)), inControl_(entries_.size(), 1), separator_(std::move(timeSeparator))
{
}

void PresetTimeList::Add(DateTime modified) { pending_.push_back(modified); }

void PresetTimeList::TakePending()
{
    if (pending_.empty())
        return;
    struct Met {
        std::uint64_t key;
        DateTime value;
    };
    std::vector<Met> met;
    met.reserve(pending_.size());
    for (const DateTime t : pending_)
        met.push_back({KeyOf(DecodeDateTime(t)), t});
    pending_.clear();
    pending_.shrink_to_fit();
    std::sort(met.begin(), met.end(), [](const Met& a, const Met& b) { return a.key < b.key; });
    met.erase(std::unique(met.begin(), met.end(), [](const Met& a, const Met& b) { return a.key == b.key; }), met.end());

    std::vector<std::string> merged;
    std::vector<char> mergedIn;
    merged.reserve(entries_.size() + met.size());
    mergedIn.reserve(entries_.size() + met.size());
    std::size_t old = 0;
    for (const Met& m : met) {
        std::string text = FormatPresetEntry(m.value, separator_);
        while (old < entries_.size() && entries_[old] < text) {
            merged.push_back(std::move(entries_[old]));
            mergedIn.push_back(inControl_[old++]);
        }
        if (old < entries_.size() && entries_[old] == text)
            continue;  // listed already
        merged.push_back(std::move(text));
        mergedIn.push_back(0);
        ++behind_;
    }
    for (; old < entries_.size(); ++old) {
        merged.push_back(std::move(entries_[old]));
        mergedIn.push_back(inControl_[old]);
    }
    entries_ = std::move(merged);
    inControl_ = std::move(mergedIn);
}

std::size_t PresetTimeList::BringUp(const std::function<void(int index, const std::string& text)>& insert)
{
    TakePending();
    if (behind_ == 0)
        return 0;
    // In ascending order every entry before the one inserted is in the control already, so its place
    // there is its place in the list.
    std::size_t inserted = 0;
    for (std::size_t i = 0; i < entries_.size() && behind_ > 0; ++i) {
        if (inControl_[i])
            continue;
        insert(static_cast<int>(i), entries_[i]);
        inControl_[i] = 1;
        --behind_;
        ++inserted;
    }
    return inserted;
}

void PresetTimeList::ControlEmptied()
{
    std::fill(inControl_.begin(), inControl_.end(), 0);
    behind_ = entries_.size();
}

const std::vector<std::string>& PresetTimeList::Entries()
{
    TakePending();
    return entries_;
}
