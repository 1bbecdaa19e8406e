// The main window's six sections on the real window: which one is open, the switch animation, the
// frame, the operation chooser and the To section, and the layout at the smallest and the largest size.
#include "tests/window/MainWindowHarness.h"
#include "tests/window/PlacementWatch.h"

#include "platform/MessageFilter.h"

#include <vector>

using namespace mainwindow;

namespace {

struct SectionNames {
    const char* panel;
    const char* header;
    const char* icon;  // the box of the header's picture
};

const SectionNames kSections[6] = {
    {"CopyCutPanel", "CopyCutLabel", "CopyCutSubPanel2"},
    {"SourcePanel", "SourceLabel", "SourceSubPanel2"},
    {"NameFilterPanel", "NameFilterLabel", "NameFilterSubPanel2"},
    {"ToPanel", "ToLabel", "ToSubPanel2"},
    {"ProgressPanel", "ProgressLabel", "ProgressSubPanel2"},
    {"SettingsPanel", "SettingsLabel", "SettingsSubPanel2"},
};


// Every message a window of this process asked to let through, and how: recorded on the way to the
// system's call, which is installed before any window of these tests is made (the system has no call
// that reads a window's filter back).
struct FilterRequest {
    HWND window;
    UINT message;
    DWORD action;
};
std::vector<FilterRequest> filterRequests;

BOOL WINAPI RecordingChangeMessageFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT status)
{
    filterRequests.push_back({window, message, action});
    return ChangeWindowMessageFilterEx(window, message, action, status);
}

const bool filterRecorded = (changeMessageFilter = RecordingChangeMessageFilter, true);

int HeightOf(HWND window)
{
    const RECT r = ScreenRect(window);
    return r.bottom - r.top;
}

} // namespace

class MainWindowSections : public MainWindowTest {
protected:
    // The Filters and To headers open their sections once there is a source.
    void GiveASource() { AddSource(sourceFolder.Path()); }
    testsupport::TempFolder sourceFolder;

    HWND Panel(int i) { return Find(kSections[i].panel); }
    HWND Header(int i) { return Find(kSections[i].header); }

    // The colour a control of the window is drawn in (its own, as the window set it).
    COLORREF ColorOf(const std::string& name) const
    {
        const ui::Control* control = ControlNamed(name);
        return control ? control->Color() : CLR_INVALID;
    }
    COLORREF PanelColor(int i) const { return ColorOf(kSections[i].panel); }
    COLORREF HeaderColor(int i) const { return ColorOf(kSections[i].header); }
    COLORREF IconColor(int i) const { return ColorOf(kSections[i].icon); }

    // Exactly the radio button of `operation` is checked, and exactly its picture shows in the header.
    void ExpectOperation(Operation operation)
    {
        SCOPED_TRACE("operation " + std::to_string(operation));
        for (int i = 0; i < kOperationCount; ++i) {
            const OperationRow& row = RowOf(static_cast<Operation>(i));
            EXPECT_EQ(Checked(Find(row.radioName)), i == operation) << row.radioName;
            EXPECT_EQ(OwnVisible(Find(row.iconName)), i == operation) << row.iconName;
        }
        EXPECT_EQ(window->OperationKind(), operation);
    }

    // The open section fills what its collapsed neighbours leave; the others are their header's
    // height (the To section 1 pixel while a destination-less operation is chosen); the frame sits on
    // the open section's edges in red (odd) or green (even).
    void ExpectOpen(int open)
    {
        SCOPED_TRACE("open section " + std::to_string(open));
        ASSERT_FALSE(window->SwitchRunning());
        EXPECT_EQ(window->ExpandedSection(), open);
        const bool toCollapsedToLine = !RowOf(window->OperationKind()).usesDestination;
        for (int i = 0; i < 6; ++i) {
            if (i == open) {
                EXPECT_GT(HeightOf(Panel(i)), HeightOf(Header(i))) << kSections[i].panel;
                continue;
            }
            const int expected = i == 3 && toCollapsedToLine ? 1 : HeightOf(Header(i));
            EXPECT_EQ(HeightOf(Panel(i)), expected) << kSections[i].panel;
        }

        const RECT p = ScreenRect(Panel(open));
        const RECT expected[4] = {{p.left, p.top, p.right, p.top + 2},
                                  {p.right - 2, p.top, p.right, p.bottom},
                                  {p.left, p.bottom - 2, p.right, p.bottom},
                                  {p.left, p.top, p.left + 2, p.bottom}};
        const COLORREF colour = open % 2 == 1 ? RGB(255, 0, 0) : RGB(0, 128, 0);
        for (int e = 0; e < 4; ++e) {
            const std::string name = "pr" + std::to_string(e);
            HWND edge = Find(name);
            EXPECT_TRUE(IsWindowVisible(edge)) << name;
            const RECT r = ScreenRect(edge);
            EXPECT_TRUE(EqualRect(&r, &expected[e])) << name << " at " << Describe(r) << ", the panel at " << Describe(p);
            EXPECT_EQ(ColorOf(name), colour) << name;
        }
        // The open section's header and icon box wear the section's own colour.
        const COLORREF own = open % 2 == 0 ? RGB(204, 255, 170) : RGB(255, 204, 170);
        EXPECT_EQ(PanelColor(open), own);
        EXPECT_EQ(HeaderColor(open), own);
        EXPECT_EQ(IconColor(open), own);
    }

