// The control layer on real windows under Wine + Xvfb: names and IDs seen from outside, texts,
// clicks, alignment, label heights, check marks, the log box, timers, animations and modal forms.
#include "ui/Animation.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/CheckListBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/Edit.h"
#include "ui/FindByName.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/MessageLoop.h"
#include "ui/ListBox.h"
#include "ui/Memo.h"
#include "ui/Names.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "res/Pictures.h"
#include "ui/PopupMenu.h"
#include "ui/ProgressBar.h"
#include "ui/RadioButton.h"
#include "ui/ScrollBox.h"
#include "ui/Splitter.h"
#include "ui/Timer.h"
#include "tests/window/PlacementWatch.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ui;
using namespace res;

namespace {

std::string ExeFolder()
{
    const std::string exe = ORV_EXE_PATH;
    return exe.substr(0, exe.find_last_of("/\\") + 1);
}

// The pictures live in the program's resources; tests load them from Orvandel.exe as data.
void UseProgramPictures()
{
    static HMODULE module = LoadLibraryExA(ORV_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    UsePictureModule(module);
}

// Dispatches messages until `done` holds; the limit only keeps a broken case from hanging the run.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

std::string WindowText(HWND window)
{
    char buffer[512] = {};
    const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

struct TestWindow {
    Form form;
    // Shown only where a test looks at pixels: under Wine without a window manager, taking a shown
    // window off the screen waits about two seconds.
    explicit TestWindow(int clientWidth = 300, int clientHeight = 200, const std::string& name = "TestForm",
                        bool shown = false)
        : form(ControlArgs{.name = name}, FormArgs{.caption = "Control layer test", .clientWidth = clientWidth,
                                                   .clientHeight = clientHeight})
    {
        if (shown)
            form.Show();
    }
    void ResizeClient(int width, int height)
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_EXSTYLE)));
        SetWindowPos(form.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }
};

void ExpectBounds(const Control& c, int left, int top, int width, int height)
{
    const Bounds b = c.GetBounds();
    EXPECT_EQ(b.left, left) << c.Name();
    EXPECT_EQ(b.top, top) << c.Name();
    EXPECT_EQ(b.width, width) << c.Name();
    EXPECT_EQ(b.height, height) << c.Name();
}

} // namespace

TEST(ControlNames, FoundByNameThroughTheGlobalAtomAndGoneWithTheWindow)
{
    TestWindow w;
    Panel bottom(w.form, {.name = "Panel19", .bounds = {0, 0, 0, 40}, .align = Align::Bottom});
    Button begin(bottom, {.name = "bbBegin", .bounds = {10, 8, 75, 25}}, {.caption = "Begin"});
    Label header(w.form, {.name = "CopyCutLabel", .bounds = {0, 0, 200, 13}}, {.caption = "Select Operation"});

    EXPECT_EQ(FindByName(w.form.Handle(), "bbBegin"), begin.Handle());
    EXPECT_EQ(FindByName(w.form.Handle(), "CopyCutLabel"), header.Handle());
    EXPECT_EQ(FindByName(w.form.Handle(), "TestForm"), w.form.Handle());
    EXPECT_EQ(FindByName(w.form.Handle(), "noSuchControl"), nullptr);

    // What another process does: the property's atom gives the name back.
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(begin.Handle(), "Name")));
    char name[64] = {};
    ASSERT_NE(atom, 0);
    GlobalGetAtomNameA(atom, name, sizeof name);
    EXPECT_STREQ(name, "bbBegin");
    EXPECT_EQ(WindowName(bottom.Handle()), "Panel19");

    // The control ID comes from the name, the same in every run, and is the window's own ID.
    EXPECT_EQ(GetDlgCtrlID(begin.Handle()), begin.Id());
    EXPECT_EQ(begin.Id(), ControlIdForName(nullptr, "bbBegin"));
    EXPECT_GE(begin.Id(), 1000);

    // Two siblings whose names hash alike still get distinct IDs.
    Panel twin(bottom, {.name = "twinA", .id = begin.Id()});
    Panel other(bottom, {.name = "twinB", .id = 0});
    EXPECT_EQ(GetDlgItem(bottom.Handle(), begin.Id()), begin.Handle());  // the duplicate asked for keeps it
    EXPECT_NE(ControlIdForName(bottom.Handle(), "bbBegin"), begin.Id());

    {
        Label probe(w.form, {.name = "zzProbeNameOnlyHere"}, {.caption = "x"});
        EXPECT_NE(GlobalFindAtomA("zzProbeNameOnlyHere"), 0);
    }
    EXPECT_EQ(GlobalFindAtomA("zzProbeNameOnlyHere"), 0) << "the atom must be released with the window";
}

// Runs only as the child of the test below: holds a window with named controls until its button is
// clicked from the other process, and exits with 0 only then.
TEST(DISABLED_ControlNamesChild, HoldsAWindowUntilClickedFromOutside)
{
    Form form({.name = "ChildForm"}, {.className = "OrvNameProbe", .caption = "name probe"});
    Panel bar(form, {.name = "Panel19", .bounds = {0, 0, 0, 40}, .align = Align::Bottom});
    Label header(form, {.name = "ProgressLabel", .bounds = {0, 0, 0, 13}, .align = Align::Top},
                 {.caption = "Progress (50%)"});
    Button begin(bar, {.name = "bbBegin", .bounds = {10, 8, 75, 25}}, {.caption = "Begin"});
    bool clicked = false;
    begin.onClick = [&] { clicked = true; };
    ASSERT_TRUE(PumpUntil([&] { return clicked; }, 30000));
}

