#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(FilterSet, MaskListFromMasksText)
{
    const struct {
        const char* text;
        MaskList expected;
    } rows[] = {
        {"*.txt/*.doc", {"*.txt", "*.doc"}},
        {"*.TXT//*.txt/", {"*.txt"}},
        {"*.txt/*.txt/*.doc", {"*.txt", "*.doc"}},
        {"*.txt; *.doc", {"*.txt; *.doc"}},           // semicolon and blank are mask characters
        {"*.txt/ *.doc", {"*.txt", " *.doc"}},        // no trimming
        {"a:b", {"a", "b"}},
        {"a|b", {"a", "b"}},
        {"a/b\\c:d|e\"f<g>h", {"a", "b", "c", "d", "e", "f", "g", "h"}},
        {"a,b", {"a,b"}},
        {"*.Doc/*.dOC/*.doc", {"*.doc"}},
        {"b/A/a/B", {"b", "a"}},                      // text order, first occurrence kept
        {"", {}},
        {"/\\:|\"<>//", {}},
        {"*.*", {"*.*"}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(BuildMaskList(r.text), r.expected) << "text [" << r.text << "]";
}

TEST(FilterSet, ExtensionEntries)
{
    EXPECT_EQ(ExtensionEntryOf("report.txt"), ".txt");
    EXPECT_EQ(ExtensionEntryOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionEntryOf(".profile"), ".profile");
    EXPECT_EQ(ExtensionEntryOf("readme"), ".");
    EXPECT_EQ(ExtensionEntryOf("readme."), ".");  // shares the entry of names without a dot
    EXPECT_EQ(ExtensionEntryOf("."), ".");
    EXPECT_EQ(ExtensionEntryOf(""), ".");
    EXPECT_EQ(ExtensionEntryOf("a b.t x"), ".t x");
}

TEST(FilterSet, NameTest)
{
    const MaskList all = BuildMaskList("*.*");
    EXPECT_FALSE(MatchesNameFilter(all, {}, "readme"));
    EXPECT_TRUE(MatchesNameFilter(all, {}, ".profile"));
    EXPECT_FALSE(MatchesNameFilter({}, {}, "a.txt"));  // an empty list lets nothing through

    const std::vector<ExtensionEntry> list{{".txt", true}, {".log", false}, {".", false}};
    const MaskList masks = BuildMaskList("*.log/*.txt/readme*/*");
    EXPECT_TRUE(MatchesNameFilter(masks, list, "a.txt"));
    EXPECT_FALSE(MatchesNameFilter(masks, list, "a.log"));      // unchecked wins over a mask naming it
    EXPECT_TRUE(MatchesNameFilter(masks, list, "a.bak"));       // not in the list: not refused by it
    EXPECT_FALSE(MatchesNameFilter(masks, list, "readme"));     // "." unchecked
    EXPECT_FALSE(MatchesNameFilter(masks, list, "readme."));    // same entry
    EXPECT_TRUE(MatchesNameFilter(masks, list, "readme.txt"));
    // The entry look-up ignores case; the first entry of a name decides.
    EXPECT_FALSE(MatchesNameFilter(masks, {{".LOG", false}}, "a.log"));
    EXPECT_FALSE(MatchesNameFilter(masks, {{".log", false}, {".log", true}}, "a.log"));
    // An entry is compared whole, not as a prefix or a suffix.
    EXPECT_TRUE(MatchesNameFilter(masks, {{".lo", false}, {".logs", false}, {"log", false}}, "a.log"));

    // A blank that starts a mask belongs to it.
    const MaskList blank = BuildMaskList("*.txt/ *.doc");
    EXPECT_FALSE(MatchesNameFilter(blank, {}, "x.doc"));
    EXPECT_TRUE(MatchesNameFilter(blank, {}, " x.doc"));
}

TEST(FilterSet, MasksAndNamesFoldTheirCase)
{
    // Callers lower-case the name; capitals in the masks text are lowered by the list.
    const MaskList masks = BuildMaskList("REPORT*.TXT");
    EXPECT_TRUE(MatchesNameFilter(masks, {}, LocaleLower("Report_2026.Txt")));
    EXPECT_EQ(LocaleLower("ABC xyz.TXT"), "abc xyz.txt");
    EXPECT_EQ(LocaleLower(""), "");
    EXPECT_EQ(LocaleLower(std::string("A\0B", 3)), std::string("a\0b", 3));
    EXPECT_EQ(LocaleLower("[@]^_`{}~/\\:|"), "[@]^_`{}~/\\:|");
}

TEST(FilterSet, TimeWindowIncludesBothEnds)
{
    const MaskList masks = BuildMaskList("*");
    FilterSet f;
    f.timeFrom = EncodeDateTime({2024, 3, 1, 0, 0, 0, 0});
    f.timeTo = EncodeDateTime({2024, 3, 31, 23, 59, 58, 0});
    const DateTime twoSecondsBefore = EncodeDateTime({2024, 2, 29, 23, 59, 58, 0});
    const DateTime twoSecondsAfter = EncodeDateTime({2024, 4, 1, 0, 0, 0, 0});
    EXPECT_TRUE(PassesFileFilter(masks, f, "a", f.timeFrom, 1));
    EXPECT_TRUE(PassesFileFilter(masks, f, "a", f.timeTo, 1));
    EXPECT_TRUE(PassesFileFilter(masks, f, "a", EncodeDateTime({2024, 3, 15, 12, 0, 0, 0}), 1));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a", twoSecondsBefore, 1));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a", twoSecondsAfter, 1));
    // The reset window starts at day 0 itself.
    f.timeFrom = 0.0;
    EXPECT_TRUE(PassesFileFilter(masks, f, "a", 0.0, 1));
}

