#include "core/FastHash.h"

#include <cstring>

namespace {

// Odd 64-bit constants with well-spread bits: multiplying by them mixes every input bit upwards.
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

std::uint64_t RotateLeft(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

// Little-endian whatever the machine, so a value means the same everywhere.
std::uint64_t Read64(const unsigned char* p)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t word) { return RotateLeft(lane + word * kPrime2, 31) * kPrime1; }

std::uint64_t Merge(std::uint64_t hash, std::uint64_t lane)
{
    hash ^= Round(0, lane);
    return hash * kPrime1 + kPrime4;
}

} // namespace

void FastHash::Reset()
{
    lanes_[0] = kPrime1 + kPrime2;
    lanes_[1] = kPrime2;
    lanes_[2] = 0;
    lanes_[3] = 0 - kPrime1;
    pendingLength_ = 0;
    totalLength_ = 0;
}

void FastHash::Stripe(const unsigned char* stripe)
{
    for (int i = 0; i < 4; ++i)
        lanes_[i] = Round(lanes_[i], Read64(stripe + 8 * i));
}

void FastHash::Add(const void* data, std::size_t length)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    totalLength_ += length;
    if (pendingLength_ > 0) {
        const std::size_t taken = length < 32 - pendingLength_ ? length : 32 - pendingLength_;
        std::memcpy(pending_ + pendingLength_, bytes, taken);
        pendingLength_ += taken;
        bytes += taken;
        length -= taken;
        if (pendingLength_ < 32)
            return;
        Stripe(pending_);
        pendingLength_ = 0;
    }
    for (; length >= 32; bytes += 32, length -= 32)
        Stripe(bytes);
    if (length > 0) {
        std::memcpy(pending_, bytes, length);
        pendingLength_ = length;
    }
}

std::uint64_t FastHash::Value() const
{
    std::uint64_t hash = RotateLeft(lanes_[0], 1) + RotateLeft(lanes_[1], 7) + RotateLeft(lanes_[2], 12) +
                         RotateLeft(lanes_[3], 18);
    for (const std::uint64_t lane : lanes_)
        hash = Merge(hash, lane);
    hash += totalLength_;
    // The tail that filled no stripe: words, then single bytes.
    std::size_t i = 0;
    for (; i + 8 <= pendingLength_; i += 8)
        hash = RotateLeft(hash ^ Round(0, Read64(pending_ + i)), 27) * kPrime1 + kPrime4;
    for (; i < pendingLength_; ++i)
        hash = RotateLeft(hash ^ (pending_[i] * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}