TEST(ControlNames, FoundAndClickedFromAnotherProcess)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ControlNamesChild.*";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    HWND window = nullptr;
    PumpUntil([&] {
        window = FindWindowA("OrvNameProbe", "name probe");
        return window && ui::FindByName(window, "bbBegin");
    }, 30000);
    ASSERT_NE(window, nullptr);
    HWND begin = ui::FindByName(window, "bbBegin");
    HWND header = ui::FindByName(window, "ProgressLabel");
    ASSERT_NE(begin, nullptr);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(ui::WindowName(ui::FindByName(window, "Panel19")), "Panel19");
    EXPECT_EQ(WindowText(header), "Progress (50%)");
    EXPECT_EQ(WindowText(begin), "Begin");
    EXPECT_EQ(GetDlgCtrlID(begin), ControlIdForName(nullptr, "bbBegin")) << "the same ID in every process";
    SendMessageA(begin, BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(child.hProcess, &code);
    EXPECT_EQ(code, 0u) << "the click did not reach the other process";
    if (code == STILL_ACTIVE)
        TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

TEST(ControlTexts, CaptionsAreWindowTexts)
{
    TestWindow w;
    Label label(w.form, {.name = "ProgressLabel", .bounds = {0, 0, 200, 13}}, {.caption = "Progress"});
    Panel panel(w.form, {.name = "pExists", .bounds = {0, 20, 100, 40}}, {.caption = "notice"});
    Button button(w.form, {.name = "bbCancel", .bounds = {0, 70, 75, 25}}, {.caption = "Cancel"});
    CheckBox box(w.form, {.name = "cbIgnorSubDir", .bounds = {0, 100, 200, 17}}, {.caption = "Do not create subdirectory"});

    EXPECT_EQ(WindowText(label.Handle()), "Progress");
    EXPECT_EQ(WindowText(panel.Handle()), "notice");
    EXPECT_EQ(WindowText(button.Handle()), "Cancel");
    EXPECT_EQ(WindowText(box.Handle()), "Do not create subdirectory");

    label.SetText("Progress (50%)\n");
    EXPECT_EQ(WindowText(label.Handle()), "Progress (50%)\n");
    EXPECT_EQ(label.Text(), "Progress (50%)\n");
}

TEST(ControlClicks, BmClickRunsOnClickOnButtonsLabelsPanelsAndPictures)
{
    UseProgramPictures();
    TestWindow w;
    std::vector<std::string> clicks;
    Button button(w.form, {.name = "bbBegin", .bounds = {0, 0, 75, 25}},
                  {.caption = "Begin", .picture = GetPicture(Picture::Begin, 16)});
    Label label(w.form, {.name = "ToLabel", .bounds = {0, 30, 100, 13}}, {.caption = "To"});
    Panel cell(w.form, {.name = "Panel10", .bounds = {0, 50, 50, 50}});
    Image picture(w.form, {.name = "imcut", .bounds = {60, 50, 64, 64}, .tag = 1},
                  {.picture = GetPicture(Picture::Cut, 64)});
    button.onClick = [&] { clicks.push_back("button"); };
    label.onClick = [&] { clicks.push_back("label"); };
    cell.onClick = [&] { clicks.push_back("panel"); };
    picture.onClick = [&] { clicks.push_back("image " + std::to_string(picture.tag)); };

    for (HWND target : {button.Handle(), label.Handle(), cell.Handle(), picture.Handle()})
        SendMessageA(target, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, (std::vector<std::string>{"button", "label", "panel", "image 1"}));

    // A disabled header ignores automation clicks, as it ignores the mouse.
    label.SetEnabled(false);
    SendMessageA(label.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks.size(), 4u);

    // A real mouse press and release on a label is a click; a release outside is not.
    label.SetEnabled(true);
    SendMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 3));
    EXPECT_EQ(clicks.size(), 5u);
}

