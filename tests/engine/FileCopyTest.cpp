#include "engine/FileCopy.h"

#include "FileOpsTestSupport.h"
#include "filters/LocaleLower.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fileopstest;

namespace {

// Answers the progress calls from a script (Continue once the script runs out) and records them.
struct ProgressScript {
    explicit ProgressScript(std::initializer_list<CopyProgressAnswer> script = {}) : answers(script) {}

    std::vector<CopyProgressAnswer> answers;
    std::vector<std::pair<std::int64_t, std::int64_t>> calls;  // (total, transferred)
    std::function<void()> onCall;

    CopyProgressFn Fn()
    {
        return [this](std::int64_t total, std::int64_t transferred) {
            calls.emplace_back(total, transferred);
            if (onCall)
                onCall();
            return calls.size() <= answers.size() ? answers[calls.size() - 1] : CopyProgressAnswer::Continue;
        };
    }
    std::vector<std::int64_t> Transferred() const
    {
        std::vector<std::int64_t> t;
        for (const auto& c : calls)
            t.push_back(c.second);
        return t;
    }
};

constexpr auto kGo = CopyProgressAnswer::Continue;
constexpr auto kStop = CopyProgressAnswer::Stop;
constexpr auto kCancel = CopyProgressAnswer::Cancel;

class FileCopyTest : public ::testing::Test {
protected:
    testsupport::TempFolder temp;
    std::string source = temp / "source.bin";
    std::string destination = temp / "copy.bin";

