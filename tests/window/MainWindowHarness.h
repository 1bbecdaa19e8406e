#pragma once
// The main window in the test process, acted on through its controls as a user or an automation tool
// would: BM_CLICK on buttons, labels, pictures and radio buttons, WM_SETTEXT and typed characters in
// edits and combo boxes. Everything runs on this one thread, as in the program: a job started by a
// click on Begin is one long call, and whatever the test does while it runs (press Pause, answer a
// message box or a conflict dialog, take a picture) runs from a ui::Timer inside the job's own
// message pumping.
#include <windows.h>
#include <shlobj.h>

#include "app/MainWindowClass.h"
#include "app/Mainfrm.h"
#include "platform/MessagePump.h"
#include "platform/ProgramPath.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WineProcess.h"
#include "tests/window/TreeFibers.h"
#include "ui/Control.h"
#include "ui/FindByName.h"
#include "ui/Form.h"
#include "ui/Names.h"
#include "res/Pictures.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace mainwindow {

// The pictures live in the program's resources; a test program loads them from Orvandel.exe as data.
inline bool UseProgramPictures()
{
    static HMODULE module = LoadLibraryExA(testsupport::WinePath(ORV_EXE_PATH).c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module)
        res::UsePictureModule(module);
    return module != nullptr;
}

inline std::string Text(HWND window)
{
    if (!window)
        return "<no window>";
    const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

inline void SetText(HWND window, const std::string& text)
{
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Types the text character by character, as the keyboard would deliver it.
inline void Type(HWND window, const std::string& text)
{
    for (const char c : text)
        SendMessageA(window, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

inline void Click(HWND window) { SendMessageA(window, BM_CLICK, 0, 0); }

// A list box as the user sees it: its entries, and a selection made as a click makes it (a list that
// takes several entries keeps the others).
inline int ListCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

inline void SelectListItem(HWND list, int index, bool selected = true)
{
    if (GetWindowLongA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL))
        SendMessageA(list, LB_SETSEL, selected ? TRUE : FALSE, index);
    else
        SendMessageA(list, LB_SETCURSEL, selected ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

inline void ClearListSelection(HWND list) { SelectListItem(list, -1, false); }

// How many files stand below the folder, however deep.
inline int FilesBelow(const std::string& root)
{
    int n = 0;
    const std::string tree = testsupport::Tree(root);
    for (std::size_t at = tree.find('='); at != std::string::npos; at = tree.find('=', at + 1))
        ++n;
    return n;
}

// A dialog of this process that is up and not yet answered (a click that answered it ends its loop
// on the loop's next look).
inline bool Unanswered(HWND dialog)
{
    const auto* form = dynamic_cast<ui::Form*>(ui::Control::FromHandle(dialog));
    return form && form->ModalResult() == ui::kModalNone;
}

inline bool Checked(HWND window) { return SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The window's own visible bit (its parents may be hidden or clipped).
inline bool OwnVisible(HWND window) { return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE); }

inline RECT ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

inline RECT ClientScreenRect(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline bool Overlap(const RECT& a, const RECT& b)
{
    RECT both{};
    return IntersectRect(&both, &a, &b) != 0;
}

inline bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

inline std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// Dispatches this thread's messages until `done` holds. The limit only keeps a broken case from
// hanging the run; nothing here depends on how fast anything is.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 60000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessPendingMessages();
        if (done())
            return true;
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Runs `step` on every tick of a timer of this thread until it returns true. Ticks also arrive inside
// the window's nested loops: a running job, a message box, a conflict dialog.
class Every {
public:
    Every(UINT intervalMs, std::function<bool()> step) : step_(std::move(step))
    {
        timer_.onTimer = [this] {
            if (busy_ || done_)
                return;
            busy_ = true;
            done_ = step_();
            ++ticks_;
            busy_ = false;
            if (done_)
                timer_.Stop();
        };
        timer_.SetInterval(intervalMs);
        timer_.Start();
    }
    Every(const Every&) = delete;
    Every& operator=(const Every&) = delete;

    bool Done() const { return done_; }
    int Ticks() const { return ticks_; }

private:
    ui::Timer timer_{{.name = "testStep", .interval = 20}};
    std::function<bool()> step_;
    bool busy_ = false;
    bool done_ = false;
    int ticks_ = 0;
};

struct ThreadWindows {
    std::vector<HWND> windows;
    static BOOL CALLBACK Collect(HWND window, LPARAM data)
    {
        reinterpret_cast<ThreadWindows*>(data)->windows.push_back(window);
        return TRUE;
    }
    ThreadWindows() { EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this)); }
};

inline std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Answers every message box this thread opens (a window of class "#32770"): records its title and
// text, then presses the chosen button (OK when the box has no such button).
class MessageBoxAnswerer {
public:
    struct Box {
        std::string title;
        std::string text;
    };

    explicit MessageBoxAnswerer(int button = IDOK) : answer(button)
    {
        timer_.onTimer = [this] { Tick(); };
        timer_.Start();
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    int answer;
    std::vector<Box> seen;

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Box& b : seen)
            texts.push_back(b.text);
        return texts;
    }

private:
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM data)
    {
        if (ClassOf(child) == "Static") {
            const std::string text = Text(child);
            if (!text.empty())
                reinterpret_cast<std::vector<std::string>*>(data)->push_back(text);
        }
        return TRUE;
    }

    void Tick()
    {
        for (HWND box : ThreadWindows().windows) {
            if (ClassOf(box) != "#32770" || !IsWindowVisible(box) || answered_.count(box))
                continue;
            answered_.insert(box);
            std::vector<std::string> texts;
            EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&texts));
            std::string text;
            for (const std::string& t : texts)
                text += (text.empty() ? "" : "|") + t;
            seen.push_back({Text(box), text});
            HWND button = GetDlgItem(box, answer);
            if (!button)
                button = GetDlgItem(box, IDOK);
            if (!button)
                button = GetDlgItem(box, IDCANCEL);
            Click(button);
        }
    }

    ui::Timer timer_{{.name = "messageBoxAnswerer", .interval = 25}};
    std::set<HWND> answered_;
};

