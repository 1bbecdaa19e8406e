#include "filters/MaskEditing.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The entries among ". .doc .txt .txtreadme .tmp" that the masks text covers.
std::string Covered(const char* masks)
{
    std::string covered;
    for (const char* entry : {".", ".doc", ".txt", ".txtreadme", ".tmp"})
        if (MasksCoverExtension(masks, entry))
            covered += (covered.empty() ? "" : " ") + std::string(entry);
    return covered;
}

} // namespace

TEST(FilterEditing, MasksCoverExtensions)
{
    const char* const rows[][2] = {
        {"*.txt/*.doc", ".doc .txt"},        {"*.*", ". .doc .txt .txtreadme .tmp"},
        {"*", "."},                          {"report*", "."},
        {"*.txt/readme", ".txt .txtreadme"}, {"*.txt/", ".txt"},  // a dotless mask extends the one before
        {"*.TXT", ".txt"},                   {"a.t?p", ".tmp"},
        {"*.txt; *.doc", ".doc"},            {"", "."},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Covered(r[0]), r[1]) << "masks [" << r[0] << "]";
}

TEST(FilterEditing, RemoveMaskGivesTheNormalForm)
{
    const char* const rows[][3] = {
        {"*.txt/*.doc/", "*.doc", "*.txt/"}, {"*.TXT//*.Doc", "/", "*.txt/*.doc/"},
        {"*.txt/*.txt", "/", "*.txt/*.txt/"}, {"a:b|c", "b", "a/c/"},
        {" *.a /", "/", " *.a /"},             {"///", "/", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RemoveMask(r[0], r[1]), r[2]) << "[" << r[0] << "] without [" << r[1] << "]";
}

TEST(FilterEditing, CheckMarksRewriteTheMasks)
{
    const auto marks = [](bool none, bool doc, bool txt) {
        return std::vector<ExtensionEntry>{{".", none}, {".doc", doc}, {".txt", txt}};
    };
    const struct {
        const char* masks;
        std::vector<ExtensionEntry> entries;
        const char* result;
        bool anyUnchecked;
    } rows[] = {
        {"*.txt", marks(false, true, true), "*.txt/*.doc/", true},
        {"*.txt/*.doc/", marks(false, false, true), "*.txt/", true},
        {"*.*", marks(true, true, true), "*.*/", false},
        {"*.*", {{".tmp", false}}, "*.*/", true},
        {"*.txt", marks(true, true, true), "*.txt/*./*.doc/", false},
    };
    for (const auto& r : rows) {
        const MaskRewrite got = RewriteMasksFromChecks(r.masks, r.entries);
        EXPECT_EQ(got.masksText, r.result) << "[" << r.masks << "]";
        EXPECT_EQ(got.anyUnchecked, r.anyUnchecked) << "[" << r.masks << "]";
    }
}

TEST(FilterEditing, SizeTextsAndBreakdowns)
{
    const struct {
        const char* text;
        std::int64_t value;
        const char* breakdown;
    } rows[] = {
        {"", 0, "= 0M 0K 0B"},
        {"1048576", 1048576, "= 1M 0K 0B"},
        {"1536", 1536, "= 0M 1K 512B"},
        {"9223372036854775807", kMax, "= 8796093022207M 1023K 1023B"},
        {"9223372036854775808", 0, "= 0M 0K 0B"},
        {"1234567890123456789012345", 0, "= 0M 0K 0B"},
        {"-9223372036854775808", kMin, "= -8796093022208M 0K 0B"},
        {"-1536", -1536, "= 0M -1K -512B"},
        {"12ab", 0, "= 0M 0K 0B"},
        {" 12", 0, "= 0M 0K 0B"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SizeTextValue(r.text), r.value) << "[" << r.text << "]";
        EXPECT_EQ(SizeBreakdown(SizeTextValue(r.text)), r.breakdown) << "[" << r.text << "]";
    }
    EXPECT_TRUE(SizeEditAcceptsChar('7') && SizeEditAcceptsChar('\b') && SizeEditAcceptsChar(0x16));
    EXPECT_FALSE(SizeEditAcceptsChar('a') || SizeEditAcceptsChar('-') || SizeEditAcceptsChar(' '));
}

TEST(FilterEditing, ArrowStepsAndUnitsStayInRange)
{
    const struct {
        std::int64_t value;
        bool up, shift, ctrl;
        std::int64_t result;
    } rows[] = {
        {0, false, false, false, 0},           {0, true, true, false, 1048576},
        {1000, false, false, true, 0},         {5000, false, false, true, 3976},
        {5, true, true, true, 1048581},        {kMax - 1024, true, false, true, kMax},
        {kMax - 1023, true, false, true, kStepOverflowSize},
        {kMin, false, true, false, 0},         {-5, true, false, false, kStepOverflowSize},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StepSize(r.value, r.up, r.shift, r.ctrl), r.result) << r.value << (r.up ? " up" : " down");

    EXPECT_EQ(ScaledSize(5, 3), 5368709120);
    EXPECT_EQ(ScaledSize(5, -1), 5);
    EXPECT_EQ(ScaledSize(kMax, 1), kScaleOverflowSize);     // wraps to -1024
    EXPECT_EQ(ScaledSize(std::int64_t{1} << 53, 2), 0);      // wraps to 2^73 mod 2^64
    EXPECT_EQ(ScaledSize(-1, 0), kScaleOverflowSize);
}

TEST(FilterEditing, PresetTimes)
{
    const DateTime leapDay = EncodeDateTime({2024, 2, 29, 13, 5, 58});
    EXPECT_EQ(ParsePresetTime("2024-02-29 13:05:58").value_or(-1), leapDay);
    EXPECT_EQ(ParsePresetTime("2024-02-29 13.05.58").value_or(-1), leapDay);  // another time separator
    EXPECT_EQ(ParsePresetTime("1899-12-30 00:00:00").value_or(-1), 0.0);
    for (const char* bad : {"", "abcd", "2023-02-29 00:00:00", "2024-13-01 00:00:00", "2024-01-01 24:00:00",
                            "2024-01-01 00:00:60", "2024-01-01 00:00", "2024-01-01 00:00:00 ", "2024/01/01 00:00:00",
                            "2024-01-01 00:00.00", "0000-01-01 00:00:00"})
        EXPECT_FALSE(ParsePresetTime(bad).has_value()) << "[" << bad << "]";
}
