#include "engine/ForceDirectories.h"
#include "platform/LongPath.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "filters/LocaleLower.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

using testsupport::Exists;
using testsupport::IsFolder;
using testsupport::ReadFileText;
using testsupport::SetWriteTime;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

using testsupport::Tree;

// A drive letter that names no drive, or 0 when every letter is taken.
char UnusedDriveLetter()
{
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'B'; letter <= 'Y'; ++letter)
        if (!(drives & (1u << (letter - 'A'))))
            return letter;
    return 0;
}

class SourceDispatch : public ::testing::Test {
protected:
    TempFolder tmp;
    ScriptedHost host;
    JobState state;
    StandingAnswers answers;
    JobRequest request;
    JobContext job{request, host, state, answers, {}};

    std::string Path(const std::string& rel) const { return tmp / rel; }

    void Folder(const std::string& rel) { ASSERT_TRUE(CreateDirectoryA(Path(rel).c_str(), nullptr)) << rel; }
    void File(const std::string& rel, const std::string& content)
    {
        ASSERT_TRUE(WriteFileText(Path(rel), content)) << rel;
    }
    // Entries in the form Tree() lists them, in order: "name\\" a folder, "name=content" a file.
    void Make(std::initializer_list<std::string> entries) { ASSERT_TRUE(testsupport::MakeTree(tmp.Path(), entries)); }

    int Run(Operation operation, int index = -1)
    {
        host.operation = operation;
        request = host.Request();
        job.written = {};
        return ProcessSourceItems(job, index);
    }
};

TEST_F(SourceDispatch, CopyIntoItsOwnFolderGetsCopyOfNamesRunAfterRun)
{
    Make({"Docs\\", "Docs\\Report.TXT=report", "Docs\\Photos\\", "Docs\\Photos\\Beach.JPG=beach"});
    const std::string report = Path("Docs\\Report.TXT");
    const std::string photos = Path("Docs\\Photos");
    host.sources = {report, photos};

    // The third run names the destination in other letter case: the same place all the same.
    const std::vector<std::string> destinations = {Path("Docs"), Path("Docs") + "\\", LocaleLower(Path("Docs"))};
    const std::vector<std::string> fileNames = {"Copy of report.txt", "Copy (1) of report.txt",
                                                "Copy (2) of report.txt"};
    const std::vector<std::string> folderNames = {"Copy of Photos", "Copy (1) of Photos", "Copy (2) of Photos"};
    for (std::size_t run = 0; run < 3; ++run) {
        host.log.clear();
        host.destination = destinations[run];
        ASSERT_EQ(Run(kOpCopy), 0);
        EXPECT_EQ(host.log, "\r\nFile " + report + " already exists, create a new file " + fileNames[run] + "!\r\n" +
                                "\r\nFolder " + photos + " already exists, create a new folder " + folderNames[run] +
                                "!\r\n");
    }

    // The file item's name arrives lower-cased; the folder and the files met inside keep their case.
    EXPECT_EQ(Tree(Path("Docs")),
              "Copy (1) of Photos\\\nCopy (1) of Photos\\Beach.JPG=beach\n"
              "Copy (1) of report.txt=report\n"
              "Copy (2) of Photos\\\nCopy (2) of Photos\\Beach.JPG=beach\n"
              "Copy (2) of report.txt=report\n"
              "Copy of Photos\\\nCopy of Photos\\Beach.JPG=beach\n"
              "Copy of report.txt=report\n"
              "Photos\\\nPhotos\\Beach.JPG=beach\n"
              "Report.TXT=report\n");
    EXPECT_EQ(state.filesExamined, 6);
    EXPECT_EQ(state.filesDone, 6);
    EXPECT_EQ(state.filesFailed, 0);
}

TEST_F(SourceDispatch, CopyNameSkipsAFolderOfTheSameName)
{
    // A folder called "Copy of a.txt" takes the name as much as a file would.
    Make({"Docs\\", "Docs\\a.txt=a", "Docs\\Copy of a.txt\\"});
    host.sources = {Path("Docs\\a.txt")};
    host.destination = Path("Docs");
    ASSERT_EQ(Run(kOpCopy), 0);
    EXPECT_EQ(ReadFileText(Path("Docs\\Copy (1) of a.txt")), "a");
    EXPECT_EQ(state.filesFailed, 0);
}

