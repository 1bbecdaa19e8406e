#include "platform/MessagePump.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

bool MessageWaiting(UINT message)
{
    MSG m;
    return PeekMessageA(&m, nullptr, message, message, PM_NOREMOVE) != 0;
}

} // namespace

TEST(MessagePump, ThrottledPumpLooksAtTheQueueOnlyOncePerInterval)
{
    const UINT probe = WM_APP + 321;
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), probe, 0, 0));
    EXPECT_TRUE(ProcessPendingMessagesEvery(0));  // no interval: pumps now
    EXPECT_FALSE(MessageWaiting(probe));

    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), probe, 0, 0));
    EXPECT_TRUE(ProcessPendingMessagesEvery(60000));  // it pumped a moment ago: leaves the queue alone
    EXPECT_TRUE(MessageWaiting(probe));
    EXPECT_TRUE(ProcessPendingMessages());  // the plain pump always empties it
    EXPECT_FALSE(MessageWaiting(probe));
}

TEST(MessagePump, AQuitMetInsideIsRememberedOnceAndNotPostedAgain)
{
    const UINT probe = WM_APP + 322;
    PostQuitMessage(7);
    EXPECT_FALSE(ProcessPendingMessages());
    EXPECT_TRUE(QuitPending());
    EXPECT_FALSE(MessageWaiting(WM_QUIT)) << "posted again: every later pump would meet it once more";

    // Later pumps still dispatch, and still report the quit, without meeting it again.
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), probe, 0, 0));
    EXPECT_FALSE(ProcessPendingMessages());
    EXPECT_FALSE(MessageWaiting(probe));
    EXPECT_FALSE(MessageWaiting(WM_QUIT));
    EXPECT_FALSE(ProcessPendingMessagesEvery(60000));

    int exitCode = 0;
    ASSERT_TRUE(TakePendingQuit(exitCode));
    EXPECT_EQ(exitCode, 7);
    EXPECT_FALSE(TakePendingQuit(exitCode)) << "the outer loop gets it once";
    EXPECT_FALSE(QuitPending());
    EXPECT_TRUE(ProcessPendingMessages());
}
