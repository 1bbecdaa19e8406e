// The Filters section's wiring on the real window: keys and clicks reach the editing rules, the rules'
// results reach the filter the job uses, and the closed header describes that filter.
#include "platform/LocalDateText.h"
#include "tests/window/MainWindowHarness.h"

using namespace mainwindow;

namespace {

HWND EditFieldOf(HWND combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

// Chooses an entry of a drop-down list as the user's pick arrives: the selection, then its notice.
void Choose(HWND list, int index)
{
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// Presses a key with Shift held, as the keyboard state shows it to the handler.
void KeyDownWithShift(HWND window, WORD key)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(window, WM_KEYDOWN, key, 1);
    keys[VK_SHIFT] = before;
    SetKeyboardState(keys);
}

} // namespace

class MainWindowFilters : public MainWindowTest {
protected:
    std::vector<bool> Marks()
    {
        std::vector<bool> marks;
        for (int i = 0; i < window->ExtList->Count(); ++i)
            marks.push_back(window->ExtList->Checked(i));
        return marks;
    }

    testsupport::TempFolder temp;
};

TEST_F(MainWindowFilters, MasksExtensionMarksAndSelectAllFollowEachOther)
{
    AddSource(temp.Path());
    OpenSection("NameFilterLabel", 2);
    // The entries a scan of the sources would have listed, sorted.
    for (const char* entry : {".", ".doc", ".txt"})
        window->ExtList->Add(entry, true);
    HWND masks = Find("cbFName");

    // A finished masks text (Enter) sets the marks: only what the masks cover stays checked.
    SetText(masks, "  *.txt ");
    SendMessageA(EditFieldOf(masks), WM_KEYUP, VK_RETURN, 1);
    EXPECT_EQ(Text(masks), "*.txt");
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true}));

    // Checking .doc by hand (Space on the focused entry) adds its mask; "." is still unchecked, so
    // Select All is cleared.
    HWND list = Find("ExtList");
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(list, WM_CHAR, ' ', 1);
    EXPECT_EQ(Text(masks), "*.txt/*.doc/");
    EXPECT_FALSE(Checked(Find("cbSelAll")));

    // Select All checks every entry and gives "." its mask; it stays checked.
    ClickOn("cbSelAll");
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(Text(masks), "*.txt/*.doc/*./");
    EXPECT_TRUE(Checked(Find("cbSelAll")));

    // Clearing it excludes every listed extension and removes their masks.
    ClickOn("cbSelAll");
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Text(masks), "");
    EXPECT_FALSE(window->Filters().extensions.at(2).checked);

    // A mask finished with "/" applies at once: the default mask covers every entry again.
    SetText(masks, "*.*/");
    SendMessageA(EditFieldOf(masks), WM_KEYUP, 191, 1);
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
}

TEST_F(MainWindowFilters, SizeEditsAndPresetsSetTheFilterAndTheHeaderSaysIt)
{
    EXPECT_FALSE(IsWindowEnabled(Find("NameFilterLabel"))) << "no source yet";
    AddSource(temp.Path());
    EXPECT_TRUE(IsWindowEnabled(Find("NameFilterLabel")));
    EXPECT_TRUE(IsWindowEnabled(Find("ToLabel")));
    OpenSection("NameFilterLabel", 2);
    EXPECT_EQ(Text(Find("NameFilterLabel")), "Files filtering\n");

    // Typed characters: only digits get in.
    HWND maxEdit = Find("EditFSMax");
    SetText(maxEdit, "");
    Type(maxEdit, "1a5 3-6");
    EXPECT_EQ(Text(maxEdit), "1536");
    EXPECT_EQ(Text(Find("maxEdit3")), "= 0M 1K 512B");
    EXPECT_EQ(window->maxSize, 1536);

    // Shift+Up steps by a megabyte.
    HWND minEdit = Find("EditFSMin");
    SetText(minEdit, "0");
    KeyDownWithShift(minEdit, VK_UP);
    EXPECT_EQ(Text(minEdit), "1048576");
    EXPECT_EQ(Text(Find("minEdit3")), "= 1M 0K 0B");
    EXPECT_EQ(window->minSize, 1048576);

    // The first preset of the end list is day 0.
    HWND endList = Find("cbTL2");
    window->cbTL2->Add("1899-12-30 00:00:00");
    window->cbTL2->Add("2020-05-17 08:30:00");
    Choose(endList, 0);
    EXPECT_EQ(window->timeTo, 0.0);
    EXPECT_EQ(window->dtp2->Value().wYear, 1899);
    Choose(endList, 1);
    EXPECT_EQ(window->Filters().timeTo, EncodeDateTime({2020, 5, 17, 8, 30, 0}));

    // Closed, the header describes the window the job applies.
    OpenSection("CopyCutLabel", 0);
    const std::string header = Text(Find("NameFilterLabel"));
    EXPECT_EQ(header, "Files should meet following rules:\nFile name must match *.*;\nAny extension name;"
                      "\nModification time must be between " + FormatLocalDateText(0.0) + " and " +
                          FormatLocalDateText(window->timeTo) + ";\nSize must be between 1048576B and 1536B;");
}