    // Nothing overlaps and nothing vanishes: the sections stack in order and exactly cover the
    // scroll box above the bottom bar; the three buttons of the bottom bar stand apart inside it.
    void ExpectSoundLayout(const std::string& when)
    {
        SCOPED_TRACE(when);
        const RECT client = ClientScreenRect(main);
        const RECT box = ClientScreenRect(Find("ScrollBox2"));
        const RECT bar = ScreenRect(Find("Panel19"));
        EXPECT_TRUE(Inside(box, client)) << Describe(box) << " in " << Describe(client);
        EXPECT_TRUE(Inside(bar, client)) << Describe(bar) << " in " << Describe(client);
        EXPECT_LE(box.bottom, bar.top) << "the sections run under the bottom bar";
        EXPECT_EQ(bar.bottom, client.bottom);
        EXPECT_EQ(bar.bottom - bar.top, 74);

        int top = box.top;
        for (int i = 0; i < 6; ++i) {
            const RECT r = ScreenRect(Panel(i));
            EXPECT_TRUE(IsWindowVisible(Panel(i))) << kSections[i].panel;
            EXPECT_EQ(r.top, top) << kSections[i].panel << " does not follow the one above it";
            EXPECT_GE(r.bottom - r.top, 1) << kSections[i].panel;
            EXPECT_EQ(r.left, box.left) << kSections[i].panel;
            EXPECT_EQ(r.right, box.right) << kSections[i].panel;
            top = r.bottom;
            // Its header shows in full, unless it is the To section drawn as a line.
            const RECT h = ScreenRect(Header(i));
            if (!(i == 3 && window->OperationKind() >= kOpTrash)) {
                EXPECT_GT(h.bottom - h.top, 0) << kSections[i].header;
                EXPECT_TRUE(Inside(h, r)) << kSections[i].header << " " << Describe(h) << " in " << Describe(r);
            }
        }
        EXPECT_EQ(top, box.bottom) << "the sections do not fill the space above the bottom bar";

        const char* buttons[3] = {"StopSearch", "bbBegin", "bbCancel"};
        for (int i = 0; i < 3; ++i) {
            const RECT r = ScreenRect(Find(buttons[i]));
            EXPECT_TRUE(IsWindowVisible(Find(buttons[i]))) << buttons[i];
            EXPECT_TRUE(Inside(r, bar)) << buttons[i] << " " << Describe(r) << " outside the bar " << Describe(bar);
            for (int j = i + 1; j < 3; ++j)
                EXPECT_FALSE(Overlap(r, ScreenRect(Find(buttons[j])))) << buttons[i] << " and " << buttons[j];
        }
        const RECT begin = ScreenRect(Find("bbBegin"));
        const RECT cancel = ScreenRect(Find("bbCancel"));
        EXPECT_LT(begin.right, cancel.left) << "Begin stands left of Cancel";
    }
};

TEST_F(MainWindowSections, ProgressIsOpenAtStartTheOthersShowTheirHeaders)
{
    EXPECT_EQ(Text(main), "Marrowick  - ORVANDEL.COM");
    const RECT r = ScreenRect(main);
    EXPECT_EQ(r.right - r.left, 461);
    EXPECT_EQ(r.bottom - r.top, 510);
    ExpectOpen(4);
    ExpectOperation(kOpCopy);
    ExpectSoundLayout("at start");
    ExpectIdle("at start");
    // Colours by section number: even green-tinted, odd orange-tinted.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(PanelColor(i),
                  i % 2 == 0 ? RGB(204, 255, 170) : RGB(255, 204, 170))
            << kSections[i].panel;
}

