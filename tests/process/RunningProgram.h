#pragma once
// The built program as a user starts it: its main window, found by class and process, and read or
// pressed from outside through the names of its controls.
#include <windows.h>

#include "app/MainWindowClass.h"
#include "app/TrayIcon.h"
#include "tests/support/WineProcess.h"
#include "ui/FindByName.h"

#include <algorithm>
#include <string>
#include <vector>

namespace process {

inline std::string ProgramPath() { return testsupport::WinePath(ORV_EXE_PATH); }

template <typename Predicate>
bool WaitUntil(DWORD milliseconds, Predicate holds)
{
    const DWORD start = GetTickCount();
    while (!holds()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}

inline std::string Text(HWND window)
{
    const auto length = static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

// A top-level window of the class owned by the process, shown or not.
inline HWND WindowOf(const char* className, DWORD processId)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExA(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId)
            return w;
    }
    return nullptr;
}

inline BOOL CALLBACK CountTree(HWND child, LPARAM count)
{
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpA(name, "SysTreeView32") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

inline int TreesIn(HWND window)
{
    int trees = 0;
    EnumChildWindows(window, CountTree, reinterpret_cast<LPARAM>(&trees));
    return trees;
}

class RunningProgram {
public:
    // Starts the program and waits until its window has built its controls (shown or not).
    bool Start(const std::string& arguments = {}, const std::string& exe = ProgramPath(),
               const std::string& directory = {})
    {
        if (!process_.Start(exe, arguments, directory))
            return false;
        if (!WaitUntil(20000, [this] {
                window_ = WindowOf(kMainWindowClass, process_.Id());
                return window_ && ui::FindByName(window_, "bbBegin");
            }))
            return false;
        // The controls exist before the window has finished its start (handlers, settings). The
        // section headers are filled by its creation step; the settings are read after them.
        if (!WaitUntil(20000, [this] {
                HWND settingsHeader = ui::FindByName(window_, "SettingsLabel");
                return settingsHeader && Text(settingsHeader) == "Settings\n";
            }))
            return false;
        // Then the two folder trees: the browse dialogs that bring them take the activation as they
        // open, which would close a menu opened before.
        WaitUntil(10000, [this] { return TreesIn(window_) >= 2; });
        return true;
    }

    HWND Window() const { return window_; }
    DWORD Id() const { return process_.Id(); }
    HWND Control(const std::string& name) const { return ui::FindByName(window_, name); }
    bool Visible() const { return IsWindowVisible(window_) != 0; }
    bool Checked(const std::string& name) const
    {
        return SendMessageA(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void Click(const std::string& name) const { SendMessageA(Control(name), BM_CLICK, 0, 0); }

    std::vector<std::string> ListItems(const std::string& name) const
    {
        HWND list = Control(name);
        std::vector<std::string> items;
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // The wide message: across processes Wine 8 answers the 8-bit one with wide characters.
            const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            if (length == LB_ERR)
                return ListItems(name);  // the program changed the list meanwhile: read it again
            std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
            if (SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data())) == LB_ERR)
                return ListItems(name);
            wide.resize(std::min(wide.find(L'\0'), wide.size()));
            std::string item(wide.size() * 4 + 1, '\0');
            item.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                                     item.data(), static_cast<int>(item.size()), nullptr, nullptr)));
            items.push_back(item);
        }
        return items;
    }

    // The mouse on the icon in the notification area, as the shell reports it to the window.
    void TrayMouse(UINT mouseMessage) const
    {
        PostMessageA(window_, TrayIcon::kCallbackMessage, 1, static_cast<LPARAM>(mouseMessage));
    }

    // Exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD WaitExit(DWORD milliseconds) { return process_.WaitExit(milliseconds); }
    DWORD Close()
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return process_.WaitExit(20000);
    }

private:
    testsupport::ChildProcess process_;
    HWND window_ = nullptr;
};

// A second start with the arguments; its exit code (STILL_ACTIVE when it did not end in time).
inline DWORD SecondStart(const std::string& arguments, const std::string& directory = {})
{
    testsupport::ChildProcess second;
    if (!second.Start(ProgramPath(), arguments, directory))
        return 0xFFFFFFFF;
    return second.WaitExit(20000);
}

} // namespace process
