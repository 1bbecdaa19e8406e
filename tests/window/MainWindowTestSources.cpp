// The source list, the destination and the live folder trees on the real window, over real
// temporary folders: what AddSourceItem admits, the trees filling sourceEdit and cbPath, typing a
// destination, New Folder and Rename with their dialog, dropped files, Remove, and files put on the
// clipboard by another process.
#include "tests/window/MainWindowHarness.h"

#include "core/LogTexts.h"
#include "dialogs/NewDir.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

using namespace mainwindow;
using testsupport::Exists;
using testsupport::IsFolder;
using testsupport::MakeTree;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

std::vector<std::string> Entries(TVorCopyPasteWin& window) { return window.Sources().Items(); }

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += item + "\n";
    return text;
}

// The text of the tree's selected item, as the user sees it.
std::string SelectedTreeText(HWND tree)
{
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return "<none>";
    std::string text(1024, '\0');
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text.data();
    data.cchTextMax = static_cast<int>(text.size());
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    text.resize(std::strlen(text.c_str()));
    return text;
}

HWND ComboEdit(HWND combo) { return FindWindowExA(combo, nullptr, "Edit", nullptr); }

// A folder path longer than the 260 characters of the plain 8-bit calls.
std::string MakeDeepFolder(const std::string& root)
{
    std::string path = root;
    CreateDirectoryW(ExtendedPathW(WidePath(root)).c_str(), nullptr);  // there already or not
    for (int i = 0; path.size() < 330; ++i) {
        path += "\\deep_folder_level_" + std::to_string(i);
        if (!CreateDirectoryW(ExtendedPathW(WidePath(path)).c_str(), nullptr))
            return {};
    }
    return path;
}

// The name dialog, once it is shown.
HWND VisibleNewDir()
{
    for (HWND w : ThreadWindows().windows)
        if (IsWindowVisible(w) && ui::FindByName(w, "edFolderName"))
            return w;
    return nullptr;
}

class MainWindowSources : public MainWindowTest {
protected:
    TempFolder disk;
};

