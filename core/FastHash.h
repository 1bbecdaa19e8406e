#pragma once
#include <cstddef>
#include <cstdint>

// A fast 64-bit hash of a byte stream fed in pieces of any length: the same bytes give the same value
// however they were cut. Made to tell a copy that reads back differently from what was read, not to
// withstand anyone who wants two files to collide. Its eight lanes take 32-bit words: a 32-bit
// processor multiplies those in one instruction, where 64-bit lanes cost it three (measured under
// Wine on i686: about four times the throughput, so a verified copy waits less for its hash).
class FastHash {
public:
    FastHash() { Reset(); }
    void Reset();
    void Add(const void* data, std::size_t length);
    std::uint64_t Value() const;

private:
    void Stripe(const unsigned char* stripe);

    std::uint32_t lanes_[8];
    unsigned char pending_[32];
    std::size_t pendingLength_ = 0;
    std::uint64_t totalLength_ = 0;
};
