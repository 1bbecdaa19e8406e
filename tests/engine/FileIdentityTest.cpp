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
