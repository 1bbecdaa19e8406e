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