TEST_F(MainWindowSources, AddSourceItemKeepsTheListFreeOfDuplicatesAndNesting)
{
    const std::string a = disk / "A";
    ASSERT_TRUE(MakeTree(disk.Path(), {"A\\", "A\\sub\\", "A\\sub\\deeper\\", "A\\f.txt=x", "B\\", "C=c",
                                       "\xE6\x97\xA5\xE6\x9C\xAC\\", "\xD0\x9F\xD1\x80\xD0\xB8\\"}));
    const std::string deep = MakeDeepFolder(disk / "B");
    ASSERT_FALSE(deep.empty());
    const std::string root = disk.Path().substr(0, 2) + "\\";  // the drive the temporary folder is on
    struct Step {
        std::string path;
        int index;                          // what AddSourceItem returns
        std::vector<std::string> entries;   // the list afterwards
    };
    const std::vector<Step> steps = {
        {disk / "missing", -1, {}},
        {a + "\\sub", 0, {a + "\\sub"}},
        {a + "\\f.txt", 1, {a + "\\sub", a + "\\f.txt"}},
        {a + "\\sub\\deeper", -1, {a + "\\sub", a + "\\f.txt"}},                    // inside a listed folder
        {disk / "B", 2, {a + "\\sub", a + "\\f.txt", disk / "B"}},
        {a, 1, {disk / "B", a}},                                                    // takes the place of its contents
        {a + "\\", -1, {disk / "B", a}},                                            // the same folder again
        {a + "\\sub\\", -1, {disk / "B", a}},
        {disk / "a", 2, {disk / "B", a, disk / "a"}},                               // another case is another text
        {deep, -1, {disk / "B", a, disk / "a"}},                                    // inside B, however deep
        {disk / "C", 3, {disk / "B", a, disk / "a", disk / "C"}},
        {disk / "C", -1, {disk / "B", a, disk / "a", disk / "C"}},
        {disk / "\xE6\x97\xA5\xE6\x9C\xAC", 4, {disk / "B", a, disk / "a", disk / "C", disk / "\xE6\x97\xA5\xE6\x9C\xAC"}},
        {disk / "\xD0\x9F\xD1\x80\xD0\xB8", 5,
         {disk / "B", a, disk / "a", disk / "C", disk / "\xE6\x97\xA5\xE6\x9C\xAC", disk / "\xD0\x9F\xD1\x80\xD0\xB8"}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(window->Sources().AddSourceItem(step.path), step.index) << step.path;
        EXPECT_EQ(Joined(Entries(*window)), Joined(step.entries)) << "after " << step.path;
    }

    // A drive root is held as its letter and colon; then everything on the drive is inside it.
    window->Sources().ReplaceWith({});
    EXPECT_EQ(window->Sources().AddSourceItem(deep), 0) << "a long path is admitted whole";
    EXPECT_EQ(Entries(*window), std::vector<std::string>{deep});
    EXPECT_EQ(window->Sources().AddSourceItem(root), 0) << "the drive holds the deep folder, which makes way";
    EXPECT_EQ(Joined(Entries(*window)), Joined({root.substr(0, 2)}));
    EXPECT_EQ(window->Sources().AddSourceItem(a), -1);
}

TEST_F(MainWindowSources, SourcesAreListedAsFullPathsWithoutDotParts)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"A\\", "A\\sub\\", "B\\"}));
    const std::string a = disk / "A";
    EXPECT_EQ(window->Sources().AddSourceItem(a + "\\sub\\.."), 0);
    EXPECT_EQ(Joined(Entries(*window)), Joined({a})) << "\"..\" is the folder above, as the list shows it";
    EXPECT_EQ(window->Sources().AddSourceItem(a + "\\.\\sub"), -1) << "inside the listed folder";
    EXPECT_EQ(window->Sources().AddSourceItem(disk / "B/./"), 1);
    EXPECT_EQ(Joined(Entries(*window)), Joined({a, disk / "B"}));
    for (const char* relative : {".", "..", "A", "B\\..", "\\A"})
        EXPECT_EQ(window->Sources().AddSourceItem(relative), -1) << relative;

    // Typed, a relative path is refused with a message and stays to be mended.
    SetText(Find("sourceEdit"), "A\\sub");
    ClickOn("sourceButtonAdd");
    ASSERT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(boxes->seen.back().text, RelativeSourceMessage());
    EXPECT_EQ(Text(Find("sourceEdit")), "A\\sub");
    EXPECT_TRUE(IsWindowEnabled(Find("sourceEdit")));
    EXPECT_EQ(ListCount(Find("sourceList")), 2);
}

TEST_F(MainWindowSources, AddShowsTheRefusalInPlaceUntilAnEntryIsRemoved)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"A\\", "A\\sub\\", "C=c"}));
    AddSource(disk / "A");
    // Chosen in the source tree: the row shows the folder and keeps it to come back to.
    window->Sources().ShowChosenFolder(disk / "A\\sub");
    ClickOn("sourceButtonAdd");
    EXPECT_EQ(Text(Find("sourceEdit")), "Parent folder has already existed in the list.");
    EXPECT_FALSE(IsWindowEnabled(Find("sourceEdit")));
    ClickOn("sourceButtonAdd");  // disabled: nothing
    EXPECT_EQ(ListCount(Find("sourceList")), 1);

    // Remove asks first; No keeps the entry; without a selection nothing is asked.
    ClearListSelection(Find("sourceList"));
    ClickOn("sourceButtonRemove");
    EXPECT_TRUE(boxes->seen.empty()) << "asked without a selection";
    SelectListItem(Find("sourceList"), 0);
    boxes->answer = IDNO;
    ClickOn("sourceButtonRemove");
    ASSERT_TRUE(PumpUntil([this] { return !boxes->seen.empty(); }));
    EXPECT_EQ(boxes->seen.back().title, "Delete");
    EXPECT_EQ(boxes->seen.back().text, "Are you sure to remove the selected copy items from copy-list?");
    EXPECT_EQ(ListCount(Find("sourceList")), 1);

    // The Delete key in the list does the same; Yes removes and gives sourceEdit the chosen folder back.
    boxes->answer = IDYES;
    SelectListItem(Find("sourceList"), 0);
    SendMessageA(Find("sourceList"), WM_KEYUP, VK_DELETE, 0xC0000001);
    EXPECT_EQ(boxes->seen.size(), 2u);
    EXPECT_EQ(ListCount(Find("sourceList")), 0);
    EXPECT_TRUE(IsWindowEnabled(Find("sourceEdit")));
    EXPECT_EQ(Text(Find("sourceEdit")), disk / "A\\sub");
}