TEST(ControlClicks, RadioButtonsStandAloneAndCheckBoxesRaiseClickWhenSetByTheProgram)
{
    TestWindow w;
    RadioButton rbCopy(w.form, {.name = "rbCopy", .bounds = {0, 0, 80, 17}}, {.caption = "Copy", .checked = true});
    RadioButton rbCut(w.form, {.name = "rbCut", .bounds = {0, 20, 80, 17}}, {.caption = "Cut"});
    int cutClicks = 0, copyClicks = 0;
    rbCut.onClick = [&] { ++cutClicks; };
    rbCopy.onClick = [&] { ++copyClicks; };

    SendMessageA(rbCut.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(rbCut.Checked());
    EXPECT_TRUE(rbCopy.Checked()) << "checking one radio button must not uncheck another by itself";
    EXPECT_EQ(cutClicks, 1);
    SendMessageA(rbCut.Handle(), BM_CLICK, 0, 0);  // already checked: nothing happens
    EXPECT_EQ(cutClicks, 1);
    rbCopy.SetChecked(false);
    EXPECT_FALSE(rbCopy.Checked());
    EXPECT_EQ(copyClicks, 0);

    CheckBox box(w.form, {.name = "cbMonitorClipboard", .bounds = {0, 40, 200, 17}}, {.caption = "Monitor"});
    int boxClicks = 0;
    box.onClick = [&] { ++boxClicks; };
    box.SetChecked(true);
    EXPECT_EQ(boxClicks, 1);
    box.SetChecked(true);  // no change, no click
    EXPECT_EQ(boxClicks, 1);
    box.SetChecked(false, false);
    EXPECT_EQ(boxClicks, 1);
    SendMessageA(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(boxClicks, 2);
}

TEST(PanelAlignment, TopBottomAndFillFollowTheWindowSize)
{
    TestWindow w(300, 200);
    Panel top1(w.form, {.name = "top1", .bounds = {0, 0, 10, 30}, .align = Align::Top});
    Panel bottom1(w.form, {.name = "bottom1", .bounds = {0, 0, 10, 40}, .align = Align::Bottom});
    Panel fill(w.form, {.name = "fill", .align = Align::Client});
    Panel top2(w.form, {.name = "top2", .bounds = {0, 0, 10, 20}, .align = Align::Top});
    Panel bottom2(w.form, {.name = "bottom2", .bounds = {0, 0, 10, 10}, .align = Align::Bottom});

    // Tops stack downwards in creation order; the last created bottom sits lowest.
    ExpectBounds(top1, 0, 0, 300, 30);
    ExpectBounds(top2, 0, 30, 300, 20);
    ExpectBounds(bottom2, 0, 190, 300, 10);
    ExpectBounds(bottom1, 0, 150, 300, 40);
    ExpectBounds(fill, 0, 50, 300, 100);

    w.ResizeClient(400, 300);
    ExpectBounds(top1, 0, 0, 400, 30);
    ExpectBounds(bottom2, 0, 290, 400, 10);
    ExpectBounds(bottom1, 0, 250, 400, 40);
    ExpectBounds(fill, 0, 50, 400, 200);

    // Hidden ones give their space away; a new height of an aligned panel re-lays the others.
    top2.Hide();
    ExpectBounds(fill, 0, 30, 400, 220);
    top1.SetHeight(60);
    ExpectBounds(fill, 0, 60, 400, 190);

    // Switching alignment as the section switch does: the panel keeps its height.
    fill.SetAlign(Align::Top);
    ExpectBounds(fill, 0, 60, 400, 190);
    top1.SetAlign(Align::Client);
    ExpectBounds(fill, 0, 0, 400, 190);
    ExpectBounds(top1, 0, 190, 400, 60);
}

TEST(PanelAlignment, LeftRightAndInnerMargin)
{
    TestWindow w(300, 200);
    Panel outer(w.form, {.name = "outer", .align = Align::Client}, {.borderWidth = 5});
    Panel left(outer, {.name = "left", .bounds = {0, 0, 40, 0}, .align = Align::Left});
    Panel right(outer, {.name = "right", .bounds = {0, 0, 30, 0}, .align = Align::Right});
    Panel middle(outer, {.name = "middle", .align = Align::Client});
    ExpectBounds(left, 5, 5, 40, 190);
    ExpectBounds(right, 265, 5, 30, 190);
    ExpectBounds(middle, 45, 5, 220, 190);
}

TEST(LabelSize, HeightFollowsTheLineCount)
{
    TestWindow w(300, 200);
    Label header(w.form, {.name = "SourceLabel", .bounds = {0, 0, 0, 0}, .align = Align::Top},
                 {.caption = "one line", .wordWrap = true});
    Panel body(w.form, {.name = "SourceSubPanel", .align = Align::Client});

    EXPECT_EQ(header.LineHeight(), 13) << "MS Sans Serif 8 pt lines are 13 pixels";
    EXPECT_EQ(header.Height(), 13);
    EXPECT_EQ(body.Top(), 13);

    header.SetText("Source: 3 items\nC:\\one\nC:\\two");
    EXPECT_EQ(header.Height(), 39);
    EXPECT_EQ(body.Top(), 39) << "the panel below moves when the header grows";

    header.SetText("");
    EXPECT_EQ(header.Height(), 13) << "an empty label keeps one line";

    // A long text wraps at the width, and re-wraps when the window narrows.
    header.SetText("word word word word word word word word word word word word word word");
    const int wide = header.Height();
    w.ResizeClient(100, 200);
    EXPECT_GT(header.Height(), wide);
    EXPECT_EQ(header.Height() % 13, 0);
    EXPECT_EQ(body.Top(), header.Height());

    // Without word wrap and alignment, the label takes the width of its text.
    Label free(w.form, {.name = "free", .bounds = {10, 100, 5, 5}}, {.caption = "a fairly long caption"});
    EXPECT_GT(free.Width(), 60);
    EXPECT_EQ(free.Height(), 13);
}

// A label given the text it shows is not touched: nothing to repaint (a section switch sets every
// header, mostly to what it shows).
TEST(LabelSize, TheSameTextAgainRepaintsNothing)
{
    TestWindow w(300, 100, "LabelForm", true);
    Label header(w.form, {.name = "ProgressLabel", .bounds = {0, 0, 0, 0}, .align = Align::Top},
                 {.caption = "Progress\n", .wordWrap = true});
    UpdateWindow(w.form.Handle());
    ASSERT_FALSE(GetUpdateRect(header.Handle(), nullptr, FALSE));
    header.SetText("Progress\n");
    EXPECT_FALSE(GetUpdateRect(header.Handle(), nullptr, FALSE));
    header.SetText("Progress (5%)\n");
    EXPECT_TRUE(GetUpdateRect(header.Handle(), nullptr, FALSE));
    EXPECT_EQ(header.Text(), "Progress (5%)\n");
    EXPECT_EQ(header.Height(), 26);
}

// Paths and extensions are 8-bit text in the process code page (UTF-8 here): a label measures and
// draws them as their characters, not as the bytes read in another code page.
TEST(LabelSize, TextInOtherScriptsTakesTheWidthOfItsCharacters)
{
    TestWindow w(400, 100);
    const std::wstring wide = L"Z:\\\u041f\u0440\u0438\u0432\u0435\u0442_\u03b1\u03b2\u03b3_\u65e5\u672c.txt";
    std::string text(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.pop_back();
    ASSERT_EQ(GetACP(), 65001u) << "test programs carry the program's manifest";
    Label label(w.form, {.name = "FileProgressLabel", .bounds = {0, 0, 5, 5}}, {.caption = text});

    HDC dc = GetDC(label.Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label.Handle(), WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(label.Handle(), dc);
    EXPECT_EQ(label.Width(), r.right - r.left);
}

TEST(CheckListBoxMarks, ClickOnTheBoxOrSpaceFlipsTheMarkAndReports)
{
    TestWindow w(300, 200);
    CheckListBox list(w.form, {.name = "ExtList", .bounds = {0, 0, 280, 120}}, {.sorted = true, .columns = 4});
    EXPECT_EQ(list.Add(".txt", true), 0);
    EXPECT_EQ(list.Add(".doc", false), 0);  // sorted: goes first
    list.Add(".", true);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(0), ".");
    EXPECT_EQ(list.Item(1), ".doc");
    EXPECT_TRUE(list.Checked(0));
    EXPECT_FALSE(list.Checked(1));
    EXPECT_TRUE(list.Checked(2));

    std::vector<int> reported;
    list.onClickCheck = [&](int index) { reported.push_back(index); };
    list.SetChecked(2, false);  // from the program: no report
    EXPECT_FALSE(list.Checked(2));
    EXPECT_TRUE(reported.empty());

    RECT item{};
    SendMessageA(list.Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM onBox = MAKELPARAM(item.left + 6, (item.top + item.bottom) / 2);
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, onBox);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(reported, std::vector<int>{1});

    const LPARAM onText = MAKELPARAM(item.left + 40, (item.top + item.bottom) / 2);
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onText);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, onText);
    EXPECT_TRUE(list.Checked(1)) << "a click on the text selects, it does not flip the mark";
    EXPECT_EQ(list.ItemIndex(), 1);

    SendMessageA(list.Handle(), WM_CHAR, ' ', 0);
    EXPECT_FALSE(list.Checked(1));
    EXPECT_EQ(reported, (std::vector<int>{1, 1}));
}

TEST(MemoLog, AppendsLongTextsWithoutLimitOrLoss)
{
    TestWindow w(300, 200);
    Memo memo(w.form, {.name = "Memo1", .align = Align::Client});
    std::string expected;
    const std::string line(250, 'x');
    for (int i = 0; i < 400; ++i) {  // about 100 KB: past the 32 KB default limit and 64 KB
        const std::string entry = "\r\nentry " + std::to_string(i) + " " + line;
        memo.Append(entry);
        expected += entry;
    }
    ASSERT_EQ(memo.Length(), static_cast<int>(expected.size()));
    EXPECT_TRUE(memo.Text() == expected) << "the log text differs from what was appended";
    memo.Clear();
    EXPECT_EQ(memo.Length(), 0);
    memo.Append("Begin\r\n");
    EXPECT_EQ(memo.Text(), "Begin\r\n");
}

TEST(TimerEvents, FiresRepeatedlyWhileEnabledAndNeverWhenStopped)
{
    int ticks = 0;
    Timer timer({.name = "aniProgressBarTimer", .interval = 10});
    timer.onTimer = [&] {
        if (++ticks == 3)
            timer.Stop();
    };
    EXPECT_FALSE(timer.Enabled());
    timer.Start();
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_FALSE(timer.Enabled());

    // A stopped timer stays silent: a second timer marks when enough time has passed.
    bool later = false;
    Timer marker({.name = "marker", .interval = 100, .enabled = true});
    marker.onTimer = [&] { later = true; };
    ASSERT_TRUE(PumpUntil([&] { return later; }));
    EXPECT_EQ(ticks, 3);
}

TEST(AnimationClip, OpensTheShippedClipsAndPlaysThem)
{
    TestWindow w(200, 100, "AnimationForm", true);
    Panel back(w.form, {.name = "ProgressSubPanel", .align = Align::Client}, {.color = RGB(204, 255, 170)});
    Animation ani(back, {.name = "aniCopy", .bounds = {10, 10, 48, 48}});
    EXPECT_FALSE(ani.Open(ExeFolder() + "no-such-clip.avi"));
    for (const char* clip : {"a0.avi", "a1.avi", "a2.avi", "a3.avi"})
        EXPECT_TRUE(ani.Open(ExeFolder() + clip)) << clip;
    ASSERT_TRUE(ani.Open(ExeFolder() + "a0.avi"));
    ani.Play();
    EXPECT_TRUE(ani.Active());

    // It moves: the picture in the control changes while messages are dispatched.
    auto capture = [&] {
        HDC dc = GetDC(ani.Handle());
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 48; y += 3)
            for (int x = 0; x < 48; x += 3)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(ani.Handle(), dc);
        return pixels;
    };
    PumpUntil([] { return false; }, 150);
    const auto first = capture();
    EXPECT_TRUE(PumpUntil([&] { return capture() != first; }, 5000)) << "the clip shows no new frame";
    ani.Stop();
    EXPECT_FALSE(ani.Active());
}

