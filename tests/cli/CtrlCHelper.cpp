// Starts the console program the way a person at its console would interrupt it: in a process group
// of its own on this helper's console, and, once a condition shows that the job is in the middle of
// its work (a partial copy stands in a folder), sends it Ctrl+C or Ctrl+Break. Prints nothing; ends
// with the program's exit code, or 200 + a step number when a step of its own failed.
//   orv_ctrlc <c|break> <folder to watch> <program> [arguments...]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Whether a partial copy (its name ends in ".orvpart") stands anywhere below the folder.
bool PartialBelow(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found = PartialBelow(folder + L"\\" + name);
        else
            found = name.size() > 8 && name.compare(name.size() - 8, 8, L".orvpart") == 0;
    } while (!found && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

std::wstring Quoted(const std::wstring& arg)
{
    std::wstring quoted = L"\"";
    for (const wchar_t c : arg) {
        if (c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 201;
    const bool breakEvent = std::wcscmp(argv[1], L"break") == 0;
    const std::wstring watched = argv[2];
    std::wstring command;
    for (int i = 3; i < argc; ++i)
        command += (i > 3 ? L" " : L"") + Quoted(argv[i]);

    // The events go to processes on the helper's console. Under Wine (8.0) that is a console that can
    // take them only where standard input is a terminal: without one, GenerateConsoleCtrlEvent fails
    // with ERROR_INVALID_HANDLE (and AllocConsole with ERROR_ACCESS_DENIED, as one is attached). The
    // test gives the helper a pseudo-terminal, as a person at a terminal has; Windows needs nothing.
    // The helper itself lets the events pass: it must live to read the program's exit code.
    SetConsoleCtrlHandler(nullptr, TRUE);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP, nullptr,
                        nullptr, &startup, &process))
        return 202;
    CloseHandle(process.hThread);

    // The condition: a partial copy stands, so the job is in the middle of a file. Waiting on the
    // process as well means a program that ends first is never waited for in vain.
    for (;;) {
        if (PartialBelow(watched))
            break;
        if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) {
            CloseHandle(process.hProcess);
            return 203;  // ended before the condition: the test learns it never interrupted anything
        }
    }
    // A process group made with CREATE_NEW_PROCESS_GROUP starts with Ctrl+C ignored on Windows; the
    // program turns it back on for itself, so both events reach it.
    if (!GenerateConsoleCtrlEvent(breakEvent ? CTRL_BREAK_EVENT : CTRL_C_EVENT, process.dwProcessId)) {
        fwprintf(stderr, L"orv_ctrlc: GenerateConsoleCtrlEvent failed with %lu\n", GetLastError());
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        return 204;
    }
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        return 205;
    }
    DWORD code = 206;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
