// A Cut within one volume moves names, not bytes; across volumes it copies and deletes. Both proven by
// manifests of the trees (size, content, time, attributes of every file), with a conflict answered in
// each way, and by the job's log and counters, which must read the same either way.
#include "engine/FreeSpace.h"
#include "engine/VolumeBoundaries.h"
#include "engine/fileops.h"
#include "engine/jobrun.h"
#include "engine/prescan.h"

#include "FileOpsTestSupport.h"
#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "platform/FileIdentity.h"
#include "tests/support/OtherVolume.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/TreeManifest.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

using namespace fileopstest;
using testsupport::Describe;
using testsupport::Manifest;
using testsupport::TempFolder;
using testsupport::TreeManifest;

namespace {

// ScriptedHost's clock, 2026-03-06 12:00:00, as generated names carry it.
constexpr char kStamp[] = "2026_03_06_12_00_00";

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool MakeFile(const std::string& path, const std::string& content, std::uint64_t written, DWORD attributes = 0)
{
    return WriteAll(path, content) && testsupport::SetWriteTime(path, written) &&
           (attributes == 0 || SetFileAttributesA(path.c_str(), attributes));
}

std::string Replaced(std::string text, const std::string& what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// A Cut of the folder S into D, where D\S already holds a file of the same name for each answer.
// The answer to each file's question is chosen by its name. D\S, the source item's own folder at the
// destination, is gone into without a question, as for every item.
class CutScenario {
public:
    explicit CutScenario(const std::string& destinationRoot) : destination_(destinationRoot) {}

    // Makes both trees; false when a file cannot be made.
    bool Prepare(const std::string& sourceRoot)
    {
        source_ = sourceRoot + "\\S";
        const std::string s = source_;
        const std::string d = destination_ + "\\S";
        return MakeFolder(s) && MakeFolder(s + "\\sub") && MakeFolder(d) &&
               MakeFile(s + "\\plain.txt", "plain, read-only", kOldTime, FILE_ATTRIBUTE_READONLY) &&
               MakeFile(s + "\\sub\\deep.bin", Pattern(3 * kChunk + 5), kOldTime) &&
               MakeFile(s + "\\sub\\hidden.txt", "hidden", kNewTime, FILE_ATTRIBUTE_HIDDEN) &&
               MakeFile(s + "\\over.txt", "over: the new one", kNewTime) &&
               MakeFile(d + "\\over.txt", "over: old, read-only", kOldTime, FILE_ATTRIBUTE_READONLY) &&
               MakeFile(s + "\\skip.txt", "skip: the new one", kNewTime) &&
               MakeFile(d + "\\skip.txt", "skip: old", kOldTime) &&
               MakeFile(s + "\\newer.txt", "newer: source, older", kOldTime) &&
               MakeFile(d + "\\newer.txt", "newer: destination", kNewTime) &&
               MakeFile(s + "\\older.txt", "older: source, newer", kNewTime) &&
               MakeFile(d + "\\older.txt", "older: destination", kOldTime) &&
               MakeFile(s + "\\renew.txt", "renew: source", kNewTime) &&
               MakeFile(d + "\\renew.txt", "renew: destination", kOldTime) &&
               MakeFile(s + "\\reold.txt", "reold: source", kNewTime) &&
               MakeFile(d + "\\reold.txt", "reold: destination, hidden", kOldTime, FILE_ATTRIBUTE_HIDDEN);
    }

    // Runs the Cut as Begin does, answering every question, and returns its log with the destination
    // written as <D>, the source as <S>.
    std::string Run()
    {
        sourceBefore_ = TreeManifest(source_);
        destinationBefore_ = TreeManifest(destination_ + "\\S");
        identities_.clear();
        for (const auto& [rel, entry] : sourceBefore_)
            if (!entry.folder)
                identities_[rel] = IdentityOf(source_ + "\\" + rel);

        host.operation = kOpCut;
        host.operationHeader = "Cut\n";
        host.sources = {source_};
        host.destination = destination_;
        host.onFileExists = [this](const std::string& path, const std::string&) {
            const std::string name = path.substr(path.find_last_of('\\') + 1);
            if (name == "over.txt")
                return ConflictAnswer{kOverwrite, false};
            if (name == "newer.txt" || name == "older.txt")
                return ConflictAnswer{kUpdate, false};
            if (name == "renew.txt" || name == "reold.txt") {
                host.fileRenameNew = name == "renew.txt";
                return ConflictAnswer{kAutoRename, false};
            }
            return ConflictAnswer{kSkip, false};
        };
        host.scan.stopped = true;  // no pre-scan: no free-space question here
        JobRun run(host, state);
        run.Run(host.Request());
        return Replaced(Replaced(host.log, destination_, "<D>"), source_, "<S>");
    }

    // What D\S must hold afterwards: the files moved, the ones that stayed, and the old ones renamed.
    Manifest ExpectedDestination() const
    {
        Manifest expected = destinationBefore_;
        for (const char* moved : {"plain.txt", "sub", "sub\\deep.bin", "sub\\hidden.txt", "over.txt", "older.txt",
                                  "reold.txt"})
            expected[moved] = sourceBefore_.at(moved);
        expected[std::string("renew_Copied_At_") + kStamp + ".txt"] = sourceBefore_.at("renew.txt");
        expected[std::string("reold_Renamed_At_") + kStamp + ".txt"] = destinationBefore_.at("reold.txt");
        return expected;
    }

    // What S must keep: only the files whose answer left them (Skip, and Update onto a newer file).
    Manifest ExpectedSource() const
    {
        return {{"skip.txt", sourceBefore_.at("skip.txt")}, {"newer.txt", sourceBefore_.at("newer.txt")}};
    }

    // Files that now stand at the destination and are the very files the source held (a rename), by
    // their paths in S.
    std::vector<std::string> MovedByName() const
    {
        const std::map<std::string, std::string> arrivedAt = {
            {"plain.txt", "plain.txt"}, {"sub\\deep.bin", "sub\\deep.bin"}, {"sub\\hidden.txt", "sub\\hidden.txt"},
            {"over.txt", "over.txt"}, {"older.txt", "older.txt"}, {"reold.txt", "reold.txt"},
            {"renew.txt", std::string("renew_Copied_At_") + kStamp + ".txt"}};
        std::vector<std::string> same;
        for (const auto& [from, to] : arrivedAt) {
            const auto before = identities_.at(from);
            if (before && IdentityOf(destination_ + "\\S\\" + to) == before)
                same.push_back(from);
        }
        return same;
    }

    const std::string& Source() const { return source_; }
    const std::string& Destination() const { return destination_; }

    ScriptedHost host;
    JobState state;

private:
    std::string source_;
    std::string destination_;
    Manifest sourceBefore_;
    Manifest destinationBefore_;
    std::map<std::string, std::optional<FileIdentity>> identities_;
};

// Seven of the nine files move; Skip and Update onto a newer file leave two. Every file is examined
// once; the bytes counted are those of the seven.
constexpr std::int64_t kMovedBytes = 16 + (3 * kChunk + 5) + 6 + 17 + 20 + 13 + 13;

void ExpectTheScenarioResult(const CutScenario& cut)
{
    EXPECT_EQ(TreeManifest(cut.Destination() + "\\S"), cut.ExpectedDestination())
        << Describe(TreeManifest(cut.Destination() + "\\S"));
    EXPECT_EQ(TreeManifest(cut.Source()), cut.ExpectedSource()) << Describe(TreeManifest(cut.Source()));
    EXPECT_EQ(cut.state.filesExamined, 9);
    EXPECT_EQ(cut.state.filesDone, 7);
    EXPECT_EQ(cut.state.filesFailed, 0);
    EXPECT_EQ(cut.state.bytesCopied, kMovedBytes);
    EXPECT_EQ(cut.host.fileQuestions.size(), 6u);
    EXPECT_TRUE(cut.host.folderQuestions.empty());
}

// No file failed: the only failure line a Cut may write here is the one for its source folder, which
// keeps the files left in it.
bool NoFileFailed(const std::string& log)
{
    return log.find(" Failed to copy file from ") == std::string::npos &&
           log.find(" is copied but failed to be deleted!") == std::string::npos;
}

TEST(CutWithinOneVolume, MovesEveryFileByItsNameAndSettlesEachConflictAsAnswered)
{
    TempFolder temp;
    const std::string destination = temp / "D";
    ASSERT_TRUE(MakeFolder(destination));
    CutScenario cut(destination);
    ASSERT_TRUE(cut.Prepare(temp.Path()));

    const std::string log = cut.Run();

    ExpectTheScenarioResult(cut);
    // Each file that arrived is the source's own file under a new name, not a copy of it.
    EXPECT_EQ(cut.MovedByName().size(), 7u);
    EXPECT_TRUE(NoFileFailed(log)) << log;
    EXPECT_NE(log.find("\r\nBecause folder <S> may be being used or not empty, so failed to be deleted!"),
              std::string::npos)
        << log;
}

TEST(CutAcrossVolumes, CopiesAndDeletesWithTheSameResultLogAndCounts)
{
    TempFolder temp;
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";

    // The same Cut twice: within the volume, and onto the other one.
    const std::string withinDestination = temp / "D";
    ASSERT_TRUE(MakeFolder(withinDestination));
    ASSERT_TRUE(MakeFolder(temp / "one"));
    CutScenario within(withinDestination);
    ASSERT_TRUE(within.Prepare(temp / "one"));
    const std::string withinLog = within.Run();

    const std::string acrossDestination = *other / "D";
    ASSERT_TRUE(MakeFolder(acrossDestination));
    ASSERT_TRUE(MakeFolder(temp / "two"));
    CutScenario across(acrossDestination);
    ASSERT_TRUE(across.Prepare(temp / "two"));
    const std::string acrossLog = across.Run();

    ExpectTheScenarioResult(across);
    EXPECT_TRUE(across.MovedByName().empty()) << "another volume cannot take a file by its name";
    EXPECT_EQ(acrossLog, withinLog);
    EXPECT_EQ(across.host.fileQuestions.size(), within.host.fileQuestions.size());
    EXPECT_EQ(across.host.comparisons, within.host.comparisons);
}

// --- One file at a time -----------------------------------------------------------------------------

class CutOneFile : public JobOnFiles {
protected:
    std::string source = temp / "report.txt";
    std::string destination = temp / "dest\\report.txt";

    void SetUp() override
    {
        CreateDirectoryA((temp / "dest").c_str(), nullptr);
        host.destination = temp / "dest";
    }
    void Cut(const std::string& to)
    {
        DoFileOperation(job, source, to, GetFileSize64(source), kOpCut);
    }
};

TEST_F(CutOneFile, ARenamedFileCountsAllItsBytesAtOnceAndShowsAFullBar)
{
    ASSERT_TRUE(WriteAll(source, Pattern(5 * kChunk)));
    state.jobStartTick = 0;
    host.tick = 400;
    const auto before = IdentityOf(source);
    std::vector<std::pair<int, int>> bars;
    std::vector<std::string> labels;
    host.onProcessMessages = [&] {
        bars.emplace_back(host.fileBarMax, host.fileBarPos);
        labels.push_back(host.fileProgressText);
    };

    Cut(destination);

    EXPECT_EQ(IdentityOf(destination), before);
    EXPECT_FALSE(Exists(source));
    // One progress step, with the whole file done, where a copy would take five.
    EXPECT_EQ(bars, (std::vector<std::pair<int, int>>{{5 * kChunk, 5 * kChunk}}));
    EXPECT_EQ(labels, std::vector<std::string>{"Copying " + source});
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.bytesCopied, 5 * kChunk);
    EXPECT_EQ(host.speedText, SpeedText(5 * kChunk, 400));
    EXPECT_EQ(host.fileProgressText, "");
    EXPECT_EQ(host.fileBarMax, 0);
    EXPECT_EQ(host.log, "");
}

TEST_F(CutOneFile, AHardLinkOfTheSourceAtTheDestinationIsTheSameFileAndStays)
{
    ASSERT_TRUE(WriteAll(source, "one file, two names"));
    ASSERT_TRUE(CreateHardLinkA(destination.c_str(), source.c_str(), nullptr));
    host.fileAnswers = {{kOverwrite, false}};

    Cut(destination);

    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(host.log, SameFileEntry(source, destination) + "\r\n");
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(ReadAll(source), "one file, two names");
    EXPECT_EQ(ReadAll(destination), "one file, two names");
}

TEST_F(CutOneFile, AFileWithAnotherNameElsewhereStillMoves)
{
    ASSERT_TRUE(WriteAll(source, "linked"));
    ASSERT_TRUE(CreateHardLinkA((temp / "other name.txt").c_str(), source.c_str(), nullptr));

    Cut(destination);

    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadAll(destination), "linked");
    EXPECT_EQ(ReadAll(temp / "other name.txt"), "linked");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(CutOneFile, ALinkToAFileElsewhereMovesItsContentAndNeverTheFileItPointsTo)
{
    // The file the link leads to lies outside everything chosen: it stays where it is, whole.
    const std::string outside = temp / "outside.txt";
    ASSERT_TRUE(WriteAll(outside, "not chosen"));
    if (!testsupport::MakeFileLink(source, outside))
        GTEST_SKIP() << "no file link could be made here";

    Cut(destination);

    EXPECT_EQ(ReadAll(outside), "not chosen") << "the file the link leads to was moved or deleted";
    EXPECT_EQ(ReadAll(destination), "not chosen");
    EXPECT_EQ(state.filesDone, 1);
    // Where the link itself can be deleted (Windows) it goes; where deleting it would delete what it
    // points to (Wine, with a host link) it stays, and that is the one failure line.
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_EQ(state.filesFailed, 0);
        EXPECT_EQ(host.log, "");
    } else {
        EXPECT_EQ(state.filesFailed, 1);
        EXPECT_EQ(host.log, Failure(ERROR_CANT_ACCESS_FILE, " File " + source + " is copied but failed to be deleted!"));
    }
}

