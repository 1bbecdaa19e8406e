#include "engine/WrittenPlaces.h"

#include "filters/LocaleLower.h"

namespace {

std::size_t SlotOf(std::uint64_t key, std::size_t slots) { return static_cast<std::size_t>(key) & (slots - 1); }

} // namespace

std::uint64_t WrittenPlaces::KeyOf(const std::string& path)
{
    // FNV-1a over the path as the file system compares it: letter case does not count.
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : LocaleLower(path)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash == 0 ? 1 : hash;
}

void WrittenPlaces::Add(const std::string& path)
{
    if ((count_ + 1) * 2 > slots_.size())
        Grow();
    const std::uint64_t key = KeyOf(path);
    for (std::size_t i = SlotOf(key, slots_.size());; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i] == key)
            return;
        if (slots_[i] == 0) {
            slots_[i] = key;
            ++count_;
            return;
        }
    }
}

bool WrittenPlaces::Contains(const std::string& path) const
{
    if (slots_.empty())
        return false;
    const std::uint64_t key = KeyOf(path);
    for (std::size_t i = SlotOf(key, slots_.size());; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i] == key)
            return true;
        if (slots_[i] == 0)
            return false;
    }
}

void WrittenPlaces::Grow()
{
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
    count_ = 0;
    for (const std::uint64_t key : old) {
        if (key == 0)
            continue;
        std::size_t i = SlotOf(key, slots_.size());
        while (slots_[i] != 0)
            i = (i + 1) & (slots_.size() - 1);
        slots_[i] = key;
        ++count_;
    }
}
