// Where a job meets what it wrote itself: two sources that land on one destination path. Whole jobs on
// real temporary trees, answered Overwrite / Replace for everything, so that a question asked about
// the job's own output would show as a loss.
#include "core/LogTexts.h"
#include "engine/WrittenPlaces.h"
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

using testsupport::Exists;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::Tree;

namespace {

// Overwrite and Replace for the rest of the job: the answers that lose data when misapplied.
void AnswerOverwriteForAll(ScriptedHost& host)
{
    host.onFileExists = [](const std::string&, const std::string&) { return ConflictAnswer{kOverwrite, true}; };
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kOverwrite, true}; };
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

} // namespace

TEST(WrittenPlaces, RemembersPathsWithoutRegardToLetterCaseAndGrowsWithoutLosingAny)
{
    WrittenPlaces written;
    EXPECT_FALSE(written.Contains("C:\\out\\a.txt"));
    for (int i = 0; i < 5000; ++i)
        written.Add("C:\\out\\f" + std::to_string(i) + ".txt");
    written.Add("C:\\out\\f7.txt");  // again: still one
    EXPECT_EQ(written.Count(), 5000u);
    for (int i = 0; i < 5000; i += 37)
        EXPECT_TRUE(written.Contains("C:\\OUT\\F" + std::to_string(i) + ".TXT")) << i;
    EXPECT_FALSE(written.Contains("C:\\out\\f5000.txt"));
    EXPECT_FALSE(written.Contains("C:\\out"));
}

TEST(JobClash, AFlatCutOfTwoFilesThatFlattenToOneNameKeepsBoth)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"S\\", "S\\a_b.txt=one", "S\\a\\", "S\\a\\b.txt=two", "out\\"}));
    ScriptedHost host;
    AnswerOverwriteForAll(host);
    JobState state;
    JobRun run(host, state);
    host.operation = kOpCut;
    host.flat = true;
    host.sources = {temp / "S"};
    host.destination = temp / "out";

    run.Run(host.Request());

    EXPECT_TRUE(host.fileQuestions.empty()) << "asked about a file the job wrote itself";
    EXPECT_FALSE(Exists(temp / "S")) << "both sources moved";
    const std::string tree = Tree(temp / "out");
    EXPECT_EQ(Count(tree, "=one\n") + Count(tree, "=two\n"), 2u) << tree;
    EXPECT_EQ(Count(tree, "=one\n"), 1u) << tree;
    EXPECT_EQ(Count(tree, "=two\n"), 1u) << tree;
    EXPECT_EQ(Count(host.log, " was written by this job, so file "), 1u) << host.log;
    EXPECT_NE(host.log.find("\r\nAll Files: 2\r\nCopied Files: 2\r\nErrors: 0\r\n"), std::string::npos) << host.log;
}

TEST(JobClash, TwoSourceFoldersOfOneNameMergeWithoutReplacingEachOther)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"x\\", "x\\data\\", "x\\data\\sub\\", "x\\data\\sub\\f.txt=first",
                                                     "x\\data\\only1.txt=1", "y\\", "y\\data\\", "y\\data\\sub\\",
                                                     "y\\data\\sub\\f.txt=second", "y\\data\\only2.txt=2", "out\\"}));
    ScriptedHost host;
    AnswerOverwriteForAll(host);
    JobState state;
    JobRun run(host, state);
    host.operation = kOpCut;
    host.sources = {temp / "x\\data", temp / "y\\data"};
    host.destination = temp / "out";

    run.Run(host.Request());

    EXPECT_TRUE(host.folderQuestions.empty()) << "asked to replace a folder the job made itself";
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(ReadFileText(temp / "out\\data\\only1.txt"), "1");
    EXPECT_EQ(ReadFileText(temp / "out\\data\\only2.txt"), "2");
    EXPECT_EQ(ReadFileText(temp / "out\\data\\sub\\f.txt"), "first");
    const std::string tree = Tree(temp / "out\\data\\sub");
    EXPECT_EQ(Count(tree, "=second\n"), 1u) << tree;
    EXPECT_FALSE(Exists(temp / "x\\data"));
    EXPECT_FALSE(Exists(temp / "y\\data"));
}

TEST(JobClash, WhatStoodThereBeforeTheJobIsStillAskedAbout)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"S\\", "S\\a.txt=new", "out\\", "out\\S\\", "out\\S\\a.txt=old"}));
    ScriptedHost host;
    AnswerOverwriteForAll(host);
    JobState state;
    JobRun run(host, state);
    host.sources = {temp / "S"};
    host.destination = temp / "out";

    run.Run(host.Request());

    EXPECT_EQ(host.fileQuestions.size(), 1u);
    EXPECT_EQ(ReadFileText(temp / "out\\S\\a.txt"), "new");
}

