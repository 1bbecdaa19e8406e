#include "platform/DialogWatch.h"

namespace {

// Per thread, as the hook is: each thread counts its own dialogs.
thread_local int dialogsMade = 0;

LRESULT CALLBACK CountDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char className[16] = {};
        if (GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) > 0 &&
            lstrcmpA(className, "#32770") == 0)
            ++dialogsMade;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

DialogWatch::DialogWatch()
    : hook_(SetWindowsHookExA(WH_CBT, CountDialogs, nullptr, GetCurrentThreadId())), before_(dialogsMade)
{
}

DialogWatch::~DialogWatch()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
}

int DialogWatch::DialogsShown() const { return dialogsMade - before_; }
