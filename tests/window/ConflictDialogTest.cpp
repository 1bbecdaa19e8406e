// The two conflict dialogs on real windows under Wine + Xvfb: what they show, how they are laid out,
// how a question is answered through their buttons, and the rename-mode menu of Auto Rename.
#include "dialogs/Existsform.h"
#include "dialogs/Folderexists.h"
#include "ui/FindByName.h"
#include "ui/Names.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The pictures live in the program's resources; tests load them from Orvandel.exe as data.
void UseProgramPictures()
{
    static HMODULE module = LoadLibraryExA(ORV_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    res::UsePictureModule(module);
}

std::string BuildFolder()
{
    const std::string exe = ORV_EXE_PATH;
    const std::string bin = exe.substr(0, exe.find_last_of("/\\"));
    return bin.substr(0, bin.find_last_of("/\\") + 1);
}

std::string WindowText(HWND window)
{
    const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

RECT ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Width of a control's text in its own font.
int TextWidth(HWND window)
{
    const std::string text = WindowText(window);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

std::string FontFace(HWND window)
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    if (!font || !GetObjectA(font, sizeof logFont, &logFont))
        return {};
    return logFont.lfFaceName;
}

// What each dialog must look like.
struct Expected {
    std::string name;
    std::string caption;
    std::string firstLine;
    std::string sameSelection;
    std::vector<std::string> leftToRight;  // button captions
    std::vector<std::string> namesLeftToRight;
    int clientWidth;
    int clientHeight;
    COLORREF color;
    bool onTop;
};

const Expected kFile{"TFileExistsForm",
                     "File already exists ",
                     "The same named file already exists. Select the operation for it.",
                     "Use same selection  for other files",
                     {"Overwrite", "Skip", "Update", "Auto Rename"},
                     {"BitBtn1", "BitBtn2", "BitBtn3", "Rename"},
                     513,
                     172,
                     RGB(221, 255, 221),
                     true};

const Expected kFolder{"TFolderExistsForm",
                       "Folder already exists ",
                       "The same named folder already exists. Select the operation for it.",
                       "Use same selection  for other folder",
                       {"Update", "Replace", "Skip", "Auto Rename"},
                       {"BitBtn3", "BitBtn1", "BitBtn2", "Rename"},
                       560,
                       177,
                       RGB(221, 221, 255),
                       false};

// An owner like the main window, so the modal run has someone to disable.
struct Owner {
    ui::Form form{{.name = "OwnerForm"}, {.caption = "Owner", .clientWidth = 300, .clientHeight = 200}};
    Owner() { form.Show(); }
};

// Runs `step` from a timer while the dialog's question is open (the modal loop dispatches it).
struct WhileOpen {
    ui::Timer timer{{.name = "answer", .interval = 30}};
    explicit WhileOpen(std::function<void()> step)
    {
        timer.onTimer = [this, step] {
            timer.Stop();
            step();
        };
        timer.Start();
    }
};

void Click(HWND dialog, const std::string& name)
{
    HWND control = ui::FindByName(dialog, name);
    ASSERT_NE(control, nullptr) << name;
    SendMessageA(control, BM_CLICK, 0, 0);
}

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32768" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Asks through either dialog with the same call.
ConflictAnswer AskOf(TFileExistsForm& d, const std::string& path, const std::string& comparison)
{
    return d.Ask(path, comparison);
}
ConflictAnswer AskOf(TFolderExistsForm& d, const std::string& path, const std::string&) { return d.Ask(path); }

// Lets the window's paint messages run (called from inside the modal loop's timer).
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Window tests of other programs may run beside this one on the same display: true when none of their
// windows lies over the dialog's client area (probed on a grid).
bool Uncovered(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    for (int i = 0; i <= 6; ++i)
        for (int j = 0; j <= 6; ++j) {
            const POINT p{r.left + 1 + (r.right - r.left - 3) * i / 6, r.top + 1 + (r.bottom - r.top - 3) * j / 6};
            HWND hit = WindowFromPoint(p);
            if (hit != window && !IsChild(window, hit))
                return false;
        }
    return true;
}

// The window's client area as it stands on the screen, saved as a BMP; returns the pixels (top-down,
// 0x00RRGGBB). Taken from the screen because Wine's PrintWindow draws no child controls, and without
// a window manager nobody draws the title bar. The window is lifted above others while it is taken,
// and taken again when another program's window came in between.
std::vector<DWORD> SaveWindowPicture(HWND window, const std::string& path, int& width, int& height)
{
    const bool wasOnTop = GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    width = r.right - r.left;
    height = r.bottom - r.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    HDC screen = GetDC(nullptr);
    bool clear = false;
    for (int attempt = 0; attempt < 20 && !clear; ++attempt) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(300);
        if (!Uncovered(window))
            continue;
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, shot);
        const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        if (copied && bits) {
            const auto* p = static_cast<const DWORD*>(bits);
            std::copy(p, p + pixels.size(), pixels.begin());
        }
        DeleteObject(shot);
        DeleteDC(memory);
        clear = copied && Uncovered(window);
    }
    ReleaseDC(nullptr, screen);
    if (!wasOnTop)
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(clear) << "other windows kept covering the dialog";

    const DWORD size = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof header + size), 0, 0,
                          sizeof file + sizeof header};
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof file, &written, nullptr);
        WriteFile(out, &header, sizeof header, &written, nullptr);
        WriteFile(out, pixels.data(), size, &written, nullptr);
        CloseHandle(out);
    }
    return pixels;
}

