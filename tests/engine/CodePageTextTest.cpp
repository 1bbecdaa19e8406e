#include "platform/CodePageText.h"

#include <gtest/gtest.h>

#include <optional>

TEST(CodePageText, OnlyExactTextIsGiven)
{
    constexpr UINT kWestern = 1252;
    EXPECT_EQ(ExactCodePageText(L"report 2026?.txt", kWestern), "report 2026?.txt");
    EXPECT_EQ(ExactCodePageText(L"caf\u00E9.txt", kWestern), "caf\xE9.txt");
    // Best fit would give look-alikes: "a.txt", "A.txt".
    EXPECT_EQ(ExactCodePageText(L"\u03B1.txt", kWestern), std::nullopt);
    EXPECT_EQ(ExactCodePageText(L"\u0100.txt", kWestern), std::nullopt);
    EXPECT_EQ(ShownCodePageText(L"\u03B1\u00E9", kWestern), "?\xE9");

    EXPECT_EQ(ExactCodePageText(L"\u03B1\U0001F600", CP_UTF8), "\xCE\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(ExactCodePageText(std::wstring(L"a\xD800.txt"), CP_UTF8), std::nullopt);  // a lone surrogate
    EXPECT_EQ(ShownCodePageText(std::wstring(L"a\xD800"), CP_UTF8), "a\xEF\xBF\xBD");
    // The default is the process code page (UTF-8 under the manifest the test programs carry).
    EXPECT_EQ(ExactCodePageText(L"\u00E9t\u00E9"), ShownCodePageText(L"\u00E9t\u00E9", GetACP()));
}
