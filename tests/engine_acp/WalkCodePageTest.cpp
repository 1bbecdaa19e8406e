// The walk in a process that keeps the system's 8-bit code page (this program has no manifest): names
// that code page cannot hold must never reach the file calls as look-alikes.
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Exists;

class WalkIn8BitCodePage : public ::testing::TestWithParam<int> {
protected:
    testsupport::TempFolder tmp;
    ScriptedHost host;
    JobState state;
    StandingAnswers answers;
    JobRequest request;
    JobContext job{request, host, state, answers, {}};

    void SetUp() override
    {
        if (GetACP() == CP_UTF8)
            GTEST_SKIP() << "the process code page is UTF-8, which holds every name";
    }
    std::wstring Wide(const wchar_t* relative) const { return WidePath(tmp.Path()) + L"\\" + relative; }
    // A folder, or a file of size bytes, by a name only the wide calls can make.
    bool Make(const wchar_t* relative, DWORD size = 0, bool folder = false)
    {
        if (folder)
            return CreateDirectoryW(Wide(relative).c_str(), nullptr) != 0;
        UniqueFile file(CreateFileW(Wide(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        return file && SetFilePointer(file.Get(), static_cast<LONG>(size), nullptr, FILE_BEGIN) == size &&
               SetEndOfFile(file.Get());
    }
    bool ExistsWide(const wchar_t* relative) const { return GetFileAttributesW(Wide(relative).c_str()) != INVALID_FILE_ATTRIBUTES; }
};

// "α.txt" would become "a.txt": the a.txt beside it, which the size window leaves out, must stay.
// A folder of such a name is not walked: nothing below it has a path.
TEST_P(WalkIn8BitCodePage, ANameTheCodePageCannotHoldIsOneFailureAndNeverAnotherName)
{
    ASSERT_TRUE(Make(L"src", 0, true));
    ASSERT_TRUE(Make(L"src\\a.txt", 10));
    ASSERT_TRUE(Make(L"src\\\u03B1.txt", 1));
    ASSERT_TRUE(Make(L"src\\\u00E9.txt", 1));  // é is in the code page: handled as usual
    ASSERT_TRUE(Make(L"src\\\u03B2", 0, true));  // β
    ASSERT_TRUE(Make(L"src\\\u03B2\\inside.txt"));
    host.filters.maxSize = 5;
    job.masks = BuildMaskList(host.filters.masksText);
    host.operation = static_cast<Operation>(GetParam());
    request = host.Request();

    WalkFolder(job, tmp / "src", tmp / "src");

    EXPECT_TRUE(Exists(tmp / "src\\a.txt"));
    EXPECT_TRUE(ExistsWide(L"src\\\u03B1.txt"));
    EXPECT_FALSE(ExistsWide(L"src\\\u00E9.txt"));
    EXPECT_TRUE(ExistsWide(L"src\\\u03B2\\inside.txt"));
    const std::string because = "\r\nBecause " + SystemErrorText(ERROR_NO_UNICODE_TRANSLATION);
    const std::string fileLine = because + " So failed to delete file " + (tmp / "src\\?.txt") + "!\r\n";
    const std::string folderLine = because + " So folder " + (tmp / "src\\?") + " and all it holds were left alone!\r\n";
    EXPECT_TRUE(host.log == fileLine + folderLine || host.log == folderLine + fileLine) << host.log;
    EXPECT_EQ(state.filesFailed, 2);
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(state.filesExamined, 3) << "every file listed advances the progress";
}

INSTANTIATE_TEST_SUITE_P(Operations, WalkIn8BitCodePage, ::testing::Values(int{kOpDelete}, int{kOpCrush}),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == kOpDelete ? "Delete" : "Crush");
                         });

} // namespace