TEST_F(MainWindowSources, SelectingInEachTreeFillsItsField)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"src\\", "src\\inner\\", "dst\\", "dst\\inner\\"}));
    // The program steers the source tree (as a click in the list does); the tree's own selection
    // moves, and the dialog's notice fills sourceEdit and its hint.
    ASSERT_TRUE(window->Sources().AddSourceItem(disk / "src\\inner") >= 0);
    SelectListItem(Find("sourceList"), 0);
    window->Sources().sourceListClick();
    // The shell may still be taking in the folders made just now: its tree settles through messages.
    PumpUntil([&] { return SelectedTreeText(window->Trees().Tree(false)) == "inner"; }, 10000);
    EXPECT_EQ(SelectedTreeText(window->Trees().Tree(false)), "inner");
    EXPECT_EQ(Text(Find("sourceEdit")), disk / "src\\inner");
    EXPECT_EQ(window->Sources().ChosenFolder(), disk / "src\\inner");

    // A selection made in the tree itself, as a click makes it: the parent item.
    const auto caret = SendMessageA(window->Trees().Tree(false), TVM_GETNEXTITEM, TVGN_CARET, 0);
    const auto parent = SendMessageA(window->Trees().Tree(false), TVM_GETNEXTITEM, TVGN_PARENT, caret);
    ASSERT_NE(parent, 0);
    SendMessageA(window->Trees().Tree(false), TVM_SELECTITEM, TVGN_CARET, parent);
    EXPECT_EQ(Text(Find("sourceEdit")), disk / "src");

    // The destination tree fills cbPath and lastDestinationFolder.
    SendMessageA(window->Trees().BrowseDialog(true), BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>((disk / "dst\\inner").c_str()));
    PumpUntil([&] { return SelectedTreeText(window->Trees().Tree(true)) == "inner"; }, 10000);
    EXPECT_EQ(SelectedTreeText(window->Trees().Tree(true)), "inner");
    EXPECT_EQ(Text(Find("cbPath")), disk / "dst\\inner");
    const auto destinationCaret = SendMessageA(window->Trees().Tree(true), TVM_GETNEXTITEM, TVGN_CARET, 0);
    SendMessageA(window->Trees().Tree(true), TVM_SELECTITEM, TVGN_CARET,
                 SendMessageA(window->Trees().Tree(true), TVM_GETNEXTITEM, TVGN_PARENT, destinationCaret));
    EXPECT_EQ(Text(Find("cbPath")), disk / "dst");
    EXPECT_EQ(window->Trees().LastDestinationFolder(), disk / "dst");

    // The trees fill their panels, without the dialogs' frames or buttons showing.
    const RECT panel = ClientScreenRect(Find("Panel8"));
    const RECT tree = ScreenRect(window->Trees().Tree(false));
    EXPECT_EQ(Describe(tree), Describe(panel));
    EXPECT_EQ(GetAncestor(window->Trees().Tree(true), GA_PARENT), Find("Panel3"));
    EXPECT_EQ(GetAncestor(window->Trees().BrowseDialog(true), GA_PARENT), Find("Panel14"));
    EXPECT_FALSE(IsWindowVisible(window->Trees().BrowseDialog(true)));
    EXPECT_TRUE(IsWindowEnabled(main)) << "a browse dialog's loop left the window disabled";
}

