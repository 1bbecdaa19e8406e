#include "core/ProgressTexts.h"

#include <climits>

namespace {

struct U128 {
    std::uint64_t hi = 0, lo = 0;
};

U128 Multiply(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
    const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    U128 r;
    r.lo = (middle << 32) | (ll & 0xFFFFFFFFu);
    r.hi = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
    return r;
}

// Quotient of a 128-bit value by a 64-bit divisor; sets overflow when it does not fit 64 bits.
std::uint64_t Divide(U128 n, std::uint64_t d, bool& overflow)
{
    overflow = n.hi >= d;
    if (overflow)
        return UINT64_MAX;
    std::uint64_t remainder = n.hi, quotient = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = remainder >> 63;
        remainder = (remainder << 1) | ((n.lo >> bit) & 1u);
        quotient <<= 1;
        if (carry || remainder >= d) {
            remainder -= d;
            quotient |= 1u;
        }
    }
    return quotient;
}

std::uint64_t Magnitude(std::int64_t v)
{
    return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b)
{
    if (b > 0 && a > INT64_MAX - b)
        return INT64_MAX;
    if (b < 0 && a < INT64_MIN - b)
        return INT64_MIN;
    return a + b;
}

std::string Num(std::int64_t v) { return std::to_string(v); }

} // namespace

std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return 0;
    const bool negative = (a < 0) != (b < 0) ? (c > 0) : (c < 0);
    bool overflow = false;
    const std::uint64_t q = Divide(Multiply(Magnitude(a), Magnitude(b)), Magnitude(c), overflow);
    if (overflow || q > static_cast<std::uint64_t>(INT64_MAX))
        return negative ? INT64_MIN : INT64_MAX;
    return negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
}

std::pair<int, int> ScaleForBar(std::int64_t maximum, std::int64_t position)
{
    if (maximum < 0)
        maximum = 0;
    if (position < 0)
        position = 0;
    if (position > maximum)
        position = maximum;
    while (maximum > INT_MAX) {  // halve both until the maximum fits: the bar keeps its proportion
        maximum >>= 1;
        position >>= 1;
    }
    return {static_cast<int>(maximum), static_cast<int>(position)};
}

std::int64_t RemainingSeconds(std::int64_t elapsedMs, std::int64_t totalBytes, std::int64_t bytesSoFar,
                              std::int64_t totalFiles, std::int64_t filesSoFar)
{
    const std::int64_t divisor = bytesSoFar == 0 ? 1 : bytesSoFar;
    std::int64_t ms = MulDiv64(elapsedMs, totalBytes, divisor);
    ms = SaturatingAdd(ms, -elapsedMs);
    ms = SaturatingAdd(ms, MulDiv64(50, SaturatingAdd(totalFiles, -filesSoFar), 1));
    ms = SaturatingAdd(ms, 500);
    return ms / 1000;
}

std::string TimeRemainingText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    return "Time Remaining " + Num(seconds / 60) + "m" + Num(seconds % 60) + "s";
}

std::string OverallProgressText(std::int64_t bytesSoFar, std::int64_t totalBytes, std::int64_t filesSoFar,
                                std::int64_t totalFiles)
{
    return Num(bytesSoFar) + "B/" + Num(totalBytes) + "B   --     " + Num(filesSoFar) + "/" + Num(totalFiles);
}

std::string ProgressPercentHeader(std::int64_t bytesSoFar, std::int64_t totalBytes)
{
    return "Progress (" + Num(MulDiv64(bytesSoFar, 100, totalBytes)) + "%)\n";
}

std::string SpendingText(std::int64_t elapsedMs) { return "Spending " + Num(elapsedMs / 1000) + "s "; }

std::string CopiedSoFarText(std::int64_t bytesCopied, std::int64_t filesDone)
{
    return Num(bytesCopied) + "bytes of " + Num(filesDone) + "files copied.";
}

std::string ScannedSoFarHeader(std::int64_t bytesSoFar, std::int64_t filesSoFar)
{
    return "Progress (" + Num(bytesSoFar) + "bytes of " + Num(filesSoFar) + "files scaned )\n";
}

std::string SpeedText(std::int64_t bytesCopied, std::int64_t elapsedMs)
{
    return "  Speed " + Num(bytesCopied / (elapsedMs > 0 ? elapsedMs : 1)) + "kbps";
}

std::string FileUnderWayText(Operation operation, const std::string& path)
{
    return RowOf(operation).underWay + path;
}
