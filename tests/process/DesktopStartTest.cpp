// Starts as a Windows desktop makes them: from other folders with relative paths, several at the same
// moment, at logon through the launcher, and with files on the clipboard.
#include "tests/process/RunningProgram.h"
#include "tests/support/TempFolder.h"

#include "app/MainWindowClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

using namespace process;
using testsupport::TempFolder;

namespace {

LRESULT SendBlock(HWND window, const std::string& text)
{
    COPYDATASTRUCT block{};
    block.dwData = 12;
    block.cbData = static_cast<DWORD>(text.size());
    block.lpData = const_cast<char*>(text.data());
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, 10000, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

int MainWindows()
{
    int windows = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, kMainWindowClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr))
        ++windows;
    return windows;
}

// Puts the paths on the clipboard as a file list, as a file manager's Copy does (through the driver,
// another program, as the file manager is).
bool PutOnClipboard(const std::vector<std::string>& paths)
{
    std::string step = "\"clip";
    for (const std::string& path : paths)
        step += "|" + path;
    step += "\"";
    testsupport::ChildProcess driver;
    return driver.Start(testsupport::WinePath(ORV_DRIVE_PATH), step) && driver.WaitExit(20000) == 0;
}

std::set<std::string> AsSet(const std::vector<std::string>& items) { return {items.begin(), items.end()}; }

} // namespace

TEST(DesktopStart, ARelativePathIsResolvedByTheStartThatWasGivenIt)
{
    TempFolder here;
    ASSERT_TRUE(testsupport::MakeTree(here.Path(), {"one\\", "two\\", "two\\file.txt=x"}));
    RunningProgram first;
    ASSERT_TRUE(first.Start("startup"));

    // "." and a plain name, each meaning the second start's own current folder.
    EXPECT_EQ(SecondStart(".", here / "one"), 0u);
    EXPECT_EQ(SecondStart("file.txt", here / "two"), 0u);
    EXPECT_EQ(first.ListItems("sourceList"), (std::vector<std::string>{here / "one", here / "two\\file.txt"}));
    EXPECT_FALSE(IsWindowVisible(first.Control("pExists")));

    // A relative path that reaches the window some other way is never read against the window's own
    // current folder: refused as a path that names nothing.
    for (const std::string& text : {std::string("."), std::string("two"), std::string("\\tmp"), std::string("C:two")}) {
        EXPECT_EQ(SendBlock(first.Window(), text), TRUE) << text;
        EXPECT_TRUE(IsWindowVisible(first.Control("pExists"))) << text;
    }
    EXPECT_EQ(first.ListItems("sourceList").size(), 2u);
    EXPECT_EQ(first.Close(), 0u);
}

TEST(DesktopStart, AFirstStartResolvesARelativePathInItsOwnFolder)
{
    TempFolder here;
    ASSERT_TRUE(testsupport::MakeTree(here.Path(), {"data\\"}));
    RunningProgram first;
    ASSERT_TRUE(first.Start("data", ProgramPath(), here.Path()));
    EXPECT_EQ(first.ListItems("sourceList"), std::vector<std::string>{here / "data"});
    EXPECT_EQ(first.Close(), 0u);
}