// A job's bars are drawn the classic way, not by the visual style (whose drawing cost a job of small
// files most of what the window added to it under Wine): the highlight colour up to the position, the
// face colour after it.
TEST(ProgressBarLook, FillsUpToItsPositionInTheHighlightColour)
{
    TestWindow w(240, 60, "BarForm", true);
    ProgressBar bar(w.form, {.name = "AllProgressBar", .bounds = {10, 10, 200, 16}});
    bar.SetRange(0, 1000);
    bar.SetPosition(500);
    const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT);
    auto pixel = [&](int x) {
        HDC dc = GetDC(bar.Handle());
        const COLORREF color = GetPixel(dc, x, 8);
        ReleaseDC(bar.Handle(), dc);
        return color;
    };
    EXPECT_TRUE(PumpUntil([&] { return pixel(50) == fill; }, 5000)) << "the filled part, a quarter in";
    EXPECT_EQ(pixel(180), GetSysColor(COLOR_BTNFACE)) << "past the position: the face colour of the classic bar";
    bar.SetPosition(1000);
    EXPECT_TRUE(PumpUntil([&] { return pixel(180) == fill; }, 5000)) << "full";
}

// The page frame too is the classic raised edge, not the visual style's (about 45 ms a paint under
// Wine, at every Begin).
TEST(PageControlLook, PagesAreFramedByTheClassicRaisedEdge)
{
    TestWindow w(300, 200, "TabForm", true);
    PageControl pages(w.form, {.name = "PageControl1", .align = Align::Client}, {.tabsAtBottom = true});
    pages.onDrawTab = [&](int, HDC dc, RECT rect, bool) { FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE)); };
    pages.AddPage("Progress", "tsProgress");
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(pages.Handle());
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(pages.Handle(), dc);
        return color;
    };
    EXPECT_TRUE(PumpUntil([&] { return pixel(0, 50) == GetSysColor(COLOR_BTNHIGHLIGHT); }, 5000)) << "the outer line";
    EXPECT_EQ(pixel(1, 50), GetSysColor(COLOR_3DLIGHT)) << "the inner line";
    EXPECT_EQ(pixel(150, 0), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the top";
}

