#include "tests/process/RunningProgram.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace process;
using testsupport::TempFolder;

namespace {

LRESULT SendBlock(HWND window, ULONG_PTR tag, const void* data, DWORD size)
{
    COPYDATASTRUCT block{};
    block.dwData = tag;
    block.cbData = size;
    block.lpData = const_cast<void*>(data);
    // A program that never answers fails the test instead of holding it.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, 10000, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

bool Topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

} // namespace

TEST(SingleInstance, ASecondStartWithAFolderAddsItToTheRunningWindowAndEndsWithZero)
{
    TempFolder folder;
    RunningProgram first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(WaitUntil(5000, [&] { return first.Visible(); }));

    EXPECT_EQ(SecondStart("\"" + folder.Path() + "\""), 0u);
    EXPECT_EQ(first.ListItems("sourceList"), std::vector<std::string>{folder.Path()});
    EXPECT_FALSE(IsWindowVisible(first.Control("pExists")));
    EXPECT_TRUE(Topmost(first.Window()));
    // Only one program runs: the second start opened no window of its own.
    int windows = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, kMainWindowClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr))
        ++windows;
    EXPECT_EQ(windows, 1);

    // The same folder again, or a path that names nothing: the notice, and the list unchanged.
    EXPECT_EQ(SecondStart("\"" + folder.Path() + "\""), 0u);
    EXPECT_TRUE(IsWindowVisible(first.Control("pExists")));
    EXPECT_EQ(SecondStart("\"" + (folder / "missing") + "\""), 0u);
    EXPECT_EQ(first.ListItems("sourceList"), std::vector<std::string>{folder.Path()});
    EXPECT_EQ(first.Close(), 0u);
}

TEST(SingleInstance, AStartWithStartupShowsNoWindowUntilASecondStartRaisesIt)
{
    RunningProgram first;
    ASSERT_TRUE(first.Start("startup"));
    Sleep(1500);  // past the deferred scan of the start
    EXPECT_FALSE(first.Visible());

    EXPECT_EQ(SecondStart(""), 0u);
    EXPECT_TRUE(first.Visible());
    EXPECT_TRUE(Topmost(first.Window()));
    EXPECT_TRUE(first.ListItems("sourceList").empty());
    EXPECT_FALSE(IsWindowVisible(first.Control("pExists")));
    EXPECT_EQ(first.Close(), 0u);
}

TEST(SingleInstance, TheKeywordInAnotherCaseIsTakenAsAPath)
{
    RunningProgram first;
    ASSERT_TRUE(first.Start("startup"));
    EXPECT_EQ(SecondStart("ShowVorCopyWin"), 0u);
    EXPECT_TRUE(first.Visible());
    EXPECT_TRUE(IsWindowVisible(first.Control("pExists")));
    EXPECT_EQ(first.Close(), 0u);
}

TEST(SingleInstance, AFirstStartWithAFolderAddsItAndOpensTheDestinationAfterASecond)
{
    TempFolder folder;
    RunningProgram first;
    ASSERT_TRUE(first.Start("\"" + folder.Path() + "\""));
    EXPECT_EQ(first.ListItems("sourceList"), std::vector<std::string>{folder.Path()});
    // The deferred start of the scan opens the To section: its header's panel grows past its header.
    HWND toPanel = first.Control("ToPanel");
    HWND toLabel = first.Control("ToLabel");
    const auto height = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.bottom - r.top;
    };
    EXPECT_TRUE(WaitUntil(5000, [&] { return height(toPanel) > height(toLabel) + 40; }));
    EXPECT_EQ(first.Close(), 0u);
}

TEST(SingleInstance, BlocksThatAreNoHandOffChangeNothing)
{
    TempFolder folder;
    RunningProgram first;
    ASSERT_TRUE(first.Start("startup"));
    HWND window = first.Window();

    // A foreign program's block with another tag, even one naming a real folder.
    EXPECT_EQ(SendBlock(window, 7, folder.Path().data(), static_cast<DWORD>(folder.Path().size())), FALSE);
    // Bytes that are no text of the code page, and a path with a zero inside that would name its head.
    EXPECT_EQ(SendBlock(window, 12, "Z:\\\xff\xfe\xfd", 6), FALSE);
    const std::string cut = folder.Path() + std::string(1, '\0') + "tail";
    EXPECT_EQ(SendBlock(window, 12, cut.data(), static_cast<DWORD>(cut.size())), FALSE);
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(first.ListItems("sourceList").empty());

    // An empty block is a hand-off of an empty argument: it names nothing, and the window comes up.
    EXPECT_EQ(SendBlock(window, 12, nullptr, 0), TRUE);
    EXPECT_TRUE(first.Visible());
    EXPECT_TRUE(IsWindowVisible(first.Control("pExists")));
    EXPECT_TRUE(first.ListItems("sourceList").empty());

    // The program is still whole: a proper hand-off works.
    EXPECT_EQ(SendBlock(window, 12, folder.Path().data(), static_cast<DWORD>(folder.Path().size())), TRUE);
    EXPECT_EQ(first.ListItems("sourceList"), std::vector<std::string>{folder.Path()});
    EXPECT_EQ(first.Close(), 0u);
}

TEST(SingleInstance, ABlockOfAMegabyteIsRefused)
{
    RunningProgram first;
    ASSERT_TRUE(first.Start("startup"));
    // A megabyte: Wine 8 does not carry a bigger copy-data block between processes at all (the send
    // fails at once), so this is the largest a test here can hand over.
    const std::string huge(1u << 20, 'C');
    EXPECT_EQ(SendBlock(first.Window(), 12, huge.data(), static_cast<DWORD>(huge.size())), FALSE);
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(first.ListItems("sourceList").empty());
    EXPECT_EQ(first.Close(), 0u);
}
