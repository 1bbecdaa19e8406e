// Builds the main window's frame and its sections, as the form lays them out, and links the sections
// to the window.
#include "app/MainWindowClass.h"
#include "app/Mainfrm.h"

#include "app/ControlArgsBuilders.h"
#include "platform/MessagePump.h"
#include "res/Pictures.h"

#include <iterator>

using namespace build;

namespace {

constexpr COLORREF kEvenColor = RGB(204, 255, 170);
constexpr COLORREF kOddColor = RGB(255, 204, 170);

// Each operation's picture, in the order of the operation table's rows.
constexpr res::Picture kOperationPictures[] = {res::Picture::Copy, res::Picture::Cut, res::Picture::Trash,
                                               res::Picture::Delete, res::Picture::Crush};
static_assert(std::size(kOperationPictures) == kOperationCount, "each operation has its picture");

} // namespace

void TVorCopyPasteWin::BuildForm()
{
    ui::FormArgs f;
    f.className = kMainWindowClass;
    f.caption = kMainWindowCaption;
    f.minWidth = kMainWindowMinWidth;
    f.minHeight = kMainWindowMinHeight;
    f.icon = res::ProgramIcon(32);
    f.smallIcon = res::ProgramIcon(16);
    application = std::make_unique<ApplicationWindow>(kApplicationTitle, f.icon, f.smallIcon);
    f.owner = application->Handle();
    form = Make<ui::Form>(Named("VorCopyPasteWin", {0, 0, kMainWindowWidth, kMainWindowHeight}), f);
    application->SetMainWindow(form->Handle());

    Panel18 = Make<ui::Panel>(*form, Named("Panel18", {}, ui::Align::Client));
    Panel19 = Make<ui::Panel>(*Panel18, Named("Panel19", {0, 0, 0, 74}, ui::Align::Bottom));
    ui::ButtonArgs stop{"Stop searching...", res::GetPicture(res::Picture::StopSearching, 24)};
    ui::ControlArgs stopArgs = Disabled(Named("StopSearch", {12, 20, 130, 34}));
    stopArgs.hint = "If stop searching, the software can not estimate remaining time.";
    StopSearch = Make<ui::Button>(*Panel19, stopArgs, stop);
    ui::ButtonArgs begin{"Begin", res::GetPicture(res::Picture::Begin, 24)};
    ui::ControlArgs beginArgs = Named("bbBegin", {0, 20, 100, 34});
    beginArgs.font.bold = true;
    bbBegin = Make<ui::Button>(*Panel19, beginArgs, begin);
    ui::ButtonArgs cancel{"Cancel", res::GetPicture(res::Picture::Cancel, 24)};
    bbCancel = Make<ui::Button>(*Panel19, Named("bbCancel", {0, 20, 100, 34}), cancel);
    BitBtn1 = Make<ui::Button>(*Panel19, Hidden(Named("BitBtn1", {0, 0, 10, 10})));
    StopSearch->onClick = [this] {
        if (EffectOf(UserAction::StopSearch, Phase()) == Effect::Act)
            StopSearchClick();
    };
    bbBegin->onClick = [this] { bbBeginClick(); };
    bbCancel->onClick = [this] { bbCancelClick(); };
    BitBtn1->onClick = [this] { BitBtn1Click(); };

    ui::ScrollBoxArgs sb;
    sb.doubleBuffered = true;  // sections open and close by moving: drawn without flicker
    ScrollBox2 = Make<ui::ScrollBox>(*Panel18, Named("ScrollBox2", {}, ui::Align::Client), sb);

    BuildOperationSection();
    BuildSection(kSectionSource, "SourcePanel", "SourceLabel", "Select Source Files and Folders", "SourceSubPanel",
                 "SourceSubPanel2", SourcePanel, SourceLabel, SourceSubPanel, SourceSubPanel2);
    source.Build(*SourceSubPanel, {.enableBegin = [this] { bbBegin->SetEnabled(true); },
                                   .requestScan = [this] { RequestCount(); }});
    BuildSection(kSectionFilters, "NameFilterPanel", "NameFilterLabel", "Filters", "NameFilterSubPanel",
                 "NameFilterSubPanel2", NameFilterPanel, NameFilterLabel, NameFilterSubPanel, NameFilterSubPanel2);
    filters.Build(*NameFilterSubPanel);
    BuildSection(kSectionTo, "ToPanel", "ToLabel", "Select the destination directory", "ToSubPanel", "ToSubPanel2",
                 ToPanel, ToLabel, ToSubPanel, ToSubPanel2);
    to.Build(*ToSubPanel);
    BuildSection(kSectionProgress, "ProgressPanel", "ProgressLabel", "Progress", "ProgressSubPanel",
                 "ProgressSubPanel2", ProgressPanel, ProgressLabel, ProgressSubPanel, ProgressSubPanel2);
    progress.Build(*ProgressSubPanel, *ProgressSubPanel2, *ProgressLabel, *Panel19, *StopSearch);
    progress.onPause = [this] { bbPauseClick(); };
    BuildSection(kSectionSettings, "SettingsPanel", "SettingsLabel", "Settings", "SettingsSubPanel",
                 "SettingsSubPanel2", SettingsPanel, SettingsLabel, SettingsSubPanel, SettingsSubPanel2);
    settings.Build(*SettingsSubPanel);
    trees.Build({to.TreePanel(), to.ParkingPanel(), source.TreePanel(),
                 [this](const std::string& path) { to.SetDestinationText(path); },
                 [this](const std::string& path) { source.ShowChosenFolder(path); },
                 [this] { return source.ChosenFolder(); }},
                // Nor once the program is ending: a dialog opened then would keep it from ending.
                [this] { return AtRestOutsideLoops() && !QuitPending() && !state.quitFlag; });

    const char* frameNames[4] = {"pr0", "pr1", "pr2", "pr3"};
    for (int i = 0; i < 4; ++i)
        frame[static_cast<size_t>(i)] =
            Make<ui::Panel>(*ScrollBox2, Hidden(Named(frameNames[i], {0, 0, 2, 2})), ui::PanelArgs{RGB(255, 0, 0)});

    // The notice of a refused source, centred over the window when shown.
    ui::PanelArgs notice;
    notice.color = GetSysColor(COLOR_HIGHLIGHT);
    notice.border = ui::Border::Lowered;
    notice.borderWidth = 5;
    pExists = Make<ui::Panel>(*form, Hidden(Named("pExists", {0, 0, 233, 81})), notice);
    ui::LabelArgs l10;
    l10.caption = "Parent folder has already existed in the source list.";
    l10.textColor = RGB(0, 255, 0);
    l10.alignment = ui::TextAlign::Center;
    l10.wordWrap = true;
    l10.autoSize = false;
    ui::ControlArgs l10Args = Named("Label10", {}, ui::Align::Client);
    l10Args.font.pixelHeight = 16;
    Label10 = Make<ui::Label>(*pExists, l10Args, l10);
    pExists->onClick = [this] { pExists->Hide(); };
    Label10->onClick = [this] { pExists->Hide(); };

    const auto timer = [](const char* name, UINT interval) {
        return Make<ui::Timer>(ui::TimerArgs{name, interval, false});
    };
    SearchTimer = timer("SearchTimer", 10);
    ReclickBeginButton = timer("ReclickBeginButton", 500);
    Timer3 = timer("Timer3", 1);
    Timer3->tag = -1;
    SearchTimer->onTimer = [this] { SearchTimerTimer(); };
    ReclickBeginButton->onTimer = [this] { ReclickBeginButtonTimer(); };
    Timer3->onTimer = [this] { Timer3Timer(); };
}