// The folder is there before the window opens, as a destination the user types usually is.
class MainWindowTyping : public MainWindowSources {
protected:
    MainWindowTyping() { made = MakeTree(disk.Path(), {"target\\"}); }
    bool made = false;
};

// Pastes text into an edit field, as Ctrl+V does.
void Paste(HWND edit, const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    SendMessageA(edit, WM_PASTE, 0, 0);
}

TEST_F(MainWindowTyping, TypingAnExistingFolderMovesTheDestinationTreeAndAMissingOneLeavesIt)
{
    ASSERT_TRUE(made);
    HWND edit = ComboEdit(Find("cbPath"));
    ASSERT_NE(edit, nullptr);
    // A whole path pasted. (Typed a character at a time, the tree is asked for every folder on the
    // way; Wine's dialog at times then stays on one of them.)
    Paste(edit, disk / "target");
    // The tree settles on a folder made a moment before through the shell's messages.
    PumpUntil([&] { return SelectedTreeText(window->Trees().Tree(true)) == "target"; }, 10000);
    EXPECT_EQ(SelectedTreeText(window->Trees().Tree(true)), "target");
    EXPECT_EQ(window->Trees().LastDestinationFolder(), disk / "target");
    EXPECT_EQ(Text(Find("cbPath")), disk / "target") << "the typed text stays as typed";

    Type(edit, "\\nothing");
    EXPECT_EQ(SelectedTreeText(window->Trees().Tree(true)), "target");
    EXPECT_EQ(window->Trees().LastDestinationFolder(), disk / "target");
    EXPECT_EQ(Text(Find("cbPath")), disk / "target\\nothing");
}

TEST_F(MainWindowSources, NewFolderProposesTheFirstFreeNumberAndSelectsTheNewFolder)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"New Folder\\", "New Folder (1)\\"}));
    SetText(Find("cbPath"), disk.Path());
    std::string proposed, label;
    Every answer(20, [&] {
        HWND dialog = VisibleNewDir();
        if (!dialog)
            return false;
        proposed = Text(ui::FindByName(dialog, "edFolderName"));
        label = Text(ui::FindByName(dialog, "pathlabel"));
        Click(ui::FindByName(dialog, "BitBtn1"));
        return true;
    });
    ClickOn("BitBtn2");
    ASSERT_TRUE(answer.Done()) << "no name dialog";
    const std::string made = disk / "New Folder (2)";
    EXPECT_EQ(proposed, "New Folder (2)");
    EXPECT_EQ(label, "New Folder Path\n" + made);
    EXPECT_TRUE(IsFolder(made));
    EXPECT_FALSE(Exists(made + "1")) << "the announcing rename did not come back";
    EXPECT_EQ(Text(Find("cbPath")), made);
    EXPECT_EQ(window->Trees().LastDestinationFolder(), made);
    EXPECT_EQ(SelectedTreeText(window->Trees().Tree(true)), "New Folder (2)");

    // Cancel creates nothing, and the parent keeps its backslash.
    SetText(Find("cbPath"), disk.Path());
    Every cancel(20, [&] {
        HWND dialog = VisibleNewDir();
        if (dialog)
            Click(ui::FindByName(dialog, "BitBtn2"));
        return dialog != nullptr;
    });
    ClickOn("BitBtn2");
    ASSERT_TRUE(cancel.Done());
    EXPECT_FALSE(Exists(disk / "New Folder (3)"));
    EXPECT_EQ(Text(Find("cbPath")), disk.Path() + "\\");
}