TEST_F(CutOneFile, ASourceInUseThatOthersMayReadIsCopiedAndReportedAsNotDeleted)
{
    ASSERT_TRUE(WriteAll(source, "held"));
    {
        const HeldOpen reader(source, FILE_SHARE_READ, GENERIC_READ);  // no rename, no deletion
        ASSERT_TRUE(reader.Valid());
        Cut(destination);
    }
    EXPECT_EQ(ReadAll(destination), "held");
    EXPECT_EQ(ReadAll(source), "held");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(host.log, Failure(ERROR_SHARING_VIOLATION, " File " + source + " is copied but failed to be deleted!"));
}

TEST_F(CutOneFile, IntoAMissingFolderFailsAsACopyWouldAndKeepsTheSource)
{
    ASSERT_TRUE(WriteAll(source, "stays"));
    const std::string nowhere = temp / "missing\\report.txt";

    Cut(nowhere);

    EXPECT_EQ(ReadAll(source), "stays");
    EXPECT_EQ(host.log, Failure(ERROR_PATH_NOT_FOUND, " Failed to copy file from " + source + " to " + nowhere));
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(state.filesDone, 0);
}

TEST_F(CutOneFile, OntoAFolderOfItsNameFailsAsACopyWouldAndKeepsBoth)
{
    ASSERT_TRUE(WriteAll(source, "stays"));
    ASSERT_TRUE(MakeFolder(destination));
    ASSERT_TRUE(WriteAll(destination + "\\inside.txt", "inside"));
    host.fileAnswers = {{kOverwrite, false}};

    Cut(destination);

    EXPECT_EQ(ReadAll(source), "stays");
    EXPECT_EQ(ReadAll(destination + "\\inside.txt"), "inside");
    EXPECT_TRUE(host.fileQuestions.empty()) << "a folder is not a file to settle";
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_EQ(host.log.rfind("\r\nBecause ", 0), 0u) << host.log;
    EXPECT_NE(host.log.find(" Failed to copy file from " + source + " to " + destination), std::string::npos);
}

