// Copy and Cut of single files through DoFileOperation, on real files, with scripted answers.
#include "engine/FileCopy.h"
#include "engine/fileops.h"

#include "FileOpsTestSupport.h"
#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "tests/support/OtherVolume.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fileopstest;

namespace {

class CopyFileOp : public JobOnFiles {
protected:
    std::string source = temp / "report.txt";
    std::string destination;

    void SetUp() override
    {
        CreateDirectoryA((temp / "dest").c_str(), nullptr);
        destination = temp / "dest\\report.txt";
        host.destination = temp / "dest";
    }

    void Run(Operation operation = kOpCopy, const std::string& to = {})
    {
        DoFileOperation(job, source, to.empty() ? destination : to, GetFileSize64(source), operation);
    }
    std::string CopyFailure(unsigned long code, const std::string& to) const
    {
        return Failure(code, " Failed to copy file from " + source + " to " + to);
    }
};

TEST_F(CopyFileOp, CopyGivesContentAttributesAndTimeCountsItAndShowsTheSpeed)
{
    const std::string content = Pattern(2 * kChunk + 3);
    ASSERT_TRUE(WriteAll(source, content));
    ASSERT_TRUE(testsupport::SetWriteTime(source, kOldTime));
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    state.jobStartTick = 0;
    host.tick = 1500;

    std::vector<std::string> labels;
    host.onProcessMessages = [&] { labels.push_back(host.fileProgressText); };
    Run();

    EXPECT_EQ(ReadAll(destination), content);
    EXPECT_EQ(WriteTimeOf(destination), kOldTime);
    EXPECT_EQ(GetFileAttributesA(destination.c_str()), DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(ReadAll(source), content) << "Copy leaves the source";
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_EQ(state.bytesCopied, 2 * kChunk + 3);
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(labels, std::vector<std::string>(3, "Copying " + source));
    EXPECT_EQ(host.speedText, SpeedText(2 * kChunk + 3, 1500));
    EXPECT_EQ(host.fileProgressText, "");
    EXPECT_EQ(host.fileBarMax, 0);
    EXPECT_TRUE(host.fileQuestions.empty());
}

TEST_F(CopyFileOp, OverwriteAsksWithTheComparisonTextAndReplacesTheOldFile)
{
    ASSERT_TRUE(WriteAll(source, "new content"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    ASSERT_TRUE(testsupport::SetWriteTime(source, kNewTime));
    ASSERT_TRUE(testsupport::SetWriteTime(destination, kOldTime));
    host.fileAnswers = {{kOverwrite, false}};
    const std::string expected = "Source size: 11B  Destination size: 3B\nSource modification time: " +
                                 FormatIsoDateTime(GetFileModifiedTime(source)) +
                                 "   Destination modification time: " +
                                 FormatIsoDateTime(GetFileModifiedTime(destination));

    Run();

    ASSERT_EQ(host.fileQuestions, std::vector<std::string>{destination});
    EXPECT_EQ(host.comparisons[0], expected);
    EXPECT_EQ(ReadAll(destination), "new content");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, OverwriteWithTheSameContentLeavesOneIntactFile)
{
    ASSERT_TRUE(WriteAll(source, "same bytes"));
    ASSERT_TRUE(WriteAll(destination, "same bytes"));
    host.fileAnswers = {{kOverwrite, false}};
    Run(kOpCut);
    EXPECT_EQ(ReadAll(destination), "same bytes");
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, CopyOrCutOntoItselfFailsUnaskedAndNeverLosesTheFile)
{
    ASSERT_TRUE(WriteAll(source, "the only copy"));
    host.fileAnswers = {{kOverwrite, false}, {kOverwrite, false}};
    Run(kOpCopy, source);
    Run(kOpCut, temp / "REPORT.TXT");
    EXPECT_EQ(ReadAll(source), "the only copy");
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(state.filesFailed, 2);
    EXPECT_EQ(host.log, SameFileEntry(source, source) + "\r\n" + SameFileEntry(source, temp / "REPORT.TXT") + "\r\n");
}

TEST_F(CopyFileOp, UpdateCopiesOnlyOntoAnOlderFileOrAnEquallyOldOneOfOtherSize)
{
    struct Case {
        const char* what;
        std::uint64_t existingTime;
        std::string existing;
        bool copied;
    };
    const std::vector<Case> cases = {
        {"older", kOldTime, "12345", true},
        {"newer", kNewTime + 20000000ull * 3600, "12345", false},
        {"same time, same size", kNewTime, "12345", false},
        {"same time, other size", kNewTime, "1234", true},
        {"same two-second step, same size", kNewTime - 10000000ull, "12345", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteAll(source, "abcde"));
        ASSERT_TRUE(testsupport::SetWriteTime(source, kNewTime));
        ASSERT_TRUE(WriteAll(destination, c.existing));
        ASSERT_TRUE(testsupport::SetWriteTime(destination, c.existingTime));
        host.fileAnswers = {{kUpdate, false}};
        state = JobState{};

        Run();

        EXPECT_EQ(ReadAll(destination), c.copied ? "abcde" : c.existing);
        EXPECT_EQ(state.filesDone, c.copied ? 1 : 0);
        EXPECT_EQ(state.filesFailed, 0);
    }
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, SkipLeavesEverythingAndCountsNothing)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    host.fileAnswers = {{kSkip, false}};
    Run(kOpCut);
    EXPECT_EQ(ReadAll(destination), "old");
    EXPECT_EQ(ReadAll(source), "new");
    EXPECT_EQ(state.filesDone + state.filesFailed + state.bytesCopied, 0);
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, AStandingAnswerSettlesLaterConflictsWithoutAsking)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    ASSERT_TRUE(WriteAll(temp / "dest\\second.txt", "old"));
    host.fileAnswers = {{kOverwrite, true}};
    Run();
    Run(kOpCopy, temp / "dest\\second.txt");
    EXPECT_EQ(host.fileQuestions.size(), 1u);
    EXPECT_EQ(ReadAll(temp / "dest\\second.txt"), "new");
}

TEST_F(CopyFileOp, AutoRenameNewCopiesUnderAStampedNameAndLeavesTheOldFile)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    host.fileRenameNew = true;
    host.now = EncodeDateTime({2026, 3, 3, 14, 5, 9});
    host.fileAnswers = {{kAutoRename, false}, {kAutoRename, false}};

    Run();
    Run();

    EXPECT_EQ(ReadAll(destination), "old");
    EXPECT_EQ(ReadAll(temp / "dest\\report_Copied_At_2026_03_03_14_05_09.txt"), "new");
    EXPECT_EQ(ReadAll(temp / "dest\\report_Copied_At_2026_03_03_14_05_09_(1).txt"), "new");
    EXPECT_EQ(state.filesDone, 2);
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, AutoRenameOldMovesTheOldFileAsideWithItsAttributes)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    ASSERT_TRUE(SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = GetFileAttributesA(destination.c_str());
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    host.fileRenameNew = false;
    host.now = EncodeDateTime({2026, 12, 6, 10, 17, 3});
    host.fileAnswers = {{kAutoRename, false}};

    Run();

    const std::string renamed = temp / "dest\\report_Renamed_At_2026_12_06_10_17_03.txt";
    EXPECT_EQ(ReadAll(renamed), "old");
    EXPECT_EQ(GetFileAttributesA(renamed.c_str()), attributes);
    EXPECT_EQ(ReadAll(destination), "new");
    EXPECT_EQ(state.filesDone, 1);
}

TEST_F(CopyFileOp, AutoRenameOldThatCannotMoveTheOldFileDoesNotCopyOverIt)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "keep me"));
    host.fileRenameNew = false;
    host.fileAnswers = {{kAutoRename, false}};
    {
        const HeldOpen lock(destination, 0);
        ASSERT_TRUE(lock.Valid());
        Run();
    }
    EXPECT_EQ(ReadAll(destination), "keep me");
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(state.filesFailed, 1);
    ASSERT_EQ(host.log.rfind("\r\nBecause ", 0), 0u);
    EXPECT_NE(host.log.find(" Failed to copy file from " + source + " to " + destination + "\r\n"), std::string::npos);
}