TEST_F(MainWindowSources, RenameRenamesTheNamedFolderAndADriveRootDoesNothing)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"old\\", "old\\keep=k", "taken\\"}));
    int dialogs = 0;
    bool okAtFirst = true;
    Every answer(20, [&] {
        HWND dialog = VisibleNewDir();
        if (!dialog)
            return false;
        ++dialogs;
        HWND name = ui::FindByName(dialog, "edFolderName");
        okAtFirst = IsWindowEnabled(ui::FindByName(dialog, "BitBtn1"));
        SetText(name, "");
        Type(name, "ne/w:*");  // the forbidden ones never arrive
        Click(ui::FindByName(dialog, "BitBtn1"));
        return true;
    });
    SetText(Find("cbPath"), disk / "old\\");
    ClickOn("BitBtn4");
    ASSERT_TRUE(answer.Done());
    EXPECT_FALSE(okAtFirst) << "the unchanged name could be confirmed";
    EXPECT_TRUE(IsFolder(disk / "new"));
    EXPECT_EQ(testsupport::ReadFileText(disk / "new\\keep"), "k");
    EXPECT_FALSE(Exists(disk / "old"));
    EXPECT_EQ(Text(Find("cbPath")), disk / "new");

    // A drive root, a bare drive and an empty text ask nothing and change nothing.
    Every watch(20, [&] {
        if (HWND dialog = VisibleNewDir()) {
            ++dialogs;
            Click(ui::FindByName(dialog, "BitBtn2"));
        }
        return false;
    });
    for (const std::string& text : {disk.Path().substr(0, 3), disk.Path().substr(0, 2), std::string()}) {
        SetText(Find("cbPath"), text);
        ClickOn("BitBtn4");
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(Text(Find("cbPath")), text);
    }
    EXPECT_EQ(dialogs, 1) << "a name dialog came up for a drive";
}

TEST_F(MainWindowSources, RenameOfAFileRenamesNothingAndSaysSo)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"report.txt=r", "folder\\"}));
    int dialogs = 0;
    Every watch(20, [&] {
        if (HWND dialog = VisibleNewDir()) {
            ++dialogs;
            HWND name = ui::FindByName(dialog, "edFolderName");
            SetText(name, "renamed.txt");
            Click(ui::FindByName(dialog, "BitBtn1"));
        }
        return false;
    });
    for (const std::string& text : {disk / "report.txt", disk / "report.txt\\"}) {
        boxes->seen.clear();
        SetText(Find("cbPath"), text);
        ClickOn("BitBtn4");
        ASSERT_EQ(boxes->Texts(), std::vector<std::string>{"Failed to rename the folder\n" + disk / "report.txt"})
            << text;
    }
    EXPECT_EQ(dialogs, 0) << "a name was asked for a file";
    EXPECT_EQ(testsupport::ReadFileText(disk / "report.txt"), "r");
    EXPECT_FALSE(Exists(disk / "renamed.txt"));
    EXPECT_TRUE(IsFolder(disk / "folder"));
}

TEST_F(MainWindowSources, TheNameDialogRefusesTakenNamesAndSwallowsForbiddenCharacters)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"taken\\"}));
    TNewDir dialog(main);
    dialog.SetParentPath(disk.Path() + "\\");
    HWND name = dialog.edFolderName.Handle();
    SetText(name, "");
    Type(name, "ta\\k/e:n*?|><\"");
    EXPECT_EQ(Text(name), "taken");
    EXPECT_EQ(Text(dialog.pathlabel.Handle()), "Folder already exists\n" + disk / "taken" + "\nPlease input another name.");
    EXPECT_FALSE(IsWindowEnabled(dialog.BitBtn1.Handle()));
    SendMessageA(name, WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(dialog.form.ModalResult(), ui::kModalNone) << "Enter confirmed a refused name";

    // Pasted text loses the same characters: no name reaches another folder.
    SetText(name, "..\\..\\x:y");
    EXPECT_EQ(Text(name), "....xy");
    EXPECT_TRUE(IsWindowEnabled(dialog.BitBtn1.Handle()));
    EXPECT_EQ(Text(dialog.pathlabel.Handle()), "New Folder Path\n" + disk / "....xy");
    SendMessageA(name, WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(dialog.form.ModalResult(), ui::kModalOk);
    dialog.form.SetModalResult(ui::kModalNone);
    SendMessageA(name, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_EQ(dialog.form.ModalResult(), ui::kModalCancel);
}

TEST_F(MainWindowSources, ADropOfThreePathsAddsThemWholeAndOpensTheDestination)
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"one\\", "two.txt=2"}));
    const std::string deep = MakeDeepFolder(disk / "three");
    ASSERT_FALSE(deep.empty());
    DropOn(main, {disk / "one", disk / "two.txt", deep, disk / "missing", disk / "one\\"});
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "one", disk / "two.txt", deep}));
    ASSERT_TRUE(WaitSwitch());
    EXPECT_EQ(window->ExpandedSection(), kSectionTo);
}