COLORREF PixelAt(const std::vector<DWORD>& pixels, int width, int x, int y)
{
    const DWORD p = pixels.at(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x));
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

template <typename Dialog>
void ExpectLooksAsDescribed(Dialog& dialog, const Expected& e)
{
    SCOPED_TRACE(e.name);
    HWND form = dialog.Handle();
    EXPECT_EQ(ui::FindByName(form, e.name), form);
    EXPECT_FALSE(IsWindowVisible(form)) << "created hidden";
    EXPECT_EQ(WindowText(form), e.caption);

    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, e.clientWidth);
    EXPECT_EQ(client.bottom, e.clientHeight);

    const LONG style = GetWindowLongA(form, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(form, GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "no close box";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(style & WS_THICKFRAME) << "a fixed border";
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, e.onTop);
    EXPECT_EQ(dialog.form.Color(), e.color);

    // Centred on the work area.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = ScreenRect(form);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);

    HWND label1 = ui::FindByName(form, "Label1");
    HWND fileLabel = ui::FindByName(form, "FileLabel");
    HWND compInfo = ui::FindByName(form, "CompInfoLabel");
    HWND check = ui::FindByName(form, "cbSameSelection");
    ASSERT_TRUE(label1 && fileLabel && compInfo && check);
    EXPECT_EQ(WindowText(label1), e.firstLine);
    EXPECT_EQ(WindowText(check), e.sameSelection);
    EXPECT_EQ(FontFace(label1), "MS Sans Serif");
    EXPECT_EQ(FontFace(check), "MS Sans Serif");

    // Buttons, ordered by where they stand, carry the captions in the dialog's order.
    struct Found {
        std::string name;
        RECT at;
    };
    std::vector<Found> buttons;
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "Rename"}) {
        HWND button = ui::FindByName(form, name);
        ASSERT_NE(button, nullptr) << name;
        buttons.push_back({name, ScreenRect(button)});
    }
    std::sort(buttons.begin(), buttons.end(), [](const Found& a, const Found& b) { return a.at.left < b.at.left; });
    std::vector<std::string> captions, names;
    for (const Found& b : buttons) {
        names.push_back(b.name);
        captions.push_back(WindowText(ui::FindByName(form, b.name)));
        EXPECT_EQ(b.at.right - b.at.left, 75) << b.name;
        EXPECT_EQ(b.at.bottom - b.at.top, 60) << b.name;
        EXPECT_EQ(b.at.top, buttons.front().at.top) << "one row";
        EXPECT_EQ(FontFace(ui::FindByName(form, b.name)), "MS Sans Serif");
        EXPECT_LE(TextWidth(ui::FindByName(form, b.name)), 75 - 6) << b.name << ": the caption fits inside the frame";
    }
    EXPECT_EQ(captions, e.leftToRight);
    EXPECT_EQ(names, e.namesLeftToRight);
    for (size_t i = 1; i < buttons.size(); ++i)
        EXPECT_GT(buttons[i].at.left, buttons[i - 1].at.right) << "no overlap";

    // Top to bottom: first line, path, comparison, buttons, check box; all inside the client area.
    const RECT l1 = ScreenRect(label1), fl = ScreenRect(fileLabel), ci = ScreenRect(compInfo), cb = ScreenRect(check);
    EXPECT_LE(l1.bottom, fl.top);
    EXPECT_LE(fl.bottom, ci.top);
    EXPECT_LE(ci.bottom, buttons.front().at.top);
    EXPECT_GE(cb.top, buttons.front().at.bottom) << "the check box sits below the buttons";
    POINT corner{client.right, client.bottom};
    ClientToScreen(form, &corner);
    EXPECT_LE(cb.bottom, corner.y);
    EXPECT_LE(buttons.back().at.right, corner.x);

    // Tab order runs left to right over the buttons, then to the check box.
    std::vector<std::string> tabOrder;
    HWND panel = ui::FindByName(form, "Panel1");
    for (HWND c = GetWindow(panel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        tabOrder.push_back(ui::WindowName(c));
    std::vector<std::string> wantTabs = e.namesLeftToRight;
    wantTabs.push_back("cbSameSelection");
    EXPECT_EQ(tabOrder, wantTabs);
}

} // namespace