TEST(ModalFormRun, ReturnsTheResultOfTheButtonClickedFromATimer)
{
    TestWindow owner(300, 200, "OwnerForm");
    Form dialog({.name = "TFileExistsForm"},
                {.caption = "File already exists ", .clientWidth = 513, .clientHeight = 172, .color = RGB(221, 255, 221),
                 .borderWidth = 3, .border = FormBorder::Single, .closeBox = false, .stayOnTop = true,
                 .owner = owner.form.Handle()});
    Button skip(dialog, {.name = "BitBtn2", .bounds = {100, 100, 75, 60}}, {.caption = "Skip"});
    skip.onClick = [&] { dialog.SetModalResult(2); };
    Button rename(dialog, {.name = "Rename", .bounds = {200, 100, 75, 60}}, {.caption = "Auto Rename", .modalResult = 4});

    EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(dialog.Handle(), GWL_STYLE) & WS_SYSMENU) << "no close box";
    RECT client{};
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 513);
    EXPECT_EQ(client.bottom, 172);

    bool ownerDisabledDuringRun = false, visibleDuringRun = false;
    Timer answer({.name = "answer", .interval = 30, .enabled = true});
    answer.onTimer = [&] {
        answer.Stop();
        ownerDisabledDuringRun = !IsWindowEnabled(owner.form.Handle());
        visibleDuringRun = IsWindowVisible(dialog.Handle());
        SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);  // ignored: no close box
        SendMessageA(ui::FindByName(dialog.Handle(), "BitBtn2"), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(dialog.ShowModal(), 2);
    EXPECT_TRUE(ownerDisabledDuringRun);
    EXPECT_TRUE(visibleDuringRun);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle())) << "hidden between uses";
    EXPECT_TRUE(IsWindowEnabled(owner.form.Handle()));

    // The same form runs again; a button's modalResult ends the run by itself.
    answer.onTimer = [&] {
        answer.Stop();
        SendMessageA(rename.Handle(), BM_CLICK, 0, 0);
    };
    answer.Start();
    EXPECT_EQ(dialog.ShowModal(), 4);
}