// --- Pause and Cancel between files -----------------------------------------------------------------

class CutOfAFolder : public JobOnFiles {
protected:
    static constexpr int kFiles = 5;

    void SetUp() override
    {
        ASSERT_TRUE(MakeFolder(temp / "src"));
        ASSERT_TRUE(MakeFolder(temp / "out"));
        for (int i = 0; i < kFiles; ++i)
            ASSERT_TRUE(WriteAll(temp / ("src\\f" + std::to_string(i) + ".txt"), "file " + std::to_string(i)));
        host.operation = kOpCut;
        host.sources = {temp / "src"};
        host.destination = temp / "out";
        host.scan.stopped = true;
    }
    int Moved() const { return static_cast<int>(TreeManifest(temp / "out\\src").size()); }
    int Left() const { return static_cast<int>(TreeManifest(temp / "src").size()); }
};

TEST_F(CutOfAFolder, CancelActsBeforeTheNextFile)
{
    // The first pump is the walk's, on entering the folder; each renamed file then gives one.
    host.onProcessMessages = [&] {
        if (host.processMessagesCalls == 3)
            state.stopFlag = true;
    };
    JobRun run(host, state);
    run.Run(host.Request());

    EXPECT_EQ(Moved(), 2);
    EXPECT_EQ(Left(), kFiles - 2);
    EXPECT_EQ(state.filesDone, 2);
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_NE(host.log.find("\r\nUser abort!\r\n"), std::string::npos);
    EXPECT_TRUE(NoFileFailed(host.log)) << "nothing was cut off halfway:\n" << host.log;
}

