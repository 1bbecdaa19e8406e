// Which spellings name one file or folder, on real entries.
#include "filters/LocaleLower.h"
#include "platform/FileIdentity.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using testsupport::FolderLink;
using testsupport::ShortPathOf;
using testsupport::TempFolder;

TEST(FileIdentity, EverySpellingOfAnEntryIsThatEntryAndNoOther)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"source folder long\\", "source folder long\\sub\\",
                                                    "source folder long\\Report.txt=r", "other\\"}));
    const std::string folder = temp / "source folder long";
    const std::string file = folder + "\\Report.txt";
    const FolderLink link(temp / "link", folder);
    ASSERT_TRUE(CreateHardLinkA((temp / "hard.txt").c_str(), file.c_str(), nullptr));

    struct Spelling {
        std::string path, other;
    };
    std::vector<Spelling> same = {
        {folder, LocaleLower(folder)},         {folder, folder + "."},
        {folder, folder + " "},                {folder, folder + "\\"},
        {folder, folder + "\\sub\\.."},        {folder, temp / ".\\source folder long"},
        {file, folder + "\\REPORT.TXT"},       {file, file + "."},
        {file, folder + "\\sub\\..\\Report.txt"}, {file, temp / "hard.txt"},
        {folder, ShortPathOf(folder)},         {file, ShortPathOf(file)},
    };
    if (link.Made()) {
        same.push_back({folder, temp / "link"});
        same.push_back({file, temp / "link\\report.txt"});
    }
    for (const Spelling& s : same) {
        if (s.other.empty())
            continue;  // this volume gives no short names
        EXPECT_TRUE(IsSameEntry(s.other, s.path)) << s.other;
        EXPECT_EQ(IdentityOf(s.other), IdentityOf(s.path)) << s.other;
    }

    const std::vector<Spelling> different = {
        {folder, temp / "other"}, {folder, folder + "\\sub"},    {folder, temp.Path()},
        {folder, file},           {folder, temp / "missing"},    {temp / "missing", temp / "missing"},
    };
    for (const Spelling& s : different)
        EXPECT_FALSE(IsSameEntry(s.other, s.path)) << s.other;
    EXPECT_FALSE(IdentityOf(temp / "missing").has_value());
    EXPECT_FALSE(IdentityOf("").has_value());
}

TEST(FileIdentity, FilesOnAVolumeWithoutIndexesAreToldApartByTheirFinalPaths)
{
    HandleFacts a{7, 0, 0, L"C:\\Data\\one.txt"};
    HandleFacts b{7, 0, 0, L"C:\\Data\\two.txt"};
    EXPECT_FALSE(SameFileByFacts(a, b));  // index 0 everywhere must not make every file the same
    b.finalPath = L"c:\\data\\ONE.TXT";
    EXPECT_TRUE(SameFileByFacts(a, b));
    b.finalPath.clear();
    EXPECT_FALSE(SameFileByFacts(a, b));  // nothing to tell them apart by: not taken as one
    a.finalPath.clear();
    EXPECT_FALSE(SameFileByFacts(a, b));

    const HandleFacts indexed{7, 1, 42, L"C:\\x"};
    HandleFacts same = indexed;
    same.finalPath = L"C:\\other name of it";
    EXPECT_TRUE(SameFileByFacts(indexed, same));
    same.volumeSerial = 8;
    EXPECT_FALSE(SameFileByFacts(indexed, same));
    HandleFacts other = indexed;
    other.indexLow = 43;
    EXPECT_FALSE(SameFileByFacts(indexed, other));
}

TEST(FileIdentity, AHandleOpenedThroughAFileLinkIsNotTheListedEntry)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"inside\\", "inside\\plain.txt=p", "outside.txt=o"}));
    const std::string link = temp / "inside\\link.txt";
    if (!testsupport::MakeFileLink(link, temp / "outside.txt"))
        GTEST_SKIP() << "file links cannot be made on this system";
    const auto opened = [](const std::string& path) {
        return CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    };
    HANDLE plain = opened(temp / "inside\\plain.txt");
    HANDLE through = opened(link);
    ASSERT_NE(plain, INVALID_HANDLE_VALUE);
    ASSERT_NE(through, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(HandleIsListedEntry(plain, temp / "inside\\plain.txt"));
    EXPECT_TRUE(HandleIsListedEntry(plain, temp / "inside\\.\\PLAIN.TXT"));
    EXPECT_FALSE(HandleIsListedEntry(through, link));
    EXPECT_FALSE(HandleIsListedEntry(plain, temp / "inside\\other.txt"));
    CloseHandle(plain);
    CloseHandle(through);
    testsupport::RemoveFolderLink(link);  // the link itself (unlink), never what it points to
}
