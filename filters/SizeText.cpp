#include "filters/SizeText.h"

#include <limits>

namespace {

constexpr std::int64_t kMega = 1048576;
constexpr std::int64_t kKilo = 1024;

// Unsigned arithmetic wraps by definition; converting back to signed is modular since C++20.
std::int64_t Wrapped(std::uint64_t bits) { return static_cast<std::int64_t>(bits); }

} // namespace

std::optional<std::int64_t> ParseSizeText(std::string_view text)
{
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == text.size())
        return std::nullopt;
    // The magnitude may reach 2^63 only for a negative number.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? Wrapped(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

std::int64_t SizeTextValue(std::string_view text) { return ParseSizeText(text).value_or(0); }

bool SizeEditAcceptsChar(char c)
{
    switch (c) {
    case '\b':
    case 0x01: case 0x03: case 0x16: case 0x18: case 0x1A:  // Ctrl+A, C, V, X, Z
        return true;
    default:
        return c >= '0' && c <= '9';
    }
}

std::int64_t StepSize(std::int64_t value, bool up, bool shift, bool ctrl)
{
    const std::int64_t step = shift ? kMega : ctrl ? kKilo : 1;
    if (!up)
        return value < step ? 0 : value - step;
    if (value < 0 || value > std::numeric_limits<std::int64_t>::max() - step)
        return kStepOverflowSize;  // the sum would be negative, or wrap to a negative value
    return value + step;
}

std::string SizeBreakdown(std::int64_t value)
{
    const std::int64_t rest = value % kMega;
    return "= " + std::to_string(value / kMega) + "M " + std::to_string(rest / kKilo) + "K " +
           std::to_string(rest % kKilo) + "B";
}

std::int64_t ScaledSize(std::int64_t value, int unitIndex)
{
    static constexpr std::uint64_t kFactors[4] = {1, 1024, 1048576, 1073741824};
    const std::uint64_t factor = unitIndex >= 0 && unitIndex < 4 ? kFactors[unitIndex] : 1;
    const std::int64_t product = Wrapped(static_cast<std::uint64_t>(value) * factor);
    return product < 0 ? kScaleOverflowSize : product;
}