TEST_F(CopyFileOp, OverwriteOfADestinationInUseFailsAndKeepsTheOldFile)
{
    ASSERT_TRUE(WriteAll(source, Pattern(kChunk + 100)));
    ASSERT_TRUE(WriteAll(destination, "in use"));
    host.fileAnswers = {{kOverwrite, false}};
    {
        const HeldOpen lock(destination, 0);
        ASSERT_TRUE(lock.Valid());
        Run(kOpCut);
    }
    EXPECT_EQ(ReadAll(destination), "in use");
    EXPECT_EQ(ReadAll(source), Pattern(kChunk + 100)) << "a failed Cut keeps its source";
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(state.filesFailed, 1);
    // Which refusal the system gives for replacing a file in use differs; either way it is named.
    EXPECT_TRUE(host.log == CopyFailure(ERROR_ACCESS_DENIED, destination) ||
                host.log == CopyFailure(ERROR_SHARING_VIOLATION, destination))
        << host.log;
}

TEST_F(CopyFileOp, CutMovesTheFile)
{
    ASSERT_TRUE(WriteAll(source, "moving"));
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    Run(kOpCut);
    EXPECT_EQ(ReadAll(destination), "moving");
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.bytesCopied, 6);
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, CutWhoseSourceCannotBeDeletedCountsOneSuccessAndOneFailure)
{
    ASSERT_TRUE(WriteAll(source, "held"));
    {
        const HeldOpen reader(source, FILE_SHARE_READ, GENERIC_READ);  // lets us read, not delete
        ASSERT_TRUE(reader.Valid());
        Run(kOpCut);
    }
    EXPECT_EQ(ReadAll(destination), "held");
    EXPECT_EQ(ReadAll(source), "held");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(host.log, Failure(ERROR_SHARING_VIOLATION, " File " + source + " is copied but failed to be deleted!"));
}

