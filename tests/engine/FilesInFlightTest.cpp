// Jobs with several files written at once: the same log, counts, questions and results as one file
// at a time; pause, cancel, a kill and a failed verify with files in flight.
#include "CopyKillChild.h"
#include "FileOpsTestSupport.h"
#include "core/LogTexts.h"
#include "engine/jobrun.h"
#include "platform/ProgramPath.h"
#include "tests/support/OtherVolume.h"
#include "tests/support/TreeManifest.h"
#include "tests/support/WineProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace fileopstest;
using testsupport::Manifest;
using testsupport::TempFolder;
using testsupport::TreeManifest;

namespace {

// Gives the file a last-write time of its own that is the same in every run.
bool Stamp(const std::string& path, unsigned seed)
{
    const std::uint64_t time = kOldTime + seed * 10000000ull;
    HANDLE file = OpenPath(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, OPEN_EXISTING, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &written) != 0;
    CloseHandle(file);
    return set;
}

bool WriteStamped(const std::string& path, const std::string& bytes, unsigned seed)
{
    return WriteAll(path, bytes) && Stamp(path, seed);
}

// The entries that differ between two manifests, for a failure message.
std::string Difference(const Manifest& left, const Manifest& right)
{
    Manifest onlyLeft, onlyRight;
    for (const auto& [rel, entry] : left)
        if (!right.count(rel) || !(right.at(rel) == entry))
            onlyLeft[rel] = entry;
    for (const auto& [rel, entry] : right)
        if (!left.count(rel) || !(left.at(rel) == entry))
            onlyRight[rel] = entry;
    return testsupport::Describe(onlyLeft) + "\n-- against --\n" + testsupport::Describe(onlyRight);
}

// The same tree wherever it is made: folders of files of many sizes (some of several chunks), times of
// their own, a pair that flattens to one name, a read-only file, and destination files already there.
bool MakeMixedTree(const std::string& root)
{
    const std::string source = root + "\\S";
    if (!CreateDirectoryA(source.c_str(), nullptr) || !CreateDirectoryA((root + "\\D").c_str(), nullptr))
        return false;
    unsigned seed = 1;
    for (const char* folder : {"a", "b", "a\\b", "c"}) {
        const std::string path = source + "\\" + folder;
        if (!CreateDirectoryA(path.c_str(), nullptr))
            return false;
        for (int file = 0; file < 24; ++file, ++seed) {
            const std::size_t size = (seed % 7 == 0) ? 3 * kChunk + seed : (seed * 977) % 20000;
            if (!WriteStamped(path + "\\f" + std::to_string(file) + ".dat", Pattern(size, seed), seed))
                return false;
        }
    }
    // a_b.txt and a\b.txt flatten to the same name.
    if (!WriteStamped(source + "\\a_b.txt", "one", 201) || !WriteStamped(source + "\\a\\b.txt", "two", 202))
        return false;
    if (!WriteStamped(source + "\\c\\readonly.dat", Pattern(5000, 77), 203) ||
        !SetFileAttributesA((source + "\\c\\readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY))
        return false;
    // Conflicts for a copy into D (the tree lands in D\S): two files of b are there already.
    return CreateDirectoryA((root + "\\D\\S").c_str(), nullptr) &&
           CreateDirectoryA((root + "\\D\\S\\b").c_str(), nullptr) && WriteStamped(root + "\\D\\S\\b\\f3.dat", "older", 1) &&
           WriteStamped(root + "\\D\\S\\b\\f9.dat", "other", 300);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

struct Outcome {
    std::string log;
    std::string questions;
    JobState state;
    Manifest source;
    Manifest destination;
};

// Runs the job on a fresh mixed tree with the given number of workers; paths in what it returns are
// told relative to the tree's root, so runs in two folders compare.
Outcome RunOnMixedTree(Operation operation, bool flat, int workers)
{
    TempFolder temp;
    Outcome outcome;
    EXPECT_TRUE(MakeMixedTree(temp.Path()));
    ScriptedHost host;
    host.operation = operation;
    host.sources = {temp / "S"};
    host.destination = temp / "D";
    host.flat = flat;
    host.fileWorkers = workers;
    // Each kind of answer, in turn, with the rename modes switching.
    host.onFileExists = [&host](const std::string&, const std::string&) {
        static const ConflictDecision kinds[] = {kOverwrite, kAutoRename, kSkip, kUpdate, kAutoRename};
        const std::size_t n = host.fileQuestions.size();
        host.fileRenameNew = n % 2 == 0;
        return ConflictAnswer{kinds[n % 5], false};
    };
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kUpdate, false}; };
    HeldOpen held(temp / "S\\a\\f5.dat", 0);  // a copy of it fails, a deletion too
    EXPECT_TRUE(held.Valid());
    JobState state;
    host.scan.stopped = true;
    JobRun(host, state).Run(host.Request());
    const std::string root = temp.Path();
    outcome.log = Replaced(host.log, root, "<root>");
    for (const std::string& question : host.fileQuestions)
        outcome.questions += Replaced(question, root, "<root>") + "\n";
    for (const std::string& question : host.folderQuestions)
        outcome.questions += "folder " + Replaced(question, root, "<root>") + "\n";
    outcome.state = state;
    SetFileAttributesA((temp / "S\\c\\readonly.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    outcome.source = TreeManifest(temp / "S");
    outcome.destination = TreeManifest(temp / "D");
    return outcome;
}

void ExpectSameOutcome(const Outcome& one, const Outcome& several)
{
    EXPECT_EQ(several.log, one.log);
    EXPECT_EQ(several.questions, one.questions);
    EXPECT_EQ(several.state.filesExamined, one.state.filesExamined);
    EXPECT_EQ(several.state.filesDone, one.state.filesDone);
    EXPECT_EQ(several.state.filesFailed, one.state.filesFailed);
    EXPECT_EQ(several.state.bytesCopied, one.state.bytesCopied);
    EXPECT_TRUE(several.source == one.source) << Difference(several.source, one.source);
    EXPECT_TRUE(several.destination == one.destination) << Difference(several.destination, one.destination);
}

// Removes a copy observer however the test ends.
struct ObserverGuard {
    explicit ObserverGuard(CopyWriteObserver observer) { SetCopyWriteObserver(std::move(observer)); }
    ~ObserverGuard() { SetCopyWriteObserver({}); }
};

// Four workers copying temp\S into temp\D without totals; from the `holdFrom`th block written on, the
// workers wait until Release(), however slowly the job's thread comes round to act.
class HeldCopy {
public:
    HeldCopy(const TempFolder& temp, int holdFrom)
        : holdFrom_(holdFrom),
          guard_([this](const std::string&, std::int64_t, char*, unsigned long) {
              if (++writes >= holdFrom_)
                  WaitForSingleObject(released_, 30000);
          })
    {
        host.sources = {temp / "S"};
        host.destination = temp / "D";
        host.fileWorkers = 4;
        host.scan.stopped = true;
    }
    HeldCopy(const HeldCopy&) = delete;
    HeldCopy& operator=(const HeldCopy&) = delete;
    ~HeldCopy() { CloseHandle(released_); }

    void Release() { SetEvent(released_); }

    std::atomic<int> writes{0};
    ScriptedHost host;
    JobState state;
    JobRun run{host, state};

private:
    int holdFrom_;
    HANDLE released_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ObserverGuard guard_;
};

} // namespace

TEST(FilesInFlight, SeveralWorkersLogCountAskAndWriteExactlyAsOneFileAtATime)
{
    const struct {
        const char* name;
        Operation operation;
        bool flat;
    } jobs[] = {{"copy", kOpCopy, false}, {"flat copy", kOpCopy, true}, {"cut", kOpCut, false},
                {"delete", kOpDelete, false}, {"crush", kOpCrush, false}};
    for (const auto& job : jobs) {
        SCOPED_TRACE(job.name);
        const Outcome one = RunOnMixedTree(job.operation, job.flat, 1);
        const Outcome several = RunOnMixedTree(job.operation, job.flat, 4);
        EXPECT_GT(one.state.filesDone, 90);
        EXPECT_GE(one.state.filesFailed, 1) << "the file held open";
        if (job.operation == kOpCopy && !job.flat) {
            EXPECT_NE(one.questions, "") << "no conflict was met";
        }
        ExpectSameOutcome(one, several);
    }
}

TEST(FilesInFlight, PauseStopsEveryWriteAndGoOnCompletesEachFileWhole)
{
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
    for (unsigned i = 0; i < 4; ++i)
        ASSERT_TRUE(WriteAll(temp / ("S\\big" + std::to_string(i) + ".bin"), Pattern(24 * kChunk, i + 1)));
    // From the sixteenth block on, the workers wait for the pause.
    HeldCopy copy(temp, 16);
    std::atomic<int>& writes = copy.writes;
    ScriptedHost& host = copy.host;
    JobState& state = copy.state;
    JobRun& run = copy.run;
    int writesAtPause = -1;
    int writesAfterAWhile = -1;
    int pumpsWhilePaused = 0;
    host.onProcessMessages = [&] {
        if (writesAtPause < 0 && writes >= 16) {
            run.bbPauseClick();
            writesAtPause = writes;
            copy.Release();
        } else if (writesAtPause >= 0 && state.pauseFlag && ++pumpsWhilePaused == 8) {
            writesAfterAWhile = writes;
            run.bbPauseClick();  // Go On
        }
    };
    run.Run(host.Request());

    ASSERT_GE(writesAtPause, 0) << "never paused\n" << host.log;
    ASSERT_GE(writesAfterAWhile, 0) << "never went on";
    // Each worker may end the step it was in (four blocks of a chunk, one of them held above at the
    // pause), and then writes nothing more.
    EXPECT_LE(writesAfterAWhile - writesAtPause, 4 * static_cast<int>(kCopyChunk / kCopyBlock));
    EXPECT_EQ(state.filesDone, 4);
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_TRUE(TreeManifest(temp / "D\\S") == TreeManifest(temp / "S"));
}

TEST(FilesInFlight, CancelLeavesOnlyWholeFilesAndReportsThem)
{
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
    for (unsigned i = 0; i < 12; ++i)
        ASSERT_TRUE(WriteAll(temp / ("S\\f" + std::to_string(i) + ".bin"), Pattern((i % 3 + 1) * 6 * kChunk, i + 1)));
    // From the hundredth block on, the workers wait for the Cancel.
    HeldCopy copy(temp, 100);
    std::atomic<int>& writes = copy.writes;
    ScriptedHost& host = copy.host;
    JobState& state = copy.state;
    JobRun& run = copy.run;
    bool cancelled = false;
    host.onProcessMessages = [&] {
        if (!cancelled && writes >= 100) {
            cancelled = true;
            run.bbCancelClick();
            copy.Release();
        }
    };
    run.Run(host.Request());

    ASSERT_TRUE(cancelled) << host.log;
    const Manifest source = TreeManifest(temp / "S");
    const Manifest arrived = TreeManifest(temp / "D\\S");
    for (const auto& [rel, entry] : arrived) {
        ASSERT_TRUE(source.count(rel)) << rel << " is no file of the source: a partial copy left behind?";
        EXPECT_EQ(entry, source.at(rel)) << rel << " stands unfinished under its name";
    }
    EXPECT_LT(arrived.size(), source.size());
    EXPECT_EQ(state.filesDone, static_cast<std::int64_t>(arrived.size()));
    // The one file the Cancel met, as a one-at-a-time job reports it; those begun with it go unsaid.
    std::size_t failures = 0;
    for (std::size_t at = 0; (at = host.log.find("Failed to copy file", at)) != std::string::npos; ++at)
        ++failures;
    EXPECT_LE(failures, 1u) << host.log;
}

// A job over the files of `folder` with four workers, the file the walk meets first held in its first
// write: Cancel is pressed once `othersDone` holds (or after 20 s), and then the held file goes on.
struct HeldFirstRun {
    std::string firstName;  // empty when the folder could not be read
    bool cancelled = false;
    bool othersDone = false;  // before the Cancel
};

HeldFirstRun CancelPastAHeldFirstFile(const std::string& folder, ScriptedHost& host, JobState& state,
                                      const std::function<bool()>& othersDone)
{
    HeldFirstRun result;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return result;
    while (entry.cFileName[0] == '.' && FindNextFileA(find, &entry)) {
    }
    FindClose(find);
    result.firstName = entry.cFileName;
    const std::string first = "\\" + result.firstName;
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ObserverGuard guard([&](const std::string& destination, std::int64_t, char*, unsigned long) {
        if (destination.size() > first.size() && destination.compare(destination.size() - first.size(), first.size(), first) == 0)
            WaitForSingleObject(released, 30000);
    });
    host.sources = {folder};
    host.fileWorkers = 4;
    host.scan.stopped = true;
    JobRun run{host, state};
    const DWORD begun = GetTickCount();
    host.onProcessMessages = [&] {
        if (result.cancelled)
            return;
        result.othersDone = othersDone();
        if (result.othersDone || GetTickCount() - begun > 20000) {
            result.cancelled = true;
            run.bbCancelClick();
            SetEvent(released);
        }
    };
    run.Run(host.Request());
    CloseHandle(released);
    return result;
}

TEST(FilesInFlight, CopiesCompletedPastTheFileACancelMetGoEvenWhenAlreadyNamed)
{
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
    for (unsigned i = 0; i < 4; ++i)
        ASSERT_TRUE(WriteAll(temp / ("S\\f" + std::to_string(i) + ".bin"), Pattern(3000 + i, i + 1)));
    // The file the walk meets first is held in its first write; the three after it are finished by
    // their workers meanwhile, read-only among them.
    ASSERT_TRUE(SetFileAttributesA((temp / "S\\f3.bin").c_str(), FILE_ATTRIBUTE_READONLY));
    ScriptedHost host;
    JobState state;
    host.destination = temp / "D";
    const HeldFirstRun run = CancelPastAHeldFirstFile(temp / "S", host, state, [&] {
        int named = 0;
        for (unsigned i = 0; i < 4; ++i)
            named += Exists(temp / ("D\\S\\f" + std::to_string(i) + ".bin")) ? 1 : 0;
        return named == 3;
    });

    ASSERT_TRUE(run.cancelled) << host.log;
    EXPECT_TRUE(run.othersDone) << "the three complete copies never took their names before the Cancel";
    EXPECT_TRUE(TreeManifest(temp / "D\\S").empty()) << testsupport::Describe(TreeManifest(temp / "D\\S"));
    EXPECT_EQ(state.filesDone, 0);
    EXPECT_EQ(state.filesFailed, 1) << host.log;
    std::size_t failures = 0;
    for (std::size_t at = 0; (at = host.log.find("Failed to copy file", at)) != std::string::npos; ++at)
        ++failures;
    EXPECT_EQ(failures, 1u) << "only the file the Cancel met is told\n" << host.log;
    EXPECT_EQ(TreeManifest(temp / "S").size(), 4u);
}

// A Cut across volumes: the three files after the one a Cancel meets are moved whole by their workers,
// source and all, before the Cancel. They count as moved and stand only at the destination; the file
// the Cancel met stands only at the source. No file is in both places or in neither.
TEST(FilesInFlight, CutFilesMovedPastTheFileACancelMetCountAsMoved)
{
    TempFolder temp;
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    for (unsigned i = 0; i < 4; ++i)
        ASSERT_TRUE(WriteAll(temp / ("S\\f" + std::to_string(i) + ".bin"), Pattern(3000 + i, i + 1)));
    const Manifest before = TreeManifest(temp / "S");
    ScriptedHost host;
    JobState state;
    host.operation = kOpCut;
    host.destination = other->Path();
    const HeldFirstRun run = CancelPastAHeldFirstFile(temp / "S", host, state, [&] {
        int moved = 0;
        for (unsigned i = 0; i < 4; ++i)
            moved += Exists(temp / ("S\\f" + std::to_string(i) + ".bin")) ? 0 : 1;
        return moved == 3;
    });

    ASSERT_TRUE(run.cancelled) << host.log;
    ASSERT_TRUE(run.othersDone) << "the three files never left the source before the Cancel";
    const Manifest left = TreeManifest(temp / "S");
    const Manifest arrived = TreeManifest(*other / "S");
    EXPECT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.count(run.firstName)) << "the file the Cancel met left its place";
    EXPECT_EQ(arrived.size(), 3u);
    for (const auto& [rel, file] : before)
        EXPECT_EQ(left.count(rel) + arrived.count(rel), 1u) << rel << " is not in exactly one place";
    for (const auto& [rel, file] : arrived)
        EXPECT_EQ(file, before.at(rel)) << rel;
    EXPECT_EQ(state.filesDone, 3) << host.log;
    EXPECT_EQ(state.filesFailed, 1) << host.log;
}

// A Cut whose first item is copied across volumes by the workers and whose second is moved by rename
// within the destination's volume. The copies are held in their first write; Cancel is pressed inside
// the job once the walk is in the second item (at its second look at the window after the second
// item's destination folder stands, or at once when a file of it has moved). No file moves after the
// Cancel, and every file that moved is counted: each file stands in exactly one place, and the report's
// counts are those of the files that left.
TEST(FilesInFlight, RenamesBehindASlowCopyWaitTheirTurnAndACancelCountsEveryFileThatMoved)
{
    TempFolder temp;
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    const std::string farItem = *other / "A";
    const std::string nearItem = temp / "B";
    const std::string destination = temp / "D";
    ASSERT_TRUE(CreateDirectoryA(farItem.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(nearItem.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
    for (unsigned i = 0; i < 8; ++i)
        ASSERT_TRUE(WriteAll(farItem + "\\a" + std::to_string(i) + ".bin", Pattern(3000 + i, i + 1)));
    for (unsigned i = 0; i < 20; ++i)
        ASSERT_TRUE(WriteAll(nearItem + "\\b" + std::to_string(i) + ".bin", Pattern(1000 + i, i + 50)));
    const Manifest farBefore = TreeManifest(farItem);
    const Manifest nearBefore = TreeManifest(nearItem);

    // Every copy out of A waits in its first write until the Cancel: four are being written, four wait
    // for a worker.
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const std::string farTarget = destination + "\\A\\";
    ObserverGuard guard([&](const std::string& target, std::int64_t, char*, unsigned long) {
        if (target.compare(0, farTarget.size(), farTarget) == 0)
            WaitForSingleObject(released, 30000);
    });
    const auto movedFromNear = [&] {
        std::size_t moved = 0;
        for (const auto& [rel, file] : nearBefore)
            moved += Exists(nearItem + "\\" + rel) ? 0 : 1;
        return moved;
    };
    ScriptedHost host;
    JobState state;
    host.operation = kOpCut;
    host.operationHeader = "Cut\n";
    host.sources = {farItem, nearItem};
    host.destination = destination;
    host.fileWorkers = 4;
    host.scan.stopped = true;
    JobRun run{host, state};
    bool cancelled = false;
    std::size_t movedAtCancel = 0;
    int looksInNear = 0;
    const DWORD begun = GetTickCount();
    host.onProcessMessages = [&] {
        if (cancelled)
            return;
        if (Exists(destination + "\\B"))
            ++looksInNear;
        movedAtCancel = movedFromNear();
        if (looksInNear >= 2 || movedAtCancel > 0 || GetTickCount() - begun > 20000) {
            cancelled = true;
            run.bbCancelClick();
            SetEvent(released);
        }
    };
    run.Run(host.Request());
    CloseHandle(released);

    ASSERT_TRUE(cancelled) << host.log;
    EXPECT_EQ(movedFromNear(), movedAtCancel) << "files were moved after the Cancel";
    std::int64_t movedFiles = 0, movedBytes = 0;
    const auto expectOnePlace = [&](const Manifest& before, const std::string& from, const std::string& to) {
        const Manifest left = TreeManifest(from);
        const Manifest arrived = TreeManifest(to);
        for (const auto& [rel, file] : before) {
            EXPECT_EQ(left.count(rel) + arrived.count(rel), 1u) << rel << " is not in exactly one place";
            if (arrived.count(rel)) {
                EXPECT_EQ(arrived.at(rel), file) << rel;
                ++movedFiles;
                movedBytes += file.size;
            }
        }
    };
    expectOnePlace(farBefore, farItem, destination + "\\A");
    expectOnePlace(nearBefore, nearItem, destination + "\\B");
    EXPECT_EQ(state.filesDone, movedFiles) << host.log;
    EXPECT_EQ(state.bytesCopied, movedBytes) << host.log;
    // The copy the Cancel met, and nothing else.
    EXPECT_EQ(state.filesFailed, 1) << host.log;
    EXPECT_NE(host.log.rfind("\r\nCopied Files: " + std::to_string(movedFiles) + "\r\n"), std::string::npos)
        << host.log;
}

TEST(FilesInFlight, AKillLeavesNothingUnfinishedUnderAName)
{
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
    for (unsigned i = 0; i < 12; ++i)
        ASSERT_TRUE(WriteAll(temp / ("S\\f" + std::to_string(i) + ".bin"), Pattern((i % 3 + 1) * 4 * kChunk, i + 1)));
    const std::string eventName = "orv-inflight-killed-" + std::to_string(GetCurrentProcessId());
    HANDLE there = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(there, nullptr);
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start(ProgramFilePath(), std::string(kCopyInFlightUntilKilled) + " \"" + temp / "S" + "\" \"" +
                                               temp / "D" + "\" " + eventName));
    const DWORD reached = WaitForSingleObject(there, 30000);
    CloseHandle(there);
    ASSERT_EQ(reached, WAIT_OBJECT_0) << "the child never got where it was to be killed";
    child.Kill();
    EXPECT_EQ(child.WaitExit(10000), 99u);

    const Manifest source = TreeManifest(temp / "S");
    const Manifest arrived = TreeManifest(temp / "D\\S");
    // Every copy is bound to go with its handle from the call that makes it until it stands complete
    // under its final name: whenever the kill comes, no partial file is left.
    for (const auto& [rel, entry] : arrived) {
        ASSERT_TRUE(source.count(rel)) << rel << " is no file of the source: a partial copy left behind?";
        EXPECT_EQ(entry, source.at(rel)) << rel << " stands unfinished under its name";
    }
    EXPECT_LT(arrived.size(), source.size()) << "the kill came after the job";
}

int CopyInFlightUntilKilled(const char* source, const char* destination, const char* eventName)
{
    HANDLE there = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!there)
        return 2;
    // The worker that writes the tenth block stops there for good and tells the test; the others go
    // on writing whatever they have in flight until the kill.
    std::atomic<int> writes{0};
    SetCopyWriteObserver([&](const std::string&, std::int64_t, char*, unsigned long) {
        if (++writes == 10) {
            SetEvent(there);
            Sleep(INFINITE);
        }
    });
    ScriptedHost host;
    JobState state;
    host.sources = {source};
    host.destination = destination;
    host.fileWorkers = 4;
    host.scan.stopped = true;
    JobRun(host, state).Run(host.Request());
    return 3;  // never reached while the test runs as meant
}

TEST(FilesInFlight, ACopyThatReadsBackWrongIsNotKeptAndIsOneVerifyLine)
{
    for (const int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        TempFolder temp;
        ASSERT_TRUE(CreateDirectoryA((temp / "S").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
        for (const char* name : {"a.bin", "b.bin", "c.bin"})
            ASSERT_TRUE(WriteAll(temp / "S\\" + name, Pattern(3 * kChunk + 5, name[0])));
        // One block of b.bin is changed between the read and the write, as a failing disk or bus would.
        ObserverGuard guard([](const std::string& destination, std::int64_t offset, char* data, unsigned long length) {
            if (destination.size() >= 5 && destination.compare(destination.size() - 5, 5, "b.bin") == 0 &&
                offset == kCopyBlock && length > 0)
                data[0] = static_cast<char>(data[0] ^ 1);
        });
        for (const bool verify : {false, true}) {
            SCOPED_TRACE(verify ? "verify on" : "verify off");
            ScriptedHost host;
            host.sources = {temp / "S"};
            host.destination = temp / (verify ? "D\\on" : "D\\off");
            host.fileWorkers = workers;
            host.verify = verify;
            JobState state;
            host.scan.stopped = true;
            JobRun(host, state).Run(host.Request());
            const std::string copied = host.destination + "\\S\\";
            EXPECT_EQ(ReadAll(copied + "a.bin"), ReadAll(temp / "S\\a.bin"));
            EXPECT_EQ(ReadAll(copied + "c.bin"), ReadAll(temp / "S\\c.bin"));
            if (!verify) {
                ASSERT_TRUE(Exists(copied + "b.bin"));
                EXPECT_NE(ReadAll(copied + "b.bin"), ReadAll(temp / "S\\b.bin")) << "the test's change did not happen";
                EXPECT_EQ(state.filesFailed, 0);
                continue;
            }
            EXPECT_FALSE(Exists(copied + "b.bin"));
            EXPECT_EQ(TreeManifest(host.destination + "\\S").size(), 2u) << "nothing else of b.bin stays";
            EXPECT_EQ(state.filesFailed, 1);
            EXPECT_EQ(state.filesDone, 2);
            EXPECT_NE(host.log.find(VerifyFailedEntry(temp / "S\\b.bin", copied + "b.bin") + "\r\n"), std::string::npos)
                << host.log;
        }
    }
}

// Works finishing out of order are finished in the order they were handed in, steps after the file
// they followed; what a work throws reaches the job's thread in its turn.
TEST(FilesInFlight, FinishesInTheOrderHandedInAndPassesOnWhatAWorkThrew)
{
    ScriptedHost host;
    JobState state;
    FilesInFlight flight(host, state, 4);
    std::vector<int> finished;
    for (int i = 0; i < 40; ++i) {
        FilesInFlight::FileWork file;
        // The early ones take longest, so the later ones end first.
        file.work = [i](FileWorkControl&) { Sleep(static_cast<DWORD>((40 - i) % 7)); };
        file.finish = [&finished, i](bool ran) {
            EXPECT_TRUE(ran);
            finished.push_back(i);
            return true;
        };
        flight.Hand(std::move(file));
        flight.Then([&finished, i] { finished.push_back(1000 + i); });
    }
    flight.FinishAll();
    std::vector<int> expected;
    for (int i = 0; i < 40; ++i) {
        expected.push_back(i);
        expected.push_back(1000 + i);
    }
    EXPECT_EQ(finished, expected);

    FilesInFlight::FileWork failing;
    failing.work = [](FileWorkControl&) { throw std::runtime_error("out of memory"); };
    failing.finish = [](bool) { return true; };
    flight.Hand(std::move(failing));
    EXPECT_THROW(flight.FinishAll(), std::runtime_error);
}
