// Crush of single files through DoFileOperation: block order, content, hidden name, failures.
#include "engine/CrushWriter.h"
#include "engine/fileops.h"
#include "engine/itemops.h"
#include "filters/FilterSet.h"

#include "FileOpsTestSupport.h"
#include "tests/support/PathSpellings.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        // A second name for the same data shows what reached it after the first name is gone.
        const std::string kept = folder / "kept link";
        const bool linked = CreateHardLinkA(kept.c_str(), file.c_str(), nullptr) != 0;
        writes.clear();
        state = JobState{};

        DoFileOperation(job, file, "", c.size, kOpCrush);

        std::vector<Write> expected;
        for (const auto& [offset, length] : c.writes)
            expected.push_back({folder / "0", offset, length});
        EXPECT_EQ(writes, expected);
        EXPECT_TRUE(allOnes);
        EXPECT_FALSE(Exists(file));
        EXPECT_FALSE(Exists(folder / "0"));
        EXPECT_EQ(state.filesDone, 1);
        EXPECT_EQ(host.log, "");
        EXPECT_EQ(host.fileProgressText, "Crushing " + file);
        EXPECT_EQ(host.fileBarMax, c.size / 256);
        if (linked) {
            EXPECT_EQ(ReadAll(kept), std::string(static_cast<std::size_t>(c.size), '\xFF'));
        }
        SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(CrushFileOp, TheFileTakesTheFirstFreeDecimalName)
{
    ASSERT_TRUE(WriteAll(temp / "0", "zero"));
    ASSERT_TRUE(CreateDirectoryA((temp / "1").c_str(), nullptr));
    const std::string file = temp / "report.txt";
    ASSERT_TRUE(WriteAll(file, Pattern(300)));

    DoFileOperation(job, file, "", 300, kOpCrush);

    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front().path, temp / "2");
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

// The file's own name is taken while it is overwritten under its hidden name: it cannot go back, and
// the line must name where it really is.
TEST_F(CrushFileOp, AFileThatCannotGetItsNameBackIsNamedWhereItIs)
{
    const std::string file = temp / "secret.txt";
    const std::string hidden = temp / "0";
    const std::string content = Pattern(600);
    ASSERT_TRUE(WriteAll(file, content));
    SetCrushWriteObserver([&](const std::string& path, std::int64_t offset, const unsigned char*, std::uint32_t length) {
        writes.push_back({path, offset, length});
        WriteAll(file, "newcomer");
        return false;  // the overwrite fails, so the file is to be kept
    });

    DoFileOperation(job, file, "", 600, kOpCrush);

    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes.front().path, hidden);
    EXPECT_EQ(host.log, Failure(ERROR_WRITE_FAULT, " So failed to delete file " + hidden + " (first named " + file + ")!"));
    EXPECT_EQ(ReadAll(hidden), content);
    EXPECT_EQ(ReadAll(file), "newcomer");
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
