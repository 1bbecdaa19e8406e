#include "filters/Maskmatchfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A copy in a block of exactly its length plus the zero, so that under AddressSanitizer any read
// past the terminating zero is reported.
std::unique_ptr<char[]> Exact(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

bool Match(const std::string& mask, const std::string& name)
{
    const auto m = Exact(mask);
    const auto n = Exact(name);
    return MaskMatch(m.get(), n.get());
}

struct Row {
    const char* mask;
    const char* name;
    bool expected;
};

void CheckRows(const std::vector<Row>& rows)
{
    for (const Row& r : rows)
        EXPECT_EQ(Match(r.mask, r.name), r.expected) << "mask [" << r.mask << "] name [" << r.name << "]";
}

// Unlimited backtracking, the usual meaning of the two wildcards, with the same ASCII folding.
bool TextbookMatch(const std::string& mask, const std::string& name)
{
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    std::vector<std::vector<bool>> ok(mask.size() + 1, std::vector<bool>(name.size() + 1, false));
    ok[mask.size()][name.size()] = true;
    for (std::size_t i = mask.size(); i-- > 0;) {
        for (std::size_t j = name.size() + 1; j-- > 0;) {
            if (mask[i] == '*')
                ok[i][j] = ok[i + 1][j] || (j < name.size() && ok[i][j + 1]);
            else if (j < name.size() && (mask[i] == '?' || fold(mask[i]) == fold(name[j])))
                ok[i][j] = ok[i + 1][j + 1];
        }
    }
    return ok[0][0];
}

// Every string over the alphabet up to the given length, the empty one first.
std::vector<std::string> AllStrings(const std::string& alphabet, std::size_t maxLength)
{
    std::vector<std::string> all{""};
    for (std::size_t from = 0; from < all.size(); ++from) {
        if (all[from].size() == maxLength)
            continue;
        for (char c : alphabet)
            all.push_back(all[from] + c);
    }
    return all;
}

} // namespace

TEST(MaskMatch, ReferenceTable)
{
    CheckRows({
        {"", "", true},
        {"", "a", false},
        {"?", "", false},
        {"*", "", true},
        {"*.*", "readme", false},
        {"*.*", "a.b", true},
        {"*.*", ".txt", true},
        {"*.txt", "a.txt.bak", false},
        {"*.txt", ".txt", true},
        {"*.TXT", "a.txt", true},
        {"a*", "a", true},
        {"*a", "a", true},
        {"a*b*c", "abxbc", true},
        {"*abc", "ababc", true},
        {"*.", "a", false},
        {".*", ".", true},
        {"*?a", "aa", true},
        {"*?a", "ba", true},
        {"*?a", "aaa", false},
        {"*?a", "baa", false},
        {"*?b", "abb", false},
    });
}

TEST(MaskMatch, SingleRetryPointAndQuestionMarksAfterAStar)
{
    CheckRows({
        // A retry re-reads the '?' run from just after the literal found last time.
        {"*?.c", "a..c", false},    // the textbook reading (* = a, ? = .) is lost
        {"*?.c", "ab..c", false},   // the retry starts after the dot found, not one past the star's start
        {"*?a", "bcaa", false},
        {"*?.c", "x.y.c", true},    // a second retry finds the right dot
        {"*?.txt", "a.b.txt", true},
        {"*??", "abc", true},       // trailing '?' run then the end of the mask
        {"*??", "a", false},
        {"a?*", "a", false},
        {"a?*", "ab", true},
        // Without '?' after a star, one retry point is enough.
        {"*ab", "aab", true},
        {"*a*b", "xaxxb", true},
        {"*a*b", "xbxa", false},
        {"*.txt", "a.txt.txt", true},
        {"***", "", true},
        {"**a", "a", true},
        {"*.*", ".", true},
        {"abc", "ab", false},
        {"ab", "abc", false},
        {"a*c", "abcbd", false},
    });
}

TEST(MaskMatch, OnlyAsciiLettersFoldAndHighBytesCompareAsTheyAre)
{
    CheckRows({
        {"ABC.Txt", "abc.tXT", true},
        {"[", "{", false},          // 0x5B and 0x7B differ by 32 but are not letters
        {"@", "`", false},
        {"^", "~", false},
        {"\xC9t\xE9", "\xC9T\xE9", true},
        {"\xC9", "\xE9", false},    // a capital and a small letter above 0x7F stay different
        {"*\xE9", "caf\xE9", true},
        {"?", "\xFF", true},
        {"\xFF*", "\xFF\xFE", true},
        {"\xFE", "\xFF", false},
        {"a/b", "a/b", true},       // separators of a masks text are plain bytes here
        {"a/b", "a\\b", false},
        {"a b", "a b", true},
        {" *.doc", "x.doc", false},
    });
}

TEST(MaskMatch, MissingTextsCountAsEmpty)
{
    EXPECT_TRUE(MaskMatch(nullptr, nullptr));
    EXPECT_TRUE(MaskMatch("*", nullptr));
    EXPECT_FALSE(MaskMatch(nullptr, "a"));
}

TEST(MaskMatch, ViewsEndAtTheirLengthOrAtAZero)
{
    const std::string text = "*.txtXYZ";
    const std::string name = "a.txt.bak";
    EXPECT_TRUE(MaskMatch(std::string_view(text).substr(0, 5), std::string_view(name).substr(0, 5)));
    EXPECT_FALSE(MaskMatch(std::string_view(text).substr(0, 5), std::string_view(name)));
    EXPECT_TRUE(MaskMatch(std::string_view(text).substr(0, 1), std::string_view()));
    EXPECT_FALSE(MaskMatch(std::string_view(), std::string_view(name).substr(0, 1)));
    const std::string withZero("a.txt\0junk", 10);
    EXPECT_TRUE(MaskMatch(std::string_view("*.txt"), std::string_view(withZero)));
    // The view form agrees with the zero-ended form on every pair of the exhaustive check below.
    const std::vector<std::string> masks = AllStrings("a*?", 4);
    const std::vector<std::string> names = AllStrings("ab", 4);
    for (const std::string& m : masks)
        for (const std::string& n : names) {
            const std::string paddedMask = m + "Zq";
            const std::string paddedName = n + "Zq";
            ASSERT_EQ(MaskMatch(std::string_view(paddedMask).substr(0, m.size()),
                                std::string_view(paddedName).substr(0, n.size())),
                      Match(m, n))
                << m << " / " << n;
        }
}

TEST(MaskMatch, AgreesWithTheUsualMeaningExceptWhereAQuestionMarkFollowsAStar)
{
    // Every mask up to 5 bytes over a, B, *, ? against every name up to 4 bytes over a, b, A.
    const std::vector<std::string> masks = AllStrings("aB*?", 5);
    const std::vector<std::string> names = AllStrings("abA", 4);
    int refused = 0;
    for (const std::string& m : masks) {
        const bool starThenQuestion = m.find("*?") != std::string::npos;
        for (const std::string& n : names) {
            const bool ours = Match(m, n);
            const bool usual = TextbookMatch(m, n);
            if (!starThenQuestion)
                ASSERT_EQ(ours, usual) << "mask [" << m << "] name [" << n << "]";
            else
                ASSERT_TRUE(!ours || usual) << "accepted a name the usual reading refuses: [" << m << "] [" << n << "]";
            refused += usual && !ours;
        }
    }
    EXPECT_GT(refused, 0);  // the single retry point does make a difference for some '*?' masks
}