TEST(JobClash, ACancelWhileTheFreeSpaceQuestionIsUpRunsNothing)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"S\\", "S\\a.txt=a"}));
    // Yes to the question, but Cancel was pressed while it was up (its box pumps messages).
    class CancelInQuestion : public ScriptedHost {
    public:
        JobRun* run = nullptr;
        bool AskYesNo(const std::string& text, const std::string& title) override
        {
            run->bbCancelClick();
            return ScriptedHost::AskYesNo(text, title);
        }
    } host;
    JobState state;
    JobRun run(host, state);
    host.run = &run;
    host.yesNoAnswer = true;
    host.operation = kOpCut;
    host.sources = {temp / "S"};
    host.destination = temp / "out";
    host.scan.byteTotal = INT64_MAX / 2;  // more than any disk holds: the question is asked

    run.Run(host.Request());

    ASSERT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_EQ(ReadFileText(temp / "S\\a.txt"), "a");
    EXPECT_FALSE(Exists(temp / "out\\S\\a.txt"));
    EXPECT_NE(host.log.find("\r\nUser abort!"), std::string::npos) << host.log;
    EXPECT_EQ(host.log.find("\r\nStarting Time "), std::string::npos) << host.log;
}

// A folder that stood there before the job and that the job then moved files into is the job's own
// from then on: a later source of the same name merges into it and is not asked about it, so no
// Replace can take what the first source put there (for a Cut, the only copy left).
TEST(JobClash, AFolderTheJobMovedFilesIntoIsNotReplacedByALaterSourceOfItsName)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"x\\", "x\\data\\", "x\\data\\sub\\", "x\\data\\sub\\one.txt=first",
                                                     "y\\", "y\\data\\", "y\\data\\sub\\", "y\\data\\sub\\two.txt=second",
                                                     "out\\", "out\\data\\", "out\\data\\sub\\",
                                                     "out\\data\\sub\\old.txt=before the job"}));
    ScriptedHost host;
    // Update for the first meeting with out\data\sub, Replace for any later one.
    host.folderAnswers = {{kUpdate, false}, {kOverwrite, false}};
    JobState state;
    JobRun run(host, state);
    host.operation = kOpCut;
    host.sources = {temp / "x\\data", temp / "y\\data"};
    host.destination = temp / "out";

    run.Run(host.Request());

    EXPECT_EQ(host.folderQuestions.size(), 1u) << "asked again about a folder the job had moved files into";
    EXPECT_EQ(ReadFileText(temp / "out\\data\\sub\\one.txt"), "first") << Tree(temp / "out");
    EXPECT_EQ(ReadFileText(temp / "out\\data\\sub\\two.txt"), "second") << Tree(temp / "out");
    EXPECT_EQ(ReadFileText(temp / "out\\data\\sub\\old.txt"), "before the job") << Tree(temp / "out");
    EXPECT_FALSE(Exists(temp / "x\\data"));
    EXPECT_FALSE(Exists(temp / "y\\data"));
    EXPECT_NE(host.log.find("\r\nAll Files: 2\r\nCopied Files: 2\r\nErrors: 0\r\n"), std::string::npos) << host.log;
}

// Replace never removes a folder that holds another source item of the job, nor one that lies inside
// one: the source is merged into it instead, with one line saying so, and both sources are copied.
TEST(JobClash, ReplaceMergesIntoAFolderThatHoldsOrLiesInsideASourceItem)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"a\\", "a\\X\\", "a\\X\\Y\\", "a\\X\\Y\\new.txt=new", "a\\P\\",
                                                     "a\\P\\Q\\", "a\\P\\Q\\q.txt=q", "out\\", "out\\X\\", "out\\X\\Y\\",
                                                     "out\\X\\Y\\kept.txt=kept", "out\\X\\Y\\Z\\",
                                                     "out\\X\\Y\\Z\\z.txt=z", "out\\P\\", "out\\P\\Q\\",
                                                     "out\\P\\Q\\mine.txt=mine"}));
    ScriptedHost host;
    // Replace each time it is asked, not as a standing answer: both folders are asked about.
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kOverwrite, false}; };
    JobState state;
    JobRun run(host, state);
    // out\X\Y holds the source item out\X\Y\Z; out\P\Q lies inside the source item out\P.
    const std::string held = temp / "out\\X\\Y\\Z";
    const std::string holder = temp / "out\\P";
    host.sources = {temp / "a\\X", temp / "a\\P", held, holder};
    host.destination = temp / "out";

    run.Run(host.Request());

    EXPECT_EQ(host.folderQuestions.size(), 2u);
    // Nothing of either source item was removed, and each was copied in its turn.
    EXPECT_EQ(ReadFileText(temp / "out\\X\\Y\\Z\\z.txt"), "z") << Tree(temp / "out");
    EXPECT_EQ(ReadFileText(temp / "out\\Z\\z.txt"), "z") << Tree(temp / "out");
    EXPECT_EQ(ReadFileText(temp / "out\\P\\Q\\mine.txt"), "mine") << Tree(temp / "out");
    EXPECT_EQ(ReadFileText(temp / "out\\Copy of P\\Q\\mine.txt"), "mine") << Tree(temp / "out");
    // The merges: the first source's files joined what stood there.
    EXPECT_EQ(ReadFileText(temp / "out\\X\\Y\\new.txt"), "new");
    EXPECT_EQ(ReadFileText(temp / "out\\X\\Y\\kept.txt"), "kept");
    EXPECT_EQ(ReadFileText(temp / "out\\P\\Q\\q.txt"), "q");
    EXPECT_EQ(Count(host.log, MergedIntoSourceEntry(temp / "a\\X\\Y", temp / "out\\X\\Y")), 1u) << host.log;
    EXPECT_EQ(Count(host.log, MergedIntoSourceEntry(temp / "a\\P\\Q", temp / "out\\P\\Q")), 1u) << host.log;
    EXPECT_EQ(state.filesFailed, 0) << host.log;
}