void TVorCopyPasteWin::BuildSection(int index, const std::string& panelName, const std::string& headerName,
                                    const std::string& headerText, const std::string& bodyName,
                                    const std::string& iconName, std::unique_ptr<ui::Panel>& panel,
                                    std::unique_ptr<ui::Label>& header, std::unique_ptr<ui::Panel>& body,
                                    std::unique_ptr<ui::Panel>& icon)
{
    const COLORREF color = index % 2 == 0 ? kEvenColor : kOddColor;
    panel = Make<ui::Panel>(*ScrollBox2, Tagged(Named(panelName, {0, 0, 400, 13}, ui::Align::Top), index),
                            ui::PanelArgs{color});
    ui::LabelArgs h;
    h.caption = headerText;
    h.wordWrap = true;
    h.autoSize = true;
    ui::ControlArgs headerArgs = Tagged(Named(headerName, {0, 0, 400, 13}, ui::Align::Top), index);
    headerArgs.font.bold = true;
    header = Make<ui::Label>(*panel, headerArgs, h);
    body = Make<ui::Panel>(*panel, Tagged(Named(bodyName, {}, ui::Align::Client), index));
    icon = Make<ui::Panel>(*panel, Named(iconName, {0, 1, 24, 24}));

    ui::Label* self = header.get();
    header->onClick = [this, self] { CopyCutLabelClick(*self); };
    header->onMouseMove = [this, self](int, int) { CopyCutLabelMouseMove(*self); };

    sectionPanel[static_cast<size_t>(index)] = panel.get();
    sectionHeader[static_cast<size_t>(index)] = header.get();
    sectionBody[static_cast<size_t>(index)] = body.get();
    sectionIcon[static_cast<size_t>(index)] = icon.get();
}