// The build folder as this program sees it: pictures of the window are saved there.
inline std::string BuildFolder() { return testsupport::WinePath(ORV_BUILD_DIR); }

// Saves the window as the screen shows it, as a 24-bit BMP. Wine's PrintWindow draws neither the
// child windows nor the frame, so the picture is taken from the screen after every pending paint;
// the window must not be covered (the tests that take pictures take turns: cmake/TestCosts.cmake).
inline bool SaveWindowPicture(HWND window, const std::string& path)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine hands what was drawn to the display when the thread waits; wait without taking messages,
    // so this also works from inside a job's own message pumping.
    for (int i = 0; i < 3; ++i)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, 0);
    const RECT r = ScreenRect(window);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, shot);
    const BOOL printed = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory, old);
    bool saved = false;
    if (printed && bits) {
        const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
        const DWORD size = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size),
                              0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
        info.bmiHeader.biSizeImage = size;
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
                    WriteFile(out, bits, size, &written, nullptr) && written == size;
            CloseHandle(out);
        }
    }
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// Counts the occurrences of a text.
inline int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The log's lines (entries split at their line ends; lone line feeds stay inside a line).
inline std::vector<std::string> Lines(const std::string& log)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", start)) {
        lines.push_back(log.substr(start, at - start));
        start = at + 2;
    }
    lines.push_back(log.substr(start));
    return lines;
}

// True when the parts occur in the text in this order.
inline bool InOrder(const std::string& text, const std::vector<std::string>& parts, std::string* missing = nullptr)
{
    size_t at = 0;
    for (const std::string& part : parts) {
        const size_t found = text.find(part, at);
        if (found == std::string::npos) {
            if (missing)
                *missing = part;
            return false;
        }
        at = found + part.size();
    }
    return true;
}

inline std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

// The window plays the clips it finds beside its program, which for a test is the test program: put
// the program's own clips there (through a temporary name, so a test running beside this one never
// sees half a file).
inline void ProvideAnimations()
{
    const std::string from = FolderOf(testsupport::WinePath(ORV_EXE_PATH));
    const std::string to = ProgramFolderPath();
    for (const char* clip : {"a0.avi", "a1.avi", "a2.avi", "a3.avi"}) {
        if (testsupport::Exists(to + clip) || !testsupport::Exists(from + clip))
            continue;
        const std::string part = to + clip + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
        if (CopyFileA((from + clip).c_str(), part.c_str(), FALSE) && !MoveFileExA(part.c_str(), (to + clip).c_str(), 0))
            DeleteFileA(part.c_str());
    }
}

