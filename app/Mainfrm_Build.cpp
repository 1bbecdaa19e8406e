// Builds the main window's controls, section by section, as the form lays them out.
#include "app/MainWindowClass.h"
#include "app/Mainfrm.h"
#include "res/Pictures.h"

namespace {

ui::ControlArgs Named(const std::string& name, ui::Bounds bounds = {}, ui::Align align = ui::Align::None)
{
    ui::ControlArgs args;
    args.name = name;
    args.bounds = bounds;
    args.align = align;
    return args;
}

ui::ControlArgs Hidden(ui::ControlArgs args)
{
    args.visible = false;
    return args;
}

ui::ControlArgs Disabled(ui::ControlArgs args)
{
    args.enabled = false;
    return args;
}

ui::ControlArgs Tagged(ui::ControlArgs args, int tag)
{
    args.tag = tag;
    return args;
}

template <typename T, typename... A>
std::unique_ptr<T> Make(A&&... args)
{
    return std::make_unique<T>(std::forward<A>(args)...);
}

constexpr COLORREF kEvenColor = RGB(204, 255, 170);
constexpr COLORREF kOddColor = RGB(255, 204, 170);

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
    BuildBottomBar();
    ui::ScrollBoxArgs sb;
    sb.doubleBuffered = true;  // sections open and close by moving: drawn without flicker
    ScrollBox2 = Make<ui::ScrollBox>(*Panel18, Named("ScrollBox2", {}, ui::Align::Client), sb);

    BuildOperationSection();
    BuildSourceSection();
    BuildFiltersSection();
    BuildToSection();
    BuildProgressSection();
    BuildSettingsSection();

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

    BuildTimers();
}

void TVorCopyPasteWin::BuildBottomBar()
{
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

    struct Cell {
        const char* cell;
        const char* radio;
        const char* caption;
        const char* picture;
        const char* icon;
        res::Picture kind;
        int left, top;
    };
    const Cell cells[5] = {
        {"Panel10", "rbCopy", "Copy", "imcopy", "imcopy1", res::Picture::Copy, 0, 0},
        {"Panel11", "rbCut", "Cut", "imcut", "imcut1", res::Picture::Cut, 128, 0},
        {"Panel12", "rbTrash", "Move to trash", "imtrash", "imtrash1", res::Picture::Trash, 0, 91},
        {"Panel13", "rbDelete", "Delete", "imdelete", "imdelete1", res::Picture::Delete, 128, 91},
        {"Panel15", "rbCrush", "Crush", "imcrash", "imcrash1", res::Picture::Crush, 256, 91},
    };
    for (int i = 0; i < 5; ++i) {
        const Cell& c = cells[i];
        const auto n = static_cast<size_t>(i);
        operationCell[n] = Make<ui::Panel>(*ScrollBox3, Tagged(Named(c.cell, {c.left + 4, c.top + 4, 128, 91}), i));
        operationPicture[n] = Make<ui::Image>(*operationCell[n], Tagged(Named(c.picture, {32, 4, 64, 64}), i),
                                              ui::ImageArgs{res::GetPicture(c.kind, 64)});
        operationRadio[n] = Make<ui::RadioButton>(*operationCell[n], Tagged(Named(c.radio, {16, 70, 104, 17}), i),
                                                  ui::RadioButtonArgs{c.caption, i == kOpCopy});
        operationIcon[n] = Make<ui::Image>(*CopyCutSubPanel2, Tagged(Named(c.icon, {0, 0, 24, 24}), i),
                                           ui::ImageArgs{res::GetPicture(c.kind, 24)});
        operationIcon[n]->SetVisible(i == kOpCopy);

        operationRadio[n]->onClick = [this, i] { rbCopyClick(i); };
        operationPicture[n]->onClick = [this, i] { rbCopyClick(i); };
    }
    // The Copy cell's own background counts as choosing Copy.
    operationCell[0]->onClick = [this] { rbCopyClick(-1); };
}

