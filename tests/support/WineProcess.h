#pragma once
#include <windows.h>

#include <string>

// Helpers for tests that drive the built program from outside its process.
namespace testsupport {

// A Linux path as Wine's Z: drive sees it.
inline std::string WinePath(const std::string& unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(info_.hProcess, 99);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }

    // `directory`: the new process's current folder (this process's own when empty).
    bool Start(const std::string& exe, const std::string& arguments = {}, const std::string& directory = {})
    {
        std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              directory.empty() ? nullptr : directory.c_str(), &startup, &info_) != 0;
    }

    // Exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD WaitExit(DWORD milliseconds)
    {
        if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

    // Ends the process at once, as a crash or the task manager would, and waits until it is gone.
    void Kill()
    {
        if (info_.hProcess && TerminateProcess(info_.hProcess, 99))
            WaitForSingleObject(info_.hProcess, 10000);
    }

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }  // signalled once the process has ended

private:
    PROCESS_INFORMATION info_{};
};

// Polls for a top-level window of the class that belongs to the process.
inline HWND WaitForWindow(const char* className, DWORD processId, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w;
             w = FindWindowExA(nullptr, w, className, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId && IsWindowVisible(w))
                return w;
        }
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

} // namespace testsupport
