#include "core/FastHash.h"

#include <bit>
#include <cstring>

namespace {

// Odd constants with well-spread bits: multiplying by them mixes every input bit upwards.
constexpr std::uint32_t kLanePrime1 = 0x9E3779B1u;
constexpr std::uint32_t kLanePrime2 = 0x85EBCA77u;
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

std::uint32_t RotateLeft32(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }
std::uint64_t RotateLeft(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

// Little-endian whatever the machine, so a value means the same everywhere; on a little-endian one
// (every Windows machine) a plain load, which the compiler makes one instruction.
std::uint32_t Read32(const unsigned char* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t value;
        std::memcpy(&value, p, sizeof value);
        return value;
    } else {
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }
}

std::uint32_t Round(std::uint32_t lane, std::uint32_t word)
{
    return RotateLeft32(lane + word * kLanePrime2, 13) * kLanePrime1;
}

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value)
{
    return RotateLeft(hash ^ (value * kPrime2), 27) * kPrime1 + kPrime4;
}

} // namespace

void FastHash::Reset()
{
    for (int i = 0; i < 8; ++i)
        lanes_[i] = kLanePrime1 * static_cast<std::uint32_t>(i + 1) + kLanePrime2;
    pendingLength_ = 0;
    totalLength_ = 0;
}

void FastHash::Stripe(const unsigned char* stripe)
{
    for (int i = 0; i < 8; ++i)
        lanes_[i] = Round(lanes_[i], Read32(stripe + 4 * i));
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
    // Once per file: the lanes go into one 64-bit value each with its own position.
    std::uint64_t hash = kPrime5 + totalLength_;
    for (int i = 0; i < 8; ++i)
        hash = Mix(hash, (std::uint64_t{lanes_[i]} << 8) | static_cast<std::uint64_t>(i));
    // The tail that filled no stripe: words, then single bytes.
    std::size_t i = 0;
    for (; i + 4 <= pendingLength_; i += 4)
        hash = Mix(hash, Read32(pending_ + i));
    for (; i < pendingLength_; ++i)
        hash = RotateLeft(hash ^ (pending_[i] * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}