namespace {

// A main window of this test process, standing in for a running program: it keeps the hand-offs it
// gets.
class StandInWindow {
public:
    StandInWindow()
    {
        WNDCLASSA type{};
        type.lpfnWndProc = Procedure;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = kMainWindowClass;
        registered_ = RegisterClassA(&type) != 0;
        window_ = CreateWindowA(kMainWindowClass, "stand-in", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        received().clear();
    }
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;
    ~StandInWindow()
    {
        if (window_)
            DestroyWindow(window_);
        if (registered_)
            UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
    }
    bool Made() const { return window_ != nullptr; }
    static std::vector<std::string>& received()
    {
        static std::vector<std::string> texts;
        return texts;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COPYDATA) {
            const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            received().emplace_back(static_cast<const char*>(block->lpData), block->cbData);
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    bool registered_ = false;
    HWND window_ = nullptr;
};

} // namespace

// The lock is what makes a start that comes while another is still building its window wait for
// that window instead of opening a second one: held here, a start waits; the window that exists when
// the lock is let go gets its hand-off.
TEST(DesktopStart, AStartWaitsForTheStartLockAndThenHandsOverToTheWindowThatExists)
{
    TempFolder folder;
    HANDLE lock = CreateMutexA(nullptr, TRUE, kStartLockName);
    ASSERT_NE(lock, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "another start holds the lock";

    testsupport::ChildProcess start;
    ASSERT_TRUE(start.Start(ProgramPath(), "\"" + folder.Path() + "\""));
    // While the lock is held it neither opens a window nor ends.
    Sleep(1500);
    EXPECT_EQ(MainWindows(), 0);
    EXPECT_EQ(start.WaitExit(0), STILL_ACTIVE);

    StandInWindow standIn;
    ASSERT_TRUE(standIn.Made());
    ReleaseMutex(lock);
    CloseHandle(lock);
    DWORD code = STILL_ACTIVE;
    const DWORD begin = GetTickCount();
    while ((code = start.WaitExit(0)) == STILL_ACTIVE && GetTickCount() - begin < 20000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(StandInWindow::received(), std::vector<std::string>{folder.Path()});
    EXPECT_EQ(MainWindows(), 1);  // the stand-in only
}

TEST(DesktopStart, FiveStartsAtTheSameMomentMakeOneWindowHoldingAllTheirFolders)
{
    TempFolder temp;
    std::vector<std::string> folders;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        folders.push_back(temp / name);
        ASSERT_TRUE(CreateDirectoryA(folders.back().c_str(), nullptr));
    }
    std::vector<std::unique_ptr<testsupport::ChildProcess>> starts;
    for (const std::string& folder : folders) {
        starts.push_back(std::make_unique<testsupport::ChildProcess>());
        ASSERT_TRUE(starts.back()->Start(ProgramPath(), "\"" + folder + "\""));
    }
    // Four hand over and end; one keeps the window.
    ASSERT_TRUE(WaitUntil(60000, [&] {
        return std::count_if(starts.begin(), starts.end(), [](auto& s) { return s->WaitExit(0) == 0; }) == 4;
    }));
    EXPECT_EQ(MainWindows(), 1);
    HWND window = FindWindowA(kMainWindowClass, nullptr);
    ASSERT_NE(window, nullptr);
    const auto listed = [window] {
        std::vector<std::string> items;
        HWND list = ui::FindByName(window, "sourceList");
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
            items.emplace_back(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(wide.find(L'\0')));
        }
        return items;
    };
    EXPECT_TRUE(WaitUntil(10000, [&] { return listed().size() == folders.size(); }));
    EXPECT_EQ(AsSet(listed()), AsSet(folders));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(20000, [&] {
        return std::all_of(starts.begin(), starts.end(), [](auto& s) { return s->WaitExit(0) == 0; });
    }));
}

TEST(DesktopStart, TheLogonLauncherStartsTheProgramBesideItHidden)
{
    // The program and its launcher in a folder whose name has blanks, as under "Program Files".
    TempFolder temp;
    const std::string folder = temp / "My Tools";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), (folder + "\\Orvandel.exe").c_str(), TRUE));
    const std::string launcher = folder + "\\run.exe";
    ASSERT_TRUE(CopyFileA(testsupport::WinePath(ORV_LAUNCHER_PATH).c_str(), launcher.c_str(), TRUE));

    for (const bool autorun : {true, false}) {
        SCOPED_TRACE(autorun ? "autorun" : "by hand");
        testsupport::ChildProcess start;
        ASSERT_TRUE(start.Start(launcher, autorun ? "autorun" : ""));
        EXPECT_EQ(start.WaitExit(20000), 0u);
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil(20000, [&] {
            window = FindWindowA(kMainWindowClass, nullptr);
            return window && ui::FindByName(window, "SettingsLabel") &&
                   Text(ui::FindByName(window, "SettingsLabel")) == "Settings\n";
        }));
        // The program that came up is the one beside the launcher.
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id);
        ASSERT_NE(process, nullptr);
        char path[MAX_PATH] = {};
        DWORD size = sizeof path;
        ASSERT_TRUE(QueryFullProcessImageNameA(process, 0, path, &size));
        EXPECT_EQ(std::string(path), folder + "\\Orvandel.exe");
        if (autorun) {
            Sleep(1500);  // past the start's deferred scan
            EXPECT_FALSE(IsWindowVisible(window));
        } else {
            EXPECT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(window) != 0; }));
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

TEST(DesktopStart, FilesOnTheClipboardAtStartDoNotReplaceTheFolderItWasStartedWith)
{
    TempFolder temp;
    ASSERT_TRUE(testsupport::MakeTree(temp.Path(), {"started\\", "one.txt=1", "two.txt=2", "three.txt=3",
                                                    "four.txt=4"}));
    ASSERT_TRUE(PutOnClipboard({temp / "one.txt", temp / "two.txt"}));
    RunningProgram program;
    ASSERT_TRUE(program.Start("\"" + (temp / "started") + "\""));
    Sleep(2000);  // past the clipboard's pick-up timer and the deferred scan of the start
    EXPECT_EQ(program.ListItems("sourceList"), std::vector<std::string>{temp / "started"});

    // A copy the user makes afterwards is picked up as ever.
    ASSERT_TRUE(PutOnClipboard({temp / "three.txt", temp / "four.txt"}));
    EXPECT_TRUE(WaitUntil(10000, [&] {
        return program.ListItems("sourceList") == std::vector<std::string>{temp / "three.txt", temp / "four.txt"};
    }));
    EXPECT_EQ(program.Close(), 0u);
}