TEST_F(MainWindowSections, HeaderClickOpensItsSectionAfterTheShrinkingAnimation)
{
    GiveASource();
    // Every header in turn; the one that was open shrinks step by step down to its header.
    int open = 4;
    for (const int next : {1, 2, 5, 0, 3, 4}) {
        SCOPED_TRACE(kSections[next].header);
        const HWND oldPanel = Panel(open);
        const HWND oldHeader = Header(open);
        ClickOn(kSections[next].header);
        EXPECT_TRUE(window->SwitchRunning()) << "the switch runs as an animation";
        EXPECT_EQ(window->ExpandedSection(), open) << "the old section stays the open one until the end";

        std::vector<int> heights{HeightOf(oldPanel)};
        ASSERT_TRUE(PumpUntil([&] {
            heights.push_back(HeightOf(oldPanel));
            return !window->SwitchRunning();
        }));
        for (size_t i = 1; i < heights.size(); ++i)
            EXPECT_LE(heights[i], heights[i - 1]) << "the old section grows back at step " << i;
        EXPECT_EQ(heights.back(), HeightOf(oldHeader));
        ExpectOpen(next);
        ExpectSoundLayout(std::string("open: ") + kSections[next].panel);
        open = next;
    }

    // The header of the open section: no switch, only the layout again.
    ClickOn("ProgressLabel");
    EXPECT_FALSE(window->SwitchRunning());
    ExpectOpen(4);
}

// At start no switch has run: a click on the open section's header (or Begin) runs one to it, and
// that leaves it as it stands. It was shrunk and collapsed and then laid out again, each a layout of
// its whole content and a repaint.
TEST_F(MainWindowSections, OpeningTheOpenSectionAgainNeverResizesIt)
{
    const HWND panel = Panel(4);
    const int height = HeightOf(panel);
    const PlacementWatch given(panel);
    ClickOn("ProgressLabel");
    EXPECT_TRUE(window->SwitchRunning());
    ASSERT_TRUE(WaitSwitch());
    ExpectOpen(4);
    EXPECT_EQ(HeightOf(panel), height);
    for (const int h : PlacementWatch::heights)
        EXPECT_EQ(h, height) << "the open section was given another height during the switch";
}

TEST_F(MainWindowSections, ClicksDuringTheAnimationAreIgnored)
{
    GiveASource();
    ClickOn("ToLabel");
    ASSERT_TRUE(window->SwitchRunning());
    ClickOn("SettingsLabel");
    ClickOn("SourceLabel");
    ASSERT_TRUE(WaitSwitch());
    ExpectOpen(3);
    EXPECT_FALSE(window->SwitchRunning()) << "an ignored click must not start a second switch";

    // Choosing Delete starts a switch to the Operation section; the hidden button that opens the To
    // section, pressed right then, is ignored and the Operation section ends up open.
    ClickOn("CopyCutLabel");
    ASSERT_TRUE(WaitSwitch());
    ClickOn("rbDelete");
    ASSERT_TRUE(window->SwitchRunning());
    ClickOn("BitBtn1");
    ASSERT_TRUE(WaitSwitch());
    ExpectOpen(0);
    ExpectOperation(kOpDelete);

    // With no switch running, the same button opens the To section.
    ClickOn("rbCopy");
    ASSERT_TRUE(WaitSwitch());
    ClickOn("BitBtn1");
    ASSERT_TRUE(WaitSwitch());
    ExpectOpen(3);
}

TEST_F(MainWindowSections, DeleteCollapsesTheToSectionAndCopyRestoresIt)
{
    OpenSection("CopyCutLabel", 0);
    const int toHeader = HeightOf(Find("ToLabel"));
    ASSERT_GT(toHeader, 1);

    struct Step {
        const char* control;  // what the user clicks
        Operation operation;  // what is then chosen
    };
    // Radio buttons, pictures and the Copy cell's background, between operations with and without a
    // destination, and within each group (no collapse change there).
    const Step steps[] = {{"rbDelete", kOpDelete}, {"imcopy", kOpCopy},  {"rbCrush", kOpCrush},
                          {"rbTrash", kOpTrash},   {"Panel10", kOpCopy}, {"imdelete", kOpDelete},
                          {"rbCopy", kOpCopy},     {"imcut", kOpCut},    {"imcrash", kOpCrush},
                          {"rbCut", kOpCut},       {"imtrash", kOpTrash}, {"rbCopy", kOpCopy}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.control);
        ClickOn(step.control);
        ASSERT_TRUE(WaitSwitch());
        ExpectOperation(step.operation);
        const bool line = !RowOf(step.operation).usesDestination;
        EXPECT_EQ(HeightOf(Find("ToPanel")), line ? 1 : toHeader);
        EXPECT_EQ(IsWindowEnabled(Find("ToPanel")) != 0, !line);
        ExpectOpen(0);
        ExpectSoundLayout(step.control);
    }

    // The To section collapsed to a line stays a line while another section is opened and closed.
    ClickOn("rbDelete");
    ASSERT_TRUE(WaitSwitch());
    OpenSection("SourceLabel", 1);
    EXPECT_EQ(HeightOf(Find("ToPanel")), 1);
    OpenSection("ProgressLabel", 4);
    EXPECT_EQ(HeightOf(Find("ToPanel")), 1);
    ExpectSoundLayout("Delete chosen, Progress open");
}

