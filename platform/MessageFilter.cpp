#include "platform/MessageFilter.h"

ChangeMessageFilterCall changeMessageFilter = ChangeWindowMessageFilterEx;

std::vector<UINT> AllowDropAndHandOffMessages(HWND window)
{
    std::vector<UINT> refused;
    for (const UINT message : kDropAndHandOffMessages) {
        // Per window, not the whole process's filter: only the main window takes these.
        CHANGEFILTERSTRUCT status{sizeof status, 0};
        if (!changeMessageFilter(window, message, MSGFLT_ALLOW, &status))
            refused.push_back(message);
    }
    return refused;
}