TEST_F(SourceDispatch, CutIntoItsOwnPlaceIsRefusedButStillCounted)
{
    Make({"Docs\\", "Docs\\a.txt=abc", "Docs\\Sub\\", "Docs\\Sub\\b.txt=b"});
    const std::string before = Tree(Path("Docs"));
    host.sources = {Path("Docs\\a.txt"), Path("Docs\\Sub")};
    host.destination = LocaleLower(Path("Docs"));

    ASSERT_EQ(Run(kOpCut), 0);

    EXPECT_EQ(host.log, "\r\nFile " + Path("Docs\\a.txt") + " needs not be cutted!\r\n" + "\r\nFolder " +
                            Path("Docs\\Sub") + " needs not be cutted!\r\n");
    EXPECT_EQ(Tree(Path("Docs")), before);
    // The refused file is one file dealt with; the refused folder is not walked, so its file is not.
    EXPECT_EQ(state.filesExamined, 1);
    EXPECT_EQ(state.bytesExamined, 3);
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(SourceDispatch, FlatDestinationKeepsSameNamedFilesApart)
{
    Make({"S\\", "S\\a\\", "S\\b\\", "S\\a\\x.txt=A", "S\\b\\x.txt=B", "S\\top.txt=T", "Loose.txt=L", "D\\",
          "D\\S\\"});
    Folder("D\\S\\a");  // would be a folder conflict if subfolders were made
    host.sources = {Path("S"), Path("Loose.txt")};
    host.destination = Path("D");
    host.flat = true;

    ASSERT_EQ(Run(kOpCopy), 0);

    EXPECT_EQ(Tree(Path("D")), "S\\\nS\\a\\\nS_a_x.txt=A\nS_b_x.txt=B\nS_top.txt=T\nloose.txt=L\n");
    EXPECT_TRUE(host.folderQuestions.empty());
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(state.filesDone, 4);
}

TEST_F(SourceDispatch, FilteredOutFilesAreCountedButNotTouched)
{
    Make({"Keep.TXT=12345", "skip.doc=1234567", "old.txt=old", "F\\", "F\\In.TXT=in!", "F\\out.doc=outs"});
    ASSERT_TRUE(SetWriteTime(Path("old.txt"), 125911584000000000ull));  // 2000-01-01
    File("F\\big.txt", std::string(2000, 'x'));
    host.sources = {Path("Keep.TXT"), Path("skip.doc"), Path("old.txt"), Path("F")};
    host.destination = Path("D");
    host.filters.masksText = "*.TXT";
    host.filters.maxSize = 1000;
    host.filters.timeFrom = 36892.0;  // 2001-01-01

    ASSERT_EQ(Run(kOpCopy), 0);

    EXPECT_EQ(Tree(Path("D")), "F\\\nF\\In.TXT=in!\nkeep.txt=12345\n");
    EXPECT_EQ(state.filesExamined, 6);
    EXPECT_EQ(state.bytesExamined, 5 + 7 + 3 + 3 + 4 + 2000);
    EXPECT_EQ(state.filesDone, 2);
    EXPECT_EQ(host.log, "");
    // The sources are all still there.
    EXPECT_EQ(ReadFileText(Path("skip.doc")), "1234567");
    EXPECT_EQ(ReadFileText(Path("F\\out.doc")), "outs");
}

TEST_F(SourceDispatch, VanishedItemAndMissingDriveBecomeEmptyFolders)
{
    Make({"a.txt=a"});
    host.sources = {Path("gone"), Path("a.txt")};
    const char letter = UnusedDriveLetter();
    if (letter)
        host.sources.push_back(std::string(1, letter) + ":");
    host.destination = Path("D");

    ASSERT_EQ(Run(kOpCopy), 0);

    std::string expected = "a.txt=a\ngone\\\n";
    if (letter)
        expected = std::string("Driver_") + letter + "\\\n" + expected;
    EXPECT_EQ(Tree(Path("D")), expected);
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(state.filesExamined, 1);
}

TEST_F(SourceDispatch, DestinationIsCreatedWithItsParents)
{
    Make({"a.txt=a"});
    host.sources = {Path("a.txt")};
    host.destination = Path("new\\deeper\\");  // a trailing backslash changes nothing
    ASSERT_EQ(Run(kOpCopy), 0);
    EXPECT_EQ(Tree(Path("new")), "deeper\\\ndeeper\\a.txt=a\n");
}

TEST_F(SourceDispatch, DestinationThatCannotBeCreatedRefusesTheWholeJob)
{
    Make({"blocker=in the way", "a.txt=a", "S\\", "S\\b.txt=b"});
    host.sources = {Path("a.txt"), Path("S")};
    const std::string before = Tree(tmp.Path());

    for (const std::string& destination : {Path("blocker\\sub"), Path("blocker"), std::string(), std::string("\\")}) {
        host.destination = destination;
        EXPECT_EQ(Run(kOpCopy), -1) << destination;
        EXPECT_EQ(Run(kOpCut), -1) << destination;
    }
    EXPECT_EQ(Tree(tmp.Path()), before);
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(state.filesExamined, 0);

    // Delete never reads the destination.
    host.destination = Path("blocker\\sub");
    EXPECT_EQ(Run(kOpDelete), 0);
    EXPECT_FALSE(Exists(Path("a.txt")));
    EXPECT_FALSE(Exists(Path("S\\b.txt")));
    EXPECT_EQ(state.filesDone, 2);
}

TEST_F(SourceDispatch, CancelStartsNoFurtherItem)
{
    Make({"A\\", "A\\x.txt=x", "A\\sub\\", "A\\sub\\y.txt=y", "B\\", "B\\z.txt=z", "c.txt=c"});
    host.sources = {Path("A"), Path("B"), Path("c.txt")};
    host.destination = Path("D");
    int calls = 0;
    host.onProcessMessages = [&] {
        if (++calls == 2)
            state.stopFlag = true;
    };

    ASSERT_EQ(Run(kOpCopy), 0);

    EXPECT_TRUE(IsFolder(Path("D\\A")));
    EXPECT_FALSE(Exists(Path("D\\B")));
    EXPECT_FALSE(Exists(Path("D\\c.txt")));
    EXPECT_EQ(ReadFileText(Path("B\\z.txt")), "z");
    EXPECT_LT(state.filesExamined, 2);
}

TEST_F(SourceDispatch, AnIndexHandlesThatItemOnly)
{
    Make({"a.txt=a", "b.txt=b", "c.txt=c"});
    host.sources = {Path("a.txt"), Path("b.txt"), Path("c.txt")};
    host.destination = Path("D");
    ASSERT_EQ(Run(kOpCopy, 1), 0);
    EXPECT_EQ(Tree(Path("D")), "b.txt=b\n");
    ASSERT_EQ(Run(kOpCopy, 3), 0);  // past the end: nothing
    EXPECT_EQ(Tree(Path("D")), "b.txt=b\n");
    EXPECT_EQ(state.filesExamined, 1);
}

TEST_F(SourceDispatch, CutLeavesNoFilesInTheSource)
{
    Make({"S\\", "S\\a.txt=a", "S\\sub\\", "S\\sub\\b.txt=b", "S\\sub\\deep\\", "S\\sub\\deep\\c.txt=c",
          "S\\sub\\h.txt=h", "S\\sub\\r.txt=r", "S\\empty\\"});
    ASSERT_TRUE(SetFileAttributesA(Path("S\\sub\\h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(Path("S\\sub\\r.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    host.sources = {Path("S")};
    host.destination = Path("D");

    ASSERT_EQ(Run(kOpCut), 0);

    EXPECT_EQ(Tree(Path("D\\S")),
              "a.txt=a\nempty\\\nsub\\\nsub\\b.txt=b\nsub\\deep\\\nsub\\deep\\c.txt=c\nsub\\h.txt=h\nsub\\r.txt=r\n");
    // Only the folders stay behind, for the job run to remove.
    EXPECT_EQ(Tree(Path("S")), "empty\\\nsub\\\nsub\\deep\\\n");
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(state.filesDone, 5);
}

} // namespace