TEST_F(MainWindowSections, SmallestSizeIsKeptAndNothingOverlapsThereOrMaximised)
{
    GiveASource();
    SetWindowPos(main, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ProcessPendingMessages();
    RECT r = ScreenRect(main);
    EXPECT_EQ(r.right - r.left, 400) << "narrower than the smallest width";
    EXPECT_EQ(r.bottom - r.top, 460) << "lower than the smallest height";

    SetWindowPos(main, nullptr, 0, 0, 400, 460, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ProcessPendingMessages();
    r = ScreenRect(main);
    ASSERT_EQ(r.right - r.left, 400);
    ASSERT_EQ(r.bottom - r.top, 460);
    for (const int section : {0, 1, 2, 3, 5, 4}) {
        OpenSection(kSections[section].header, section);
        ExpectOpen(section);
        ExpectSoundLayout(std::string("400 x 460, open: ") + kSections[section].panel);
    }
    // With Delete chosen the To section is a line; still nothing overlaps.
    OpenSection("CopyCutLabel", 0);
    ClickOn("rbDelete");
    ASSERT_TRUE(WaitSwitch());
    ExpectSoundLayout("400 x 460, Delete");
    ClickOn("rbCopy");
    ASSERT_TRUE(WaitSwitch());

    ShowWindow(main, SW_MAXIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(main) != 0; }));
    ProcessPendingMessages();
    r = ScreenRect(main);
    EXPECT_GT(r.right - r.left, 400);
    EXPECT_GT(r.bottom - r.top, 460);
    for (const int section : {2, 4}) {
        OpenSection(kSections[section].header, section);
        ExpectOpen(section);
        ExpectSoundLayout(std::string("maximised, open: ") + kSections[section].panel);
    }
    const RECT cancel = ScreenRect(Find("bbCancel"));
    EXPECT_LE(ClientScreenRect(main).right - cancel.right, 24) << "Cancel keeps to the right edge";

    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(main) == 0; }));
    ExpectSoundLayout("restored");
}

TEST_F(MainWindowSections, HeadersLightUpUnderTheMouseButNotTheOpenOneNorDuringASwitch)
{
    const auto colourOf = [&](int i) { return HeaderColor(i); };
    const auto iconColourOf = [&](int i) { return IconColor(i); };
    const auto panelColourOf = [&](int i) { return PanelColor(i); };
    const auto moveOver = [&](int i) { SendMessageA(Header(i), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); };

    moveOver(1);
    EXPECT_EQ(colourOf(1), RGB(255, 136, 136)) << "odd sections light up red";
    EXPECT_EQ(iconColourOf(1), RGB(255, 136, 136));
    moveOver(2);
    EXPECT_EQ(colourOf(2), RGB(0, 255, 0)) << "even sections light up green";
    EXPECT_EQ(iconColourOf(2), RGB(0, 255, 0));
    EXPECT_EQ(colourOf(1), panelColourOf(1)) << "the light moves on with the mouse";
    EXPECT_EQ(iconColourOf(1), panelColourOf(1));

    moveOver(4);  // the open section
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(colourOf(i), panelColourOf(i)) << kSections[i].header;

    moveOver(5);
    EXPECT_EQ(colourOf(5), RGB(255, 136, 136));
    ClickOn("SettingsLabel");
    ASSERT_TRUE(window->SwitchRunning());
    const COLORREF during = colourOf(3);
    moveOver(3);
    EXPECT_EQ(colourOf(3), during) << "no highlight while the sections move";
    ASSERT_TRUE(WaitSwitch());
    ExpectOpen(5);
}

