#include "ui/MessageLoop.h"

#include "platform/MessagePump.h"
#include "ui/Form.h"

namespace ui {

void DispatchWithDialogKeys(MSG& message)
{
    if (message.hwnd && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && dynamic_cast<Form*>(Control::FromHandle(root)) && IsDialogMessageA(root, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int RunMessageLoop()
{
    MSG message{};
    for (;;) {
        // A quit that nested pumping took off the queue (during a job) ends the loop here, once.
        int exitCode = 0;
        if (TakePendingQuit(exitCode))
            return exitCode;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        DispatchWithDialogKeys(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace ui