TEST(FilterSet, SizeWindowIsSigned64BitWithBothEnds)
{
    const MaskList masks = BuildMaskList("*");
    FilterSet f;
    f.timeTo = 1e6;
    const std::int64_t threeGiB = std::int64_t{3} << 30;
    EXPECT_TRUE(PassesFileFilter(masks, f, "big", 1.0, threeGiB));
    EXPECT_TRUE(PassesFileFilter(masks, f, "big", 1.0, INT64_MAX));
    EXPECT_TRUE(PassesFileFilter(masks, f, "empty", 1.0, 0));
    EXPECT_FALSE(PassesFileFilter(masks, f, "unreadable", 1.0, -1));  // a size that could not be read

    f.minSize = 0;
    f.maxSize = 0;
    EXPECT_TRUE(PassesFileFilter(masks, f, "empty", 1.0, 0));
    EXPECT_FALSE(PassesFileFilter(masks, f, "one", 1.0, 1));

    f.minSize = 1024;
    f.maxSize = 1024;
    EXPECT_TRUE(PassesFileFilter(masks, f, "k", 1.0, 1024));
    EXPECT_FALSE(PassesFileFilter(masks, f, "k", 1.0, 1023));
    EXPECT_FALSE(PassesFileFilter(masks, f, "k", 1.0, 1025));

    // Beyond 32 bits: 4 GiB + 1024 must not be read as 1024.
    f.maxSize = 4096;
    EXPECT_FALSE(PassesFileFilter(masks, f, "k", 1.0, (std::int64_t{1} << 32) + 1024));
}

TEST(FilterSet, EveryConditionCanRefuse)
{
    FilterSet f;
    f.masksText = "*.txt";
    f.extensions = {{".txt", true}};
    f.timeFrom = 100.0;
    f.timeTo = 200.0;
    f.minSize = 10;
    f.maxSize = 20;
    const MaskList masks = BuildMaskList(f.masksText);
    EXPECT_TRUE(PassesFileFilter(masks, f, "a.txt", 150.0, 15));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.doc", 150.0, 15));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.txt", 99.0, 15));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.txt", 201.0, 15));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.txt", 150.0, 9));
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.txt", 150.0, 21));
    f.extensions[0].checked = false;
    EXPECT_FALSE(PassesFileFilter(masks, f, "a.txt", 150.0, 15));
}