TEST(ConflictDialogLook, CaptionsTextsSizesColoursAndButtonOrder)
{
    UseProgramPictures();
    Owner owner;
    TFileExistsForm file(owner.form.Handle());
    TFolderExistsForm folder(owner.form.Handle());
    ExpectLooksAsDescribed(file, kFile);
    ExpectLooksAsDescribed(folder, kFolder);
    EXPECT_EQ(GetWindow(file.Handle(), GW_OWNER), owner.form.Handle());

    // Without an owner (as in a test host) the dialogs still come up.
    TFileExistsForm alone(nullptr);
    ExpectLooksAsDescribed(alone, kFile);
}

// Presses each button in turn, with the box clear and ticked by turns, and checks what Ask returns and
// keeps. (Every modal run costs about two seconds under Wine without a window manager, so the rounds
// are few.)
template <typename Dialog>
void ExpectAnswersFromButtons(Dialog& dialog, HWND owner, const std::string& comparison,
                              const std::vector<std::pair<const char*, ConflictDecision>>& answers, bool tickFirst)
{
    bool tick = tickFirst;
    int round = 0;
    for (const auto& [button, decision] : answers) {
        SCOPED_TRACE(std::string(button) + (tick ? " with the box ticked" : ""));
        const std::string path = "C:\\dest\\round " + std::to_string(++round) + "\\report.txt";
        std::string shownPath, shownComparison;
        bool visible = false, ownerDisabled = false, boxClearAtStart = false, stillOpenAfterClose = false;
        WhileOpen step([&] {
            HWND form = dialog.Handle();
            visible = IsWindowVisible(form);
            ownerDisabled = owner && !IsWindowEnabled(owner);
            shownPath = WindowText(ui::FindByName(form, "FileLabel"));
            shownComparison = WindowText(ui::FindByName(form, "CompInfoLabel"));
            boxClearAtStart = SendMessageA(ui::FindByName(form, "cbSameSelection"), BM_GETCHECK, 0, 0) == BST_UNCHECKED;
            // No close box: neither a close request, nor Alt+F4, nor Escape ends the question.
            SendMessageA(form, WM_CLOSE, 0, 0);
            SendMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
            SendMessageA(form, WM_COMMAND, IDCANCEL, 0);
            stillOpenAfterClose = IsWindowVisible(form) && dialog.form.ModalResult() == ui::kModalNone;
            if (tick)
                Click(form, "cbSameSelection");
            Click(form, button);
        });
        const ConflictAnswer answer = AskOf(dialog, path, comparison);
        EXPECT_EQ(answer.decision, decision);
        EXPECT_EQ(answer.useForRest, tick);
        EXPECT_EQ(dialog.cbSameSelection.tag, static_cast<int>(decision)) << "the pressed value is kept";
        EXPECT_TRUE(visible);
        EXPECT_TRUE(boxClearAtStart) << "every question starts with the box clear";
        EXPECT_TRUE(stillOpenAfterClose);
        EXPECT_EQ(shownPath, path);
        EXPECT_EQ(shownComparison, comparison);
        EXPECT_FALSE(IsWindowVisible(dialog.Handle())) << "hidden between questions";
        if (owner) {
            EXPECT_TRUE(ownerDisabled) << "modal: the main window is out of reach";
            EXPECT_TRUE(IsWindowEnabled(owner));
        }
        tick = !tick;
    }
}

