// The path forms of the file calls: a listed name is reached as spelt, a typed text as the system
// reads it. Twins are made through "\\?\" wide calls of the test's own.
#include "engine/DeleteListedFile.h"
#include "platform/FileIdentity.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using testsupport::TempFolder;

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }  // ASCII only
std::wstring Exact(const std::string& path) { return L"\\\\?\\" + Wide(path); }

bool MakeFile(const std::string& path, const std::string& content)
{
    UniqueFile file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::string ReadExact(const std::string& path)
{
    UniqueFile file(CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    std::string content(256, '\0');
    DWORD got = 0;
    ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    content.resize(got);
    return content;
}

// A temporary folder holding `report.doc ` and `notes.txt.` beside their twins, and a folder `dir.`
// beside `dir`; removed with the exact names at the end.
class Twins : public ::testing::Test {
protected:
    TempFolder temp;
    const std::string t = temp / "t";

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(Exact(t).c_str(), nullptr));
        ASSERT_TRUE(MakeFile(t + "\\report.doc ", "blank"));
        ASSERT_TRUE(MakeFile(t + "\\report.doc", "twin"));
        ASSERT_TRUE(MakeFile(t + "\\notes.txt.", "dot"));
        ASSERT_TRUE(MakeFile(t + "\\notes.txt", "twin"));
        ASSERT_TRUE(CreateDirectoryW(Exact(t + "\\dir.").c_str(), nullptr));
        ASSERT_TRUE(MakeFile(t + "\\dir.\\in.txt", "inner"));
        ASSERT_TRUE(CreateDirectoryW(Exact(t + "\\dir").c_str(), nullptr));
        ASSERT_TRUE(MakeFile(t + "\\dir\\in.txt", "twin"));
        ASSERT_EQ(ReadExact(t + "\\report.doc "), "blank") << "this system cannot make such names";
    }
    void TearDown() override
    {
        for (const char* name : {"\\report.doc ", "\\report.doc", "\\notes.txt.", "\\notes.txt", "\\dir.\\in.txt",
                                 "\\dir\\in.txt", "\\moved. ", "\\0", "\\memo.txt", "\\solo.txt"}) {
            SetFileAttributesW(Exact(t + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Exact(t + name).c_str());
        }
        RemoveDirectoryW(Exact(t + "\\dir.").c_str());
        RemoveDirectoryW(Exact(t + "\\dir").c_str());
        RemoveDirectoryW(Exact(t).c_str());
    }
};

} // namespace

TEST(LongPath, TheExactFormFoldsSeparatorsAndDotsButKeepsEveryNameAsSpelt)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* exact;
    } const cases[] = {
        {L"C:\\a\\report.doc ", L"C:\\a\\report.doc "},
        {L"C:\\a\\notes.txt.", L"C:\\a\\notes.txt."},
        {L"C:\\a\\dir.\\in.txt", L"C:\\a\\dir.\\in.txt"},
        {L"C:/a//b\\.\\c\\..\\d\\", L"C:\\a\\b\\d"},
        {L"C:\\..\\..\\a", L"C:\\a"},  // never above the root
        {L"C:\\", L"C:\\"},
        {L"C:\\a\\...", L"C:\\a\\..."},  // three dots are a name
        {L"\\\\server\\share\\x.\\..\\y ", L"\\\\server\\share\\y "},
        {L"\\\\server\\share\\..", L"\\\\server\\share"},
        {L"\\\\?\\C:\\a\\b.", L"C:\\a\\b."},
        {L"\\\\?\\UNC\\server\\share\\b ", L"\\\\server\\share\\b "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExactFullPathW(c.path), c.exact) << std::string(c.path, c.path + wcslen(c.path));
    EXPECT_EQ(ExtendedPathW(L"C:\\a\\b."), L"\\\\?\\C:\\a\\b.");
    EXPECT_EQ(ExtendedPathW(L"\\\\server\\share\\b "), L"\\\\?\\UNC\\server\\share\\b ");
    EXPECT_EQ(WidePath("C:\\a\\.\\b "), L"\\\\?\\C:\\a\\b ");
    // The system's own reading trims: that is what a typed text means.
    EXPECT_EQ(ResolvedPathW("C:\\a\\b."), L"C:\\a\\b");
    EXPECT_TRUE(PlainFormAlters("C:\\a\\b."));
    EXPECT_TRUE(PlainFormAlters("C:\\a\\b "));
    EXPECT_TRUE(PlainFormAlters("C:\\a\\dir.\\b"));
    EXPECT_FALSE(PlainFormAlters("C:\\a\\b"));
    EXPECT_FALSE(PlainFormAlters("C:\\a\\.\\b\\..\\c\\"));
}

