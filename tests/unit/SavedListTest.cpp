#include "filters/SavedList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Entries = std::vector<std::string>;

TEST(SavedList, LinesOfEveryEndingForm)
{
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        Entries expected;
    } rows[] = {
        {"", {}},
        {"*.txt\r\n*.doc\r\n", {"*.txt", "*.doc"}},
        {"*.txt\n*.doc\n", {"*.txt", "*.doc"}},
        {"*.txt\r*.doc\r", {"*.txt", "*.doc"}},                 // only CRs
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},                  // mixed, last line without an end
        {"a\n\rb", {"a", "", "b"}},                              // LF CR is two line ends
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},                      // an empty line is an empty entry
        {"\r\n", {""}},
        {"\r", {""}},
        {"\n\n", {"", ""}},
        {"  C:\\x  \r\n", {"  C:\\x  "}},                       // entries are not trimmed
        {"a\r\nb\0c\r\nd\r\n"s, {"a", "b"}},                     // a NUL ends the text
        {"\0a\r\n"s, {}},
        {"a\r\0\nb"s, {"a"}},
        {"\xff\xfe\x01\x80\r\n\x7f"s, {"\xff\xfe\x01\x80", "\x7f"}},  // bytes pass as they are
    };
    for (const auto& r : rows) {
        const SavedListText list = ParseSavedList(r.bytes);
        EXPECT_EQ(list.entries, r.expected) << "bytes [" << r.bytes << "]";
        EXPECT_TRUE(list.whole);
    }
}

TEST(SavedList, AHeadOfALongerFileDropsTheLineItCutsAndIsNotWhole)
{
    const SavedListText cut = ParseSavedList("a\r\nb\r\ncc", false);
    EXPECT_EQ(cut.entries, (Entries{"a", "b"}));
    EXPECT_FALSE(cut.whole);
    // Cut right after a CR of a CR LF pair: the LF that follows in the file is not a second entry
    // here, and the head still is not the whole file.
    const SavedListText atCr = ParseSavedList("a\r", false);
    EXPECT_EQ(atCr.entries, (Entries{"a"}));
    EXPECT_FALSE(atCr.whole);
    // A NUL inside the head ends the list: what follows it in the file never counts.
    const SavedListText nul = ParseSavedList(std::string("a\r\nb\0cc", 7), false);
    EXPECT_EQ(nul.entries, (Entries{"a", "b"}));
    EXPECT_TRUE(nul.whole);
}

TEST(SavedList, WrittenWithCrLfAfterEveryEntryAndReadBackTheSame)
{
    EXPECT_EQ(FormatSavedList({}), "");
    EXPECT_EQ(FormatSavedList({"*.txt", "", " x "}), "*.txt\r\n\r\n x \r\n");
    const Entries entries{"C:\\a", "", "*.*/", "\t"};
    EXPECT_EQ(ParseSavedList(FormatSavedList(entries)).entries, entries);
}

TEST(SavedList, TrimmedTo128)
{
    for (const std::size_t n : {0u, 1u, 127u, 128u, 129u, 200u}) {
        Entries entries;
        for (std::size_t i = 0; i < n; ++i)
            entries.push_back("line" + std::to_string(i));
        const bool cut = TrimSavedList(entries);
        EXPECT_EQ(cut, n > 128) << n;
        EXPECT_EQ(entries.size(), std::min<std::size_t>(n, 128)) << n;
        if (!entries.empty()) {
            EXPECT_EQ(entries.front(), "line0");
            EXPECT_EQ(entries.back(), "line" + std::to_string(entries.size() - 1)) << "the first lines stay";
        }
    }
}

TEST(SavedList, AddingGoesToTheTopUnlessBlankOrKnownInAnyLetterCase)
{
    const struct {
        Entries before;
        std::string text;
        bool added;
        Entries after;
    } rows[] = {
        {{"*.txt"}, "*.TXT", false, {"*.txt"}},
        {{"a", "*.txt", "b"}, "*.Txt", false, {"a", "*.txt", "b"}},  // not moved to the top either
        {{"*.txt"}, "*.doc", true, {"*.doc", "*.txt"}},
        {{"*.txt"}, "   ", false, {"*.txt"}},
        {{}, "\t\r\n", false, {}},
        {{}, "", false, {}},
        {{"*.txt"}, " *.txt ", true, {" *.txt ", "*.txt"}},  // added with its blanks: not the same text
        {{"C:\\Data"}, "c:\\data\\", true, {"c:\\data\\", "C:\\Data"}},
        {{""}, "x", true, {"x", ""}},
    };
    for (const auto& r : rows) {
        Entries entries = r.before;
        EXPECT_EQ(AddToSavedList(entries, r.text), r.added) << "[" << r.text << "]";
        EXPECT_EQ(entries, r.after) << "[" << r.text << "]";
    }
}
