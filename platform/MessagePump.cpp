#include "platform/MessagePump.h"

#include <windows.h>

bool ProcessPendingMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

bool ProcessPendingMessagesEvery(unsigned intervalMs)
{
    static DWORD last = GetTickCount() - intervalMs;
    const DWORD now = GetTickCount();
    if (now - last < intervalMs)
        return true;
    last = now;
    return ProcessPendingMessages();
}