// Files put on the clipboard by another program (the driver), as a file manager's Copy does.
class MainWindowClipboard : public MainWindowSources {
protected:
    void SetUp() override
    {
        MainWindowSources::SetUp();
        SendMessageA(Find("cbMonitorClipboard"), BM_SETCHECK, BST_CHECKED, 0);
    }
    void TearDown() override
    {
        // Nothing of this test stays for the windows of later tests.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        MainWindowSources::TearDown();
    }

    // Runs the driver and waits until the window has heard of the change.
    void PutOnClipboard(const std::string& step)
    {
        const DWORD before = GetClipboardSequenceNumber();
        testsupport::ChildProcess driver;
        ASSERT_TRUE(driver.Start(testsupport::WinePath(ORV_DRIVE_PATH), "\"" + step + "\""));
        DWORD code = STILL_ACTIVE;
        ASSERT_TRUE(PumpUntil([&] { return (code = driver.WaitExit(0)) != STILL_ACTIVE; }));
        ASSERT_EQ(code, 0u) << step;
        ASSERT_NE(GetClipboardSequenceNumber(), before);
        PumpUntil([] { return false; }, 300);  // the change notice and a few pick-up ticks
    }

    bool PickedUp(size_t count)
    {
        return PumpUntil([&] { return window->Shell().ClipboardFiles().size() == count && !window->Shell().PickUpPending(); });
    }

    void SeveralFilesReplaceTheSourcesAndChooseCopyOneFileDoesNot();
    void AChangeWhileAJobRunsIsIgnoredEvenAfterTheJob();
};

// One test: two windows that watch the same clipboard at once would each see the other's files.
TEST_F(MainWindowClipboard, FilesPutOnTheClipboardByAnotherProgram)
{
    {
        SCOPED_TRACE("several files, one file, a folder, hundreds, monitoring off");
        SeveralFilesReplaceTheSourcesAndChooseCopyOneFileDoesNot();
    }
    if (HasFatalFailure())
        return;
    SCOPED_TRACE("while a job runs");
    window->Sources().ReplaceWith({});
    AChangeWhileAJobRunsIsIgnoredEvenAfterTheJob();
}