TEST_F(CutOfAFolder, PauseHoldsBeforeTheNextFileAndGoOnMovesEachFileOnce)
{
    int movedDuringPause = -1;
    host.onProcessMessages = [&] {
        if (host.processMessagesCalls == 2)
            state.pauseFlag = true;
        else if (host.processMessagesCalls == 6) {
            movedDuringPause = Moved();
            state.pauseFlag = false;
        }
    };
    JobRun run(host, state);
    run.Run(host.Request());

    EXPECT_EQ(movedDuringPause, 1);
    EXPECT_EQ(Moved(), kFiles);
    EXPECT_FALSE(Exists(temp / "src"));
    EXPECT_EQ(state.filesDone, kFiles);
    EXPECT_EQ(state.filesExamined, kFiles);
    EXPECT_EQ(host.log.find("Because"), std::string::npos) << "every folder emptied and removed:\n" << host.log;
}

// --- Free space -------------------------------------------------------------------------------------

// A Cut of one folder whose pre-scan counted more bytes than any disk holds.
class CutFreeSpace : public ::testing::Test {
protected:
    TempFolder temp;
    ScriptedHost host;
    JobState state;

    void Prepare(const std::string& sourceRoot, const std::string& destination, Operation operation)
    {
        ASSERT_TRUE(MakeFolder(sourceRoot + "\\src"));
        ASSERT_TRUE(WriteAll(sourceRoot + "\\src\\a.txt", "abc"));
        host.operation = operation;
        host.sources = {sourceRoot + "\\src"};
        host.destination = destination;
        host.yesNoAnswer = false;
        host.scan.fileTotal = 1;
        host.scan.byteTotal = INT64_MAX;
        host.scan.items = {{host.sources[0], INT64_MAX}};
    }
};