TEST(ModalFormRun, AQuitEndsItUnshownAndReachesTheOuterLoopOnce)
{
    TestWindow owner(300, 200, "OwnerForm");
    Form dialog({.name = "QuitDialog"}, {.caption = "Question", .owner = owner.form.Handle()});
    int shownTicks = 0;
    Timer quit({.name = "quit", .interval = 30, .enabled = true});
    quit.onTimer = [&] {
        quit.Stop();
        shownTicks += IsWindowVisible(dialog.Handle()) ? 1 : 0;
        PostQuitMessage(5);  // the session ends while the question is up
    };
    EXPECT_EQ(dialog.ShowModal(), kModalNone);
    EXPECT_EQ(shownTicks, 1);
    EXPECT_TRUE(IsWindowEnabled(owner.form.Handle()));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "posted again";

    // A question after the quit is not shown at all: it would wait for this answer.
    quit.onTimer = [&] { dialog.SetModalResult(kModalOk); };
    quit.Start();
    EXPECT_EQ(dialog.ShowModal(), kModalNone);
    quit.Stop();

    // The outer loop ends with the remembered quit, once: the next run waits for a quit of its own.
    EXPECT_EQ(RunMessageLoop(), 5);
    PostQuitMessage(9);
    EXPECT_EQ(RunMessageLoop(), 9);
}

TEST(PopupMenuItems, RadioItemsFlipTheirOwnMarkAndClearTheOther)
{
    PopupMenu menu;
    int clicks = 0;
    const int fresh = menu.Add({.caption = "Rename New File", .name = "RenameNewFile1", .checked = true,
                                .autoCheck = true, .radioItem = true, .onClick = [&] { ++clicks; }});
    const int old = menu.Add({.caption = "Rename Old File", .name = "RenameOldFile1", .autoCheck = true,
                              .radioItem = true});
    EXPECT_EQ(menu.IndexOf("RenameOldFile1"), old);
    menu.Click(old);
    EXPECT_TRUE(menu.Checked(old));
    EXPECT_FALSE(menu.Checked(fresh));
    menu.Click(fresh);
    EXPECT_TRUE(menu.Checked(fresh));
    EXPECT_FALSE(menu.Checked(old));
    menu.Click(fresh);  // the checked one again: neither stays checked
    EXPECT_FALSE(menu.Checked(fresh));
    EXPECT_FALSE(menu.Checked(old));
    EXPECT_EQ(clicks, 2);
}

TEST(PageControlPages, PagesFollowTheTabsAndTabsAreDrawnByTheOwner)
{
    TestWindow w(300, 200);
    PageControl pages(w.form, {.name = "PageControl1", .align = Align::Client}, {.tabsAtBottom = true});
    std::vector<int> drawn;
    pages.onDrawTab = [&](int index, HDC dc, RECT rect, bool) {
        drawn.push_back(index);
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    };
    Panel& progress = pages.AddPage("Progress", "tsProgress");
    Panel& logs = pages.AddPage("Logs", "tsLogs");
    EXPECT_EQ(FindByName(w.form.Handle(), "tsLogs"), logs.Handle());
    EXPECT_EQ(WindowText(logs.Handle()), "Logs");
    EXPECT_TRUE(progress.Visible());
    EXPECT_FALSE(logs.Visible());
    EXPECT_GT(progress.Height(), 100);
    EXPECT_LT(progress.Top(), 10) << "tabs at the bottom leave the page at the top";
    EXPECT_GT(pages.ClientHeight() - (progress.Top() + progress.Height()), 12) << "and the tabs below it";

    pages.SetActivePage(1);
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_FALSE(progress.Visible());
    EXPECT_TRUE(logs.Visible());
    EXPECT_EQ(logs.Width(), progress.Width());

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 300, 200);
    HGDIOBJ old = SelectObject(memory, canvas);
    SendMessageA(pages.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 0), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
}

