// The Filters section's wiring on the real window: keys and clicks reach the editing rules, their
// results reach the filter the job uses, and the closed header describes that filter.
#include "platform/LocalDateText.h"
#include "tests/window/MainWindowHarness.h"

using namespace mainwindow;

namespace {

// A pick in a drop-down list as the user makes it: the selection, then its notice.
void Choose(HWND list, int index)
{
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

} // namespace

class MainWindowFilters : public MainWindowTest {
protected:
    std::vector<bool> Marks()
    {
        std::vector<bool> marks;
        for (const ExtensionEntry& entry : window->Filters().Filters().extensions)
            marks.push_back(entry.checked);
        return marks;
    }
    testsupport::TempFolder temp;
};

TEST_F(MainWindowFilters, MasksExtensionMarksAndSelectAllFollowEachOther)
{
    AddSource(temp.Path());
    OpenSection("NameFilterLabel", 2);
    window->Filters().CountStarted();  // as a count of the sources reports them
    for (const char* entry : {".", ".doc", ".txt"})
        window->Filters().ExtensionMet(entry);
    window->Filters().CountEnded();
    HWND masks = Find("cbFName");
    HWND masksField = GetWindow(masks, GW_CHILD);

    SetText(masks, "  *.txt ");
    SendMessageA(masksField, WM_KEYUP, VK_RETURN, 1);  // Enter applies the masks
    EXPECT_EQ(Text(masks), "*.txt");
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true}));

    SendMessageA(Find("ExtList"), LB_SETCURSEL, 1, 0);
    SendMessageA(Find("ExtList"), WM_CHAR, ' ', 1);  // the user checks .doc; "." stays unchecked
    EXPECT_EQ(Text(masks), "*.txt/*.doc/");
    EXPECT_FALSE(Checked(Find("cbSelAll")));

    ClickOn("cbSelAll");
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(Text(masks), "*.txt/*.doc/*./");
    EXPECT_TRUE(Checked(Find("cbSelAll"))) << "the rewrite after Select All must not clear it again";

    ClickOn("cbSelAll");
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Text(masks), "");
    EXPECT_FALSE(window->Filters().Filters().extensions.at(2).checked);

    SetText(masks, "*.*/");
    SendMessageA(masksField, WM_KEYUP, 191, 1);  // so does the key of "/"
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
}

TEST_F(MainWindowFilters, SizeEditsAndPresetsSetTheFilterAndTheHeaderSaysIt)
{
    EXPECT_FALSE(IsWindowEnabled(Find("NameFilterLabel"))) << "no source yet";
    AddSource(temp.Path());
    EXPECT_TRUE(IsWindowEnabled(Find("NameFilterLabel")) && IsWindowEnabled(Find("ToLabel")));
    OpenSection("NameFilterLabel", 2);
    EXPECT_EQ(Text(Find("NameFilterLabel")), "Files filtering\n");

    HWND maxEdit = Find("EditFSMax");
    SetText(maxEdit, "");
    Type(maxEdit, "1a5 3-6");
    EXPECT_EQ(Text(maxEdit), "1536");
    EXPECT_EQ(Text(Find("maxEdit3")), "= 0M 1K 512B");
    EXPECT_EQ(window->Filters().Filters().maxSize, 1536);

    // Shift+Up steps by a megabyte; the handler reads Shift from the keyboard state.
    HWND minEdit = Find("EditFSMin");
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(minEdit, WM_KEYDOWN, VK_UP, 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Text(minEdit), "1048576");
    EXPECT_EQ(Text(Find("minEdit3")), "= 1M 0K 0B");
    EXPECT_EQ(window->Filters().Filters().minSize, 1048576);

    window->Filters().CountStarted();  // a count of the folder meets one time
    window->Filters().TimeMet(EncodeDateTime({2020, 5, 17, 8, 30, 0}));
    window->Filters().CountEnded();
    Choose(Find("cbTL2"), 0);
    EXPECT_EQ(window->Filters().Filters().timeTo, 0.0);
    SYSTEMTIME shown{};
    SendMessageA(Find("dtp2"), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wYear, 1899);
    Choose(Find("cbTL2"), 1);
    EXPECT_EQ(window->Filters().Filters().timeTo, EncodeDateTime({2020, 5, 17, 8, 30, 0}));

    OpenSection("CopyCutLabel", 0);
    EXPECT_EQ(Text(Find("NameFilterLabel")),
              "Files should meet following rules:\nFile name must match *.*;\nAny extension name;"
              "\nModification time must be between " + FormatLocalDateText(0.0) + " and " +
                  FormatLocalDateText(window->Filters().Filters().timeTo) + ";\nSize must be between 1048576B and 1536B;");
}
