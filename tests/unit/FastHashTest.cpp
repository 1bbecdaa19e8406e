#include "core/FastHash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

std::uint64_t HashWhole(const std::string& bytes)
{
    FastHash hash;
    hash.Add(bytes.data(), bytes.size());
    return hash.Value();
}

std::string Sample(std::size_t length)
{
    std::string bytes(length, '\0');
    std::uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

} // namespace

// A copy is hashed in the pieces it is read in; the read-back in others.
TEST(FastHash, TheSameBytesGiveTheSameValueHoweverTheyAreCut)
{
    for (const std::size_t length : {0u, 1u, 7u, 31u, 32u, 33u, 64u, 1000u, 65536u + 13u}) {
        const std::string bytes = Sample(length);
        const std::uint64_t whole = HashWhole(bytes);
        for (const std::size_t piece : {1u, 3u, 8u, 31u, 32u, 33u, 4096u}) {
            FastHash hash;
            for (std::size_t at = 0; at < bytes.size(); at += piece)
                hash.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
            EXPECT_EQ(hash.Value(), whole) << length << " in pieces of " << piece;
        }
        FastHash reused;
        reused.Add("something else", 14);
        reused.Reset();
        reused.Add(bytes.data(), bytes.size());
        EXPECT_EQ(reused.Value(), whole) << "after a reset";
    }
}

TEST(FastHash, OneChangedBitOrAnotherLengthChangesTheValue)
{
    const std::string bytes = Sample(100000);
    const std::uint64_t original = HashWhole(bytes);
    std::set<std::uint64_t> seen{original};
    // Each position of a stripe, the tail, and a block in the middle.
    for (const std::size_t at : {0u, 5u, 31u, 32u, 65535u, 65536u, 99990u, 99999u}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x10);
        EXPECT_TRUE(seen.insert(HashWhole(changed)).second) << "a bit at " << at;
    }
    EXPECT_TRUE(seen.insert(HashWhole(bytes.substr(0, bytes.size() - 1))).second) << "one byte short";
    EXPECT_TRUE(seen.insert(HashWhole(bytes + std::string(1, '\0'))).second) << "a zero byte more";
    EXPECT_NE(HashWhole(""), HashWhole(std::string(1, '\0')));
    EXPECT_NE(HashWhole(std::string(32, '\0')), HashWhole(std::string(64, '\0')));
}