void MainWindowClipboard::SeveralFilesReplaceTheSourcesAndChooseCopyOneFileDoesNot()
{
    ASSERT_TRUE(MakeTree(disk.Path(), {"f1=1", "f2=2", "kept\\", "dir\\"}));
    AddSource(disk / "kept");
    Click(Find("rbDelete"));
    // A clipboard viewer that keeps the notices of the viewer chain to itself, as one that ended
    // without leaving the chain does, cuts nobody off.
    HWND swallower = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(swallower, nullptr);
    const HWND nextViewer = SetClipboardViewer(swallower);
    struct LeaveChain {
        HWND window, next;
        ~LeaveChain()
        {
            ChangeClipboardChain(window, next);
            DestroyWindow(window);
        }
    } leave{swallower, nextViewer};

    PutOnClipboard("clip|" + disk / "f1");
    ASSERT_TRUE(PickedUp(1));
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "kept"})) << "one file changed the sources";
    EXPECT_TRUE(Checked(Find("rbDelete")));

    PutOnClipboard("clip|" + disk / "f1" + "|" + disk / "f2");
    ASSERT_TRUE(PickedUp(2));
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "f1", disk / "f2"}));
    EXPECT_TRUE(Checked(Find("rbCopy")));

    Click(Find("rbCut"));
    PutOnClipboard("clip|" + disk / "dir");
    ASSERT_TRUE(PickedUp(1));
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "dir"})) << "a folder alone replaces the sources";
    EXPECT_TRUE(Checked(Find("rbCopy")));

    // Hundreds of entries, each read whole.
    std::vector<std::string> many;
    std::string list;
    for (int i = 0; i < 300; ++i) {
        many.push_back(disk / ("file_with_a_rather_long_name_to_make_the_list_large_" + std::to_string(i) + ".txt"));
        ASSERT_TRUE(WriteFileText(many.back(), "x"));
        list += many.back() + "\r\n";
    }
    const std::string deep = MakeDeepFolder(disk / "deep");
    ASSERT_FALSE(deep.empty());
    many.push_back(deep);
    list += deep + "\r\n";
    ASSERT_TRUE(WriteFileText(disk / "list.txt", list));
    PutOnClipboard("cliplist|" + disk / "list.txt");
    ASSERT_TRUE(PickedUp(many.size()));
    EXPECT_EQ(Joined(Entries(*window)), Joined(many));

    // Turned off: nothing is picked up.
    SendMessageA(Find("cbMonitorClipboard"), BM_SETCHECK, BST_UNCHECKED, 0);
    PutOnClipboard("clip|" + disk / "f1" + "|" + disk / "f2");
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ListCount(Find("sourceList")), static_cast<int>(many.size()));

    // A change told while another program still holds the clipboard open is read once it lets go.
    SendMessageA(Find("cbMonitorClipboard"), BM_SETCHECK, BST_CHECKED, 0);
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE letGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const bool open = OpenClipboard(nullptr) != 0;
        SetEvent(opened);
        WaitForSingleObject(letGo, 30000);
        if (open)
            CloseClipboard();
    });
    ASSERT_EQ(WaitForSingleObject(opened, 30000), WAIT_OBJECT_0);
    window->Shell().ForgetClipboard();
    SendMessageA(main, WM_CLIPBOARDUPDATE, 0, 0);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ListCount(Find("sourceList")), static_cast<int>(many.size())) << "read while held";
    EXPECT_TRUE(window->Shell().ClipboardReadRetrying());
    SetEvent(letGo);
    holder.join();
    CloseHandle(opened);
    CloseHandle(letGo);
    ASSERT_TRUE(PickedUp(2));
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "f1", disk / "f2"}));
}

void MainWindowClipboard::AChangeWhileAJobRunsIsIgnoredEvenAfterTheJob()
{
    SendMessageA(Find("cbMonitorClipboard"), BM_SETCHECK, BST_CHECKED, 0);
    window->Shell().ForgetClipboard();
    ASSERT_TRUE(MakeTree(disk.Path(), {"src\\", "dst\\"}));
    // Enough files that the job is still running when Pause is pressed.
    for (int i = 0; i < 400; ++i)
        ASSERT_TRUE(WriteFileText(disk / ("src\\f" + std::to_string(i)), std::string(4096, 'x')));
    AddSource(disk / "src");
    SetDestination(disk / "dst");
    bool clipped = false;
    bool pickedDuringJob = true;
    Every step(5, [&] {
        if (!OwnVisible(Find("bbPause")))
            return false;
        if (Text(Find("bbPause")) == "Pause")
            Click(Find("bbPause"));  // paused: the job stays running while the driver works
        PutOnClipboard("clip|" + disk / "f1" + "|" + disk / "f2");
        clipped = !HasFatalFailure();
        pickedDuringJob = !window->Shell().ClipboardFiles().empty() || window->Shell().PickUpPending();
        ClickOn("bbCancel");
        return true;
    });
    ClickOn("bbBegin");
    ASSERT_TRUE(step.Done()) << "the job ended before it could be paused";
    EXPECT_TRUE(clipped);
    EXPECT_FALSE(pickedDuringJob);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Joined(Entries(*window)), Joined({disk / "src"}));
}

} // namespace
