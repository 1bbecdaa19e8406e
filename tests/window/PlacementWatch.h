#pragma once
#include <windows.h>

#include <vector>

// The heights one window is given, each time it is moved or sized, while this lives (the windows of
// this thread only): a layout that places a window again, even where it already stands, shows here.
class PlacementWatch {
public:
    explicit PlacementWatch(HWND window)
    {
        watched = window;
        heights.clear();
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
    }
    ~PlacementWatch() { UnhookWindowsHookEx(hook_); }
    PlacementWatch(const PlacementWatch&) = delete;
    PlacementWatch& operator=(const PlacementWatch&) = delete;

    static inline HWND watched = nullptr;
    static inline std::vector<int> heights;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->hwnd == watched && call->message == WM_WINDOWPOSCHANGED)
            heights.push_back(reinterpret_cast<const WINDOWPOS*>(call->lParam)->cy);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};
