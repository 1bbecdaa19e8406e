#pragma once
// The window's folder trees are shell browse dialogs whose modal loops run for the whole life of the
// window, on the stack of the timer tick that opened them: in the program, everything else runs
// inside those loops. A test body cannot sit under them, so it runs beside them on a fiber of its own
// (one thread, two stacks). The window's fiber takes the ticks that open the dialogs and stays inside
// their loops; a timer there hands the thread back to the test, which from then on dispatches the
// window's messages in its own pumps, and goes back to the window's fiber only to let dialogs open or
// end.
#include <windows.h>

#include "platform/MessagePump.h"
#include "ui/Timer.h"

#include <functional>

namespace mainwindow {

class TreeFibers {
public:
    static TreeFibers& Get()
    {
        static TreeFibers fibers;
        return fibers;
    }

    // Lets the window's fiber run until `done` holds; false when the limit passed first.
    bool RunWindowUntil(const std::function<bool()>& done, DWORD limitMs = 60000)
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > limitMs)
                return false;
            onWindowFiber_ = true;
            SwitchToFiber(windowFiber_);
            onWindowFiber_ = false;
        }
        return true;
    }

private:
    TreeFibers()
    {
        testFiber_ = ConvertThreadToFiber(nullptr);
        windowFiber_ = CreateFiber(256 * 1024, WindowFiberMain, this);
        // Inside the dialogs' loops this is how the thread comes back to the test.
        yield_.onTimer = [this] {
            if (onWindowFiber_)
                SwitchToFiber(testFiber_);
        };
        yield_.Start();
    }

    static void CALLBACK WindowFiberMain(void* self)
    {
        auto* fibers = static_cast<TreeFibers*>(self);
        for (;;) {
            ProcessPendingMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            SwitchToFiber(fibers->testFiber_);
        }
    }

    void* testFiber_ = nullptr;
    void* windowFiber_ = nullptr;
    bool onWindowFiber_ = false;
    ui::Timer yield_{{.name = "treeFiberYield", .interval = 20}};
};

} // namespace mainwindow
