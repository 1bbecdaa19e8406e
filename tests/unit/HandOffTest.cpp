#include "core/HandOff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HandOff Decode(std::uint32_t tag, const std::string& bytes)
{
    return DecodeHandOff(tag, bytes.data(), bytes.size(), IsWellFormedUtf8);
}

} // namespace

TEST(HandOff, TheKeywordOnlyShowsTheWindow)
{
    const HandOff h = Decode(12, "showvorcopywin");
    EXPECT_EQ(h.kind, HandOffKind::ShowWindow);
    EXPECT_TRUE(h.text.empty());
}

TEST(HandOff, TheKeywordInAnotherCaseIsAPath)
{
    const HandOff h = Decode(12, "ShowVorCopyWin");
    EXPECT_EQ(h.kind, HandOffKind::Path);
    EXPECT_EQ(h.text, "ShowVorCopyWin");
}

TEST(HandOff, ExactlyTheGivenBytesMakeThePath)
{
    const std::string block = "C:\\Data\\Photos";
    // Only the stated length counts: what lies after it in the sender's memory does not.
    const HandOff h = DecodeHandOff(12, block.data(), 7, IsWellFormedUtf8);
    EXPECT_EQ(h.kind, HandOffKind::Path);
    EXPECT_EQ(h.text, "C:\\Data");
}

TEST(HandOff, AnotherTagIsAForeignProgramsMessage)
{
    EXPECT_EQ(Decode(0, "C:\\Data").kind, HandOffKind::Refused);
    EXPECT_EQ(Decode(13, "showvorcopywin").kind, HandOffKind::Refused);
}

TEST(HandOff, AnEmptyBlockIsAnEmptyPath)
{
    const HandOff h = DecodeHandOff(12, nullptr, 0, IsWellFormedUtf8);
    EXPECT_EQ(h.kind, HandOffKind::Path);
    EXPECT_TRUE(h.text.empty());
}

TEST(HandOff, ALengthWithoutBytesIsRefused)
{
    EXPECT_EQ(DecodeHandOff(12, nullptr, 5, IsWellFormedUtf8).kind, HandOffKind::Refused);
}

TEST(HandOff, ATerminatingZeroIsDroppedAndAnInnerOneRefused)
{
    const std::string terminated("C:\\Data\0\0", 9);
    const HandOff h = Decode(12, terminated);
    EXPECT_EQ(h.kind, HandOffKind::Path);
    EXPECT_EQ(h.text, "C:\\Data");

    const std::string keyword("showvorcopywin\0", 15);
    EXPECT_EQ(Decode(12, keyword).kind, HandOffKind::ShowWindow);

    const std::string inner("C:\\Data\0\\Other", 14);
    EXPECT_EQ(Decode(12, inner).kind, HandOffKind::Refused);
}

TEST(HandOff, TheLargestPathPassesAndMoreIsRefused)
{
    const std::string longest(kHandOffMaxBytes, 'a');
    EXPECT_EQ(Decode(12, longest).kind, HandOffKind::Path);
    const std::string megabytes(4u << 20, 'a');
    EXPECT_EQ(Decode(12, megabytes).kind, HandOffKind::Refused);
    EXPECT_EQ(Decode(12, std::string(kHandOffMaxBytes + 1, 'a')).kind, HandOffKind::Refused);
}

TEST(HandOff, TextInvalidInTheCodePageIsRefused)
{
    EXPECT_EQ(Decode(12, "C:\\\xff\xfe").kind, HandOffKind::Refused);
    const HandOff h = Decode(12, "C:\\\xe6\x97\xa5\xe6\x9c\xac");
    EXPECT_EQ(h.kind, HandOffKind::Path);
    EXPECT_EQ(h.text, "C:\\\xe6\x97\xa5\xe6\x9c\xac");
}

TEST(HandOff, TheValidatorSeesTheTextWithoutItsTerminator)
{
    std::vector<std::string> seen;
    const std::string block("D:\\x\0", 5);
    DecodeHandOff(12, block.data(), block.size(), [&seen](std::string_view text) {
        seen.emplace_back(text);
        return true;
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "D:\\x");
}

TEST(HandOff, TheSecondStartSendsItsArgumentOrTheKeyword)
{
    EXPECT_EQ(HandOffText(""), "showvorcopywin");
    EXPECT_EQ(HandOffText("new_window"), "new_window");
    EXPECT_EQ(HandOffText("C:\\a b\\c"), "C:\\a b\\c");
}

struct Utf8Case {
    const char* bytes;
    bool wellFormed;
};

TEST(HandOff, Utf8WellFormedness)
{
    const Utf8Case cases[] = {
        {"plain", true},
        {"\xc3\xa9", true},                  // é
        {"\xf0\x9f\x98\x80", true},          // an emoji
        {"\xf4\x8f\xbf\xbf", true},          // U+10FFFF
        {"\xc0\xaf", false},                 // overlong '/'
        {"\xe0\x80\xaf", false},             // overlong '/' in three bytes
        {"\xf0\x80\x80\xaf", false},         // overlong in four
        {"\xed\xa0\x80", false},             // a surrogate
        {"\xf4\x90\x80\x80", false},         // above U+10FFFF
        {"\x80", false},                     // a lone continuation
        {"\xe6\x97", false},                 // cut short
        {"\xe6\x41\xa5", false},             // a continuation missing
    };
    for (const Utf8Case& c : cases)
        EXPECT_EQ(IsWellFormedUtf8(c.bytes), c.wellFormed) << c.bytes;
}
