// orv_drive: drives the built program from outside, as a user or an automation tool would. It finds
// controls by their "Name" property, types, clicks and waits, and reads only what the window shows.
//
//   orv_drive STEP [STEP ...]       each STEP is one argument, its parts separated by '|':
//     start|ARGS          start Orvandel.exe (path in ORV_EXE or beside this program) and wait for it
//     attach              use the window of class "TVorCopyPasteWin" that is already running
//     set|NAME|TEXT       put TEXT into the named edit or combo box
//     type|NAME|TEXT      type TEXT into it, one character message at a time
//     click|NAME          press a button, label, picture or radio button and wait for its handler
//     post|NAME           press it without waiting (Begin runs a whole job inside its handler)
//     wait|NAME|enabled   wait until the control is enabled (also: disabled, visible, hidden); up to
//                         10 minutes
//     job|NAME            press it without waiting and time the job it starts: done once the control,
//                         seen disabled (or the window seen shown, then hidden, for a job too short
//                         to be seen), is enabled again. Prints "ms=<job> gap=<longest wait>": the
//                         window is sent a no-op message every 10 ms from another thread, and the
//                         longest one waited for its answer (until the job's end) is the longest
//                         the job left the window's messages unattended
//     watch|NAME|LABEL... the same as job|NAME, and the named labels' texts read every 100 ms while
//                         the job runs: prints "at=<ms> <text>[ || <text>...]" for every reading, then
//                         the job's line
//     answer|FORM|NAME    wait for the visible dialog named FORM and press its button NAME
//     tick|FORM|NAME      tick the check box NAME of that dialog first (e.g. cbSameSelection)
//     box|BUTTON          wait for a message box (or the shell's question) of the program, print its
//                         text and press the button captioned BUTTON ("Yes", "No", "OK"...)
//     show|NAME           print the control's text
//     scan|PATH           add PATH as a source and wait for its pre-scan to end (Stop searching
//                         enabled, then disabled); prints "scan_ms=T count_ms=C": T from the
//                         press of Add (the request timer's 10 ms included), C while Stop searching
//                         was enabled (the count itself)
//     scangap|PATH        the same, with the window sent a no-op message every 10 ms from another
//                         thread; also prints "gap=G": the longest one waited for its answer while
//                         Stop searching was enabled
//     sleep|MS            wait
//     list|NAME           print the items of the named list box, one a line
//     tray|right          the mouse on the notification-area icon as the shell reports it: "left"
//                         (press), "double", "right" (press and release, which opens its menu)
//     menu|N              wait for the program's open menu and choose its entry N (1 = first)
//     clip|PATH|PATH...   put these paths on the clipboard as a file list (CF_HDROP), as a file
//                         manager's Copy does; no window needed
//     cliplist|FILE       the same with the paths listed in FILE, one a line (for long lists)
//     close               ask the window to close and wait for the program to end
//     kill                end the program at once, as the task manager's End task does
//     until|NAME|TEXT     wait until the control's text contains TEXT; up to 10 minutes
//     key|NAME|VK         press and release the key (decimal virtual-key code) in the control (in a
//                         combo box: in its edit field), as the keyboard delivers it
//     pick|NAME|ITEM      choose the entry ITEM in the named drop-down list, as the mouse would
//     mark|NAME|ITEM|0/1  set the check mark of the entry ITEM in the named check list: select it
//                         and press Space when the mark differs
//     items|NAME          print the entries of a list or combo box, one a line (a check list's with
//                         a tab and its check mark, 0 or 1)
//     conflict|FOLDER|FILE  wait for the next conflict dialog of the running job and answer it: the
//                         folder dialog with its button FOLDER, the file dialog with FILE (a name
//                         ending in '+': tick "Use same selection" first); or for the job's end
//                         (Begin enabled). Prints "folder", "file" or "done"
//     hold|PATH|MS        (no window) open PATH without sharing, print "held", keep it MS ms
// Exit code 0 when every step did what it says, else 1 with the failing step named.
#include "ui/FindByName.h"
#include "ui/Names.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr const char* kMainClass = "TVorCopyPasteWin";
constexpr DWORD kLongWait = 10 * 60 * 1000;