void TVorCopyPasteWin::BuildSourceSection()
{
    BuildSection(kSectionSource, "SourcePanel", "SourceLabel", "Select Source Files and Folders", "SourceSubPanel",
                 "SourceSubPanel2", SourcePanel, SourceLabel, SourceSubPanel, SourceSubPanel2);
    sourceList = Make<ui::ListBox>(*SourceSubPanel, Named("sourceList", {0, 0, 0, 73}, ui::Align::Top));
    Splitter1 = Make<ui::Splitter>(*SourceSubPanel, Named("Splitter1", {0, 0, 0, 3}, ui::Align::Top),
                                   ui::SplitterArgs{RGB(128, 0, 128), 32});
    sourceSubPanel3 = Make<ui::Panel>(*SourceSubPanel, Named("sourceSubPanel3", {0, 0, 0, 26}, ui::Align::Top));
    sourceEdit = Make<ui::Edit>(*sourceSubPanel3, Named("sourceEdit", {0, 0, 200, 21}), ui::EditArgs{"", true});
    ui::ControlArgs addArgs = Named("sourceButtonAdd", {200, 0, 70, 24});
    addArgs.font.bold = true;
    sourceButtonAdd = Make<ui::Button>(*sourceSubPanel3, addArgs, ui::ButtonArgs{"Add", res::GetPicture(res::Picture::Add, 16)});
    sourceButtonRemove = Make<ui::Button>(*sourceSubPanel3, Named("sourceButtonRemove", {270, 0, 80, 24}),
                                          ui::ButtonArgs{"Remove", res::GetPicture(res::Picture::Remove, 16)});
    Panel8 = Make<ui::Panel>(*SourceSubPanel, Named("Panel8", {}, ui::Align::Client));
    BitBtn6 = Make<ui::Button>(*Panel8, Named("BitBtn6", {8, 8, 180, 28}),
                               ui::ButtonArgs{"Select Source Directory", res::GetPicture(res::Picture::Folder, 16)});
    sourceButtonAdd->onClick = [this] { sourceButtonAddClick(); };
}

