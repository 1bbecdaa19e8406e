#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The destination paths a job has written: files it copied and folders it made. Two sources can meet
// at one destination (a flat copy of a_b.txt and a\b.txt, two source folders of one name); the later
// one must not replace what the job itself has just put there, which for a Cut is the only copy left.
//
// Kept as 64-bit hashes of the lower-cased paths in an open-addressed table: about 16 bytes per
// written path whatever its length, so a job of a million files holds 16 MiB, not its path texts.
// Two paths with the same hash are taken for one; the cost of that (one chance in 2^64 per pair) is a
// generated name instead of a question, never a lost file.
class WrittenPlaces {
public:
    void Add(const std::string& path);
    bool Contains(const std::string& path) const;
    std::size_t Count() const { return count_; }

private:
    static std::uint64_t KeyOf(const std::string& path);
    void Grow();

    std::vector<std::uint64_t> slots_;  // 0 marks a free slot; no key is 0
    std::size_t count_ = 0;
};