TEST_F(CopyFileOp, ASourceInUseIsLoggedAndTheJobGoesOn)
{
    ASSERT_TRUE(WriteAll(source, "locked"));
    ASSERT_TRUE(WriteAll(temp / "next.txt", "next"));
    {
        const HeldOpen lock(source, 0);
        ASSERT_TRUE(lock.Valid());
        Run();
        DoFileOperation(job, temp / "next.txt", temp / "dest\\next.txt", 4, kOpCopy);
    }
    EXPECT_EQ(host.log, CopyFailure(ERROR_SHARING_VIOLATION, destination));
    EXPECT_FALSE(Exists(destination));
    EXPECT_EQ(ReadAll(temp / "dest\\next.txt"), "next");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 1);
}

// A Cut copies only where it cannot rename: onto another volume.
TEST_F(CopyFileOp, ASourceDeletedDuringItsCopyIsAFailureWithNothingLeft)
{
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    destination = *other / "report.txt";
    ASSERT_TRUE(WriteAll(source, Pattern(3 * kChunk)));
    host.onProcessMessages = [&] {
        if (host.processMessagesCalls == 1) {
            EXPECT_TRUE(DeleteFileA(source.c_str()));
        }
    };
    Run(kOpCut);
    EXPECT_EQ(host.log, CopyFailure(ERROR_FILE_NOT_FOUND, destination));
    EXPECT_FALSE(Exists(destination));
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(CopyFileOp, PauseOnTheThirdProgressCallThenGoOnCompletesTheCopyOnce)
{
    const std::string content = Pattern(6 * kChunk + 1);
    ASSERT_TRUE(WriteAll(source, content));
    std::vector<int> barPositions;  // one per progress call
    int pauseWaits = 0;
    host.onProcessMessages = [&] {
        if (state.pauseFlag) {  // a pump of the pause wait: the copy has stopped
            ++pauseWaits;
            // The copy holds its partial data under its partial name, none under the final one; the
            // source is free meanwhile.
            EXPECT_EQ(ReadAll(source), content);
            EXPECT_TRUE(Exists(PartialCopyName(destination)));
            EXPECT_FALSE(Exists(destination));
            state.pauseFlag = false;  // Go On
            return;
        }
        barPositions.push_back(host.fileBarPos);
        if (barPositions.size() == 3)
            state.pauseFlag = true;
    };
    Run();

    EXPECT_EQ(pauseWaits, 1);
    EXPECT_EQ(ReadAll(destination), content);
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.bytesCopied, 6 * kChunk + 1);
    EXPECT_EQ(host.log, "");
    // Every chunk reported once, in order: nothing copied twice after the resume.
    std::vector<int> expected;
    for (std::int64_t k = 1; k <= 6; ++k)
        expected.push_back(static_cast<int>(k * kChunk));
    expected.push_back(static_cast<int>(6 * kChunk + 1));
    EXPECT_EQ(barPositions, expected);
}

