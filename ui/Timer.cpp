#include "ui/Timer.h"

#include "ui/HandlerException.h"

#include <exception>
#include <map>

namespace ui {

namespace {

std::map<UINT_PTR, Timer*>& Timers()
{
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}

HWND TimerWindow(WNDPROC procedure)
{
    static HWND window = nullptr;
    if (window && IsWindow(window))
        return window;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvTimerWindow";
    RegisterClassExA(&windowClass);
    window = CreateWindowExA(0, "OrvTimerWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    return window;
}

} // namespace

Timer::Timer(const TimerArgs& args)
    : tag(args.tag), name_(args.name), interval_(args.interval), enabled_(args.enabled)
{
    static UINT_PTR nextId = 1;
    id_ = nextId++;
    Timers()[id_] = this;
    Update();
}

Timer::~Timer()
{
    enabled_ = false;
    Update();
    Timers().erase(id_);
}

void Timer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Update();
}

void Timer::SetInterval(UINT interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    if (running_) {
        KillTimer(TimerWindow(WindowProc), id_);
        running_ = false;
    }
    Update();
}

void Timer::Update()
{
    HWND window = TimerWindow(WindowProc);
    const bool wanted = enabled_ && interval_ > 0;
    if (wanted && !running_)
        running_ = SetTimer(window, id_, interval_, nullptr) != 0;
    else if (!wanted && running_) {
        KillTimer(window, id_);
        running_ = false;
    }
}

LRESULT CALLBACK Timer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER)
        return DefWindowProcA(window, message, wParam, lParam);
    auto found = Timers().find(static_cast<UINT_PTR>(wParam));
    if (found == Timers().end() || !found->second->enabled_ || !found->second->onTimer)
        return 0;
    auto handler = found->second->onTimer;  // a copy: the handler may stop or replace it
    try {
        handler();
    } catch (...) {
        ReportHandlerException("a timer handler");
    }
    return 0;
}

} // namespace ui
