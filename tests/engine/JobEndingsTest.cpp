// How a job ends when it does not simply run through: a Cut refused by the dispatch, an exception out of
// the job, the program quitting during it, a Cancel pressed inside it, and a source list changed under
// it. Whole jobs on real temporary trees.
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "tests/support/ScriptedHost.h"
#include "platform/Handles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <vector>

using testsupport::Exists;
using testsupport::IsFolder;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

// Each test: a fresh temporary folder, the window's side as a script, the job's state and the job.
class JobEndings : public ::testing::Test {
protected:
    // src\d0 … src\d3, one file each, and the same files already at out\src\dN: every file is a
    // conflict.
    void MakeConflictTree()
    {
        MakeFolder(temp / "src");
        MakeFolder(temp / "out");
        MakeFolder(temp / "out\\src");
        for (int i = 0; i < 4; ++i) {
            const std::string d = "\\d" + std::to_string(i);
            MakeFolder(temp / "src" + d);
            MakeFolder(temp / "out\\src" + d);
            WriteFileText(temp / "src" + d + "\\f.txt", "new");
            WriteFileText(temp / "out\\src" + d + "\\f.txt", "old");
        }
    }

    TempFolder temp;
    ScriptedHost host;
    JobState state;
    JobRun run{host, state};
};

} // namespace

TEST_F(JobEndings, ACutWhoseDestinationRunsThroughAFileTouchesNothing)
{
    for (const char* folder : {"src", "src\\full", "src\\empty", "src\\empty\\deeper"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    ASSERT_TRUE(WriteFileText(temp / "src\\full\\a.txt", "a"));
    ASSERT_TRUE(WriteFileText(temp / "blocker", "a file where a folder should be"));
    host.operation = kOpCut;
    host.sources = {temp / "src"};
    host.destination = temp / "blocker\\out";

    run.Run(host.Request());
    EXPECT_EQ(ReadFileText(temp / "src\\full\\a.txt"), "a");
    EXPECT_TRUE(IsFolder(temp / "src\\empty\\deeper")) << "a refused Cut removed an empty source folder";
    // The creation that failed is that of "blocker" as a folder, where the file stands.
    const std::string line =
        "\r\nBecause " + SystemErrorText(ERROR_ALREADY_EXISTS) + " Failed to create destination folder " +
        host.destination + "!\r\n";
    EXPECT_EQ(Count(host.log, line), 1u) << host.log;
    EXPECT_EQ(Count(host.log, "Because"), 1u) << host.log;
    EXPECT_NE(host.log.find("\r\nErrors: 1\r\n"), std::string::npos) << host.log;
}

TEST_F(JobEndings, AnExceptionOutOfTheJobEndsItAsCancelDoesAndTheNextBeginRuns)
{
    MakeConflictTree();
    host.sources = {temp / "src"};
    host.destination = temp / "fresh";
    int pumps = 0;
    host.onProcessMessages = [&] {
        if (++pumps == 3)
            throw std::runtime_error("display driver gone\r\n");
    };

    run.Run(host.Request());
    EXPECT_FALSE(host.running) << "the window stays in its running state";
    EXPECT_TRUE(host.hidden);
    EXPECT_EQ(Count(host.log, "\r\nJob stopped by an unexpected error: display driver gone\r\n"), 1u) << host.log;
    EXPECT_EQ(Count(host.log, "display driver gone"), 1u);
    EXPECT_LT(host.log.find("display driver gone"), host.log.find("\r\n**Report**"));

    host.onProcessMessages = nullptr;
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kUpdate, true}; };  // merge
    run.Run(host.Request());
    EXPECT_EQ(Count(host.log, "unexpected error"), 0u) << host.log;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadFileText(temp / "fresh\\src\\d" + std::to_string(i) + "\\f.txt"), "new") << host.log;
}

TEST_F(JobEndings, AQuitDuringAWalkStopsTheJobAndAsksNothingMore)
{
    MakeConflictTree();
    host.sources = {temp / "src"};
    host.destination = temp / "out";
    // The first subfolder met is asked about (it exists); the program quits while that dialog is up,
    // which ends it unanswered.
    host.onFolderExists = [&](const std::string&) {
        run.RequestQuit();
        EXPECT_TRUE(host.running) << "the rest state is the job's own end";
        return ConflictAnswer{kSkip, false};
    };
    host.fileAnswers = {{kOverwrite, false}, {kOverwrite, false}, {kOverwrite, false}, {kOverwrite, false}};

    run.Run(host.Request());
    EXPECT_EQ(host.folderQuestions.size(), 1u);
    EXPECT_TRUE(host.fileQuestions.empty());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadFileText(temp / "out\\src\\d" + std::to_string(i) + "\\f.txt"), "old") << i;
    EXPECT_EQ(Count(host.log, "\r\n**Report**"), 2u) << host.log;
    EXPECT_FALSE(host.running);

    // The program is on its way out: no new job.
    run.Run(host.Request());
    EXPECT_EQ(Count(host.log, "\r\n**Prepare**"), 1u);
}