const std::vector<std::pair<const char*, ConflictDecision>> kEveryButton = {
    {"BitBtn1", kOverwrite}, {"BitBtn2", kSkip}, {"BitBtn3", kUpdate}, {"Rename", kAutoRename}};

TEST(ConflictDialogAsk, EachButtonGivesItsDecisionWithAndWithoutTheBox)
{
    UseProgramPictures();
    Owner owner;
    TFileExistsForm file(owner.form.Handle());
    TFolderExistsForm folder(owner.form.Handle());
    const std::string comparison = "Source size: 2048B  Destination size: 1024B\nSource modification time: "
                                   "2024-03-01 10:00:02   Destination modification time: 2024-03-01 10:00:00";
    ExpectAnswersFromButtons(file, owner.form.Handle(), comparison, kEveryButton, false);
    ExpectAnswersFromButtons(folder, owner.form.Handle(), std::string(), kEveryButton, true);

    // The folder dialog shows no comparison, even after the file dialog showed one.
    WhileOpen step([&] {
        EXPECT_EQ(WindowText(ui::FindByName(folder.Handle(), "CompInfoLabel")), "");
        Click(folder.Handle(), "BitBtn2");
    });
    EXPECT_EQ(folder.Ask("C:\\dest\\sub").decision, kSkip);

    TFileExistsForm alone(nullptr);
    ExpectAnswersFromButtons(alone, nullptr, comparison, {{"BitBtn3", kUpdate}}, true);
}