TEST_F(CopyFileOp, CancelDuringALargeCopyLogsOneAbortedCopyAndLeavesNoPartialFile)
{
    ASSERT_TRUE(WriteAll(source, Pattern(8 * kChunk)));
    host.onProcessMessages = [&] {
        if (host.processMessagesCalls == 2)
            state.stopFlag = true;
    };
    Run();
    EXPECT_EQ(host.processMessagesCalls, 2) << "the copy ends at once";
    EXPECT_EQ(host.log, CopyFailure(ERROR_REQUEST_ABORTED, destination));
    EXPECT_FALSE(Exists(destination));
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(CopyFileOp, CancelWhilePausedLogsOneAbortedCopyAndRemovesThePartialFile)
{
    const auto other = testsupport::FolderOnAnotherVolume(temp);  // a Cut copies only there
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    destination = *other / "report.txt";
    ASSERT_TRUE(WriteAll(source, Pattern(4 * kChunk)));
    host.onProcessMessages = [&] {
        if (host.processMessagesCalls == 2)
            state.pauseFlag = true;
        else if (host.processMessagesCalls == 3)
            state.stopFlag = true;  // Cancel pressed during the pause
    };
    Run(kOpCut);
    EXPECT_EQ(host.log, CopyFailure(ERROR_REQUEST_ABORTED, destination));
    EXPECT_FALSE(Exists(destination));
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(ReadAll(source), Pattern(4 * kChunk));
}

TEST_F(CopyFileOp, FlatDestinationJoinsSubfolderNamesSoEqualNamesDoNotCollide)
{
    for (const char* sub : {"S", "S\\a", "S\\b"})
        ASSERT_TRUE(CreateDirectoryA((temp / sub).c_str(), nullptr));
    ASSERT_TRUE(WriteAll(temp / "S\\a\\x.txt", "from a"));
    ASSERT_TRUE(WriteAll(temp / "S\\b\\x.txt", "from b"));
    host.flat = true;
    for (const std::string& root : {temp / "dest", temp / "dest\\"}) {
        SCOPED_TRACE(root);
        host.destination = root;
        DoFileOperation(job, temp / "S\\a\\x.txt", temp / "dest\\S\\a\\x.txt", 6, kOpCopy);
        DoFileOperation(job, temp / "S\\b\\x.txt", temp / "dest\\S\\b\\x.txt", 6, kOpCopy);
        EXPECT_EQ(ReadAll(temp / "dest\\S_a_x.txt"), "from a");
        EXPECT_EQ(ReadAll(temp / "dest\\S_b_x.txt"), "from b");
        EXPECT_FALSE(Exists(temp / "dest\\S"));
        DeleteFileA((temp / "dest\\S_a_x.txt").c_str());
        DeleteFileA((temp / "dest\\S_b_x.txt").c_str());
    }
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(host.log, "");
}

TEST_F(CopyFileOp, PathsLongerThanMaxPathAreCopiedAndCutWhole)
{
    const LongFolder from(temp.Path());
    const LongFolder to(temp / "dest");
    const std::string longSource = from / "a file with a long path.txt";
    ASSERT_GT(longSource.size(), 300u);
    ASSERT_TRUE(WriteAll(longSource, Pattern(kChunk + 1)));

    DoFileOperation(job, longSource, to / "copied.txt", kChunk + 1, kOpCopy);
    DoFileOperation(job, longSource, to / "moved.txt", kChunk + 1, kOpCut);

    EXPECT_EQ(host.log, "");
    EXPECT_EQ(ReadAll(to / "copied.txt"), Pattern(kChunk + 1));
    EXPECT_EQ(ReadAll(to / "moved.txt"), Pattern(kChunk + 1));
    EXPECT_FALSE(Exists(longSource));
    EXPECT_EQ(state.filesDone, 2);
}

TEST_F(CopyFileOp, NamesOutsideTheLegacyCodePagesAreReachedThroughTheUtf8CodePage)
{
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "this test program runs in code page " << GetACP()
                     << " (no UTF-8 manifest), where such names cannot be spelled in 8-bit paths";
    const std::string name = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";  // 日本語.txt
    ASSERT_TRUE(WriteAll(temp / name, "utf-8"));
    DoFileOperation(job, temp / name, temp / ("dest\\" + name), 5, kOpCut);
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(ReadAll(temp / ("dest\\" + name)), "utf-8");
    EXPECT_FALSE(Exists(temp / name));
}

} // namespace
