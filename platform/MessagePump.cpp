#include "platform/MessagePump.h"

#include <windows.h>

namespace {

// One user-interface thread: the remembered quit is the thread's, as the queue it came from.
bool quitPending = false;
int quitExitCode = 0;

} // namespace

void RememberQuit(int exitCode)
{
    quitPending = true;
    quitExitCode = exitCode;
}

bool QuitPending() { return quitPending; }

bool TakePendingQuit(int& exitCode)
{
    if (!quitPending)
        return false;
    quitPending = false;
    exitCode = quitExitCode;
    return true;
}

bool ProcessPendingMessages()
{
    // Pumping goes on after a quit: messages sent from other threads (and log-off notices) are only
    // delivered while this thread looks at its queue.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            RememberQuit(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !quitPending;
}

bool ProcessPendingMessagesEvery(unsigned intervalMs)
{
    static DWORD last = GetTickCount() - intervalMs;
    const DWORD now = GetTickCount();
    if (now - last < intervalMs)
        return !quitPending;
    last = now;
    return ProcessPendingMessages();
}
