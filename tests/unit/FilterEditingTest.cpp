#include "filters/MaskEditing.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

const char* const kEntries[] = {".", ".doc", ".txt", ".txtreadme", ".tmp"};

// The entries of kEntries the masks text covers, joined with blanks.
std::string Covered(const char* masks)
{
    std::string covered;
    for (const char* entry : kEntries)
        if (MasksCoverExtension(masks, entry))
            covered += (covered.empty() ? "" : " ") + std::string(entry);
    return covered;
}

} // namespace

TEST(FilterEditing, MasksCoverExtensions)
{
    const struct {
        const char* masks;
        const char* covered;
    } rows[] = {
        {"*.txt/*.doc", ".doc .txt"},
        {"*.*", ". .doc .txt .txtreadme .tmp"},
        {"*", "."},
        {"report*", "."},
        {"*.txt/readme", ".txt .txtreadme"},  // a dotless mask extends the extension before it
        {"*.txt/", ".txt"},
        {"*.TXT", ".txt"},
        {"a.t?p", ".tmp"},
        {"*.txt; *.doc", ".doc"},               // one mask: its last dot decides
        {"", "."},
        {"x.doc|y.tmp", ".doc .tmp"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Covered(r.masks), r.covered) << "masks [" << r.masks << "]";
}

TEST(FilterEditing, RemoveMaskGivesTheNormalForm)
{
    const struct {
        const char* masks;
        const char* mask;
        const char* result;
    } rows[] = {
        {"*.txt/*.doc/", "*.doc", "*.txt/"},
        {"*.TXT//*.Doc", "/", "*.txt/*.doc/"},
        {"*.txt/*.txt", "/", "*.txt/*.txt/"},   // repeats are kept
        {"*.txt/*.txt", "*.txt", ""},
        {"a:b|c", "b", "a/c/"},
        {" *.a /", "/", " *.a /"},            // no trimming
        {"", "/", ""},
        {"///", "/", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RemoveMask(r.masks, r.mask), r.result) << "masks [" << r.masks << "] without [" << r.mask << "]";
}

TEST(FilterEditing, CheckMarksRewriteTheMasks)
{
    const auto entries = [](bool doc, bool txt, bool none) {
        return std::vector<ExtensionEntry>{{".", none}, {".doc", doc}, {".txt", txt}};
    };
    const struct {
        const char* masks;
        std::vector<ExtensionEntry> entries;
        const char* result;
        bool anyUnchecked;
    } rows[] = {
        {"*.txt", entries(true, true, false), "*.txt/*.doc/", true},  // checking .doc adds its mask
        {"*.txt/*.doc/", entries(false, true, false), "*.txt/", true},
        {"*.*", entries(true, true, true), "*.*/", false},            // covered: only normalised
        {"*.*", {{".tmp", false}}, "*.*/", true},                     // unchecking leaves the default mask
        {"*.txt", entries(true, true, true), "*.txt/*./*.doc/", false},  // "." gets the mask "*."
        {"", {}, "", false},
    };
    for (const auto& r : rows) {
        const MaskRewrite got = RewriteMasksFromChecks(r.masks, r.entries);
        EXPECT_EQ(got.masksText, r.result) << "masks [" << r.masks << "]";
        EXPECT_EQ(got.anyUnchecked, r.anyUnchecked) << "masks [" << r.masks << "]";
    }
}

TEST(FilterEditing, SizeTexts)
{
    const struct {
        const char* text;
        std::int64_t value;
        const char* breakdown;
    } rows[] = {
        {"0", 0, "= 0M 0K 0B"},
        {"", 0, "= 0M 0K 0B"},
        {"1048576", 1048576, "= 1M 0K 0B"},
        {"1536", 1536, "= 0M 1K 512B"},
        {"00", 0, "= 0M 0K 0B"},
        {"9223372036854775807", kMax, "= 8796093022207M 1023K 1023B"},
        {"9223372036854775808", 0, "= 0M 0K 0B"},              // out of range
        {"1234567890123456789012345", 0, "= 0M 0K 0B"},        // 25 digits
        {"-9223372036854775808", kMin, "= -8796093022208M 0K 0B"},
        {"-1536", -1536, "= 0M -1K -512B"},
        {"+12", 12, "= 0M 0K 12B"},
        {"12ab", 0, "= 0M 0K 0B"},
        {" 12", 0, "= 0M 0K 0B"},
        {"-", 0, "= 0M 0K 0B"},
        {"1e3", 0, "= 0M 0K 0B"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SizeTextValue(r.text), r.value) << "[" << r.text << "]";
        EXPECT_EQ(SizeBreakdown(SizeTextValue(r.text)), r.breakdown) << "[" << r.text << "]";
    }
}

TEST(FilterEditing, ArrowSteps)
{
    const struct {
        std::int64_t value;
        bool up, shift, ctrl;
        std::int64_t result;
    } rows[] = {
        {0, false, false, false, 0},
        {0, true, true, false, 1048576},
        {1000, false, false, true, 0},
        {5000, false, false, true, 3976},
        {5, true, false, false, 6},
        {5, true, true, true, 1048581},                           // Shift wins over Ctrl
        {kMax, true, false, false, kStepOverflowSize},
        {kMax - 1024, true, false, true, kMax},
        {kMax - 1023, true, false, true, kStepOverflowSize},
        {kMin, false, true, false, 0},
        {-5, true, false, false, kStepOverflowSize},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StepSize(r.value, r.up, r.shift, r.ctrl), r.result)
            << r.value << (r.up ? " up" : " down") << (r.shift ? " shift" : "") << (r.ctrl ? " ctrl" : "");
}

TEST(FilterEditing, UnitsWrapAndSaturate)
{
    EXPECT_EQ(ScaledSize(5, 0), 5);
    EXPECT_EQ(ScaledSize(5, 1), 5120);
    EXPECT_EQ(ScaledSize(5, 2), 5242880);
    EXPECT_EQ(ScaledSize(5, 3), 5368709120);
    EXPECT_EQ(ScaledSize(5, -1), 5);
    EXPECT_EQ(ScaledSize(kMax, 0), kMax);
    EXPECT_EQ(ScaledSize(kMax, 1), kScaleOverflowSize);              // wraps to -1024
    EXPECT_EQ(ScaledSize(std::int64_t{1} << 53, 2), 0);               // wraps to exactly 2^73 mod 2^64 = 0
    EXPECT_EQ(ScaledSize(-1, 0), kScaleOverflowSize);
}

TEST(FilterEditing, CharactersTheSizeEditsTake)
{
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_TRUE(SizeEditAcceptsChar(c));
    EXPECT_TRUE(SizeEditAcceptsChar('\b'));
    EXPECT_TRUE(SizeEditAcceptsChar(0x16));  // Ctrl+V
    for (char c : {'a', '-', '+', ' ', '.', '\r', '\t', '\x7F', static_cast<char>(0xB2)})
        EXPECT_FALSE(SizeEditAcceptsChar(c)) << static_cast<int>(c);
}

TEST(FilterEditing, PresetTimes)
{
    DateTimeParts p{2024, 2, 29, 13, 5, 58};
    EXPECT_EQ(ParsePresetTime("2024-02-29 13:05:58").value_or(-1), EncodeDateTime(p));
    EXPECT_EQ(ParsePresetTime("2024-02-29 13.05.58").value_or(-1), EncodeDateTime(p));  // another time separator
    EXPECT_EQ(ParsePresetTime("1899-12-30 00:00:00").value_or(-1), 0.0);
    EXPECT_EQ(ParsePresetTime(FormatIsoDateTime(52533.5)).value_or(-1), 52533.5);
    for (const char* bad : {"", "2024-02-30 00:00:00", "2023-02-29 00:00:00", "2024-13-01 00:00:00",
                            "2024-00-10 00:00:00", "2024-01-01 24:00:00", "2024-01-01 00:60:00",
                            "2024-01-01 00:00:60", "2024-01-01 00:00", "2024-01-01 00:00:00 ", "24-01-01 00:00:00",
                            "2024/01/01 00:00:00", "2024-01-01 00:00.00", "0000-01-01 00:00:00", "abcd",
                            "2024-01-01 00::::::00::::::00"})
        EXPECT_FALSE(ParsePresetTime(bad).has_value()) << "[" << bad << "]";
}