void TVorCopyPasteWin::BuildFiltersSection()
{
    BuildSection(kSectionFilters, "NameFilterPanel", "NameFilterLabel", "Filters", "NameFilterSubPanel",
                 "NameFilterSubPanel2", NameFilterPanel, NameFilterLabel, NameFilterSubPanel, NameFilterSubPanel2);
    ScrollBox1 = Make<ui::ScrollBox>(*NameFilterSubPanel, Named("ScrollBox1", {}, ui::Align::Client));
    ui::Control& box = *ScrollBox1;

    ui::ControlArgs l1 = Named("Label1", {8, 4, 0, 13});
    l1.hint = "The mask string may contain the metacharacters '?' which will match exactly 1 character and '*' "
              "which will match zero or more characters and '/' which will seperate matchstring.";
    Label1 = Make<ui::Label>(box, l1, ui::LabelArgs{"Filename masks"});
    FNamePanel = Make<ui::Panel>(box, Named("FNamePanel", {8, 20, 380, 24}));
    cbFName = Make<ui::ComboBox>(*FNamePanel, Named("cbFName", {0, 0, 380, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDown, false, 8, "*.*"});

    Label6 = Make<ui::Label>(box, Named("Label6", {8, 50, 0, 13}),
                             ui::LabelArgs{"Extension name match ( Uncheck unwanted types)"});
    cbSelAll = Make<ui::CheckBox>(box, Named("cbSelAll", {300, 48, 90, 17}), ui::CheckBoxArgs{"Select All", true});
    ExtList = Make<ui::CheckListBox>(box, Named("ExtList", {8, 66, 380, 72}), ui::CheckListBoxArgs{true, 4});

    ModificationTimeFilterLabel = Make<ui::Label>(box, Named("ModificationTimeFilterLabel", {8, 146, 0, 13}),
                                                  ui::LabelArgs{"File dates"});
    Label2 = Make<ui::Label>(box, Named("Label2", {8, 162, 0, 13}), ui::LabelArgs{"Copy files that are modified in last"});
    Label3 = Make<ui::Label>(box, Named("Label3", {204, 162, 0, 13}), ui::LabelArgs{"and before"});
    // The first caption reads on into the second; in a wider font it outgrows its column, and the
    // second then follows it instead of drawing over its end.
    if (const int after = Label2->Left() + Label2->Width() + 4; after > Label3->Left())
        Label3->SetBounds(after, Label3->Top(), Label3->Width(), Label3->Height());
    // Each preset list lies under its picker and is wider, so only its drop-down button shows. Siblings
    // created earlier lie above the later ones: the pickers come first.
    dtp1 = Make<ui::DateTimePicker>(box, Named("dtp1", {8, 178, 168, 21}), ui::DateTimePickerArgs{"MM/dd/yyyy HH:mm:ss", true});
    dtp2 = Make<ui::DateTimePicker>(box, Named("dtp2", {204, 178, 168, 21}), ui::DateTimePickerArgs{"MM/dd/yyyy HH:mm:ss", true});
    cbTL1 = Make<ui::ComboBox>(box, Named("cbTL1", {8, 178, 186, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDownList, true});
    cbTL2 = Make<ui::ComboBox>(box, Named("cbTL2", {204, 178, 186, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDownList, true});

    SizeFilterLabel = Make<ui::Label>(box, Named("SizeFilterLabel", {8, 208, 0, 13}), ui::LabelArgs{"File sizes"});
    Label4 = Make<ui::Label>(box, Named("Label4", {8, 224, 0, 13}),
                             ui::LabelArgs{"Copy files whose size should be between minimize:"});
    Label5 = Make<ui::Label>(box, Named("Label5", {8, 266, 0, 13}), ui::LabelArgs{"and maxmize"});
    EditFSMin = Make<ui::Edit>(box, Named("EditFSMin", {8, 240, 150, 21}), ui::EditArgs{"0"});
    Edit1 = Make<ui::Edit>(box, Disabled(Named("Edit1", {160, 240, 24, 21})), ui::EditArgs{"B", true});
    minEdit3 = Make<ui::Edit>(box, Disabled(Named("minEdit3", {190, 240, 150, 21})), ui::EditArgs{"= 0M 0K 0B", true});
    EditFSMax = Make<ui::Edit>(box, Named("EditFSMax", {8, 282, 150, 21}), ui::EditArgs{"0"});
    Edit2 = Make<ui::Edit>(box, Disabled(Named("Edit2", {160, 282, 24, 21})), ui::EditArgs{"B", true});
    maxEdit3 = Make<ui::Edit>(box, Disabled(Named("maxEdit3", {190, 282, 150, 21})), ui::EditArgs{"= 0M 0K 0B", true});
    const std::vector<std::string> units{"B", "KB", "MB", "GB"};
    cbFSMin = Make<ui::ComboBox>(box, Hidden(Named("cbFSMin", {160, 240, 50, 21})),
                                 ui::ComboBoxArgs{ui::ComboStyle::DropDownList, false, 8, "", units});
    cbFSMax = Make<ui::ComboBox>(box, Hidden(Named("cbFSMax", {160, 282, 50, 21})),
                                 ui::ComboBoxArgs{ui::ComboStyle::DropDownList, false, 8, "", units});
    cbFSMin->SetItemIndex(0);
    cbFSMax->SetItemIndex(0);
    WireFilterControls();
}

void TVorCopyPasteWin::BuildToSection()
{
    BuildSection(kSectionTo, "ToPanel", "ToLabel", "Select the destination directory", "ToSubPanel", "ToSubPanel2",
                 ToPanel, ToLabel, ToSubPanel, ToSubPanel2);
    Panel26 = Make<ui::Panel>(*ToSubPanel, Named("Panel26", {0, 0, 0, 33}, ui::Align::Top));
    cbPath = Make<ui::ComboBox>(*Panel26, Named("cbPath", {0, 0, 380, 21}));
    ToBottomPanel = Make<ui::Panel>(*ToSubPanel, Named("Panel27", {0, 0, 0, 34}, ui::Align::Bottom));
    ui::ControlArgs ignore = Named("cbIgnorSubDir", {4, 8, 200, 17});
    ignore.hint = "This will copy all the needed files to the same destination folder.";
    cbIgnorSubDir = Make<ui::CheckBox>(*ToBottomPanel, ignore, ui::CheckBoxArgs{"Do not create subdirectory"});
    BitBtn2 = Make<ui::Button>(*ToBottomPanel, Named("BitBtn2", {0, 4, 96, 26}),
                               ui::ButtonArgs{"New Folder", res::GetPicture(res::Picture::NewFolder, 16)});
    BitBtn4 = Make<ui::Button>(*ToBottomPanel, Named("BitBtn4", {0, 4, 80, 26}), ui::ButtonArgs{"Rename"});
    ToBottomPanel->onResize = [this] {
        BitBtn4->SetLeft(ToBottomPanel->ClientWidth() - 4 - BitBtn4->Width());
        BitBtn2->SetLeft(BitBtn4->Left() - 4 - BitBtn2->Width());
    };
    Panel3 = Make<ui::Panel>(*ToSubPanel, Named("Panel3", {}, ui::Align::Client));
    BitBtn3 = Make<ui::Button>(*Panel3, Named("BitBtn3", {8, 8, 200, 28}),
                               ui::ButtonArgs{"Select Destination Directory", res::GetPicture(res::Picture::Folder, 16)});
    Panel14 = Make<ui::Panel>(*Panel3, Hidden(Named("Panel14", {0, 0, 10, 10})));
}

void TVorCopyPasteWin::BuildProgressSection()
{
    BuildSection(kSectionProgress, "ProgressPanel", "ProgressLabel", "Progress", "ProgressSubPanel", "ProgressSubPanel2",
                 ProgressPanel, ProgressLabel, ProgressSubPanel, ProgressSubPanel2);
    aniSearch = Make<ui::Animation>(*ProgressSubPanel2, Named("aniSearch", {0, 0, 24, 24}));
    aniProgressBar = Make<ui::ProgressBar>(*ProgressSubPanel2, Hidden(Named("aniProgressBar", {0, 8, 24, 8})),
                                           ui::ProgressBarArgs{1, 10, 5});

    ui::PageControlArgs tabs;
    tabs.tabsAtBottom = true;
    PageControl1 = Make<ui::PageControl>(*ProgressSubPanel, Named("PageControl1", {}, ui::Align::Client), tabs);
    PageControl1->onDrawTab = [this](int index, HDC dc, RECT rect, bool) { DrawProgressTab(index, dc, rect); };
    ui::Panel& progress = PageControl1->AddPage("Progress", "TabSheet1");
    ui::Panel& logs = PageControl1->AddPage("Logs", "TabSheet2");

    AllProgressLabel = Make<ui::Label>(progress, Named("AllProgressLabel", {8, 8, 0, 13}), ui::LabelArgs{"..."});
    ui::LabelArgs right{"--"};
    right.alignment = ui::TextAlign::Right;
    TimeLabel = Make<ui::Label>(progress, Named("TimeLabel", {200, 8, 200, 13}), right);
    LabelSpeed = Make<ui::Label>(progress, Named("LabelSpeed", {200, 24, 200, 13}), right);
    AllProgressBar = Make<ui::ProgressBar>(progress, Named("AllProgressBar", {8, 42, 392, 16}));
    ui::LabelArgs fileLabel{"..."};
    fileLabel.alignment = ui::TextAlign::Right;
    fileLabel.autoSize = false;
    FileProgressLabel = Make<ui::Label>(progress, Named("FileProgressLabel", {8, 66, 392, 13}), fileLabel);
    FileProgressBar = Make<ui::ProgressBar>(progress, Named("FileProgressBar", {8, 82, 392, 16}));
    aniCopy = Make<ui::Animation>(progress, Hidden(Named("aniCopy", {8, 106, 48, 48})));
    aniTrash = Make<ui::Animation>(progress, Hidden(Named("aniTrash", {8, 106, 48, 48})));
    aniDelete = Make<ui::Animation>(progress, Hidden(Named("aniDelete", {8, 106, 48, 48})));
    bbPause = Make<ui::Button>(progress, Hidden(Named("bbPause", {300, 112, 100, 30})),
                               ui::ButtonArgs{"Pause", res::GetPicture(res::Picture::Pause, 24)});
    bbPause->onClick = [this] { bbPauseClick(); };
    progress.onResize = [this, &progress] {
        const int width = progress.ClientWidth();
        TimeLabel->SetLeft(width - 8 - TimeLabel->Width());
        LabelSpeed->SetLeft(width - 8 - LabelSpeed->Width());
        AllProgressBar->SetWidth(width - 16);
        FileProgressLabel->SetWidth(width - 16);
        FileProgressBar->SetWidth(width - 16);
        bbPause->SetLeft(width - 8 - bbPause->Width());
    };

    Memo1 = Make<ui::Memo>(logs, Named("Memo1", {}, ui::Align::Client));
    // aniSearch2 plays over the Stop searching button while a scan runs.
    aniSearch2 = Make<ui::Animation>(*Panel19, Hidden(Named("aniSearch2", {0, 0, 24, 24})));
}

void TVorCopyPasteWin::BuildSettingsSection()
{
    BuildSection(kSectionSettings, "SettingsPanel", "SettingsLabel", "Settings", "SettingsSubPanel", "SettingsSubPanel2",
                 SettingsPanel, SettingsLabel, SettingsSubPanel, SettingsSubPanel2);
    ui::PageControlArgs tabs;
    tabs.buttonTabs = true;
    tabs.tabHeight = 30;
    PageControl2 = Make<ui::PageControl>(*SettingsSubPanel, Named("PageControl2", {}, ui::Align::Client), tabs);
    ui::Panel& options = PageControl2->AddPage("Options", "tsOptions", res::GetPicture(res::Picture::Options, 24));
    ui::Panel& about = PageControl2->AddPage("About", "tsAbout", res::GetPicture(res::Picture::About, 24));

    cbStart = Make<ui::CheckBox>(options, Named("cbStart", {12, 12, 300, 17}), ui::CheckBoxArgs{"Start by windows startup"});
    cbContext = Make<ui::CheckBox>(options, Named("cbContext", {12, 36, 300, 17}),
                                   ui::CheckBoxArgs{"Add into context menu [ Caption: Orvandel ]"});
    cbMonitorClipboard = Make<ui::CheckBox>(options, Named("cbMonitorClipboard", {12, 60, 300, 17}),
                                            ui::CheckBoxArgs{"Monitor the clipboard of file system.", true});
    cbVerify = Make<ui::CheckBox>(options, Named("cbVerify", {12, 84, 300, 17}),
                                  ui::CheckBoxArgs{"Verify copied files (read each copy back)"});

    Image2 = Make<ui::Image>(about, Named("Image2", {8, 8, 128, 128}), ui::ImageArgs{nullptr, res::ProgramIcon(128)});
    ui::ControlArgs title = Named("Label7", {150, 12, 0, 16});
    title.font.bold = true;
    title.font.points = 10;
    Label7 = Make<ui::Label>(about, title, ui::LabelArgs{"Marrowick "});
    ui::LabelArgs link;
    link.textColor = RGB(0, 0, 255);
    link.handCursor = true;
    ui::ControlArgs linkArgs = Named("Label8", {150, 40, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "http://www.orvandel.com";
    Label8 = Make<ui::Label>(about, linkArgs, link);
    linkArgs = Named("Label9", {150, 60, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "support@orvandel.com";
    Label9 = Make<ui::Label>(about, linkArgs, link);
    linkArgs = Named("Label11", {150, 80, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "Help";
    Label11 = Make<ui::Label>(about, linkArgs, link);
}

void TVorCopyPasteWin::BuildTimers()
{
    const auto timer = [](const char* name, UINT interval) {
        return Make<ui::Timer>(ui::TimerArgs{name, interval, false});
    };
    SearchTimer = timer("SearchTimer", 10);
    ReclickBeginButton = timer("ReclickBeginButton", 500);
    aniProgressBarTimer = timer("aniProgressBarTimer", 200);
    Timer1 = timer("Timer1", 50);
    Timer2 = timer("Timer2", 50);
    Timer3 = timer("Timer3", 1);
    SysClipTimer = timer("SysClipTimer", 50);
    ParamTimer4 = timer("ParamTimer4", 1000);
    clipboardRetryTimer = timer("clipboardRetryTimer", 50);
    Timer3->tag = -1;

    SearchTimer->onTimer = [this] { SearchTimerTimer(); };
    aniSearch->onStart = [this] { aniSearchStart(); };
    ReclickBeginButton->onTimer = [this] { ReclickBeginButtonTimer(); };
    aniProgressBarTimer->onTimer = [this] { aniProgressBarTimerTimer(); };
    Timer3->onTimer = [this] { Timer3Timer(); };
}
