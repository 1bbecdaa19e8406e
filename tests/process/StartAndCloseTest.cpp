#include "tests/support/WineProcess.h"

#include "app/MainWindowClass.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(MainWindowProcess, ShowsItsWindowAndEndsWithZeroWhenClosed)
{
    ChildProcess program;
    ASSERT_TRUE(program.Start(WinePath(ORV_EXE_PATH))) << GetLastError();
    HWND window = WaitForWindow(kMainWindowClass, program.Id(), 20000);
    ASSERT_NE(window, nullptr) << "no visible window of class TVorCopyPasteWin";

    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Marrowick  - ORVANDEL.COM");

    RECT bounds{};
    ASSERT_TRUE(GetWindowRect(window, &bounds));
    EXPECT_GE(bounds.right - bounds.left, kMainWindowMinWidth);
    EXPECT_GE(bounds.bottom - bounds.top, kMainWindowMinHeight);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
}
