// A copy whose process is killed in its middle leaves nothing behind: nothing under the final name,
// no partial file under another, and a file it was replacing stays whole.
#include "CopyKillChild.h"
#include "FileOpsTestSupport.h"
#include "platform/ProgramPath.h"
#include "tests/support/WineProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace fileopstest;

int CopyUntilKilled(const char* source, const char* destination, const char* eventName)
{
    HANDLE inside = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!inside)
        return 2;
    const CopyTarget target = Exists(destination) ? CopyTarget::Replace : CopyTarget::NewFile;
    FileCopy copy(source, destination, target);
    int calls = 0;
    copy.Run([&](std::int64_t, std::int64_t) {
        if (++calls == 2) {  // two chunks written, more to come
            SetEvent(inside);
            Sleep(INFINITE);
        }
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

TEST(CopyKilled, LeavesNothingButTheSourceAndTheFileItWasReplacing)
{
    testsupport::TempFolder temp;
    const std::string content = Pattern(4 * kChunk);
    ASSERT_TRUE(WriteAll(temp / "source.bin", content));
    ASSERT_TRUE(WriteAll(temp / "old.bin", "old contents"));

    for (const char* target : {"new.bin", "old.bin"}) {
        SCOPED_TRACE(target);
        const std::string eventName =
            "orv-copy-killed-" + std::to_string(GetCurrentProcessId()) + "-" + target;
        HANDLE inside = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        ASSERT_NE(inside, nullptr);
        testsupport::ChildProcess child;
        ASSERT_TRUE(child.Start(ProgramFilePath(), std::string(kCopyUntilKilled) + " \"" + temp / "source.bin" + "\" \"" +
                                                   temp / target + "\" " + eventName));
        const DWORD reached = WaitForSingleObject(inside, 30000);
        CloseHandle(inside);
        ASSERT_EQ(reached, WAIT_OBJECT_0) << "the child never got inside its copy";

        child.Kill();
        EXPECT_EQ(child.WaitExit(10000), 99u);
        EXPECT_EQ(Names(temp.Path()), "old.bin source.bin ");
        EXPECT_EQ(ReadAll(temp / "old.bin"), "old contents");
        EXPECT_TRUE(ReadAll(temp / "source.bin") == content);
    }
}

} // namespace
