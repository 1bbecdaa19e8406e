// run.exe: the logon entry's launcher. The program asks for administrator rights in its manifest,
// and the system does not start such a program from the logon entry; this small program runs without
// them (its manifest says asInvoker), starts the program beside it through the shell, which asks for
// elevation as the system decides, and ends.
#include "core/LaunchPlan.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring OwnPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: a longer buffer
    }
}

// From the wide command line: the 8-bit one WinMain gets would bend what the code page cannot hold.
std::wstring FirstArgument()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::wstring first = count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return first;
}

} // namespace

// The exit code is 0 once the program was started, else the system's error (the user declining the
// elevation gives ERROR_CANCELLED); the shell itself shows any other failure to the user.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const LaunchPlan plan = PlanLaunch(OwnPath(), FirstArgument());
    if (plan.program.empty())
        return ERROR_BAD_PATHNAME;
    // Through the shell with its usual verb: the program's manifest decides about elevation (a
    // CreateProcess of it would fail with ERROR_ELEVATION_REQUIRED). NOASYNC: this process ends right
    // after the call, before which the shell must have done its part.
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOASYNC;
    run.lpVerb = L"open";
    run.lpFile = plan.program.c_str();
    run.lpParameters = plan.parameters.empty() ? nullptr : plan.parameters.c_str();
    run.lpDirectory = plan.folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&run))
        return static_cast<int>(GetLastError());
    return 0;
}
