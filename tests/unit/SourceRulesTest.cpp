// The rules behind the source list, the clipboard pick-up and the folder-name dialog, on invented
// folder sets (the window tests run them on real folders).
#include "core/ClipboardPickup.h"
#include "core/NewFolderName.h"
#include "core/SourceAdmission.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct FakeDisk {
    std::map<std::string, PathKind> entries;
    PathKind operator()(std::string path) const
    {
        if (!path.empty() && path.back() == '\\')
            path.pop_back();  // the same place, as the system sees it
        const auto found = entries.find(path);
        return found == entries.end() ? PathKind::Missing : found->second;
    }
};

TEST(SourceAdmission, DeletionsBeforeARefusalStandAndIndexesFollowTheShrinkingList)
{
    FakeDisk disk{{{"C:\\a", PathKind::Folder},
                   {"C:\\a\\b", PathKind::Folder},
                   {"C:\\a\\f.txt", PathKind::File},
                   {"C:\\x", PathKind::Folder}}};
    // Two entries inside the new folder, then the folder itself already listed: refused, but both
    // inner entries are gone (at index 0, then again 0 as the list moved up).
    const SourceAdmission refused = DecideSourceAdmission({"C:\\a\\b", "C:\\a\\f.txt", "C:\\a", "C:\\x"}, "C:\\a\\", disk);
    EXPECT_TRUE(refused.exists);
    EXPECT_FALSE(refused.admitted);
    EXPECT_EQ(refused.deleteAt, (std::vector<int>{0, 0}));

    const SourceAdmission admitted = DecideSourceAdmission({"C:\\x", "C:\\a\\b", "C:\\a\\f.txt"}, "C:\\a", disk);
    EXPECT_TRUE(admitted.admitted);
    EXPECT_EQ(admitted.path, "C:\\a");
    EXPECT_EQ(admitted.deleteAt, (std::vector<int>{1, 1}));

    // A listed entry that is no folder (any more) holds nothing.
    const SourceAdmission inFile = DecideSourceAdmission({"C:\\a\\f.txt"}, "C:\\a\\f.txt\\..", FakeDisk{{{"C:\\a\\f.txt\\..", PathKind::Folder}}});
    EXPECT_TRUE(inFile.admitted);
    EXPECT_FALSE(DecideSourceAdmission({}, "C:\\missing", disk).exists);
    EXPECT_FALSE(DecideSourceAdmission({}, "", disk).exists);
}

TEST(NewFolderName, TheFirstFreeNumberedNameIsProposed)
{
    std::set<std::string> folders;
    const auto exists = [&folders](const std::string& path) { return folders.count(path) > 0; };
    EXPECT_EQ(ProposeNewFolderName("D:\\p\\", exists), "New Folder");
    folders = {"D:\\p\\New Folder"};
    EXPECT_EQ(ProposeNewFolderName("D:\\p\\", exists), "New Folder (1)");
    folders = {"D:\\p\\New Folder", "D:\\p\\New Folder (1)", "D:\\p\\New Folder (3)"};
    EXPECT_EQ(ProposeNewFolderName("D:\\p\\", exists), "New Folder (2)");
}

TEST(NewFolderName, ValidationAndForbiddenCharacters)
{
    const auto exists = [](const std::string& path) { return path == "D:\\p\\" || path == "D:\\p\\old"; };
    const FolderNameCheck taken = CheckFolderName("D:\\p\\", "old", exists);
    EXPECT_TRUE(taken.refused);
    EXPECT_EQ(taken.text, "Folder already exists\nD:\\p\\old\nPlease input another name.");
    EXPECT_TRUE(CheckFolderName("D:\\p\\", "", exists).refused) << "an empty name names the parent";
    const FolderNameCheck fresh = CheckFolderName("D:\\p\\", "new", exists);
    EXPECT_FALSE(fresh.refused);
    EXPECT_EQ(fresh.text, "New Folder Path\nD:\\p\\new");

    for (const char c : std::string("\\/:*?|><\""))
        EXPECT_TRUE(IsForbiddenNameChar(c)) << c;
    for (const char c : std::string("aZ0 .-_()[]{}'!#$%&+,;=@^`~"))
        EXPECT_FALSE(IsForbiddenNameChar(c)) << c;
    EXPECT_FALSE(IsForbiddenNameChar('\0'));
}

TEST(NewFolderName, RenameSplitsAtTheLastSeparatorAndRefusesDrivesAndBareNames)
{
    struct Case {
        std::string text, old, parent, name;
    };
    const Case cases[] = {
        {"C:\\data\\old", "C:\\data\\old", "C:\\data\\", "old"},
        {"C:\\data\\old\\", "C:\\data\\old", "C:\\data\\", "old"},
        {"C:\\top", "C:\\top", "C:\\", "top"},
        {"C:\\", "C:", "", ""},
        {"C:", "C:", "", ""},
        {"C:name", "C:name", "", ""},
        {"name", "name", "", ""},
        {"", "", "", ""},
        {"\\\\server\\share\\x", "\\\\server\\share\\x", "\\\\server\\share\\", "x"},
    };
    for (const Case& c : cases) {
        const RenameParts parts = SplitForRename(c.text);
        EXPECT_EQ(parts.old, c.old) << c.text;
        EXPECT_EQ(parts.parent, c.parent) << c.text;
        EXPECT_EQ(parts.name, c.name) << c.text;
    }
}

TEST(ClipboardPickup, OneFileChangesNothingSeveralEntriesOrAFolderReplace)
{
    FakeDisk disk{{{"C:\\f1", PathKind::File}, {"C:\\f2", PathKind::File}, {"C:\\d", PathKind::Folder}}};
    EXPECT_FALSE(ClipboardReplacesSources({"C:\\f1"}, disk));
    EXPECT_TRUE(ClipboardReplacesSources({"C:\\d"}, disk));
    EXPECT_TRUE(ClipboardReplacesSources({"C:\\f1", "C:\\f2"}, disk));
    EXPECT_TRUE(ClipboardReplacesSources({"C:\\gone", "C:\\f2"}, disk));
    EXPECT_FALSE(ClipboardReplacesSources({}, disk)) << "nothing to take";
    EXPECT_FALSE(ClipboardReplacesSources({"C:\\gone1", "C:\\gone2"}, disk)) << "would only empty the sources";
    EXPECT_FALSE(ClipboardReplacesSources({"C:\\gone1"}, disk));
}

} // namespace