    // One whole copy, as a fresh object each time.
    unsigned long Copy(CopyTarget target, ProgressScript& progress, const std::string& to = {})
    {
        FileCopy copy(source, to.empty() ? destination : to, target);
        return copy.Run(progress.Fn());
    }
};

TEST_F(FileCopyTest, CopiesContentAttributesAndLastWriteTimeReportingEveryChunk)
{
    const std::string content = Pattern(3 * kChunk + 123);
    ASSERT_TRUE(WriteAll(source, content));
    ASSERT_TRUE(testsupport::SetWriteTime(source, kOldTime));
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    ProgressScript progress;
    ASSERT_EQ(Copy(CopyTarget::NewFile, progress), 0u);

    EXPECT_EQ(ReadAll(destination), content);
    EXPECT_EQ(WriteTimeOf(destination), kOldTime);
    const DWORD attributes = GetFileAttributesA(destination.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(progress.Transferred(), (std::vector<std::int64_t>{kChunk, 2 * kChunk, 3 * kChunk, 3 * kChunk + 123}));
    for (const auto& call : progress.calls)
        EXPECT_EQ(call.first, 3 * kChunk + 123);
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
}

TEST_F(FileCopyTest, EmptyFileIsCopiedWithoutProgressCalls)
{
    ASSERT_TRUE(WriteAll(source, ""));
    ProgressScript progress;
    ASSERT_EQ(Copy(CopyTarget::NewFile, progress), 0u);
    EXPECT_EQ(ReadAll(destination), "");
    EXPECT_TRUE(progress.calls.empty());
}

TEST_F(FileCopyTest, ExistingDestinationIsReplacedOnlyByTheCompleteCopyEvenWhenReadOnly)
{
    ASSERT_TRUE(WriteAll(source, Pattern(2 * kChunk + 5)));
    ASSERT_TRUE(WriteAll(destination, "old contents"));
    ASSERT_TRUE(SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY));

    ProgressScript progress;
    progress.onCall = [&] { EXPECT_EQ(ReadAll(destination), "old contents") << "replaced before complete"; };
    ASSERT_EQ(Copy(CopyTarget::Replace, progress), 0u);
    EXPECT_EQ(ReadAll(destination), Pattern(2 * kChunk + 5));
    EXPECT_FALSE(GetFileAttributesA(destination.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileCopyTest, AStalePartialFileIsWrittenOverWholeForEitherTarget)
{
    // A partial file an earlier copy could not remove, longer than the new copy: none of its bytes
    // may survive into the result.
    const std::string content = Pattern(kChunk + 7);
    ASSERT_TRUE(WriteAll(source, content));
    for (const CopyTarget target : {CopyTarget::NewFile, CopyTarget::Replace}) {
        SCOPED_TRACE(target == CopyTarget::NewFile ? "new file" : "replace");
        if (target == CopyTarget::Replace)
            ASSERT_TRUE(WriteAll(destination, "old contents"));
        else
            ASSERT_TRUE(DeleteFileA(destination.c_str()) || !Exists(destination));
        ASSERT_TRUE(WriteAll(PartialCopyName(destination), std::string(3 * kChunk, 'x')));

        ProgressScript progress;
        ASSERT_EQ(Copy(target, progress), 0u);
        EXPECT_EQ(ReadAll(destination), content);
        EXPECT_FALSE(Exists(PartialCopyName(destination)));
    }
}

TEST_F(FileCopyTest, CancelRemovesThePartialCopyAndLeavesTheOldFile)
{
    ASSERT_TRUE(WriteAll(source, Pattern(4 * kChunk)));
    ASSERT_TRUE(WriteAll(destination, "old contents"));

    ProgressScript progress{kGo, kCancel};
    EXPECT_EQ(Copy(CopyTarget::Replace, progress), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
    EXPECT_EQ(progress.calls.size(), 2u);
    EXPECT_EQ(ReadAll(destination), "old contents");
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
}

TEST_F(FileCopyTest, StopKeepsThePartialCopyAndRunningAgainContinuesWhereItStopped)
{
    const std::string content = Pattern(5 * kChunk + 77);
    ASSERT_TRUE(WriteAll(source, content));

    for (const CopyTarget target : {CopyTarget::NewFile, CopyTarget::Replace}) {
        SCOPED_TRACE(target == CopyTarget::NewFile ? "new file" : "replacing");
        if (target == CopyTarget::Replace) {
            ASSERT_TRUE(WriteAll(destination, "old contents"));
        }
        FileCopy copy(source, destination, target);
        ProgressScript first{kGo, kStop};
        EXPECT_EQ(copy.Run(first.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
        EXPECT_EQ(ReadAll(source), content) << "the source is free while the copy is stopped";
        if (target == CopyTarget::Replace) {
            EXPECT_EQ(ReadAll(destination), "old contents");
        }

        ProgressScript second;
        ASSERT_EQ(copy.Run(second.Fn()), 0u);
        EXPECT_EQ(second.Transferred(), (std::vector<std::int64_t>{3 * kChunk, 4 * kChunk, 5 * kChunk, 5 * kChunk + 77}));
        EXPECT_EQ(ReadAll(destination), content);
        EXPECT_FALSE(Exists(PartialCopyName(destination)));
        ASSERT_TRUE(DeleteFileA(destination.c_str()));
    }
}

TEST_F(FileCopyTest, AStoppedCopyThatIsGivenUpLeavesNothing)
{
    ASSERT_TRUE(WriteAll(source, Pattern(3 * kChunk)));
    ASSERT_TRUE(WriteAll(temp / "old.bin", "old contents"));
    {
        FileCopy fresh(source, destination, CopyTarget::NewFile);
        FileCopy replacing(source, temp / "old.bin", CopyTarget::Replace);
        ProgressScript stopFresh{kStop}, stopReplacing{kStop};
        ASSERT_EQ(fresh.Run(stopFresh.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
        ASSERT_EQ(replacing.Run(stopReplacing.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
    }
    EXPECT_EQ(testsupport::Tree(temp.Path()), "old.bin=old contents\nsource.bin=" + Pattern(3 * kChunk) + "\n");
}

TEST_F(FileCopyTest, StopAfterTheLastChunkFinishesOnTheNextRunWithoutCopyingAgain)
{
    ASSERT_TRUE(WriteAll(source, Pattern(kChunk)));
    FileCopy copy(source, destination, CopyTarget::NewFile);
    ProgressScript first{kStop};
    EXPECT_EQ(copy.Run(first.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
    ProgressScript second;
    ASSERT_EQ(copy.Run(second.Fn()), 0u);
    EXPECT_TRUE(second.calls.empty());
    EXPECT_EQ(ReadAll(destination), Pattern(kChunk));
}

TEST_F(FileCopyTest, APartialCopyThatIsNotABeginningOfTheSourceIsStartedOver)
{
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Case> cases = {
        {"source rewritten after the stop (newer than the partial copy)",
         [&] { ASSERT_TRUE(WriteAll(source, Pattern(4 * kChunk, 2))); }},
        {"other bytes, source time set back before the partial copy",
         [&] {
             ASSERT_TRUE(WriteAll(source, Pattern(4 * kChunk, 3)));
             ASSERT_TRUE(testsupport::SetWriteTime(source, kOldTime));
         }},
        {"source now shorter than the partial copy",
         [&] {
             ASSERT_TRUE(WriteAll(source, Pattern(kChunk, 1)));
             ASSERT_TRUE(testsupport::SetWriteTime(source, kOldTime));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteAll(source, Pattern(4 * kChunk, 1)));
        ASSERT_TRUE(testsupport::SetWriteTime(source, kOldTime));
        FileCopy copy(source, destination, CopyTarget::NewFile);
        ProgressScript first{kGo, kStop};
        ASSERT_EQ(copy.Run(first.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));

        c.change();
        const std::string now = ReadAll(source);
        ProgressScript second;
        ASSERT_EQ(copy.Run(second.Fn()), 0u);
        ASSERT_FALSE(second.calls.empty());
        EXPECT_EQ(second.calls.front().second, std::min<std::int64_t>(kChunk, static_cast<std::int64_t>(now.size())));
        EXPECT_EQ(ReadAll(destination), now);
        ASSERT_TRUE(DeleteFileA(destination.c_str()));
    }
}

TEST_F(FileCopyTest, ANewFileIsNeverMadeOverAnythingThatStandsThere)
{
    ASSERT_TRUE(WriteAll(source, "new"));
    ASSERT_TRUE(WriteAll(destination, "old"));
    ASSERT_TRUE(CreateDirectoryA((temp / "folder").c_str(), nullptr));
    ProgressScript progress;
    EXPECT_EQ(Copy(CopyTarget::NewFile, progress), static_cast<unsigned long>(ERROR_FILE_EXISTS));
    EXPECT_EQ(Copy(CopyTarget::NewFile, progress, temp / "FOLDER"), static_cast<unsigned long>(ERROR_FILE_EXISTS));
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_EQ(testsupport::Tree(temp.Path()), "copy.bin=old\nfolder\\\nsource.bin=new\n");
}

TEST_F(FileCopyTest, CopyOntoItselfFailsAndLeavesTheFile)
{
    ASSERT_TRUE(WriteAll(source, "only copy"));
    ProgressScript progress;
    for (const std::string& same : {source, temp / "SOURCE.BIN"}) {
        SCOPED_TRACE(same);
        EXPECT_EQ(Copy(CopyTarget::Replace, progress, same), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(ReadAll(source), "only copy");
        EXPECT_FALSE(Exists(PartialCopyName(same)));
    }
}

TEST_F(FileCopyTest, DestinationHeldOpenByOthersStaysIntactAndNoPartialIsLeft)
{
    ASSERT_TRUE(WriteAll(source, Pattern(kChunk + 1)));
    ASSERT_TRUE(WriteAll(destination, "in use"));
    const HeldOpen lock(destination, 0);
    ASSERT_TRUE(lock.Valid());

    ProgressScript progress;
    EXPECT_NE(Copy(CopyTarget::Replace, progress), 0u);
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
    EXPECT_EQ(progress.calls.size(), 2u) << "the copy itself ran; only taking the final name failed";
}

TEST_F(FileCopyTest, SourceDeletedDuringItsCopyFailsWithoutLeavingAFile)
{
    ASSERT_TRUE(WriteAll(source, Pattern(3 * kChunk)));
    ProgressScript progress;
    progress.onCall = [&] {
        if (progress.calls.size() == 1) {
            EXPECT_TRUE(DeleteFileA(source.c_str())) << GetLastError();
        }
    };
    EXPECT_EQ(Copy(CopyTarget::NewFile, progress), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Exists(source));
    EXPECT_FALSE(Exists(destination));
    EXPECT_FALSE(Exists(PartialCopyName(destination)));
}

TEST_F(FileCopyTest, MissingSourceOrDestinationFolderFailsWithTheSystemError)
{
    ProgressScript progress;
    FileCopy absent(temp / "absent.bin", destination, CopyTarget::NewFile);
    EXPECT_EQ(absent.Run(progress.Fn()), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(WriteAll(source, "x"));
    EXPECT_EQ(Copy(CopyTarget::NewFile, progress, temp / "no folder\\copy.bin"),
              static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(Exists(destination));
}

TEST_F(FileCopyTest, PathsLongerThanMaxPathAreCopiedWhole)
{
    const LongFolder folder(temp.Path());
    const std::string longSource = folder / "source.bin";
    const std::string longDestination = folder / "copy.bin";
    ASSERT_GT(longSource.size(), 300u);
    ASSERT_TRUE(WriteAll(longSource, Pattern(kChunk + 9)));

    FileCopy copy(longSource, longDestination, CopyTarget::NewFile);
    ProgressScript progress{kStop};
    EXPECT_EQ(copy.Run(progress.Fn()), static_cast<unsigned long>(ERROR_REQUEST_ABORTED));
    ProgressScript resumed;
    ASSERT_EQ(copy.Run(resumed.Fn()), 0u);
    EXPECT_EQ(resumed.Transferred(), (std::vector<std::int64_t>{kChunk + 9}));
    EXPECT_EQ(ReadAll(longDestination), Pattern(kChunk + 9));
}

TEST(PartialCopyName, IsStableForADestinationBesideItAndDistinctFromOthers)
{
    const std::string name = PartialCopyName("C:\\dest\\report.txt");
    EXPECT_EQ(name, PartialCopyName("C:\\dest\\report.txt"));
    EXPECT_EQ(LocaleLower(name), LocaleLower(PartialCopyName("C:\\DEST\\Report.TXT")))
        << "the same file spelled in other letter case";
    EXPECT_NE(name, PartialCopyName("C:\\dest\\report2.txt"));
    EXPECT_NE(name, PartialCopyName("C:\\other\\report.txt"));
    EXPECT_EQ(name.rfind("C:\\dest\\report.txt.", 0), 0u);
    EXPECT_EQ(name.find('\\', 8), std::string::npos) << "in the destination's own folder";

    const std::string longName = PartialCopyName("C:\\dest\\" + std::string(255, 'n'));
    EXPECT_LE(longName.size() - 8, 255u) << "no name past the file system's limit";
}

} // namespace

// What a copy that could not take everything along comes to: never a decrypted copy of an encrypted
// file; streams left behind stop only a copy whose source goes afterwards. (Wine 8 has neither
// encryption nor named streams, so this is where those decisions are checked there.)
TEST(CarryOver, AnEncryptedFileIsNeverCopiedPlainAndStreamsLeftBehindStopOnlyACopyWhoseSourceGoes)
{
    struct Case {
        bool sourceEncrypted, copyEncrypted, streamsLost, sourceGoes;
        CarryVerdict verdict;
    };
    const Case cases[] = {
        {false, false, false, false, CarryVerdict::Keep},
        {false, false, false, true, CarryVerdict::Keep},
        {true, true, false, true, CarryVerdict::Keep},
        {false, false, true, false, CarryVerdict::KeepWithoutStreams},
        {false, false, true, true, CarryVerdict::RefuseStreams},
        {true, false, false, false, CarryVerdict::RefuseEncryption},
        {true, false, false, true, CarryVerdict::RefuseEncryption},
        {true, false, true, false, CarryVerdict::RefuseEncryption},
        {true, true, true, false, CarryVerdict::KeepWithoutStreams},
        {true, true, true, true, CarryVerdict::RefuseStreams},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JudgeCarryOver(c.sourceEncrypted, c.copyEncrypted, c.streamsLost, c.sourceGoes), c.verdict)
            << c.sourceEncrypted << c.copyEncrypted << c.streamsLost << c.sourceGoes;
}

TEST_F(FileCopyTest, NamedStreamsGoWithTheCopyWhereTheSystemKeepsThem)
{
    const std::string content = Pattern(kChunk + 9);
    ASSERT_TRUE(WriteAll(source, content));
    bool listed = false;
    {
        UniqueFile file(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        char info[1024];
        listed = GetFileInformationByHandleEx(file.Get(), FileStreamInfo, info, sizeof info) != 0;
        // What the system cannot list is no stream of the file: the copy is the contents alone.
        if (!listed) {
            EXPECT_TRUE(NamedStreams(file.Get()).empty());
        }
    }
    if (!listed) {
        FileCopy copy(source, destination, CopyTarget::NewFile);
        copy.SourceGoesAfter();
        ASSERT_EQ(copy.Run([](std::int64_t, std::int64_t) { return kGo; }), 0u);
        EXPECT_EQ(copy.Verdict(), CarryVerdict::Keep);
        EXPECT_TRUE(ReadAll(destination) == content);
        GTEST_SKIP() << "this system lists no named streams (Wine 8 does not)";
    }

    ASSERT_TRUE(WriteAll(source + ":orv.mark", "[ZoneTransfer]\r\nZoneId=3\r\n"));
    {
        UniqueFile file(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        EXPECT_EQ(NamedStreams(file.Get()), std::vector<std::wstring>{L":orv.mark:$DATA"});
    }
    for (const bool goes : {false, true}) {
        SCOPED_TRACE(goes ? "source goes" : "source stays");
        const std::string to = temp / (goes ? "moved.bin" : "copied.bin");
        FileCopy copy(source, to, CopyTarget::NewFile);
        if (goes)
            copy.SourceGoesAfter();
        ASSERT_EQ(copy.Run([](std::int64_t, std::int64_t) { return kGo; }), 0u);
        EXPECT_EQ(copy.Verdict(), CarryVerdict::Keep);
        EXPECT_TRUE(ReadAll(to) == content);
        EXPECT_EQ(ReadAll(to + ":orv.mark"), "[ZoneTransfer]\r\nZoneId=3\r\n");
    }
}