TEST_F(CutFreeSpace, WithinOneVolumeNothingMustBeWrittenSoNothingIsAsked)
{
    Prepare(temp.Path(), temp / "missing\\out", kOpCut);
    JobRun(host, state).Run(host.Request());
    EXPECT_TRUE(host.yesNoQuestions.empty());
    EXPECT_EQ(ReadAll(temp / "missing\\out\\src\\a.txt"), "abc");
}

TEST_F(CutFreeSpace, ACopyWithinOneVolumeStillAsks)
{
    Prepare(temp.Path(), temp / "out", kOpCopy);
    JobRun(host, state).Run(host.Request());
    EXPECT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_FALSE(Exists(temp / "out\\src\\a.txt"));
}

TEST_F(CutFreeSpace, AcrossVolumesItAsks)
{
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    Prepare(temp.Path(), *other / "out", kOpCut);
    JobRun(host, state).Run(host.Request());
    EXPECT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_EQ(ReadAll(temp / "src\\a.txt"), "abc") << "answered No: nothing moves";
}

TEST_F(CutFreeSpace, OnlyTheItemsOnOtherVolumesCount)
{
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    const std::string destination = temp / "out";
    const std::vector<std::string> sources = {temp / "near", *other / "far"};
    ASSERT_TRUE(MakeFolder(sources[0]));
    ASSERT_TRUE(MakeFolder(sources[1]));
    ScanTotals counted;
    counted.items = {{sources[0], 1000}, {sources[1], 7}};
    counted.byteTotal = 1007;

    EXPECT_EQ(BytesToWrite(kOpCut, destination, sources, counted), 7);
    EXPECT_EQ(BytesToWrite(kOpCopy, destination, sources, counted), 1007);
    EXPECT_EQ(BytesToWrite(kOpCut, *other / "out", sources, counted), 1000);
    // The items of another count (another list, or a total that does not add up): all of it.
    EXPECT_EQ(BytesToWrite(kOpCut, destination, {sources[1], sources[0]}, counted), 1007);
    EXPECT_EQ(BytesToWrite(kOpCut, destination, {sources[0]}, counted), 1007);
    counted.byteTotal = 2000;
    EXPECT_EQ(BytesToWrite(kOpCut, destination, sources, counted), 2000);
}