TEST_F(MainWindowSections, EachDatePickerLiesOverItsPresetListWhoseButtonShows)
{
    GiveASource();
    OpenSection("NameFilterLabel", 2);
    HWND box = Find("ScrollBox1");
    const auto topmostAt = [&](const RECT& screen, int x) {
        POINT p{x, (screen.top + screen.bottom) / 2};
        ScreenToClient(box, &p);
        return ChildWindowFromPointEx(box, p, CWP_SKIPINVISIBLE);
    };
    for (const auto& [picker, list] : {std::pair{"dtp1", "cbTL1"}, std::pair{"dtp2", "cbTL2"}}) {
        SCOPED_TRACE(picker);
        const RECT p = ScreenRect(Find(picker));
        const RECT l = ScreenRect(Find(list));
        EXPECT_TRUE(Overlap(p, l));
        EXPECT_GT(l.right, p.right) << "the list's button reaches past the picker";
        EXPECT_EQ(topmostAt(p, p.left + 10), Find(picker)) << "the preset list covers the picker";
        EXPECT_EQ(topmostAt(l, (p.right + l.right) / 2), Find(list)) << "the list's button is hidden";
    }
}

TEST_F(MainWindowSections, TheSectionBoxDrawsItsBackgroundOnceInItsPaintAndNeverErasesFirst)
{
    ui::ScrollBox* found = ControlNamed<ui::ScrollBox>("ScrollBox2");
    ASSERT_NE(found, nullptr);
    ui::ScrollBox& box = *found;
    ASSERT_TRUE(box.DoubleBuffered());
    // Asked to erase, it leaves the picture as it is: the paint draws the background, once.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(memory, picture);
    RECT all{0, 0, 8, 8};
    HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(memory, &all, marker);
    EXPECT_EQ(SendMessageA(box.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);
    EXPECT_EQ(GetPixel(memory, 4, 4), RGB(1, 2, 3));
    SelectObject(memory, old);
    DeleteObject(marker);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // A paint covers what it was asked to: nothing is left invalid.
    InvalidateRect(box.Handle(), nullptr, FALSE);
    UpdateWindow(box.Handle());
    RECT left{};
    EXPECT_FALSE(GetUpdateRect(box.Handle(), &left, FALSE));
}

TEST_F(MainWindowSections, StopSearchingSaysWhatStoppingCosts)
{
    const ui::Control* stop = ControlNamed("StopSearch");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->Hint(), "If stop searching, the software can not estimate remaining time.");
}

TEST_F(MainWindowSections, DropsAndHandOffsAreLetThroughToTheElevatedWindow)
{
    ASSERT_TRUE(filterRecorded);
    // The main window itself asked to let each one through (not the process, not another window).
    for (const UINT message : kDropAndHandOffMessages) {
        int allowed = 0;
        for (const FilterRequest& request : filterRequests)
            allowed += request.window == main && request.message == message && request.action == MSGFLT_ALLOW;
        EXPECT_EQ(allowed, 1) << "message 0x" << std::hex << message;
    }
    // The system kept none of them blocked (under Wine, which has no elevation, the calls succeed as
    // they do on Windows; what they change can be seen only there).
    EXPECT_TRUE(window->Shell().RefusedMessages().empty());
}

TEST_F(MainWindowSections, TheTaskBarButtonIsTheApplicationsUnderItsTitleAndFollowsTheWindow)
{
    HWND application = GetWindow(main, GW_OWNER);
    ASSERT_NE(application, nullptr) << "the window has a task-bar button of its own";
    EXPECT_EQ(ClassOf(application), kApplicationWindowClass);
    EXPECT_EQ(Text(application), "Orvandel");
    EXPECT_EQ(Text(main), "Marrowick  - ORVANDEL.COM");
    // The task bar lists unowned visible windows that are no tool windows: the application window,
    // never seen (no size), and not the main window.
    EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
    EXPECT_FALSE(GetWindowLongA(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT r{};
    GetWindowRect(application, &r);
    EXPECT_TRUE(IsRectEmpty(&r));

    ASSERT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(application));
    ShowWindow(main, SW_HIDE);  // as Cancel and the notification area hide it
    EXPECT_FALSE(IsWindowVisible(application));
    ShowWindow(main, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(application));

    // A click on the button activates the application window; the main window takes over.
    SetActiveWindow(application);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));

    // The button's Close closes the program's window, as its close box does.
    bool closed = false;
    auto* form = dynamic_cast<ui::Form*>(ui::Control::FromHandle(main));
    ASSERT_NE(form, nullptr);
    auto earlier = form->onClose;
    form->onClose = [&] { closed = true; };
    SendMessageA(application, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return closed; }));
    form->onClose = earlier;
}