TEST(ConflictDialogAsk, LongPathIsShownWholeAndNothingOverlaps)
{
    UseProgramPictures();
    TFileExistsForm file(nullptr);
    std::string path = "C:\\dest";
    while (path.size() < 400)
        path += "\\folder_" + std::to_string(path.size());
    path += "\\report.txt";
    const std::string comparison = "Source size: 2048B  Destination size: 1024B\nSource modification time: "
                                   "2024-03-01 10:00:02   Destination modification time: 2024-03-01 10:00:00";
    RECT fileLabel{}, compInfo{}, panel{}, client{};
    int compInfoNeeds = 0, pathWidth = 0, lineHeight = 0;
    WhileOpen step([&] {
        HWND form = file.Handle();
        fileLabel = ScreenRect(ui::FindByName(form, "FileLabel"));
        compInfo = ScreenRect(ui::FindByName(form, "CompInfoLabel"));
        panel = ScreenRect(ui::FindByName(form, "Panel1"));
        GetClientRect(form, &client);
        MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
        HWND label = ui::FindByName(form, "CompInfoLabel");
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
        RECT need{0, 0, compInfo.right - compInfo.left, 0};
        DrawTextA(dc, comparison.c_str(), static_cast<int>(comparison.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        compInfoNeeds = need.bottom;
        HWND pathLabel = ui::FindByName(form, "FileLabel");
        pathWidth = TextWidth(pathLabel);
        dc = GetDC(pathLabel);
        old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(pathLabel, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(pathLabel, dc);
        int w = 0, h = 0;
        SaveWindowPicture(form, BuildFolder() + "conflict-file-long-path.bmp", w, h);
        Click(form, "BitBtn2");
    });
    EXPECT_EQ(file.Ask(path, comparison).decision, kSkip);
    EXPECT_EQ(file.FileLabel.Text(), path) << "the whole path, however long";
    // At least as many lines as the path's one-line width needs at the label's width.
    const int labelWidth = fileLabel.right - fileLabel.left;
    const int linesNeeded = (pathWidth + labelWidth - 1) / labelWidth;
    EXPECT_GT(linesNeeded, 2);
    EXPECT_GE(fileLabel.bottom - fileLabel.top, linesNeeded * lineHeight) << "the path is not cut off";
    EXPECT_LE(fileLabel.bottom, compInfo.top);
    EXPECT_GE(compInfo.bottom - compInfo.top, compInfoNeeds) << "the comparison is not cut off";
    EXPECT_LE(compInfo.bottom, panel.top);
    EXPECT_EQ(panel.bottom, client.bottom - 3);

    // A short path afterwards: back to the usual size.
    WhileOpen again([&] { Click(file.Handle(), "BitBtn2"); });
    file.Ask("C:\\dest\\a.txt", comparison);
    RECT size{};
    GetClientRect(file.Handle(), &size);
    EXPECT_EQ(size.bottom, 172);
}

TEST(ConflictDialogRenameMode, RightClickMenuFlipsTheModeWithoutAnswering)
{
    UseProgramPictures();
    TFileExistsForm file(nullptr);
    TFolderExistsForm folder(nullptr);
    for (ConflictDialogBase* d : {static_cast<ConflictDialogBase*>(&file), static_cast<ConflictDialogBase*>(&folder)}) {
        EXPECT_TRUE(d->RenameModeNew()) << "new at start";
        EXPECT_EQ(d->PopupMenu1.Caption(d->RenameNewFile1), "Rename New File");
        EXPECT_EQ(d->PopupMenu1.Caption(d->RenameOldFile1), "Rename Old File");
        EXPECT_EQ(d->PopupMenu1.IndexOf("RenameNewFile1"), d->RenameNewFile1);
        EXPECT_EQ(d->PopupMenu1.IndexOf("RenameOldFile1"), d->RenameOldFile1);
    }

    // A real right click on Auto Rename opens the menu; the second item is chosen with the keyboard.
    bool menuOpened = false, openAfterMenu = false, modeNewAfterMenu = true;
    ui::Timer chooser({.name = "chooser", .interval = 50});
    chooser.onTimer = [&] {
        chooser.Stop();
        HWND menu = nullptr;  // the menu window of this thread (other programs may have one open)
        EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&menu));
        menuOpened = menu && IsWindowVisible(menu);
        HWND target = menu ? menu : file.Rename.Handle();
        PostMessageA(target, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(target, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0);
    };
    WhileOpen step([&] {
        RECT r = ScreenRect(file.Rename.Handle());
        chooser.Start();
        SendMessageA(file.Rename.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(file.Rename.Handle()),
                     MAKELPARAM(r.left + 10, r.top + 10));
        openAfterMenu = IsWindowVisible(file.Handle()) && file.form.ModalResult() == ui::kModalNone;
        modeNewAfterMenu = file.RenameModeNew();
        Click(file.Handle(), "Rename");
    });
    const ConflictAnswer answer = file.Ask("C:\\dest\\a.txt", "");
    EXPECT_TRUE(menuOpened);
    EXPECT_TRUE(openAfterMenu) << "choosing a mode neither closes the dialog nor answers";
    EXPECT_FALSE(modeNewAfterMenu) << "\"Rename Old File\" chosen";
    EXPECT_EQ(answer.decision, kAutoRename);
    EXPECT_TRUE(file.PopupMenu1.Checked(file.RenameOldFile1));
    EXPECT_FALSE(file.PopupMenu1.Checked(file.RenameNewFile1));
    EXPECT_TRUE(folder.RenameModeNew()) << "each dialog keeps its own mode";

    // Clicking the checked item leaves neither checked, which means rename the old one.
    file.PopupMenu1.Click(file.RenameOldFile1);
    EXPECT_FALSE(file.PopupMenu1.Checked(file.RenameOldFile1));
    EXPECT_FALSE(file.PopupMenu1.Checked(file.RenameNewFile1));
    EXPECT_FALSE(file.RenameModeNew());
    file.PopupMenu1.Click(file.RenameNewFile1);
    EXPECT_TRUE(file.RenameModeNew());
    EXPECT_FALSE(file.PopupMenu1.Checked(file.RenameOldFile1));

    folder.PopupMenu1.Click(folder.RenameNewFile1);
    EXPECT_FALSE(folder.RenameModeNew());
    EXPECT_FALSE(folder.PopupMenu1.Checked(folder.RenameOldFile1));
    folder.PopupMenu1.Click(folder.RenameOldFile1);
    EXPECT_FALSE(folder.RenameModeNew());
    EXPECT_TRUE(folder.PopupMenu1.Checked(folder.RenameOldFile1));
    EXPECT_TRUE(file.RenameModeNew()) << "the file dialog's mode is untouched";
}

// Pictures of both dialogs while a question is open, for a person to look at; the background and the
// button pictures are checked on the captured image.
TEST(ConflictDialogScreenshot, BothDialogsAsAQuestionShowsThem)
{
    UseProgramPictures();
    Owner owner;
    TFileExistsForm file(owner.form.Handle());
    TFolderExistsForm folder(owner.form.Handle());
    struct Shot {
        std::vector<DWORD> pixels;
        int width = 0, height = 0;
        POINT background{};  // a point right of the check box, in client coordinates
        RECT pictureArea{};  // BitBtn1's upper middle, inside its frame, in client coordinates
    };
    auto capture = [](ConflictDialogBase& d, const std::string& file, Shot& shot) {
        RECT window{};
        MapWindowPoints(d.Handle(), nullptr, reinterpret_cast<POINT*>(&window), 1);
        RECT check = ScreenRect(d.cbSameSelection.Handle());
        RECT button = ScreenRect(d.BitBtn1.Handle());
        shot.background = {check.right + 20 - window.left, (check.top + check.bottom) / 2 - window.top};
        shot.pictureArea = {button.left + 20 - window.left, button.top + 4 - window.top, button.right - 20 - window.left,
                            button.top + 36 - window.top};
        shot.pixels = SaveWindowPicture(d.Handle(), BuildFolder() + file, shot.width, shot.height);
    };
    const std::string comparison = "Source size: 1048576B  Destination size: 524288B\nSource modification time: "
                                   "2024-03-01 10:00:02   Destination modification time: 2023-12-24 18:30:00";
    Shot fileShot, folderShot;
    WhileOpen a([&] {
        capture(file, "conflict-file-dialog.bmp", fileShot);
        Click(file.Handle(), "BitBtn2");
    });
    file.Ask("C:\\Users\\ann\\Documents\\Reports 2024\\quarterly report.xlsx", comparison);
    WhileOpen b([&] {
        capture(folder, "conflict-folder-dialog.bmp", folderShot);
        Click(folder.Handle(), "BitBtn2");
    });
    folder.Ask("C:\\Users\\ann\\Documents\\Reports 2024");

    for (auto [shot, color] : {std::pair{&fileShot, kFile.color}, std::pair{&folderShot, kFolder.color}}) {
        EXPECT_EQ(PixelAt(shot->pixels, shot->width, shot->background.x, shot->background.y), color);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        int drawn = 0;
        for (int y = shot->pictureArea.top; y < shot->pictureArea.bottom; ++y)
            for (int x = shot->pictureArea.left; x < shot->pictureArea.right; ++x)
                drawn += PixelAt(shot->pixels, shot->width, x, y) != face;
        EXPECT_GT(drawn, 50) << "a picture above the caption";
    }
}