TEST_F(CutFreeSpace, FileItemsCountByTheVolumeOfTheirFolder)
{
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    // The files of one folder share its volume, which is asked once; a file that is gone counts by
    // the folder above it.
    std::vector<std::string> sources;
    ScanTotals counted;
    std::int64_t bytes = 1;
    for (const std::string& folder : {temp.Path(), other->Path()}) {
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            sources.push_back(folder + "\\" + name);
            ASSERT_TRUE(WriteAll(sources.back(), "x"));
            counted.items.push_back({sources.back(), bytes});
            counted.byteTotal += bytes;
            bytes *= 2;
        }
    }
    sources.push_back(temp / "gone.txt");
    counted.items.push_back({sources.back(), 1000});
    counted.byteTotal += 1000;

    EXPECT_EQ(BytesToWrite(kOpCut, temp / "out", sources, counted), 8 + 16 + 32);
    EXPECT_EQ(BytesToWrite(kOpCut, *other / "out", sources, counted), 1 + 2 + 4 + 1000);
}

TEST(CutFreeSpaceVolumes, ADriveRootAndMissingFoldersResolveToTheirVolume)
{
    TempFolder temp;
    const std::string drive = temp.Path().substr(0, 2);
    EXPECT_TRUE(OnSameVolume(temp / "not\\yet\\there", temp.Path()));
    EXPECT_TRUE(OnSameVolume(drive, temp.Path()));
    EXPECT_FALSE(OnSameVolume("", temp.Path()));
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (other) {
        EXPECT_FALSE(OnSameVolume(other->Path(), temp.Path()));
        EXPECT_FALSE(OnSameVolume(*other / "not\\yet", temp.Path()));
        EXPECT_TRUE(OnSameVolume(*other / "not\\yet", other->Path()));
    }
}

