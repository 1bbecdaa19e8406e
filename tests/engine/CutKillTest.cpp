// A Cut whose process is killed in its middle leaves every file in exactly one place, whole: at the
// source or at the destination, never at both, never at neither, and no partial file anywhere.
#include "CutKillChild.h"
#include "FileOpsTestSupport.h"
#include "engine/jobrun.h"
#include "platform/ProgramPath.h"
#include "tests/support/OtherVolume.h"
#include "tests/support/TreeManifest.h"
#include "tests/support/WineProcess.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace fileopstest;
using testsupport::Manifest;
using testsupport::TempFolder;
using testsupport::TreeManifest;

int CutUntilKilled(const char* source, const char* destination, const char* eventName, const char* where)
{
    HANDLE there = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!there)
        return 2;
    ScriptedHost host;
    JobState state;
    host.operation = kOpCut;
    host.sources = {source};
    host.destination = destination;
    host.scan.stopped = true;
    const bool inCopy = std::strcmp(where, "copying") == 0;
    const bool copyComplete = std::strcmp(where, "complete") == 0;
    // Killed at a known point of one copy: with several files in flight the others would go on to
    // wherever they are when the kill comes (a test of its own).
    if (inCopy || copyComplete)
        host.fileWorkers = 1;
    int completeCopies = 0;
    if (copyComplete)
        SetCopyStepObserver([&](CopyStep step, const std::string&) {
            if (step == CopyStep::Complete && ++completeCopies == 4) {
                SetEvent(there);
                Sleep(INFINITE);
            }
        });
    int wholeFiles = 0;
    host.onProcessMessages = [&] {
        // A file moved by rename shows a full bar at once; a copy shows its part done.
        const bool whole = host.fileBarMax > 0 && host.fileBarPos == host.fileBarMax;
        const bool part = host.fileBarMax > 0 && host.fileBarPos < host.fileBarMax;
        if ((inCopy && part) || (!inCopy && whole && ++wholeFiles == 5)) {
            SetEvent(there);
            Sleep(INFINITE);
        }
    };
    JobRun(host, state).Run(host.Request());
    return 3;  // never reached while the test runs as meant
}

namespace {

// Twelve small files in three folders under root\T, and a large one when asked.
bool MakeCutTree(const std::string& root, bool large)
{
    if (!CreateDirectoryA((root + "\\T").c_str(), nullptr))
        return false;
    for (int folder = 0; folder < 3; ++folder) {
        const std::string path = root + "\\T\\d" + std::to_string(folder);
        if (!CreateDirectoryA(path.c_str(), nullptr))
            return false;
        for (int file = 0; file < 4; ++file) {
            const unsigned seed = static_cast<unsigned>(folder * 10 + file + 1);
            if (!WriteAll(path + "\\f" + std::to_string(file) + ".dat", Pattern(100 + seed * 37, seed)))
                return false;
        }
    }
    return !large || WriteAll(root + "\\T\\d1\\large.bin", Pattern(6 * kChunk, 99));
}

// Runs the Cut of source\T into destination in a child process and kills it where asked.
void CutAndKill(const std::string& source, const std::string& destination, const char* where)
{
    const std::string eventName = "orv-cut-killed-" + std::to_string(GetCurrentProcessId()) + "-" + where;
    HANDLE there = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(there, nullptr);
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start(ProgramFilePath(), std::string(kCutUntilKilled) + " \"" + source + "\\T\" \"" + destination +
                                               "\" " + eventName + " " + where));
    const DWORD reached = WaitForSingleObject(there, 30000);
    CloseHandle(there);
    ASSERT_EQ(reached, WAIT_OBJECT_0) << "the child never got where it was to be killed";
    child.Kill();
    EXPECT_EQ(child.WaitExit(10000), 99u);
}

// Every file of the tree stands, whole, at exactly one of the two places, and nothing else does.
// Returns how many stand at the destination.
int ExpectEachFileInOnePlace(const Manifest& before, const std::string& source, const std::string& destination)
{
    const Manifest left = TreeManifest(source);
    const Manifest arrived = TreeManifest(destination);
    int moved = 0;
    for (const auto& [rel, entry] : before) {
        if (entry.folder)
            continue;
        const bool atSource = left.count(rel) != 0;
        const bool atDestination = arrived.count(rel) != 0;
        EXPECT_NE(atSource, atDestination) << rel << (atSource ? " is in both places" : " is in neither place");
        if (atSource) {
            EXPECT_EQ(left.at(rel), entry) << rel << " changed at the source";
        }
        if (atDestination) {
            EXPECT_EQ(arrived.at(rel), entry) << rel << " arrived changed";
            ++moved;
        }
    }
    for (const Manifest* side : {&left, &arrived})
        for (const auto& [rel, entry] : *side)
            EXPECT_TRUE(before.count(rel) != 0) << rel << " was not in the tree: a partial file left behind?";
    return moved;
}

TEST(CutKilled, WithinOneVolumeEveryFileIsAtTheSourceOrTheDestination)
{
    TempFolder temp;
    ASSERT_TRUE(MakeCutTree(temp.Path(), false));
    ASSERT_TRUE(CreateDirectoryA((temp / "D").c_str(), nullptr));
    const Manifest before = TreeManifest(temp / "T");

    CutAndKill(temp.Path(), temp / "D", "renamed");

    EXPECT_EQ(ExpectEachFileInOnePlace(before, temp / "T", temp / "D\\T"), 5);
}

TEST(CutKilled, AcrossVolumesInTheMiddleOfACopyEveryFileIsAtTheSourceOrTheDestination)
{
    TempFolder temp;
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    ASSERT_TRUE(MakeCutTree(temp.Path(), true));
    const Manifest before = TreeManifest(temp / "T");

    CutAndKill(temp.Path(), other->Path(), "copying");

    const int moved = ExpectEachFileInOnePlace(before, temp / "T", *other / "T");
    EXPECT_TRUE(testsupport::Exists(temp / "T\\d1\\large.bin")) << "the file being copied stays at its source";
    EXPECT_LT(moved, 12);
}

TEST(CutKilled, AcrossVolumesWithACopyCompleteButNotYetNamedEveryFileIsAtTheSourceOrTheDestination)
{
    TempFolder temp;
    const auto other = testsupport::FolderOnAnotherVolume(temp);
    if (!other)
        GTEST_SKIP() << testsupport::kOtherVolumeBase << " is not another volume here";
    ASSERT_TRUE(MakeCutTree(temp.Path(), false));
    const Manifest before = TreeManifest(temp / "T");

    CutAndKill(temp.Path(), other->Path(), "complete");

    EXPECT_EQ(ExpectEachFileInOnePlace(before, temp / "T", *other / "T"), 3);
}

} // namespace
