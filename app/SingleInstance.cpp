#include "app/SingleInstance.h"

#include "app/MainWindowClass.h"
#include "core/AbsolutePath.h"
#include "core/HandOff.h"
#include "platform/CodePageText.h"
#include "platform/LongPath.h"

#include <shellapi.h>

namespace {

// Far longer than a start takes to bring its window up; a start still waiting then goes on alone.
constexpr DWORD kStartLockWait = 30000;

} // namespace

std::string FirstCommandArgument()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::string first;
    if (count > 1) {
        const std::wstring_view wide(arguments[1]);
        first = ExactCodePageText(wide).value_or(ShownCodePageText(wide));
    }
    LocalFree(arguments);
    return first;
}

StartLock::StartLock()
{
    mutex_ = CreateMutexA(nullptr, FALSE, kStartLockName);
    if (!mutex_)
        return;
    // Abandoned: a start that held it ended without releasing it (it crashed); the lock is ours now.
    const DWORD waited = WaitForSingleObject(mutex_, kStartLockWait);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void StartLock::Release()
{
    if (held_)
        ReleaseMutex(mutex_);
    held_ = false;
    if (mutex_)
        CloseHandle(mutex_);
    mutex_ = nullptr;
}

HWND FindRunningInstance() { return FindWindowA(kMainWindowClass, nullptr); }

void HandOverTo(HWND running, const std::string& firstArgument)
{
    // A relative path means this start's current folder, which the running window does not know:
    // resolved here, it names what the user meant.
    const std::string text = HandOffText(ArgumentForHandOff(firstArgument, AbsolutePathText));
    COPYDATASTRUCT block{};
    block.dwData = kHandOffTag;
    block.cbData = static_cast<DWORD>(text.size());
    block.lpData = const_cast<char*>(text.data());
    // Synchronous and without a time limit: the running window may be deep in a job, and answers
    // once it looks at its messages again.
    SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block));
    SetForegroundWindow(running);
}