TEST(CutFreeSpacePreScan, CountsTheBytesOfEachItemAsWellAsTheTotal)
{
    TempFolder temp;
    ASSERT_TRUE(MakeFolder(temp / "folder"));
    ASSERT_TRUE(WriteAll(temp / "folder\\a", "12345"));
    ASSERT_TRUE(WriteAll(temp / "folder\\b", "67"));
    ASSERT_TRUE(WriteAll(temp / "file", "890"));
    ScanTotals totals;
    ScanHost host;
    PreScan scan(host, totals);
    scan.CountItem(temp / "folder");
    scan.CountItem(temp / "file");
    scan.CountItem(temp / "gone");

    ASSERT_EQ(totals.items.size(), 3u);
    EXPECT_EQ(totals.items[0].path, temp / "folder");
    EXPECT_EQ(totals.items[0].bytes, 7);
    EXPECT_EQ(totals.items[1].path, temp / "file");
    EXPECT_EQ(totals.items[1].bytes, 3);
    EXPECT_EQ(totals.items[2].bytes, 0);
    EXPECT_EQ(totals.byteTotal, 10);

    totals.stopped = true;  // a stopped scan notes nothing more: its count is not complete
    scan.CountItem(temp / "file");
    EXPECT_EQ(totals.items.size(), 3u);
}

// --- Refusals for another volume are remembered per walk ----------------------------------------------

TEST(VolumeBoundaries, ARefusalCoversTheWholeMirroredWalkAndNothingBeside)
{
    VolumeBoundaries boundaries;
    boundaries.Remember("C:\\data\\S\\a", "E:\\out\\S\\a");
    EXPECT_TRUE(boundaries.Separate("C:\\data\\S\\a", "E:\\out\\S\\a"));
    EXPECT_TRUE(boundaries.Separate("C:\\data\\S\\b\\c", "E:\\out\\S\\b\\c"));
    EXPECT_TRUE(boundaries.Separate("C:\\data\\S", "E:\\out\\S"));
    EXPECT_FALSE(boundaries.Separate("C:\\data2\\S", "E:\\out\\S")) << "a name that only begins alike";
    EXPECT_FALSE(boundaries.Separate("C:\\data\\S", "C:\\elsewhere"));
    EXPECT_FALSE(boundaries.Separate("C:\\other", "E:\\out\\S"));

    // The names stripped never reach the drive itself: that would cover everything on it.
    VolumeBoundaries roots;
    roots.Remember("C:\\S", "E:\\S");
    EXPECT_TRUE(roots.Separate("C:\\S\\x", "E:\\S\\x"));
    EXPECT_FALSE(roots.Separate("C:\\T", "E:\\T"));

    // A flattened Cut shares no names: each folder pair stands for itself.
    VolumeBoundaries flat;
    flat.Remember("C:\\S\\a", "E:\\out");
    EXPECT_TRUE(flat.Separate("C:\\S\\a", "E:\\out"));
    EXPECT_FALSE(flat.Separate("C:\\S\\b", "E:\\out"));
}

TEST(VolumeBoundaries, FolderPartOfAFilesPath)
{
    EXPECT_EQ(FolderPartOf("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderPartOf("C:\\b.txt"), "C:");
    EXPECT_EQ(FolderPartOf("C:b.txt"), "C:");
    EXPECT_EQ(FolderPartOf("b.txt"), "");
}

} // namespace