TEST_F(JobEndings, ACancelInsideTheJobLeavesTheRestStateToItsEnd)
{
    for (const char* folder : {"t", "t\\a", "t\\a\\b", "out"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    ASSERT_TRUE(WriteFileText(temp / "t\\a\\b\\f.txt", "f"));
    host.operation = kOpCut;
    host.sources = {temp / "t"};
    host.destination = temp / "out";
    bool cancelled = false;
    int pumpsAfterCancel = 0, restBeforeTheEnd = 0, pausedWhileStopping = 0;
    host.onProcessMessages = [&] {
        if (cancelled) {
            ++pumpsAfterCancel;
            restBeforeTheEnd += host.running ? 0 : 1;
            run.bbPauseClick();  // a stopping job only unwinds
            pausedWhileStopping += (host.paused || state.pauseFlag) ? 1 : 0;
            return;
        }
        cancelled = true;
        run.bbCancelClick();
        EXPECT_TRUE(host.running) << "the nested Cancel returned the window to rest";
        EXPECT_TRUE(host.hidden);
    };

    run.Run(host.Request());
    ASSERT_TRUE(cancelled);
    EXPECT_GT(pumpsAfterCancel, 0) << "the removal of emptied folders pumps after the Cancel";
    EXPECT_EQ(restBeforeTheEnd, 0);
    EXPECT_EQ(pausedWhileStopping, 0);
    EXPECT_FALSE(host.running);
}

// A Cancel pressed while a worker writes a large file: the file it cut off is reported (as a
// one-at-a-time job reports the file a Cancel met) before the report that Cancel writes, which counts it.
TEST_F(JobEndings, ACancelWithFilesInFlightReportsWhatItsLinesAboveSay)
{
    ASSERT_TRUE(MakeFolder(temp / "src"));
    ASSERT_TRUE(MakeFolder(temp / "out"));
    ASSERT_TRUE(WriteFileText(temp / "src\\a.txt", "small"));
    {
        UniqueFile big(CreateFileA((temp / "src\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(big);
        const std::string block(1 << 20, 'b');
        DWORD written = 0;
        for (int i = 0; i < 256; ++i)
            ASSERT_TRUE(WriteFile(big.Get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr));
    }
    host.sources = {temp / "src"};
    host.destination = temp / "out";
    host.fileWorkers = 2;
    bool cancelled = false;
    host.onProcessMessages = [&] {
        // Once the large file's copy shows progress: it is being written on a worker.
        if (cancelled || host.fileBarPos <= 0 || host.fileProgressText.find("big.bin") == std::string::npos)
            return;
        cancelled = true;
        run.bbCancelClick();
    };

    run.Run(host.Request());
    ASSERT_TRUE(cancelled) << host.log;
    const std::string log = host.log;
    const std::size_t report = log.find("**Report**");
    ASSERT_NE(report, std::string::npos) << log;
    const std::size_t failedAbove = Count(log.substr(0, report), "Because");
    EXPECT_NE(log.find("Errors: " + std::to_string(failedAbove) + "\r\n", report), std::string::npos)
        << "the report does not count the lines above it:\n" << log;
    const std::size_t abort = log.find("User abort!", report);
    ASSERT_NE(abort, std::string::npos) << log;
    EXPECT_EQ(Count(log.substr(report, abort - report), "Because"), 0u)
        << "a file's line after the Cancel's report:\n" << log;
}

TEST_F(JobEndings, ASourceListChangedDuringTheJobChangesNothingOfIt)
{
    for (const char* folder : {"t", "t\\sub", "t\\sub\\empty", "other", "other\\empty", "out"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    ASSERT_TRUE(WriteFileText(temp / "t\\sub\\a.txt", "a"));
    ASSERT_TRUE(WriteFileText(temp / "other\\b.txt", "b"));
    host.operation = kOpCut;
    host.sources = {temp / "t"};
    host.destination = temp / "out";
    // A hand-off during the job: the list now names another folder only.
    host.onProcessMessages = [&] { host.sources = {temp / "other"}; };

    run.Run(host.Request());
    EXPECT_EQ(ReadFileText(temp / "out\\t\\sub\\a.txt"), "a");
    EXPECT_FALSE(Exists(temp / "t")) << "the emptied folders of the job's own source stay";
    EXPECT_EQ(ReadFileText(temp / "other\\b.txt"), "b");
    EXPECT_TRUE(IsFolder(temp / "other\\empty")) << "a folder added during the job was emptied";
    EXPECT_EQ(Count(host.log, "Because"), 0u) << host.log;
}