HWND mainWindow = nullptr;
DWORD processId = 0;
HANDLE process = nullptr;

std::vector<std::string> Split(const std::string& step)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = step.find('|', start);
        parts.push_back(step.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

std::string Text(HWND window)
{
    const auto length = static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

// Sleeps up to the time given while answering what is sent to this thread: the program's window
// activation sends to the threads of every top-level window and waits (seconds) for those that
// do not answer.
void PumpFor(DWORD milliseconds)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// Waits until the predicate holds; false when the time ran out.
template <typename Predicate>
bool WaitFor(DWORD milliseconds, Predicate holds)
{
    const DWORD start = GetTickCount();
    while (!holds()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        PumpFor(20);
    }
    return true;
}

// The named control answers only once the window has built it.
HWND Control(const std::string& name)
{
    HWND found = nullptr;
    WaitFor(10000, [&] { return (found = ui::FindByName(mainWindow, name)) != nullptr; });
    return found;
}

struct DialogSearch {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DialogSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window) &&
        _stricmp(ui::WindowName(window).c_str(), search->name.c_str()) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleDialog(const std::string& form, DWORD milliseconds)
{
    DialogSearch search{form};
    WaitFor(milliseconds, [&] {
        search.found = nullptr;
        EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// A visible standard dialog (message box, the shell's questions) of the program.
BOOL CALLBACK VisitBox(HWND window, LPARAM data)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == processId && IsWindowVisible(window) && std::string(className) == "#32770") {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

std::string WithoutAccelerator(std::string text)
{
    std::string plain;
    for (const char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

BOOL CALLBACK AddChildText(HWND child, LPARAM data)
{
    *reinterpret_cast<std::string*>(data) += Text(child) + "\n";
    return TRUE;
}

// What a dialog shows: the texts of its controls.
std::string Shown(HWND dialog)
{
    std::string texts;
    EnumChildWindows(dialog, AddChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Presses a dialog's button and waits until the dialog has taken the answer: gone, hidden, or showing
// the next question. Under a window manager a dialog shows before the program waits in its modal
// loop, and a click that comes in between is lost while the dialog stays asking the same; pressed
// again then.
bool ClickAnswer(HWND dialog, HWND button)
{
    const std::string asked = Shown(dialog);
    const auto answered = [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog) || Shown(dialog) != asked; };
    const DWORD start = GetTickCount();
    do {
        PostMessageA(button, BM_CLICK, 0, 0);
        if (WaitFor(5000, answered))
            return true;
    } while (GetTickCount() - start < kLongWait);
    return false;
}

bool AnswerBox(const std::string& buttonText)
{
    HWND box = nullptr;
    if (!WaitFor(kLongWait, [&] {
            box = nullptr;
            EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&box));
            return box != nullptr;
        }))
        return false;
    HWND button = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string text = WithoutAccelerator(Text(child));
        if (std::string(className) == "Static" && !text.empty())
            std::printf("box: %s\n", text.c_str());
        if (std::string(className) == "Button" && text == buttonText)
            button = child;
    }
    std::fflush(stdout);
    if (!button)
        return false;
    return ClickAnswer(box, button);
}

std::string ProgramPath()
{
    if (const char* set = std::getenv("ORV_EXE"))
        return set;
    char own[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    std::string path(own, length);
    return path.substr(0, path.find_last_of('\\') + 1) + "..\\bin\\Orvandel.exe";
}

// The two folder trees the window embeds once its browse dialogs are up.
BOOL CALLBACK CountTree(HWND child, LPARAM count)
{
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (std::strcmp(name, "SysTreeView32") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int TreesIn(HWND window)
{
    int trees = 0;
    EnumChildWindows(window, CountTree, reinterpret_cast<LPARAM>(&trees));
    return trees;
}

bool Start(const std::string& arguments)
{
    std::string commandLine = "\"" + ProgramPath() + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    processId = info.dwProcessId;
    if (!WaitFor(20000, [] {
        for (HWND w = FindWindowExA(nullptr, nullptr, kMainClass, nullptr); w;
             w = FindWindowExA(nullptr, w, kMainClass, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId) {
                mainWindow = w;
                return ui::FindByName(w, "bbBegin") != nullptr;
            }
        }
        return false;
    }))
        return false;
    // The start is over once the trees are in place: the browse dialogs that bring them take the
    // activation as they open, which would close a menu or a box opened before.
    WaitFor(10000, [] { return TreesIn(mainWindow) >= 2; });
    return true;
}

bool Attach()
{
    mainWindow = FindWindowA(kMainClass, nullptr);
    if (!mainWindow)
        return false;
    GetWindowThreadProcessId(mainWindow, &processId);
    process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    return true;
}

// The program's icon reports the mouse to the window with this message (app/TrayIcon.h).
constexpr UINT kTrayCallback = WM_APP + 17;

bool Tray(const std::string& what)
{
    std::vector<UINT> events;
    if (what == "left")
        events = {WM_LBUTTONDOWN, WM_LBUTTONUP};
    else if (what == "double")
        events = {WM_LBUTTONDBLCLK};
    else if (what == "right")
        events = {WM_RBUTTONDOWN, WM_RBUTTONUP};
    else
        return false;
    for (const UINT event : events)
        if (!PostMessageA(mainWindow, kTrayCallback, 1, static_cast<LPARAM>(event)))
            return false;
    return true;
}

BOOL CALLBACK VisitMenu(HWND window, LPARAM data)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == processId && IsWindowVisible(window) && std::string(className) == "#32768") {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

// The menu follows the keyboard: down to the entry, then Enter.
bool ChooseMenuEntry(int entry)
{
    HWND menu = nullptr;
    if (entry < 1 || !WaitFor(10000, [&] {
            menu = nullptr;
            EnumWindows(VisitMenu, reinterpret_cast<LPARAM>(&menu));
            return menu != nullptr;
        }))
        return false;
    for (int i = 0; i < entry; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitFor(10000, [menu] { return !IsWindow(menu) || !IsWindowVisible(menu); });
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Sends the window a no-op message every 10 ms on a thread of its own and keeps when each was sent
// and answered: the window answers one only when it looks at its messages.
class ResponseProbe {
public:
    explicit ResponseProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~ResponseProbe()
    {
        stop_ = true;
        thread_.join();
    }

    // The longest a message sent before `end` waited for its answer, counted up to `end`.
    double LongestWaitUntil(const LARGE_INTEGER& end) { return LongestWaitBetween({}, end); }
    // The same, counting only the waiting from `from` on.
    // `at`, when given, is set to when the longest wait began.
    double LongestWaitBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& end, LARGE_INTEGER* at = nullptr)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        double longest = 0;
        const auto wait = [&](const LARGE_INTEGER& asked, const LARGE_INTEGER& answered) {
            const LARGE_INTEGER a = asked.QuadPart < from.QuadPart ? from : asked;
            const LARGE_INTEGER b = answered.QuadPart < end.QuadPart ? answered : end;
            if (a.QuadPart < b.QuadPart && Milliseconds(a, b) > longest) {
                longest = Milliseconds(a, b);
                if (at)
                    *at = a;
            }
        };
        for (const auto& [asked, answered] : probes_)
            wait(asked, answered);
        if (pending_)
            wait(asked_, end);
        return longest;
    }

private:
    void Run()
    {
        while (!stop_) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                asked_ = Now();
                pending_ = true;
            }
            DWORD_PTR ignored = 0;
            const bool answered = SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kLongWait, &ignored);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                pending_ = false;
                if (answered)
                    probes_.push_back({asked_, Now()});
            }
            Sleep(10);
        }
    }

    HWND window_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::pair<LARGE_INTEGER, LARGE_INTEGER>> probes_;
    LARGE_INTEGER asked_{};
    bool pending_ = false;
    std::thread thread_;
};

// Times a pre-scan from the press of Add to the end of the count. The button's state is read from
// the window manager, never by a message to the program, so the watching costs the scan nothing;
// with `watchGap` the window is also sent a no-op message every 10 ms, and the longest wait for an
// answer during the count is printed too (which costs the scan a little).
bool Scan(const std::string& path, bool watchGap)
{
    HWND edit = Control("sourceEdit");
    HWND add = Control("sourceButtonAdd");
    HWND stop = Control("StopSearch");
    if (!edit || !add || !stop)
        return false;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::optional<ResponseProbe> probe;
    if (watchGap)
        probe.emplace(mainWindow);
    QueryPerformanceCounter(&start);
    if (!PostMessageA(add, BM_CLICK, 0, 0))
        return false;
    const auto watch = [stop](bool enabled) {
        const DWORD begun = GetTickCount();
        while ((IsWindowEnabled(stop) != 0) != enabled) {
            if (GetTickCount() - begun > kLongWait)
                return false;
            Sleep(1);
        }
        return true;
    };
    LARGE_INTEGER counting;
    if (!watch(true))
        return false;
    QueryPerformanceCounter(&counting);
    if (!watch(false))
        return false;
    QueryPerformanceCounter(&end);
    const auto ms = [&frequency](LARGE_INTEGER a, LARGE_INTEGER b) {
        return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    if (probe)
        std::printf("scan_ms=%.1f count_ms=%.1f gap=%.0f\n", ms(start, end), ms(counting, end),
                    probe->LongestWaitBetween(counting, end));
    else
        std::printf("scan_ms=%.1f count_ms=%.1f\n", ms(start, end), ms(counting, end));
    std::fflush(stdout);
    return true;
}

bool TimeJob(HWND button, const std::vector<HWND>& watched = {})
{
    ResponseProbe probe(mainWindow);
    const LARGE_INTEGER start = Now();
    if (!PostMessageA(button, BM_CLICK, 0, 0))
        return false;
    bool begun = false, shown = false;
    std::vector<std::pair<double, std::string>> readings;
    double nextReading = 0;
    for (;;) {
        if (!watched.empty() && Milliseconds(start, Now()) >= nextReading) {
            nextReading += 100;
            std::string texts;
            for (HWND label : watched)
                texts += (texts.empty() ? "" : " || ") + Text(label);
            readings.emplace_back(Milliseconds(start, Now()), texts);
        }
        const bool enabled = IsWindowEnabled(button) != 0;
        const bool visible = IsWindowVisible(mainWindow) != 0;
        begun = begun || !enabled || (shown && !visible);
        shown = shown || visible;
        if (begun && enabled)
            break;
        if (Milliseconds(start, Now()) > kLongWait)
            return false;
        Sleep(5);
    }
    const LARGE_INTEGER end = Now();
    LARGE_INTEGER gapAt = start;
    const double gap = probe.LongestWaitBetween({}, end, &gapAt);
    for (const auto& [at, text] : readings)
        std::printf("at=%.0f %s\n", at, text.c_str());
    // gap_at: how long after the press the longest wait began, to tell the job's start from its end.
    std::printf("ms=%.0f gap=%.0f gap_at=%.0f\n", Milliseconds(start, end), gap, Milliseconds(start, gapAt));
    std::fflush(stdout);
    return true;
}

// A file list as the shell's Copy puts it on the clipboard: DROPFILES followed by wide paths, each
// ended by a zero, and a second zero at the end.
bool PutFilesOnClipboard(const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths) {
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        if (n <= 0)
            return false;
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
        list += wide;  // with its zero
    }
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory)
        return false;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            const bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
            CloseClipboard();
            if (!set)
                GlobalFree(memory);
            return set;
        }
        Sleep(20);  // another program has it open
    }
    GlobalFree(memory);
    return false;
}

// A combo box takes keys in its edit field; other controls take them themselves.
HWND KeyTarget(HWND control)
{
    HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
    return edit ? edit : control;
}

bool IsListBox(HWND control)
{
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    return _stricmp(className, "ListBox") == 0;
}

// The entries of a list box or combo box, read through the standard messages. The wide forms:
// across processes Wine hands the narrow ones back in UTF-16.
std::vector<std::string> Items(HWND control)
{
    const bool list = IsListBox(control);
    const auto count = SendMessageW(control, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    std::vector<std::string> items;
    for (WPARAM i = 0; i < static_cast<WPARAM>(std::max<LRESULT>(count, 0)); ++i) {
        const auto length = SendMessageW(control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const auto got = SendMessageW(control, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
        items.push_back(utf8);
    }
    return items;
}

int IndexOf(HWND control, const std::string& item)
{
    const std::vector<std::string> items = Items(control);
    const auto at = std::find(items.begin(), items.end(), item);
    return at == items.end() ? -1 : static_cast<int>(at - items.begin());
}

// A drop-down list tells its parent of a choice; the driver does what the list itself does.
bool Pick(HWND combo, const std::string& item)
{
    const int index = IndexOf(combo, item);
    if (index < 0 || SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index)
        return false;
    const auto id = static_cast<WORD>(GetDlgCtrlID(combo));
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

// A check list keeps each entry's mark in its item data (1 checked).
bool Mark(HWND list, const std::string& item, bool checked)
{
    const int index = IndexOf(list, item);
    if (index < 0)
        return false;
    const auto marked = [&] { return SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == 1; };
    if (marked() != checked) {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(list, WM_CHAR, ' ', 1);
    }
    return marked() == checked;
}

// Waits for the next conflict dialog of a running job and answers it, or for the job's end.
// Prints "folder", "file" or "done". One dialog per call: a driver that stays on while the program
// shows its next dialog costs the program seconds under Xvfb without a window manager.
bool Conflict(const std::string& folderAnswer, const std::string& fileAnswer)
{
    HWND begin = Control("bbBegin");
    if (!begin)
        return false;
    const char* answered = nullptr;
    if (!WaitFor(kLongWait, [&] {
            if (IsWindowEnabled(begin))
                return (answered = "done") != nullptr;
            for (const bool folder : {true, false}) {
                HWND dialog = VisibleDialog(folder ? "TFolderExistsForm" : "TFileExistsForm", 0);
                if (!dialog)
                    continue;
                std::string answer = folder ? folderAnswer : fileAnswer;
                const bool same = !answer.empty() && answer.back() == '+';
                if (same)
                    answer.pop_back();
                HWND button = ui::FindByName(dialog, answer);
                HWND box = ui::FindByName(dialog, "cbSameSelection");
                if (!button || !box)
                    return false;
                if (same && SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED)
                    SendMessageA(box, BM_CLICK, 0, 0);
                if (!ClickAnswer(dialog, button))
                    return false;
                return (answered = folder ? "folder" : "file") != nullptr;
            }
            return false;
        }))
        return false;
    std::printf("%s\n", answered);
    std::fflush(stdout);
    return true;
}

bool Hold(const std::string& path, DWORD milliseconds)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(milliseconds);
    CloseHandle(file);
    return true;
}

bool Run(const std::vector<std::string>& p)
{
    const std::string& verb = p[0];
    auto arg = [&p](std::size_t i) { return i < p.size() ? p[i] : std::string(); };
    if (verb == "start")
        return Start(arg(1));
    if (verb == "attach")
        return Attach();
    if (verb == "sleep") {
        Sleep(static_cast<DWORD>(std::atoi(arg(1).c_str())));
        return true;
    }
    if (verb == "scan")
        return Scan(arg(1), false);
    if (verb == "scangap")
        return Scan(arg(1), true);
    if (verb == "tray")
        return Tray(arg(1));
    if (verb == "menu")
        return ChooseMenuEntry(std::atoi(arg(1).c_str()));
    if (verb == "clip")
        return PutFilesOnClipboard(std::vector<std::string>(p.begin() + 1, p.end()));
    if (verb == "cliplist") {
        std::vector<std::string> paths;
        std::FILE* file = std::fopen(arg(1).c_str(), "rb");
        if (!file)
            return false;
        std::string line;
        for (int c = std::fgetc(file);; c = std::fgetc(file)) {
            if (c == EOF || c == '\n') {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (!line.empty())
                    paths.push_back(line);
                line.clear();
                if (c == EOF)
                    break;
            } else {
                line += static_cast<char>(c);
            }
        }
        std::fclose(file);
        return PutFilesOnClipboard(paths);
    }
    if (verb == "close") {
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        return !process || WaitForSingleObject(process, 60000) == WAIT_OBJECT_0;
    }
    if (verb == "box")
        return AnswerBox(arg(1));
    if (verb == "hold")
        return Hold(arg(1), static_cast<DWORD>(std::atoi(arg(2).c_str())));
    if (verb == "kill")
        return process && TerminateProcess(process, 1) && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0;
    if (verb == "conflict")
        return Conflict(arg(1), arg(2));
    if (verb == "answer" || verb == "tick") {
        HWND dialog = VisibleDialog(arg(1), kLongWait);
        HWND button = dialog ? ui::FindByName(dialog, arg(2)) : nullptr;
        if (!button)
            return false;
        if (verb == "tick") {
            // A click, as the mouse would: the dialog reads its own check state.
            if (SendMessageA(button, BM_GETCHECK, 0, 0) != BST_CHECKED)
                SendMessageA(button, BM_CLICK, 0, 0);
            return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
        // The dialog is gone once its modal loop has taken the answer.
        return ClickAnswer(dialog, button);
    }

    HWND control = Control(arg(1));
    if (!control)
        return false;
    if (verb == "set") {
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2).c_str()));
        return true;
    }
    if (verb == "type") {
        for (const char c : arg(2))
            SendMessageA(control, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
        return true;
    }
    if (verb == "click") {
        SendMessageA(control, BM_CLICK, 0, 0);
        return true;
    }
    if (verb == "post")
        return PostMessageA(control, BM_CLICK, 0, 0) != 0;
    if (verb == "key") {
        const auto vk = static_cast<WPARAM>(std::atoi(arg(2).c_str()));
        HWND target = KeyTarget(control);
        SendMessageA(target, WM_KEYDOWN, vk, 1);
        SendMessageA(target, WM_KEYUP, vk, 1 | (3u << 30));
        return true;
    }
    if (verb == "pick")
        return Pick(control, arg(2));
    if (verb == "mark")
        return Mark(control, arg(2), arg(3) == "1");
    if (verb == "items") {
        const bool list = IsListBox(control);
        const std::vector<std::string> items = Items(control);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (list)
                std::printf("%s\t%d\n", items[i].c_str(),
                            SendMessageA(control, LB_GETITEMDATA, i, 0) == 1 ? 1 : 0);
            else
                std::printf("%s\n", items[i].c_str());
        }
        std::fflush(stdout);
        return true;
    }
    if (verb == "until") {
        const std::string wanted = arg(2);
        return WaitFor(kLongWait, [&] { return Text(control).find(wanted) != std::string::npos; });
    }
    if (verb == "job")
        return TimeJob(control);
    if (verb == "watch") {
        std::vector<HWND> labels;
        for (std::size_t i = 2; i < p.size(); ++i) {
            labels.push_back(Control(p[i]));
            if (!labels.back())
                return false;
        }
        return !labels.empty() && TimeJob(control, labels);
    }
    if (verb == "list") {
        const auto count = SendMessageA(control, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // The wide message: across processes Wine 8 answers the 8-bit one with wide characters.
            const auto length = SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
            wide.resize(wide.find(L'\0'));
            std::string item(wide.size() * 4 + 1, '\0');
            item.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                                     item.data(), static_cast<int>(item.size()), nullptr, nullptr)));
            std::printf("%s\n", item.c_str());
        }
        std::fflush(stdout);
        return count >= 0;
    }
    if (verb == "show") {
        std::printf("%s\n", Text(control).c_str());
        std::fflush(stdout);
        return true;
    }
    if (verb == "wait") {
        const std::string what = arg(2);
        return WaitFor(kLongWait, [&] {
            if (what == "enabled")
                return IsWindowEnabled(control) != 0;
            if (what == "disabled")
                return IsWindowEnabled(control) == 0;
            if (what == "visible")
                return IsWindowVisible(control) != 0;
            return IsWindowVisible(control) == 0;
        });
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::string> parts = Split(argv[i]);
        const bool needsWindow = parts[0] != "start" && parts[0] != "attach" && parts[0] != "sleep" &&
                                 parts[0] != "clip" && parts[0] != "cliplist" && parts[0] != "hold";
        if ((needsWindow && !mainWindow) || !Run(parts)) {
            std::fprintf(stderr, "orv_drive: step failed: %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