TEST(ScrollingAndSplitting, WheelScrollsByStepsAndSplitterResizesItsNeighbour)
{
    TestWindow w(300, 200);
    ScrollBox box(w.form, {.name = "ScrollBox1", .align = Align::Client});
    Panel low(box, {.name = "low", .bounds = {0, 500, 50, 20}});
    EXPECT_EQ(box.ScrollPosition(), 0);
    SendMessageA(box.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(box.ScrollPosition(), 10);
    EXPECT_EQ(low.Top(), 490);
    SendMessageA(box.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
    EXPECT_EQ(box.ScrollPosition(), 30);
    SendMessageA(box.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(box.ScrollPosition(), 20);
    box.SetScrollPosition(100000);
    EXPECT_EQ(box.ScrollPosition(), 520 - box.ClientHeight()) << "no further than the lowest child";
    box.SetScrollPosition(0);
    EXPECT_EQ(low.Top(), 500);

    TestWindow s(300, 200, "SourceForm");
    ListBox sourceList(s.form, {.name = "sourceList", .bounds = {0, 0, 0, 73}, .align = Align::Top});
    Splitter splitter(s.form, {.name = "Splitter1", .bounds = {0, 0, 0, 3}, .align = Align::Top},
                      {.color = RGB(128, 0, 128)});
    Panel rest(s.form, {.name = "Panel8", .align = Align::Client});
    splitter.MoveBy(20);
    EXPECT_EQ(sourceList.Height(), 93);
    EXPECT_EQ(rest.Top(), 96);
    splitter.MoveBy(-1000);
    EXPECT_EQ(sourceList.Height(), 30) << "the neighbour keeps its minimum size";
}

TEST(ListsAndFields, ItemsSelectionAndTexts)
{
    TestWindow w(300, 200);
    ListBox list(w.form, {.name = "sourceList", .bounds = {0, 0, 200, 80}});
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Add("C:\\b");
    list.Add("C:\\a");
    list.Add("C:\\c");
    EXPECT_EQ(list.Item(0), "C:\\b") << "unsorted: in the order of addition";
    list.SetSelected(0, true);
    list.SetSelected(2, true);
    EXPECT_EQ(list.SelectedCount(), 2);
    EXPECT_TRUE(list.Selected(2));
    EXPECT_FALSE(list.Selected(1));
    list.ClearSelection();
    EXPECT_EQ(list.SelectedCount(), 0);
    list.Delete(0);
    EXPECT_EQ(list.IndexOf("C:\\c"), 1);

    ComboBox path(w.form, {.name = "cbPath", .bounds = {0, 90, 200, 21}}, {.items = {"D:\\one", "D:\\two"}});
    int changes = 0, picks = 0;
    path.onChange = [&] { ++changes; };
    path.onClick = [&] { ++picks; };
    path.SetText("typed");
    EXPECT_EQ(WindowText(path.Handle()), "typed");
    EXPECT_EQ(changes, 0) << "text set by the program runs no handler";
    EXPECT_LT(path.Height(), 40) << "the height is the closed box's";
    {
        // Placed where it stands, with its list, it is left alone; a new width places it.
        const PlacementWatch placements(path.Handle());
        path.SetBounds(path.GetBounds());
        path.SetBounds(path.GetBounds());
        EXPECT_TRUE(PlacementWatch::heights.empty()) << "a layout placed it again where it stood";
        path.SetWidth(180);
        EXPECT_FALSE(PlacementWatch::heights.empty());
        EXPECT_EQ(path.Width(), 180);
        EXPECT_LT(path.Height(), 40);
    }
    path.SetItemIndex(1);
    SendMessageA(w.form.Handle(), WM_COMMAND, MAKEWPARAM(path.Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(path.Handle()));
    EXPECT_EQ(path.Text(), "D:\\two") << "the picked item is the text when the handlers run";
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(changes, 1);

    ProgressBar bar(w.form, {.name = "AllProgressBar", .bounds = {0, 120, 200, 16}});
    bar.SetRange(0, 2000000000);
    bar.SetPosition(1500000000);
    EXPECT_EQ(bar.Max(), 2000000000);
    EXPECT_EQ(bar.Position(), 1500000000);
}

TEST(KeyEvents, FieldsFilterCharactersAndFormsSeeKeysFirst)
{
    Form form({.name = "TNewDir"}, {.caption = "Input New Folder Name", .keyPreview = true});
    Edit size(form, {.name = "EditFSMin", .bounds = {0, 0, 100, 21}}, {.text = "0"});
    std::vector<std::string> seen;
    size.onKeyPress = [&](char& key) {
        if ((key < '0' || key > '9') && key != 8)
            key = 0;
    };
    size.onKeyUp = [&](WORD& key, Shift) { seen.push_back("edit " + std::to_string(key)); };
    form.onKeyUp = [&](WORD& key, Shift) {
        seen.push_back("form " + std::to_string(key));
        if (key == VK_ESCAPE)
            key = 0;  // the form keeps Escape to itself
    };
    int changes = 0;
    size.onChange = [&] { ++changes; };
    size.SetText("");
    EXPECT_EQ(changes, 1) << "the program's own changes count too";
    for (char c : std::string("1a2-"))
        SendMessageA(size.Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    EXPECT_EQ(size.Text(), "12");
    EXPECT_EQ(changes, 3);
    SendMessageA(size.Handle(), WM_KEYUP, VK_RETURN, 0);
    SendMessageA(size.Handle(), WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"form 13", "edit 13", "form 27"}));

    ComboBox masks(form, {.name = "cbFName", .bounds = {0, 30, 150, 21}}, {.text = "*.*"});
    std::vector<WORD> released;
    masks.onKeyUp = [&](WORD& key, Shift) { released.push_back(key); };
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(masks.Handle(), &info));
    SendMessageA(info.hwndItem, WM_KEYUP, 191, 0);  // keys typed into the edit field belong to the box
    EXPECT_EQ(released, std::vector<WORD>{191});
}

TEST(DateTimeField, CustomFormatAndValue)
{
    TestWindow w(300, 100);
    DateTimePicker dtp1(w.form, {.name = "dtp1", .bounds = {0, 0, 160, 21}},
                        {.format = "MM/dd/yyyy HH:mm:ss", .upDown = true});
    SYSTEMTIME value{};
    value.wYear = 1899;
    value.wMonth = 12;
    value.wDay = 30;
    EXPECT_TRUE(dtp1.SetValue(value));
    SYSTEMTIME later{};
    later.wYear = 2169;
    later.wMonth = 7;
    later.wDay = 4;
    later.wHour = 13;
    later.wMinute = 5;
    later.wSecond = 9;
    ASSERT_TRUE(dtp1.SetValue(later));
    const SYSTEMTIME got = dtp1.Value();
    EXPECT_EQ(got.wYear, 2169);
    EXPECT_EQ(got.wMonth, 7);
    EXPECT_EQ(got.wDay, 4);
    EXPECT_EQ(got.wHour, 13);
    EXPECT_EQ(got.wMinute, 5);
    EXPECT_EQ(got.wSecond, 9);
    EXPECT_TRUE(GetWindowLongA(dtp1.Handle(), GWL_STYLE) & DTS_UPDOWN);
}

TEST(DemoScreenshot, PicturesAndControlsLookClear)
{
    UseProgramPictures();
    TestWindow w(560, 330, "DemoForm", true);
    Panel green(w.form, {.name = "green", .bounds = {0, 0, 0, 100}, .align = Align::Top}, {.color = RGB(204, 255, 170)});
    Panel pink(w.form, {.name = "pink", .bounds = {0, 0, 0, 50}, .align = Align::Top}, {.color = RGB(255, 204, 170)});
    Panel buttons(w.form, {.name = "buttons", .bounds = {0, 0, 0, 70}, .align = Align::Top}, {.color = RGB(221, 255, 221)});
    Panel rest(w.form, {.name = "rest", .align = Align::Client});
    std::vector<std::unique_ptr<Control>> keep;
    const Picture operations[] = {Picture::Copy, Picture::Cut, Picture::Trash, Picture::Delete, Picture::Crush};
    for (int i = 0; i < 5; ++i) {
        keep.push_back(std::make_unique<Image>(green, ControlArgs{.name = "big" + std::to_string(i), .bounds = {10 + i * 74, 18, 64, 64}},
                                               ImageArgs{.picture = GetPicture(operations[i], 64)}));
        keep.push_back(std::make_unique<Image>(pink, ControlArgs{.name = "small" + std::to_string(i), .bounds = {30 + i * 74, 13, 24, 24}},
                                               ImageArgs{.picture = GetPicture(operations[i], 24)}));
        ASSERT_NE(GetPicture(operations[i], 64), nullptr);
        ASSERT_NE(GetPicture(operations[i], 24), nullptr);
    }
    keep.push_back(std::make_unique<Image>(green, ControlArgs{.name = "icon", .bounds = {420, 0, 128, 100}},
                                           ImageArgs{.icon = ProgramIcon(128)}));
    ASSERT_NE(ProgramIcon(128), nullptr);
    ASSERT_NE(ProgramIcon(16), nullptr);
    const std::pair<const char*, Picture> dialogButtons[] = {{"Overwrite", Picture::Overwrite}, {"Skip", Picture::Skip},
                                                             {"Update", Picture::Update}, {"Auto Rename", Picture::AutoRename},
                                                             {"Replace", Picture::Replace}};
    int x = 5;
    for (const auto& [caption, picture] : dialogButtons) {
        keep.push_back(std::make_unique<Button>(buttons, ControlArgs{.name = caption, .bounds = {x, 5, 75, 60}},
                                                ButtonArgs{.caption = caption, .picture = GetPicture(picture, 24),
                                                           .layout = PictureLayout::Top}));
        x += 80;
    }
    Animation ani(buttons, {.name = "aniSearch", .bounds = {420, 5, 48, 48}});
    ani.Open(ExeFolder() + "a3.avi");
    ani.Play();
    Label bold(rest, {.name = "Label7", .bounds = {400, 50, 100, 16}}, {.caption = "Marrowick "});
    bold.SetFont({.points = 10, .bold = true});
    const std::pair<const char*, Picture> barButtons[] = {{"Stop searching...", Picture::StopSearching}, {"Begin", Picture::Begin},
                                                          {"Cancel", Picture::Cancel}, {"Pause", Picture::Pause},
                                                          {"Go On", Picture::GoOn}, {"Add", Picture::Add},
                                                          {"Remove", Picture::Remove}};
    x = 5;
    for (const auto& [caption, picture] : barButtons) {
        const int width = std::string(caption).size() > 8 ? 120 : 75;
        keep.push_back(std::make_unique<Button>(rest, ControlArgs{.name = caption, .bounds = {x, 5, width, 28}},
                                                ButtonArgs{.caption = caption, .picture = GetPicture(picture, 16)}));
        x += width + 4;
    }
    PageControl settings(rest, {.name = "PageControl2", .bounds = {5, 40, 280, 70}}, {.buttonTabs = true, .tabWidth = 90, .tabHeight = 30});
    settings.AddPage("Options", "tsOptions", GetPicture(Picture::Options, 24));
    settings.AddPage("About", "tsAbout", GetPicture(Picture::About, 24));
    const Picture more[] = {Picture::Folder, Picture::NewFolder, Picture::Ok};
    for (int i = 0; i < 3; ++i)
        keep.push_back(std::make_unique<Image>(rest, ControlArgs{.name = "more" + std::to_string(i), .bounds = {300 + i * 30, 50, 24, 24}},
                                               ImageArgs{.picture = GetPicture(more[i], 24)}));

    SetForegroundWindow(w.form.Handle());
    PumpUntil([] { return false; }, 400);
    RECT r{};
    GetWindowRect(w.form.Handle(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    // The 64-pixel Copy picture shows its blue edge and white page, not the panel colour alone.
    const POINT copyAt{10 + 30, 18 + 40};
    POINT onScreen = copyAt;
    MapWindowPoints(green.Handle(), nullptr, &onScreen, 1);
    const COLORREF sample = GetPixel(screen, onScreen.x, onScreen.y);
    EXPECT_NE(sample, RGB(204, 255, 170));

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    const std::string path = ExeFolder() + "..\\control-layer-demo.bmp";
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(written, size);
}