// A tree of many small folders (d0\f.txt, d1\f.txt, ...), so that a scan or a job over it pumps messages
// many times. The root is made when it is not there yet.
inline bool MakeWideTree(const std::string& root, int folders)
{
    CreateDirectoryA(root.c_str(), nullptr);
    for (int i = 0; i < folders; ++i) {
        const std::string folder = root + "\\d" + std::to_string(i);
        if (!CreateDirectoryA(folder.c_str(), nullptr) || !testsupport::WriteFileText(folder + "\\f.txt", "x"))
            return false;
    }
    return true;
}

// A drop as the shell makes it: DROPFILES and the wide paths, handed to the window in-process.
inline void DropOn(HWND window, const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths) {
        std::wstring wide(path.size() + 1, L'\0');  // the plain form, however long, as the shell hands it
        wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(),
                                                            static_cast<int>(wide.size()))));
        list += wide;  // with its zero
    }
    list += L'\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the window releases it
}

// A fresh main window for every test, shown as the program shows it at start, with a message-box
// answerer (OK) standing by.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseProgramPictures()) << "cannot load the pictures from " << ORV_EXE_PATH;
        ProvideAnimations();
        OpenWindow();
        if (HasFatalFailure())
            return;
        boxes = std::make_unique<MessageBoxAnswerer>();
    }

    // A start of the program: the window, shown, with its folder trees open.
    void OpenWindow()
    {
        window = std::make_unique<TVorCopyPasteWin>(programFolder.Path());
        main = window->Handle();
        // The display's clipboard is shared with the tests that run beside this one: what they put
        // there (read as the window joined the clipboard chain) is not this test's business. The
        // clipboard tests turn monitoring on again.
        SendMessageA(Find("cbMonitorClipboard"), BM_SETCHECK, BST_UNCHECKED, 0);
        window->Shell().ForgetClipboard();
        ShowWindow(main, SW_SHOW);
        UpdateWindow(main);
        // As in the program, the folder trees open first, and the rest runs beside their dialogs.
        ASSERT_TRUE(TreeFibers::Get().RunWindowUntil([this] { return TreesOpen(); }))
            << "the folder trees do not open";
        // The dialogs finish filling their trees from their messages, as they would before a user
        // first gets to them.
        PumpUntil([] { return false; }, 300);
    }

    // The end of the program: the browse dialogs end, then the window goes.
    void CloseWindow()
    {
        if (window) {
            EXPECT_TRUE(EndTrees()) << "the browse dialogs do not end";
        }
        window.reset();
        // Like the program, the window ends the message loop when it goes; the next window in this
        // process needs its loops back.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        int exitCode = 0;
        TakePendingQuit(exitCode);  // one that a pump of this test took off the queue
    }

    bool TreesOpen() const
    {
        return window->Trees().TreeOpen(true) && window->Trees().TreeOpen(false);
    }

    // Ends the browse dialogs as closing the program does, and lets their loops return.
    bool EndTrees()
    {
        window->Trees().CloseBrowsers();
        return TreeFibers::Get().RunWindowUntil([this] { return !window->Trees().BrowsersRunning(); });
    }

    void TearDown() override
    {
        boxes.reset();
        CloseWindow();
    }

    // Controls live as long as their window, so each name is searched once per window: a search asks
    // the system for every descendant and its name (hundreds of requests to the Wine server), and a
    // probe that looks every 10 ms from inside a job's loop made the job crawl on a loaded machine.
    HWND Find(const std::string& name) const
    {
        if (foundFor != main) {
            found.clear();
            foundFor = main;
        }
        if (const auto known = found.find(name);
            known != found.end() && IsWindow(known->second) && GetPropA(known->second, ui::kNameProperty) &&
            reinterpret_cast<ULONG_PTR>(GetPropA(known->second, ui::kNameProperty)) == GlobalFindAtomA(name.c_str()))
            return known->second;  // still that control
        HWND control = ui::FindByName(main, name);
        if (!control)
            ADD_FAILURE() << "no control named " << name;
        else
            found[name] = control;
        return control;
    }
    mutable std::map<std::string, HWND> found;
    mutable HWND foundFor = nullptr;

    void ClickOn(const std::string& name) { Click(Find(name)); }

    // The control object behind a control found by name (the window lives in this process), for what
    // only the object tells: its colour, its hint, its own drawing.
    template <class T = ui::Control>
    T* ControlNamed(const std::string& name) const
    {
        T* control = dynamic_cast<T*>(ui::Control::FromHandle(Find(name)));
        if (!control)
            ADD_FAILURE() << name << " is no control of that kind";
        return control;
    }

    // Waits until the section switch that is running (if any) has finished.
    bool WaitSwitch() { return PumpUntil([this] { return !window->SwitchRunning(); }); }

    // Clicks a header and waits for its section to be open.
    void OpenSection(const std::string& header, int index)
    {
        ClickOn(header);
        ASSERT_TRUE(WaitSwitch()) << "the switch to " << header << " does not end";
        ASSERT_EQ(window->ExpandedSection(), index) << header;
    }

    // As a user adds a source: the path in sourceEdit, then Add.
    void AddSource(const std::string& path)
    {
        const int before = ListCount(Find("sourceList"));
        SetText(Find("sourceEdit"), path);
        ClickOn("sourceButtonAdd");
        ASSERT_EQ(ListCount(Find("sourceList")), before + 1) << "not admitted: " << path;
        // As a user sees it: the count runs at once (its reset puts the filters to their defaults);
        // what the test sets afterwards stands.
        ASSERT_TRUE(PumpUntil([this] { return !window->CountRequested() && !window->ScanRunning(); }))
            << "the scan of " << path << " does not end";
    }

    void SetDestination(const std::string& path) { SetText(Find("cbPath"), path); }

    std::string Log() { return Text(Find("Memo1")); }

    // The Running / Paused / Idle look of the window, as the controls show it.
    struct StateSeen {
        bool beginEnabled = false;
        bool pauseVisible = false;
        std::string pauseCaption;
        bool stopSearchEnabled = false;
        bool upperSectionsEnabled = false;   // panels and headers of Operation, Source, Filters
        bool upperSectionsDisabled = false;
        bool lowerSectionsEnabled = false;   // To, Progress, Settings
        bool cancelEnabled = false;
        bool progressBarVisible = false;     // aniProgressBar
        bool searchVisible = false;          // aniSearch
        bool jobAnimationVisible = false;    // aniCopy for Copy and Cut
        bool windowVisible = false;
    };

    StateSeen State()
    {
        StateSeen s;
        s.beginEnabled = IsWindowEnabled(Find("bbBegin"));
        s.pauseVisible = OwnVisible(Find("bbPause"));
        s.pauseCaption = Text(Find("bbPause"));
        s.stopSearchEnabled = IsWindowEnabled(Find("StopSearch"));
        s.upperSectionsEnabled = true;
        s.upperSectionsDisabled = true;
        for (const char* name : {"CopyCutPanel", "CopyCutLabel", "SourcePanel", "SourceLabel", "NameFilterPanel",
                                 "NameFilterLabel"}) {
            const bool enabled = IsWindowEnabled(Find(name));
            // The Filters header also waits for a first source.
            const bool needsSource = std::strcmp(name, "NameFilterLabel") == 0 && window->Sources().Items().empty();
            s.upperSectionsEnabled = s.upperSectionsEnabled && (enabled || needsSource);
            s.upperSectionsDisabled = s.upperSectionsDisabled && !enabled;
        }
        s.lowerSectionsEnabled = IsWindowEnabled(Find("ProgressPanel")) && IsWindowEnabled(Find("SettingsPanel")) &&
                                 IsWindowEnabled(Find("ProgressLabel")) && IsWindowEnabled(Find("ToLabel"));
        s.cancelEnabled = IsWindowEnabled(Find("bbCancel"));
        s.progressBarVisible = OwnVisible(Find("aniProgressBar"));
        s.searchVisible = OwnVisible(Find("aniSearch"));
        s.jobAnimationVisible = OwnVisible(Find("aniCopy"));
        s.windowVisible = IsWindowVisible(main);
        return s;
    }

    void ExpectIdle(const char* when)
    {
        SCOPED_TRACE(when);
        const StateSeen s = State();
        EXPECT_TRUE(s.beginEnabled);
        EXPECT_FALSE(s.pauseVisible);
        EXPECT_FALSE(s.stopSearchEnabled);
        EXPECT_TRUE(s.upperSectionsEnabled);
        EXPECT_TRUE(s.cancelEnabled);
        EXPECT_TRUE(s.searchVisible);
        EXPECT_FALSE(s.progressBarVisible);
        EXPECT_FALSE(s.jobAnimationVisible);
    }

    // Where the window keeps its saved lists: a fresh folder for every test, never the test program's.
    testsupport::TempFolder programFolder;
    std::unique_ptr<TVorCopyPasteWin> window;
    HWND main = nullptr;
    std::unique_ptr<MessageBoxAnswerer> boxes;
};

} // namespace mainwindow
