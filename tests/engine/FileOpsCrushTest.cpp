// Crush of single files through DoFileOperation: block order, content, hidden name, failures.
#include "engine/CrushWriter.h"
#include "engine/fileops.h"
#include "engine/itemops.h"
#include "engine/jobrun.h"
#include "core/LogTexts.h"
#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"

#include "FileOpsTestSupport.h"
#include "tests/support/PathSpellings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

using namespace fileopstest;

namespace {

struct Write {
    std::string path;
    std::int64_t offset;
    std::int64_t length;
    bool operator==(const Write&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Write& w)
{
    return out << "{" << w.path << " @" << w.offset << " +" << w.length << "}";
}

class CrushFileOp : public JobOnFiles {
protected:
    std::vector<Write> writes;
    bool allOnes = true;
    int failWriteNumber = 0;  // 1-based; 0: no write fails

    void SetUp() override
    {
        SetCrushWriteObserver([this](const std::string& path, std::int64_t offset, const unsigned char* data,
                                     std::uint32_t length) {
            writes.push_back({path, offset, length});
            allOnes = allOnes && std::all_of(data, data + length, [](unsigned char b) { return b == 0xFF; });
            return static_cast<int>(writes.size()) != failWriteNumber;
        });
    }
    void TearDown() override { SetCrushWriteObserver({}); }
};

TEST_F(CrushFileOp, OverwritesTheBlockGridFromTheEndWithOnesThenDeletes)
{
    struct Case {
        std::int64_t size;
        std::vector<std::pair<std::int64_t, std::int64_t>> writes;  // (offset, length) in order
    };
    const std::vector<Case> cases = {
        {1000, {{232, 768}, {0, 232}}},  // blocks 744, 488, 232 in one write, then the piece at 0
        {512, {{256, 256}, {0, 256}}},
        {256, {{0, 256}}},
        {1, {{0, 1}}},
        {0, {}},
        {3 * kCrushWriteSize + 100, {{2 * kCrushWriteSize + 100, kCrushWriteSize}, {kCrushWriteSize + 100, kCrushWriteSize}, {100, kCrushWriteSize}, {0, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const testsupport::TempFolder folder;
        const std::string file = folder / "secret name.txt";
        ASSERT_TRUE(WriteAll(file, Pattern(static_cast<std::size_t>(c.size))));
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        writes.clear();
        state = JobState{};

        DoFileOperation(job, file, "", c.size, kOpCrush);

        std::vector<Write> expected;
        for (const auto& [offset, length] : c.writes)
            expected.push_back({file, offset, length});  // under its own name: hidden once overwritten
        EXPECT_EQ(writes, expected);
        EXPECT_TRUE(allOnes);
        EXPECT_FALSE(Exists(file));
        EXPECT_FALSE(Exists(folder / "0"));
        EXPECT_EQ(state.filesDone, 1);
        EXPECT_EQ(host.log, "");
        EXPECT_EQ(host.fileProgressText, "Crushing " + file);
        EXPECT_EQ(host.fileBarMax, c.size / 256);
    }
}

// A second name (a hard link) reaches the same data: overwriting the file would overwrite it there
// too. The file is left as it was, under its name, attributes and all, with one line.
TEST_F(CrushFileOp, AFileWithASecondNameIsLeftWholeWithOneLine)
{
    const std::string file = temp / "secret name.txt";
    const std::string kept = temp / "kept link";
    const std::string content = Pattern(1000);
    ASSERT_TRUE(WriteAll(file, content));
    ASSERT_TRUE(CreateHardLinkA(kept.c_str(), file.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesA(kept.c_str());

    DoFileOperation(job, file, "", 1000, kOpCrush);

    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(host.log, SharedDataEntry(file) + "\r\n");
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_FALSE(Exists(temp / "0"));
    EXPECT_EQ(GetFileAttributesA(kept.c_str()), attributes);
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(ReadAll(file) == content) << "the file is byte-equal";
    EXPECT_TRUE(ReadAll(kept) == content) << "its second name is byte-equal";
}

TEST_F(CrushFileOp, TheFileTakesTheFirstFreeDecimalName)
{
    ASSERT_TRUE(WriteAll(temp / "0", "zero"));
    ASSERT_TRUE(CreateDirectoryA((temp / "1").c_str(), nullptr));
    const std::string file = temp / "report.txt";
    ASSERT_TRUE(WriteAll(file, Pattern(300)));

    DoFileOperation(job, file, "", 300, kOpCrush);

    ASSERT_FALSE(writes.empty());
    ASSERT_TRUE(job.givenNames);
    EXPECT_TRUE(job.givenNames->Contains(temp / "2"));
    EXPECT_FALSE(job.givenNames->Contains(temp / "0"));
    EXPECT_EQ(ReadAll(temp / "0"), "zero");
    EXPECT_TRUE(testsupport::IsFolder(temp / "1"));
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(temp / "2"));
    EXPECT_EQ(state.filesDone, 1);
}

TEST_F(CrushFileOp, AFileInUseIsLeftUntouchedUnderItsNameAndLoggedOnce)
{
    const std::string file = temp / "in use.txt";
    ASSERT_TRUE(WriteAll(file, "still here"));
    {
        const HeldOpen lock(file, 0);
        ASSERT_TRUE(lock.Valid());
        DoFileOperation(job, file, "", 10, kOpCrush);
    }
    EXPECT_EQ(host.log, Failure(ERROR_SHARING_VIOLATION, " So failed to delete file " + file + "!"));
    EXPECT_EQ(ReadAll(file), "still here");
    EXPECT_FALSE(Exists(temp / "0"));
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(CrushFileOp, AFailedOverwriteIsNotDeletedButLoggedAndReturnedToItsName)
{
    const std::string file = temp / "half.txt";
    const std::string content = Pattern(3 * kCrushWriteSize);
    ASSERT_TRUE(WriteAll(file, content));
    failWriteNumber = 2;

    DoFileOperation(job, file, "", 3 * kCrushWriteSize, kOpCrush);

    EXPECT_EQ(host.log, Failure(ERROR_WRITE_FAULT, " So failed to delete file " + file + "!"));
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(writes.size(), 2u) << "nothing written after the failure";
    EXPECT_FALSE(Exists(temp / "0"));
    const std::string left = ReadAll(file);
    ASSERT_EQ(left.size(), content.size());
    EXPECT_EQ(left.substr(0, 2 * kCrushWriteSize), content.substr(0, 2 * kCrushWriteSize));
    EXPECT_EQ(left.substr(2 * kCrushWriteSize), std::string(kCrushWriteSize, '\xFF'));
}

TEST_F(CrushFileOp, AFolderOrAMissingFileIsRefusedWithoutRenamingAnything)
{
    const std::string folder = temp / "folder";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteAll(folder + "\\inside.txt", "kept"));
    const std::string missing = temp / "missing.txt";

    DoFileOperation(job, folder, "", 0, kOpCrush);
    DoFileOperation(job, missing, "", 0, kOpCrush);

    EXPECT_EQ(host.log, Failure(ERROR_ACCESS_DENIED, " So failed to delete file " + folder + "!") +
                            Failure(ERROR_FILE_NOT_FOUND, " So failed to delete file " + missing + "!"));
    EXPECT_EQ(ReadAll(folder + "\\inside.txt"), "kept");
    EXPECT_FALSE(Exists(temp / "0"));
    EXPECT_TRUE(writes.empty());
}

// The name is hidden only once the data is gone: a file whose overwrite fails (or a process ended
// during it) stays under its own name, never under a hidden one.
TEST_F(CrushFileOp, AFileWhoseOverwriteFailsStaysUnderItsOwnName)
{
    const std::string file = temp / "secret.txt";
    const std::string content = Pattern(600);
    ASSERT_TRUE(WriteAll(file, content));
    SetCrushWriteObserver([&](const std::string& path, std::int64_t offset, const unsigned char*, std::uint32_t length) {
        writes.push_back({path, offset, length});
        return false;  // the overwrite fails, so the file is to be kept
    });

    DoFileOperation(job, file, "", 600, kOpCrush);

    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes.front().path, file);
    EXPECT_EQ(host.log, Failure(ERROR_WRITE_FAULT, " So failed to delete file " + file + "!"));
    EXPECT_EQ(ReadAll(file), content);
    EXPECT_FALSE(Exists(temp / "0"));
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
}

} // namespace

// A file link (under Wine, made by the host system, it shows as a plain file) leads outside what was
// listed: the file it points to is neither written nor changed in any way, and the entry is one line.
TEST_F(CrushFileOp, AFileLinkIsOneFailureLineAndWhatItPointsToIsLeftWhole)
{
    const std::string outside = temp / "outside.txt";
    const std::string content = Pattern(3000);
    ASSERT_TRUE(WriteAll(outside, content));
    ASSERT_TRUE(SetFileAttributesA(outside.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesA(outside.c_str());
    ASSERT_TRUE(CreateDirectoryA((temp / "folder").c_str(), nullptr));
    const std::string link = temp / "folder\\link.txt";
    if (!testsupport::MakeFileLink(link, outside))
        GTEST_SKIP() << "file links cannot be made on this system";

    DoFileOperation(job, link, "", 0, kOpCrush);

    EXPECT_EQ(host.log, Failure(ERROR_CANT_ACCESS_FILE, " So failed to delete file " + link + "!"));
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(GetFileAttributesA(outside.c_str()), attributes);
    SetFileAttributesA(outside.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAll(outside), content);
    EXPECT_FALSE(Exists(temp / "folder\\0"));  // not even renamed
    testsupport::RemoveFolderLink(link);
}

// The same through a whole Crush job of the folder that holds the link: without the observer, every
// real write would reach the file.
TEST_F(CrushFileOp, CrushOfAFolderHoldingAFileLinkLeavesTheLinkedFileWhole)
{
    SetCrushWriteObserver({});
    const std::string outside = temp / "outside.txt";
    const std::string content = Pattern(5000);
    ASSERT_TRUE(WriteAll(outside, content));
    ASSERT_TRUE(CreateDirectoryA((temp / "folder").c_str(), nullptr));
    ASSERT_TRUE(WriteAll(temp / "folder\\own.txt", "own"));
    const std::string link = temp / "folder\\link.txt";
    if (!testsupport::MakeFileLink(link, outside))
        GTEST_SKIP() << "file links cannot be made on this system";

    job.masks = BuildMaskList(host.filters.masksText);
    host.operation = kOpCrush;
    request = host.Request();
    WalkFolder(job, temp / "folder", "");

    EXPECT_EQ(ReadAll(outside), content);
    EXPECT_FALSE(Exists(temp / "folder\\own.txt"));
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_NE(host.log.find(" So failed to delete file " + link + "!"), std::string::npos) << host.log;
    testsupport::RemoveFolderLink(link);
}

namespace {

// A whole Crush job over the sources with the given number of file workers.
void RunCrushJob(ScriptedHost& host, JobState& state, const std::vector<std::string>& sources, int workers)
{
    host.operation = kOpCrush;
    host.operationHeader = "Crush\n";
    host.sources = sources;
    host.fileWorkers = workers;
    // Every name, also those without a dot such as the hidden names (the default mask needs a dot).
    host.filters.masksText = "*";
    host.scan.stopped = true;
    JobRun(host, state).Run(host.Request());
}

} // namespace

// A folder holding a second name of a file outside it (as a repository clone or a snapshot backup
// holds): the file outside keeps every byte and its attributes, the name inside stays as it was, and
// the job counts one failure with one line. Two names of one file both inside are both left.
TEST(CrushJob, AFileWhoseDataAnotherNameReachesIsNeverOverwritten)
{
    for (const int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        const testsupport::TempFolder temp;
        const std::string folder = temp / "S";
        const std::string outside = temp / "outside.dat";
        const std::string content = Pattern(70000, 3);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(WriteAll(outside, content));
        ASSERT_TRUE(WriteAll(folder + "\\own.dat", Pattern(5000)));
        ASSERT_TRUE(CreateHardLinkA((folder + "\\link.dat").c_str(), outside.c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesA(outside.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        ASSERT_TRUE(WriteAll(folder + "\\pair one.dat", "both names chosen"));
        ASSERT_TRUE(CreateHardLinkA((folder + "\\pair two.dat").c_str(), (folder + "\\pair one.dat").c_str(), nullptr));
        ScriptedHost host;
        JobState state;

        RunCrushJob(host, state, {folder}, workers);

        EXPECT_EQ(GetFileAttributesA(outside.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        SetFileAttributesA(outside.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(ReadAll(outside) == content) << "the file outside is byte-equal";
        EXPECT_TRUE(ReadAll(folder + "\\link.dat") == content) << "its name inside is byte-equal";
        EXPECT_EQ(ReadAll(folder + "\\pair one.dat"), "both names chosen");
        EXPECT_EQ(ReadAll(folder + "\\pair two.dat"), "both names chosen");
        EXPECT_FALSE(Exists(folder + "\\own.dat"));
        EXPECT_FALSE(Exists(folder + "\\0"));
        for (const char* name : {"link.dat", "pair one.dat", "pair two.dat"}) {
            const std::string line = SharedDataEntry(folder + "\\" + name) + "\r\n";
            const std::size_t at = host.log.find(line);
            EXPECT_NE(at, std::string::npos) << name << "\n" << host.log;
            EXPECT_EQ(host.log.find(line, at + 1), std::string::npos) << "one line";
        }
        EXPECT_EQ(state.filesFailed, 3);
        EXPECT_EQ(state.filesDone, 1);
    }
}

// With workers the files in flight stand under their hidden names 0, 1, … in the folder the walk is
// still listing, and a file not crushed takes its own name back there. The listing must never take
// those for files of its own: each file is crushed and counted once, nothing fails, and the folder
// goes. Files the user named 0, 1, … are crushed as any other.
TEST(CrushJob, WorkersNeverMeetTheNamesTheJobGaveInAFolderStillListed)
{
    for (const int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        const testsupport::TempFolder temp;
        const std::string folder = temp / "S";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((folder + "\\sub").c_str(), nullptr));
        int files = 0;
        // Names on both sides of the hidden names in any order of listing, and some hidden names too.
        for (int i = 0; i < 300; ++i, ++files) {
            const std::string name = (i % 3 == 0 ? "!" : i % 3 == 1 ? "1" : "z") + std::to_string(i) + ".dat";
            ASSERT_TRUE(WriteAll(folder + "\\" + name, Pattern(static_cast<std::size_t>(i * 37 % 5000), i)));
        }
        for (const char* name : {"3", "7", "sub\\0", "sub\\a.txt"}) {
            ASSERT_TRUE(WriteAll(folder + "\\" + name, Pattern(300)));
            ++files;
        }
        ScriptedHost host;
        JobState state;

        RunCrushJob(host, state, {folder}, workers);

        EXPECT_EQ(host.log.find("Because"), std::string::npos) << host.log;
        EXPECT_EQ(state.filesFailed, 0);
        EXPECT_EQ(state.filesDone, files);
        EXPECT_EQ(state.filesExamined, files);
        EXPECT_FALSE(Exists(folder)) << "the emptied folder is removed";
    }
}

// Under Wine a listing is read whole when it starts, so there the names a worker gives are met by a
// listing that starts later: here the same folder reached again through a second source spelt in
// other letter case, while the files of the first are held in flight under their hidden names until a
// third source, handed in after the second is walked, is written. (The second listing starts only once
// all three are hidden: one that met a first name still there would be another matter, a folder
// chosen twice.)
TEST(CrushJob, ALaterListingOfTheSameFolderNeverTakesTheHiddenNamesOfFilesInFlight)
{
    const testsupport::TempFolder temp;
    const std::string first = temp / "S\\sub";
    const std::string again = LocaleLower(temp.Path()) + "\\s";
    const std::string last = temp / "last.dat";
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(first.c_str(), nullptr));
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        ASSERT_TRUE(WriteAll(first + "\\" + name, Pattern(200)));  // one write each
    ASSERT_TRUE(WriteAll(last, Pattern(200)));

    const HANDLE released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE allHeld = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> held{0};
    SetCrushWriteObserver([&](const std::string& path, std::int64_t, const unsigned char*, std::uint32_t) {
        if (path.rfind(first + "\\", 0) == 0) {
            if (++held == 3)
                SetEvent(allHeld);
            WaitForSingleObject(released, 30000);  // a bound for a broken run, never reached in a good one
        } else if (path.rfind(temp.Path() + "\\", 0) == 0 && path.find('\\', temp.Path().size() + 1) == std::string::npos) {
            SetEvent(released);  // the last source: the second has been walked
        }
        return true;
    });
    ScriptedHost host;
    JobState state;
    // The job's thread passes messages when it enters a folder: the first time for the first source,
    // before anything is handed in; from then on only once the first source's files are all hidden.
    int pumps = 0;
    host.onProcessMessages = [&] {
        if (++pumps > 1)
            WaitForSingleObject(allHeld, 30000);
    };

    RunCrushJob(host, state, {first, again, last}, 4);
    SetCrushWriteObserver({});
    CloseHandle(released);
    CloseHandle(allHeld);

    EXPECT_EQ(held, 3);
    EXPECT_EQ(host.log.find("Because"), std::string::npos) << host.log;
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_EQ(state.filesDone, 4);
    EXPECT_EQ(state.filesExamined, 4) << "each file counted once";
    EXPECT_FALSE(Exists(temp / "S"));
    EXPECT_FALSE(Exists(last));
}
