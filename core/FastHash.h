#pragma once
#include <cstddef>
#include <cstdint>

// A fast 64-bit hash of a byte stream fed in pieces of any length: the same bytes give the same value
// however they were cut. Made to tell a copy that reads back differently from what was read, not to
// withstand anyone who wants two files to collide.
class FastHash {
public:
    FastHash() { Reset(); }
    void Reset();
    void Add(const void* data, std::size_t length);
    std::uint64_t Value() const;

private:
    void Stripe(const unsigned char* stripe);

    std::uint64_t lanes_[4];
    unsigned char pending_[32];
    std::size_t pendingLength_ = 0;
    std::uint64_t totalLength_ = 0;
};
