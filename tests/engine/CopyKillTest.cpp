// A copy whose process is killed leaves nothing behind at any moment: nothing unfinished under the
// final name, no partial file under another, and a file it was replacing stays whole (or is replaced
// whole, once the complete copy has its name).
#include "CopyKillChild.h"
#include "FileOpsTestSupport.h"
#include "platform/ProgramPath.h"
#include "tests/support/WineProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace fileopstest;

int CopyUntilKilled(const char* source, const char* destination, const char* eventName, const char* where)
{
    HANDLE inside = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!inside)
        return 2;
    const auto stay = [inside] {
        SetEvent(inside);
        Sleep(INFINITE);
    };
    const std::string at = where;
    const CopyStep step = at == "created" ? CopyStep::Created : at == "complete" ? CopyStep::Complete : CopyStep::Named;
    if (at != "copying")
        SetCopyStepObserver([&](CopyStep reached, const std::string&) {
            if (reached == step)
                stay();
        });
    const CopyTarget target = Exists(destination) ? CopyTarget::Replace : CopyTarget::NewFile;
    FileCopy copy(source, destination, target);
    int calls = 0;
    copy.Run([&](std::int64_t, std::int64_t) {
        if (at == "copying" && ++calls == 2)  // two chunks written, more to come
            stay();
        return CopyProgressAnswer::Continue;
    });
    return 3;  // never reached while the test runs as meant
}

namespace {

// The names in a folder, sorted, each followed by a blank.
std::string Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return "<none>";
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += name + " ";
    return text;
}

// Runs the copy of source.bin to target in a child process and kills it where asked.
void CopyAndKill(const testsupport::TempFolder& temp, const char* target, const char* where)
{
    const std::string eventName =
        "orv-copy-killed-" + std::to_string(GetCurrentProcessId()) + "-" + target + "-" + where;
    HANDLE inside = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(inside, nullptr);
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start(ProgramFilePath(), std::string(kCopyUntilKilled) + " \"" + temp / "source.bin" + "\" \"" +
                                               temp / target + "\" " + eventName + " " + where));
    const DWORD reached = WaitForSingleObject(inside, 30000);
    CloseHandle(inside);
    ASSERT_EQ(reached, WAIT_OBJECT_0) << "the child never got where it was to be killed";
    child.Kill();
    EXPECT_EQ(child.WaitExit(10000), 99u);
}

TEST(CopyKilled, LeavesNothingButTheSourceAndTheFileItWasReplacing)
{
    testsupport::TempFolder temp;
    const std::string content = Pattern(4 * kChunk);
    ASSERT_TRUE(WriteAll(temp / "source.bin", content));
    ASSERT_TRUE(WriteAll(temp / "old.bin", "old contents"));

    for (const char* target : {"new.bin", "old.bin"}) {
        SCOPED_TRACE(target);
        CopyAndKill(temp, target, "copying");
        EXPECT_EQ(Names(temp.Path()), "old.bin source.bin ");
        EXPECT_EQ(ReadAll(temp / "old.bin"), "old contents");
        EXPECT_TRUE(ReadAll(temp / "source.bin") == content);
    }
}

// Just made, and complete but not yet named, the copy goes with the process; once named it stands
// whole under its final name. A partial file outlives the process at none of these moments.
TEST(CopyKilled, AtEveryMomentOfItsFileLeavesNoPartialFile)
{
    for (const char* where : {"created", "complete", "named"}) {
        for (const char* target : {"new.bin", "old.bin"}) {
            SCOPED_TRACE(std::string(where) + " " + target);
            testsupport::TempFolder temp;
            const std::string content = Pattern(3 * kChunk + 17);
            ASSERT_TRUE(WriteAll(temp / "source.bin", content));
            ASSERT_TRUE(WriteAll(temp / "old.bin", "old contents"));

            CopyAndKill(temp, target, where);

            const bool named = std::strcmp(where, "named") == 0;
            const bool madeNew = std::strcmp(target, "new.bin") == 0;
            EXPECT_EQ(Names(temp.Path()), named && madeNew ? "new.bin old.bin source.bin " : "old.bin source.bin ");
            EXPECT_TRUE(ReadAll(temp / "old.bin") == (named && !madeNew ? content : "old contents"));
            if (named && madeNew) {
                EXPECT_TRUE(ReadAll(temp / "new.bin") == content);
            }
            EXPECT_TRUE(ReadAll(temp / "source.bin") == content);
        }
    }
}

} // namespace
