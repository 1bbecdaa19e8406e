// Delete and Move to trash of single files through DoFileOperation.
#include "core/ShellErrorTexts.h"
#include "core/LogTexts.h"
#include "engine/fileops.h"

#include "FileOpsTestSupport.h"
#include "tests/support/OutsideReason.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ShellQuestions.h"
#include "tests/support/WineProcess.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fileopstest;

namespace {

using DeleteFileOp = JobOnFiles;

TEST_F(DeleteFileOp, DeletesAReadOnlyFileAfterClearingItsAttributes)
{
    const std::string file = temp / "read only.txt";
    ASSERT_TRUE(WriteAll(file, "x"));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    DoFileOperation(job, file, "", 1, kOpDelete);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
    EXPECT_EQ(host.fileProgressText, "Deleting " + file);
}

// The marks belong to the file, not to a name: the name left of a file with two keeps them.
TEST_F(DeleteFileOp, DeletingOneNameOfAFileLeavesTheMarksOfItsOtherName)
{
    const std::string file = temp / "one.txt";
    const std::string other = temp / "other.txt";
    ASSERT_TRUE(WriteAll(file, "shared"));
    ASSERT_TRUE(CreateHardLinkA(other.c_str(), file.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    DoFileOperation(job, file, "", 6, kOpDelete);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(ReadAll(other), "shared");
    const DWORD marks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(GetFileAttributesA(other.c_str()) & marks, marks);
    SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DeleteFileOp, AttributesKnownFromTheWalkThatNoLongerHoldStillLetDeleteAndCrushRemoveTheFile)
{
    // The walk's entry said archive only; the file has become read-only since.
    for (const Operation operation : {kOpDelete, kOpCrush}) {
        SCOPED_TRACE(operation);
        const std::string file = temp / "became read only.txt";
        ASSERT_TRUE(WriteAll(file, "x"));
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        DoFileOperation(job, file, "", 1, operation, FILE_ATTRIBUTE_ARCHIVE);
        EXPECT_EQ(host.log, "");
        EXPECT_EQ(testsupport::Tree(temp.Path()), "");
    }
    EXPECT_EQ(state.filesDone, 2);
}

TEST_F(DeleteFileOp, FailuresAreLoggedWithTheSystemTextAndTheJobGoesOn)
{
    const std::string missing = temp / "missing.txt";
    const std::string locked = temp / "locked.txt";
    const std::string next = temp / "next.txt";
    ASSERT_TRUE(WriteAll(locked, "in use"));
    ASSERT_TRUE(WriteAll(next, "next"));
    {
        const HeldOpen lock(locked, 0);
        ASSERT_TRUE(lock.Valid());
        DoFileOperation(job, missing, "", 0, kOpDelete);
        DoFileOperation(job, locked, "", 6, kOpDelete);
        DoFileOperation(job, next, "", 4, kOpDelete);
    }
    EXPECT_EQ(host.log, Failure(ERROR_FILE_NOT_FOUND, " So failed to delete file " + missing + "!") +
                            Failure(ERROR_SHARING_VIOLATION, " So failed to delete file " + locked + "!"));
    EXPECT_EQ(ReadAll(locked), "in use");
    EXPECT_FALSE(Exists(next));
    EXPECT_EQ(state.filesFailed, 2);
    EXPECT_EQ(state.filesDone, 1);
}

TEST_F(DeleteFileOp, AFolderIsNeverDeletedAsAFile)
{
    const std::string folder = temp / "folder";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteAll(folder + "\\inside.txt", "kept"));
    DoFileOperation(job, folder, "", 0, kOpDelete);
    EXPECT_EQ(ReadAll(folder + "\\inside.txt"), "kept");
    EXPECT_EQ(host.log, Failure(ERROR_ACCESS_DENIED, " So failed to delete file " + folder + "!"));
}

TEST_F(DeleteFileOp, DeletesAFileWithAPathLongerThanMaxPath)
{
    const LongFolder folder(temp.Path());
    const std::string file = folder / "long.txt";
    ASSERT_GT(file.size(), 300u);
    ASSERT_TRUE(WriteAll(file, "x"));
    DoFileOperation(job, file, "", 1, kOpDelete);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(host.log, "");
}

// A link to a file outside everything chosen: the file it leads to keeps its place, content and
// attributes. The link goes where the system deletes links themselves (Windows); where deleting it
// would delete what it points to (Wine, with a link of the host system) it stays, as one failure line.
TEST_F(DeleteFileOp, ALinkIsDeletedItselfOrKeptButNeverTheFileItPointsTo)
{
    const std::string outside = temp / "outside.txt";
    ASSERT_TRUE(WriteAll(outside, "not chosen"));
    ASSERT_TRUE(SetFileAttributesA(outside.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::string link = temp / "link.txt";
    if (!testsupport::MakeFileLink(link, outside))
        GTEST_SKIP() << "file links cannot be made on this system";

    DoFileOperation(job, link, "", 0, kOpDelete, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(ReadAll(outside), "not chosen") << "the file the link leads to was deleted";
    EXPECT_EQ(GetFileAttributesA(outside.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
    if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_EQ(state.filesDone, 1);
        EXPECT_EQ(host.log, "");
    } else {
        EXPECT_EQ(state.filesFailed, 1);
        EXPECT_EQ(host.log, Failure(ERROR_CANT_ACCESS_FILE, " So failed to delete file " + link + "!"));
    }
}

// Move to trash goes to the freedesktop Trash of the scratch home that the test environment sets up
// (never the user's): the file must really be there afterwards, not deleted for good.
class TrashFileOp : public JobOnFiles {
protected:
    std::string dataHome;  // XDG_DATA_HOME as set for the test run
    std::string trash;     // Z:\…\Trash
    // The shell sets its trash up at its first use in a process and keeps it: a test that needs the
    // trash missing needs a process where no trash test ran before (ctest gives each test its own).
    static inline int trashTestsStarted = 0;
    bool trashUsedEarlier = false;
    std::vector<std::string> trashed;

    void SetUp() override
    {
        dataHome.assign(32767, '\0');
        const DWORD length = GetEnvironmentVariableA("XDG_DATA_HOME", dataHome.data(), 32767);
        if (length == 0 || length >= 32767)
            ORV_SKIP_BECAUSE("no-scratch-trash", "XDG_DATA_HOME is not set: scripts/wine-env.sh points it at a "
                                                 "scratch home; without it the file would go to a real user's Trash");
        dataHome.resize(length);
        const std::string dataFolder = testsupport::WinePath(dataHome);
        if (!testsupport::IsFolder(dataFolder))
            ORV_SKIP_BECAUSE("no-scratch-trash", dataFolder << " does not exist, and the shell would then delete for good");
        trash = dataFolder + "\\Trash";
        trashUsedEarlier = trashTestsStarted++ > 0;
    }
    void TearDown() override
    {
        if (!dataHome.empty())
            SetEnvironmentVariableA("XDG_DATA_HOME", dataHome.c_str());
        for (const std::string& name : trashed) {
            SetFileAttributesA((trash + "\\files\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((trash + "\\files\\" + name).c_str());
            DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
        }
    }

    // A name no earlier run has left in the Trash.
    std::string UniqueName(const std::string& what) const
    {
        return what + "_" + temp.Path().substr(temp.Path().find_last_of('\\') + 1) + ".txt";
    }
    // The entry the Trash holds for a file of that name (the Trash may add a suffix), or "".
    std::string FindTrashed(const std::string& name)
    {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((trash + "\\files\\" + name + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return {};
        FindClose(find);
        trashed.push_back(entry.cFileName);
        return trash + "\\files\\" + entry.cFileName;
    }

    // Move to trash while a user answers No to whatever the shell asks: how many questions, and the
    // owner window of the last.
    std::pair<int, HWND> TrashAnsweringNo(const std::string& file, int answer = IDNO)
    {
        const testsupport::ShellQuestionAnswerer answerer(answer);
        DoFileOperation(job, file, "", 7, kOpTrash);
        return {answerer.Answered(), answerer.LastOwner()};
    }
    void ExpectKeptWithOneCancelledLine(const std::string& file)
    {
        EXPECT_EQ(ReadAll(file), "keep me");
        EXPECT_EQ(host.log, "\r\nBecause " + ShellResultText(kShellCancelled) + " So failed to move file " + file +
                                " to trash!\r\n");
        EXPECT_EQ(state.filesFailed, 1);
        EXPECT_EQ(state.filesDone, 0);
    }
};

TEST_F(TrashFileOp, TheFileArrivesInTheTrashWithItsAttributes)
{
    const std::string name = UniqueName("trash me");
    const std::string file = temp / name;
    ASSERT_TRUE(WriteAll(file, "to the bin"));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));

    DoFileOperation(job, file, "", 10, kOpTrash);

    EXPECT_EQ(host.fileProgressText, "Removing " + file);
    EXPECT_FALSE(Exists(file));
    const std::string inTrash = FindTrashed(name);
    ASSERT_NE(inTrash, "") << "not in " << trash << ": deleted for good?";
    EXPECT_EQ(ReadAll(inTrash), "to the bin");
    EXPECT_TRUE(GetFileAttributesA(inTrash.c_str()) & FILE_ATTRIBUTE_READONLY) << "Move to trash keeps attributes";
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(TrashFileOp, APathLongerThanMaxPathGoesToTheTrashWhole)
{
    const LongFolder folder(temp.Path());
    const std::string name = UniqueName("long");
    const std::string file = folder / name;
    ASSERT_GT(file.size(), 300u);
    ASSERT_TRUE(WriteAll(file, "long"));

    DoFileOperation(job, file, "", 4, kOpTrash);

    EXPECT_EQ(host.log, "");
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ReadAll(FindTrashed(name)), "long");
}

// The shell is not even asked: it would offer to delete for good what it cannot put into the trash.
TEST_F(TrashFileOp, AMissingFileOrFolderIsOneLineWithTheSystemTextAndNoQuestion)
{
    const std::string missing = temp / UniqueName("missing");
    const std::string inMissingFolder = temp / ("no such folder\\" + UniqueName("missing"));
    const testsupport::ShellQuestionAnswerer answerer;
    DoFileOperation(job, missing, "", 0, kOpTrash);
    DoFileOperation(job, inMissingFolder, "", 0, kOpTrash);
    EXPECT_EQ(host.log, Failure(ERROR_FILE_NOT_FOUND, " So failed to move file " + missing + " to trash!") +
                            Failure(ERROR_PATH_NOT_FOUND, " So failed to move file " + inMissingFolder + " to trash!"));
    EXPECT_EQ(answerer.Answered(), 0);
    EXPECT_EQ(state.filesFailed, 2);
}

// A file the trash cannot take (one held open cannot be moved into it) is deleted for good only after
// a Yes to the shell's question, asked over the job's owner window.
TEST_F(TrashFileOp, AFileTheTrashCannotTakeIsKeptWhenTheQuestionIsAnsweredNo)
{
    const std::string file = temp / UniqueName("in use");
    ASSERT_TRUE(WriteAll(file, "keep me"));
    host.ownerWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    const HeldOpen lock(file, FILE_SHARE_READ, GENERIC_READ);
    ASSERT_TRUE(lock.Valid());
    const auto [asked, owner] = TrashAnsweringNo(file);
    EXPECT_EQ(owner, host.ownerWindow);
    DestroyWindow(host.ownerWindow);
    EXPECT_EQ(asked, 1);
    ExpectKeptWithOneCancelledLine(file);
}

// A trash folder whose parent is missing cannot be made: the shell deleted the file for good and
// reported success.
TEST_F(TrashFileOp, WithoutAUsableTrashTheFileIsKeptWhenTheQuestionIsAnsweredNo)
{
    const std::string name = UniqueName("no trash");
    const std::string file = temp / name;
    if (trashUsedEarlier)
        ORV_SKIP_BECAUSE("trash-used-in-process", "the shell set its trash up for an earlier test of this process "
                                                  "and keeps it; this test needs a process of its own, as ctest gives it");
    ASSERT_TRUE(WriteAll(file, "keep me"));
    ASSERT_TRUE(SetEnvironmentVariableA("XDG_DATA_HOME", (dataHome + "/" + name + "/missing").c_str()));
    const int asked = TrashAnsweringNo(file).first;
    EXPECT_EQ(FindTrashed(name), "");
    EXPECT_EQ(asked, 1);
    ExpectKeptWithOneCancelledLine(file);
}

// Answered Yes, the shell deletes the file for good and reports success: the log says what happened.
TEST_F(TrashFileOp, WithoutAUsableTrashAYesDeletesForGoodAndTheLogSaysSo)
{
    const std::string name = UniqueName("no trash yes");
    const std::string file = temp / name;
    if (trashUsedEarlier)
        ORV_SKIP_BECAUSE("trash-used-in-process", "the shell set its trash up for an earlier test of this process "
                                                  "and keeps it; this test needs a process of its own, as ctest gives it");
    ASSERT_TRUE(WriteAll(file, "gone for good"));
    ASSERT_TRUE(SetEnvironmentVariableA("XDG_DATA_HOME", (dataHome + "/" + name + "/missing").c_str()));
    const int asked = TrashAnsweringNo(file, IDYES).first;
    EXPECT_EQ(FindTrashed(name), "");
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(host.log, DeletedForGoodEntry(file) + "\r\n");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 0);
}

} // namespace
