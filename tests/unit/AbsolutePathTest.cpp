#include "core/AbsolutePath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AbsolutePath, ADriveWithItsRootOrAShareIsAbsolute)
{
    for (const char* path : {"C:\\", "C:\\Data", "c:/data/x", "D:", "z:\\tmp\\a b", "\\\\server\\share",
                             "\\\\server\\share\\dir", "//server/share", "\\\\?\\C:\\very\\long", "\\\\?\\UNC\\s\\x"})
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
}

TEST(AbsolutePath, TextsThatDependOnACurrentFolderOrDriveAreNot)
{
    for (const char* path : {"", ".", "..", ".\\x", "..\\x", "data", "data\\sub", "C:data", "C:.", "C:..\\x",
                             "\\data", "/data", "\\", "\\\\", "\\\\\\x", "1:\\x", ":\\x", " C:\\x", "startup"})
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
}

TEST(AbsolutePath, AHandOffSendsAbsolutePathsAndEmptyArgumentsAsTheyCame)
{
    std::vector<std::string> asked;
    const auto resolve = [&asked](const std::string& path) {
        asked.push_back(path);
        return "Z:\\work\\" + path;
    };
    EXPECT_EQ(ArgumentForHandOff("", resolve), "");
    EXPECT_EQ(ArgumentForHandOff("C:\\Data\\..\\x", resolve), "C:\\Data\\..\\x");
    EXPECT_EQ(ArgumentForHandOff("D:", resolve), "D:");
    EXPECT_TRUE(asked.empty());
}

TEST(AbsolutePath, AHandOffResolvesARelativeArgumentInTheSender)
{
    const auto resolve = [](const std::string& path) { return path == "." ? "Z:\\work" : "Z:\\work\\" + path; };
    EXPECT_EQ(ArgumentForHandOff(".", resolve), "Z:\\work");
    EXPECT_EQ(ArgumentForHandOff("sub\\file.txt", resolve), "Z:\\work\\sub\\file.txt");
    // The words of a first start are paths to a running window: resolved like any other name.
    EXPECT_EQ(ArgumentForHandOff("startup", resolve), "Z:\\work\\startup");
}

TEST(AbsolutePath, AnArgumentThatCannotBeResolvedTravelsAsItCameAndIsRefusedThere)
{
    EXPECT_EQ(ArgumentForHandOff("data", [](const std::string&) { return std::string(); }), "data");
    EXPECT_EQ(ArgumentForHandOff("data", [](const std::string&) { return std::string("still\\relative"); }), "data");
    EXPECT_EQ(ArgumentForHandOff("data", nullptr), "data");
    EXPECT_FALSE(IsAbsolutePath(ArgumentForHandOff("data", nullptr)));
}

TEST(AbsolutePath, ASourceIsListedFullAndWithoutDotParts)
{
    EXPECT_EQ(SourcePathAsListed("E:\\x\\.."), "E:\\");
    EXPECT_EQ(SourcePathAsListed("E:\\x\\..\\y\\.\\z"), "E:\\y\\z");
    EXPECT_EQ(SourcePathAsListed("E:/data/./sub/"), "E:\\data\\sub");
    EXPECT_EQ(SourcePathAsListed("E:\\..\\..\\a"), "E:\\a") << "never above the drive's root";
    EXPECT_EQ(SourcePathAsListed("D:"), "D:\\");
    EXPECT_EQ(SourcePathAsListed("\\\\server\\share\\a\\..\\..\\b"), "\\\\server\\share\\b")
        << "never above the share";
    EXPECT_EQ(SourcePathAsListed("\\\\server"), "\\\\server");
    EXPECT_EQ(SourcePathAsListed("\\\\?\\C:\\a\\..\\b"), "\\\\?\\C:\\a\\..\\b") << "taken as the system takes it";
    // Names are not dot parts: a name of dots and letters, or ending in a dot, stays as it is.
    EXPECT_EQ(SourcePathAsListed("C:\\a\\..b\\c."), "C:\\a\\..b\\c.");
    EXPECT_EQ(SourcePathAsListed("C:\\Plain\\Path"), "C:\\Plain\\Path");

    for (const char* relative : {"drivers", ".", "..", "..\\x", "C:data", "\\data", ""})
        EXPECT_FALSE(SourcePathAsListed(relative).has_value()) << relative;
}
