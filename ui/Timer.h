#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct TimerArgs {
    std::string name{};
    UINT interval = 1000;   // milliseconds; 0 never fires
    bool enabled = false;   // timers start only when enabled (Start or SetEnabled)
    int tag = 0;
};

// A window timer of this thread (on a hidden message-only window). onTimer runs from the message loop,
// also from nested loops (modal forms, message boxes, pumping during a job), and may itself pump
// messages: a tick can then run inside the previous one. Enabling a running timer changes nothing;
// a new interval restarts it.
class Timer {
public:
    explicit Timer(const TimerArgs& args = {});
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    const std::string& Name() const { return name_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }
    UINT Interval() const { return interval_; }
    void SetInterval(UINT interval);

    int tag = 0;
    std::function<void()> onTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void Update();
    std::string name_;
    UINT interval_;
    bool enabled_;
    bool running_ = false;
    UINT_PTR id_;
};

} // namespace ui