void TVorCopyPasteWin::BuildOperationSection()
{
    BuildSection(kSectionOperation, "CopyCutPanel", "CopyCutLabel",
                 "Select Operation: Copy; Cut; Move to trash;  Delete; Crush", "CopyCutSubPanel",
                 "CopyCutSubPanel2", CopyCutPanel, CopyCutLabel, CopyCutSubPanel, CopyCutSubPanel2);
    ScrollBox3 = Make<ui::ScrollBox>(*CopyCutSubPanel, Named("ScrollBox3", {}, ui::Align::Client));

    for (int i = 0; i < kOperationCount; ++i) {
        const OperationRow& c = RowOf(static_cast<Operation>(i));
        const auto n = static_cast<size_t>(i);
        const res::Picture picture = kOperationPictures[n];
        operationCell[n] =
            Make<ui::Panel>(*ScrollBox3, Tagged(Named(c.cellName, {c.cellLeft + 4, c.cellTop + 4, 128, 91}), i));
        operationPicture[n] = Make<ui::Image>(*operationCell[n], Tagged(Named(c.pictureName, {32, 4, 64, 64}), i),
                                              ui::ImageArgs{res::GetPicture(picture, 64)});
        operationRadio[n] = Make<ui::RadioButton>(*operationCell[n], Tagged(Named(c.radioName, {16, 70, 104, 17}), i),
                                                  ui::RadioButtonArgs{c.caption, i == kOpCopy});
        operationIcon[n] = Make<ui::Image>(*CopyCutSubPanel2, Tagged(Named(c.iconName, {0, 0, 24, 24}), i),
                                           ui::ImageArgs{res::GetPicture(picture, 24)});
        operationIcon[n]->SetVisible(i == kOpCopy);

        operationRadio[n]->onClick = [this, i] { rbCopyClick(i); };
        operationPicture[n]->onClick = [this, i] { rbCopyClick(i); };
    }
    // The Copy cell's own background counts as choosing Copy.
    operationCell[0]->onClick = [this] { rbCopyClick(-1); };
}

void TVorCopyPasteWin::LinkSections()
{
    tray.Build(*form, *application,
               {.help = [this] { settings.Label11Click(); },
                .about = [this] {
                    settings.ShowAboutPage();
                    if (expandedSection != kSectionSettings)
                        OpenSection(kSectionSettings);
                }});
    shell.Build({
        .addSource = [this](const std::string& path) { return source.AddSourceItem(path); },
        .sourcesChanged = [this](UserAction action) { SourcesChangedBy(action); },
        .showRefusedNotice =
            [this] {
                pExists->Show();
                pExists->BringToFront();
                FormResize();  // centres the notice
            },
        .showTrayIcon = [this] { tray.Show(); },
        .showWindow = [this] { form->Show(); },
        .monitorsClipboard = [this] { return settings.MonitorsClipboard(); },
        .anySource = [this] { return source.Any(); },
        .endRunningScan =
            [this] {
                if (ScanRunning())
                    scanTotals.stopped = true;
            },
        .takeSources =
            [this](const std::vector<std::string>& paths) {
                rbCopyClick(kOpCopy);
                source.ReplaceWith(paths);
            },
        .scanAndOpenTo = [this] { BitBtn1Click(); },
        .startTreesAt = [this](const std::string& folder) { trees.StartAt(folder); },
    });
    // Building the window looks at its messages now and then, so a hand-off can arrive before the
    // window's start-up has run: its messages take their one path from here on.
    form->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return Dispatch(message, wParam, lParam, result);
    };
}