TEST_F(Twins, EveryFileCallReachesTheNameAsListedAndNeverItsTwin)
{
    // Read, attributes, move and delete: each on the listed name, the twin as it was.
    UniqueFile blank(OpenPath(t + "\\report.doc ", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0));
    ASSERT_TRUE(blank);
    char bytes[16] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(blank.Get(), bytes, sizeof bytes, &got, nullptr));
    EXPECT_EQ(std::string(bytes, got), "blank");
    blank.Reset(INVALID_HANDLE_VALUE);

    ASSERT_TRUE(SetPathAttributes(t + "\\notes.txt.", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(PathAttributes(t + "\\notes.txt.") & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_EQ(GetFileAttributesW(Exact(t + "\\notes.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ASSERT_TRUE(SetPathAttributes(t + "\\notes.txt.", FILE_ATTRIBUTE_NORMAL));

    ASSERT_TRUE(MovePath(t + "\\report.doc ", t + "\\moved. ", 0));
    EXPECT_EQ(ReadExact(t + "\\moved. "), "blank");
    EXPECT_EQ(ReadExact(t + "\\moved"), "<missing>");
    EXPECT_EQ(ReadExact(t + "\\report.doc"), "twin");
    ASSERT_TRUE(MovePath(t + "\\moved. ", t + "\\report.doc ", 0));

    EXPECT_TRUE(DeletePath(t + "\\notes.txt."));
    EXPECT_EQ(ReadExact(t + "\\notes.txt."), "<missing>");
    EXPECT_EQ(ReadExact(t + "\\notes.txt"), "twin");
    EXPECT_FALSE(DeletePath(t + "\\notes.txt."));  // gone: never the twin instead
    EXPECT_EQ(ReadExact(t + "\\notes.txt"), "twin");

    // A file made under such a name keeps it.
    ASSERT_TRUE(CreateFolderPath(t + "\\dir.\\sub "));
    EXPECT_NE(GetFileAttributesW(Exact(t + "\\dir.\\sub ").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(Exact(t + "\\dir\\sub").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(Exact(t + "\\dir.\\sub ").c_str());

    // The entry found is the one named, also where a name ending in a dot reads as a pattern.
    WIN32_FIND_DATAW entry;
    ASSERT_TRUE(FindExactEntry(WidePath(t + "\\report.doc "), entry));
    EXPECT_EQ(std::wstring(entry.cFileName), L"report.doc ");
    EXPECT_EQ(entry.nFileSizeLow, 5u);
    ASSERT_TRUE(FindExactEntry(WidePath(t + "\\DIR.\\IN.TXT"), entry));
    EXPECT_EQ(entry.nFileSizeLow, 5u);
    EXPECT_FALSE(FindExactEntry(WidePath(t + "\\notes.txt."), entry));
    EXPECT_FALSE(FindExactEntry(WidePath(t + "\\*.doc"), entry));
}

TEST_F(Twins, ATypedTextIsReadAsTheSystemReadsItUnlessAnEntryHasExactlyThatName)
{
    EXPECT_EQ(EntryPathText(t + "\\report.doc "), t + "\\report.doc ");
    EXPECT_EQ(EntryPathText(t + "\\dir.\\in.txt"), t + "\\dir.\\in.txt");
    ASSERT_TRUE(DeleteFileW(Exact(t + "\\notes.txt.").c_str()));
    EXPECT_EQ(EntryPathText(t + "\\notes.txt."), t + "\\notes.txt");  // typed: the system's reading
    EXPECT_EQ(EntryPathText(t + "\\x\\..\\report.doc"), t + "\\x\\..\\report.doc");
    EXPECT_EQ(AbsolutePathText(t + "\\.\\report.doc "), t + "\\report.doc ");
    EXPECT_EQ(AbsolutePathText(t + "\\notes.txt."), t + "\\notes.txt");

    // Identities: the listed name is its own entry; a spelling with no entry names what it reads.
    EXPECT_NE(IdentityOf(t + "\\report.doc "), IdentityOf(t + "\\report.doc"));
    EXPECT_TRUE(IdentityOf(t + "\\report.doc ").has_value());
    EXPECT_EQ(IdentityOf(t + "\\notes.txt."), IdentityOf(t + "\\notes.txt"));
    EXPECT_FALSE(IsSameEntry(t + "\\dir.", t + "\\dir"));
}

TEST_F(Twins, TheListedEntryCheckComparesTheNameAsListed)
{
    const auto open = [](const std::string& path) {
        return UniqueFile(CreateFileW(Exact(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      0, nullptr));
    };
    const UniqueFile blank = open(t + "\\report.doc ");
    const UniqueFile twin = open(t + "\\report.doc");
    const UniqueFile dot = open(t + "\\notes.txt.");
    const UniqueFile inner = open(t + "\\dir.\\in.txt");
    const UniqueFile innerTwin = open(t + "\\dir\\in.txt");
    ASSERT_TRUE(blank && twin && dot && inner && innerTwin);

    EXPECT_TRUE(HandleIsListedEntry(blank.Get(), t + "\\report.doc "));
    EXPECT_TRUE(HandleIsListedEntry(dot.Get(), t + "\\notes.txt."));
    EXPECT_TRUE(HandleIsListedEntry(inner.Get(), t + "\\dir.\\in.txt"));
    EXPECT_TRUE(HandleIsListedEntry(twin.Get(), t + "\\report.doc"));
    EXPECT_FALSE(HandleIsListedEntry(twin.Get(), t + "\\report.doc "));
    EXPECT_FALSE(HandleIsListedEntry(innerTwin.Get(), t + "\\dir.\\in.txt"));

    EXPECT_TRUE(HandleNamedAsListed(blank.Get(), t + "\\report.doc "));
    EXPECT_TRUE(HandleNamedAsListed(inner.Get(), t + "\\dir.\\in.txt"));
    EXPECT_FALSE(HandleNamedAsListed(twin.Get(), t + "\\report.doc "));
    EXPECT_FALSE(HandleNamedAsListed(innerTwin.Get(), t + "\\dir.\\in.txt"));
}

TEST_F(Twins, ASecondNameClosingInADotIsItsOwnEntryButALinkSpeltSoIsNot)
{
    ASSERT_TRUE(MakeFile(t + "\\memo.txt", "memo"));
    ASSERT_TRUE(CreateHardLinkW(Exact(t + "\\memo.txt.").c_str(), Exact(t + "\\memo.txt").c_str(), nullptr));
    {
        const UniqueFile second(CreateFileW(Exact(t + "\\memo.txt.").c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(second);
        EXPECT_TRUE(HandleIsListedEntry(second.Get(), t + "\\memo.txt."));
    }
    EXPECT_EQ(DeleteListedFile(t + "\\memo.txt.", FILE_ATTRIBUTE_ARCHIVE), 0u);
    EXPECT_EQ(ReadExact(t + "\\memo.txt."), "<missing>");
    EXPECT_EQ(ReadExact(t + "\\memo.txt"), "memo");

    // A link named as its target plus a dot: where opening it reaches the target (Wine, with a link of
    // the host system), the target is not the listed entry and is not deleted.
    ASSERT_TRUE(MakeFile(t + "\\solo.txt", "solo"));
    if (!testsupport::MakeFileLink("\\\\?\\" + t + "\\solo.txt.", t + "\\solo.txt"))
        GTEST_SKIP() << "file links cannot be made on this system";
    DeleteListedFile(t + "\\solo.txt.", FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(ReadExact(t + "\\solo.txt"), "solo");
    testsupport::RemoveFolderLink("\\\\?\\" + t + "\\solo.txt.");
}
