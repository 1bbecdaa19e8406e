// Whole jobs whose destination is a source, or leads back into one, under another spelling: nothing
// of the source may be lost, and nothing may be claimed as done that was not.
#include "core/LogTexts.h"
#include "engine/jobrun.h"
#include "filters/LocaleLower.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using testsupport::FolderLink;
using testsupport::ReadFileText;
using testsupport::ShortPathOf;
using testsupport::TempFolder;
using testsupport::Tree;

namespace {

constexpr char kPreviousLog[] = "earlier job\r\n";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// t\s: files (one holding every byte value), a subfolder two levels deep and an empty folder; every
// conflict a job could raise is answered Replace or Overwrite, the answers that remove things.
class SamePlaceJob : public ::testing::Test {
protected:
    TempFolder temp;
    ScriptedHost host;
    JobState state;
    JobRun run{host, state};
    const std::string t = temp / "t";
    const std::string s = temp / "t\\s";
    std::string sourceTree;  // Tree(s) before the job
    std::string wholeTree;   // Tree(t) before the job

    void SetUp() override
    {
        ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"t\\", "t\\top.txt=top", "t\\s\\", "t\\s\\a.txt=alpha",
                                                        "t\\s\\sub\\", "t\\s\\sub\\b.txt=beta", "t\\s\\sub\\deeper\\",
                                                        "t\\s\\sub\\deeper\\c.txt=gamma", "t\\s\\empty\\"}));
        std::string bytes;
        for (int i = 0; i < 256; ++i)
            bytes += static_cast<char>(i);
        ASSERT_TRUE(testsupport::WriteFileText(s + "\\bytes.bin", bytes));
        sourceTree = Tree(s);
        wholeTree = Tree(t);
        host.onFolderExists = [](const std::string&) { return ConflictAnswer{kOverwrite, false}; };
        host.onFileExists = [](const std::string&, const std::string&) { return ConflictAnswer{kOverwrite, false}; };
    }

    void Begin(Operation operation, std::vector<std::string> sources, const std::string& destination)
    {
        host.operation = operation;
        host.sources = std::move(sources);
        host.destination = destination;
        run.Run(host.Request());
    }
};

} // namespace

TEST_F(SamePlaceJob, CopyIntoItsOwnFolderSpelledAnotherWayCopiesBesideItAndAsksNothing)
{
    // t\. is t, where s already is: the copy goes beside it under a "Copy of" name.
    Begin(kOpCopy, {s}, t + "\\.");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(Contains(host.log, "\r\nFolder " + s + " already exists, create a new folder Copy of s!")) << host.log;
    EXPECT_EQ(Tree(s), sourceTree);
    EXPECT_EQ(Tree(t + "\\Copy of s"), sourceTree);
    EXPECT_EQ(state.filesDone, 4);  // real copies under the new name, and nothing else
    EXPECT_EQ(state.filesFailed, 0);

    // A file item into its own folder, named with ".." and in other letter case.
    Begin(kOpCopy, {s + "\\a.txt"}, LocaleLower(s) + "\\sub\\..");
    EXPECT_TRUE(Contains(host.log, "\r\nFile " + s + "\\a.txt already exists, create a new file Copy of a.txt!"))
        << host.log;
    EXPECT_EQ(ReadFileText(s + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileText(s + "\\Copy of a.txt"), "alpha");
    EXPECT_TRUE(host.folderQuestions.empty());
    EXPECT_TRUE(host.fileQuestions.empty());
}

TEST_F(SamePlaceJob, ACutOntoItselfSpelledAnotherWayDeletesNothing)
{
    Begin(kOpCut, {s, t + "\\top.txt"}, t + ".");
    EXPECT_TRUE(Contains(host.log, "\r\nFolder " + s + " needs not be cutted!\r\n")) << host.log;
    EXPECT_TRUE(Contains(host.log, "\r\nFile " + t + "\\top.txt needs not be cutted!\r\n")) << host.log;
    // The folder was not gone through, so it was not emptied either: even its empty folder stays.
    EXPECT_FALSE(Contains(host.log, "Because")) << host.log;
    EXPECT_EQ(Tree(t), wholeTree);
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(SamePlaceJob, ADestinationLeadingBackIntoTheSourceLosesNothingAndAsksNothing)
{
    // t\d\s mirrors s, but its a.txt is a.txt itself (a hard link) and its sub is sub itself (a link).
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"t\\d\\", "t\\d\\s\\"}));
    if (!CreateHardLinkA((t + "\\d\\s\\a.txt").c_str(), (s + "\\a.txt").c_str(), nullptr))
        GTEST_SKIP() << "hard links cannot be made here (" << GetLastError() << ")";
    FolderLink sub(t + "\\d\\s\\sub", s + "\\sub");
    if (!sub.Made())
        std::fprintf(stderr, "note: folder links cannot be made here; sub is copied as usual\n");

    Begin(kOpCopy, {s}, t + "\\d");

    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.folderQuestions.empty());
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(Tree(s), sourceTree);
    EXPECT_TRUE(Contains(host.log, SameFileEntry(s + "\\a.txt", t + "\\d\\s\\a.txt") + "\r\n")) << host.log;
    EXPECT_EQ(Contains(host.log, SameFolderEntry(s + "\\sub", t + "\\d\\s\\sub") + "\r\n"), sub.Made()) << host.log;
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, sub.Made() ? 1 : 3);  // bytes.bin, and b.txt and c.txt without the link
    EXPECT_TRUE(Contains(host.log, "\r\nErrors: 1\r\n")) << host.log;
}

TEST_F(SamePlaceJob, BeginRefusesTheSourceUnderEveryOtherSpelling)
{
    FolderLink link(temp / "link", s);
    struct Case {
        const char* what;
        std::string destination;
    };
    std::vector<Case> cases = {
        {"..", s + "\\sub\\.."},
        {"letter case", LocaleLower(s)},
        {"trailing dot", s + "."},
        {"trailing blank", s + " "},
        {"inside, not made yet", s + ".\\new\\deeper"},
        {"short name", ShortPathOf(s)},
        {"link", temp / "link"},
        {"inside, through a link", temp / "link\\sub\\new"},
    };
    for (const Case& c : cases) {
        if (c.destination.empty() || (!link.Made() && Contains(c.destination, "link"))) {
            std::fprintf(stderr, "note: no %s spelling on this system\n", c.what);
            continue;
        }
        ScriptedHost fresh;
        fresh.sources = {temp / "t\\top.txt", s};
        fresh.destination = c.destination;
        EXPECT_EQ(InsideSourceRefusal(fresh.Request()), std::optional<std::string>(InsideSourceMessage(c.destination, s)))
            << c.what;
    }
    EXPECT_EQ(Tree(s), sourceTree);
}

// One folder listed twice, in other letter case, deleted with files in flight: the second listing
// meets nothing of the first still waiting for a worker.
TEST_F(SamePlaceJob, OneFolderListedTwiceIsDeletedOnceWithoutAFailure)
{
    const std::string many = temp / "many";
    ASSERT_TRUE(CreateDirectoryA(many.c_str(), nullptr));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(testsupport::WriteFileText(many + "\\f" + std::to_string(i) + ".txt", "x"));
    host.fileWorkers = 4;
    Begin(kOpDelete, {many, LocaleLower(temp / "MANY")}, "");
    EXPECT_FALSE(Contains(host.log, "Because")) << host.log;
    EXPECT_EQ(state.filesDone, 300);
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_FALSE(testsupport::Exists(many));
}
