#include "app/SingleInstance.h"

#include "app/MainWindowClass.h"
#include "core/HandOff.h"
#include "platform/CodePageText.h"

#include <windows.h>
#include <shellapi.h>

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

bool HandOverToRunningInstance(const std::string& firstArgument)
{
    HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (!running)
        return false;
    const std::string text = HandOffText(firstArgument);
    COPYDATASTRUCT block{};
    block.dwData = kHandOffTag;
    block.cbData = static_cast<DWORD>(text.size());
    block.lpData = const_cast<char*>(text.data());
    // Synchronous and without a time limit: the running window may be deep in a job, and answers
    // once it looks at its messages again.
    SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block));
    SetForegroundWindow(running);
    return true;
}
