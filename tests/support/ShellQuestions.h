#pragma once
#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

namespace testsupport {

// Answers the boxes the shell shows in this process, from a helper thread, as a user would: No where
// offered (or Yes, when asked to), else Cancel. The shell shows them from inside its call, which would
// otherwise never return.
class ShellQuestionAnswerer {
public:
    explicit ShellQuestionAnswerer(int preferred = IDNO)
        : preferred_(preferred), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Run(); })
    {
    }
    ~ShellQuestionAnswerer()
    {
        SetEvent(stop_);
        thread_.join();
        CloseHandle(stop_);
    }
    int Answered() const { return answered_; }
    HWND LastOwner() const { return lastOwner_; }  // owner window of the last box answered

private:
    void Run()
    {
        std::set<HWND> seen;
        while (WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT) {
            for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr;) {
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(box) || !seen.insert(box).second)
                    continue;
                lastOwner_ = GetWindow(box, GW_OWNER);
                ++answered_;
                const int answer = GetDlgItem(box, preferred_) ? preferred_ : IDCANCEL;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
            }
        }
    }

    const int preferred_;
    HANDLE stop_;
    std::atomic<int> answered_{0};
    std::atomic<HWND> lastOwner_{nullptr};
    std::thread thread_;  // last: starts once everything it uses exists
};

} // namespace testsupport
