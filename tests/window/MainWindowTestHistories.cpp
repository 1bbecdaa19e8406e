// The two saved lists on real files beside the window: loading every kind of file a user or a
// crash can leave there, the trimming at start, and Begin adding to them, also when a file cannot be
// written.
#include "tests/window/MainWindowHarness.h"

using namespace mainwindow;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

std::vector<std::string> Items(HWND combo)
{
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        text.resize(static_cast<size_t>(
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

std::string Lines(int from, int to, const char* end)
{
    std::string text;
    for (int i = from; i < to; ++i)
        text += "entry" + std::to_string(i) + end;
    return text;
}

} // namespace

class MainWindowHistories : public MainWindowTest {
protected:
    std::string NameFilter() const { return programFolder / "NameFilter.dat"; }
    std::string HistoryPath() const { return programFolder / "HistoryPath.dat"; }

    // A new start of the program over the files as they are now.
    void Restart()
    {
        CloseWindow();
        OpenWindow();
    }

    // A Copy of one small file with these masks, run to its end from Begin.
    void CopyOneFile(const std::string& masks, const std::string& destination)
    {
        const std::string source = work / "src";
        CreateDirectoryA(source.c_str(), nullptr);
        ASSERT_TRUE(WriteFileText(source + "\\one.txt", "1"));
        AddSource(source);
        SetText(Find("cbFName"), masks);  // after the scan, whose reset gives the default masks
        SetDestination(destination);
        ClickOn("bbBegin");  // the whole job runs inside this click
        EXPECT_EQ(ReadFileText(destination + "\\src\\one.txt"), "1");
        EXPECT_NE(Log().find("\r\nEnding Time "), std::string::npos) << Log();
    }

    TempFolder work;
};

TEST_F(MainWindowHistories, MoreThan128LinesAreCutAndRewrittenAtStart128AreLeftAlone)
{
    ASSERT_TRUE(WriteFileText(NameFilter(), Lines(0, 150, "\n") + Lines(150, 200, "\r")));
    const std::string exactly128 = Lines(0, 128, "\n");  // LF only: a rewrite would show as CR LF
    ASSERT_TRUE(WriteFileText(HistoryPath(), exactly128));
    Restart();

    const std::vector<std::string> masks = Items(Find("cbFName"));
    ASSERT_EQ(masks.size(), 128u);
    EXPECT_EQ(masks.front(), "entry0");
    EXPECT_EQ(masks.back(), "entry127");
    EXPECT_EQ(ReadFileText(NameFilter()), Lines(0, 128, "\r\n"));
    EXPECT_EQ(Items(Find("cbPath")).size(), 128u);
    EXPECT_EQ(ReadFileText(HistoryPath()), exactly128) << "a list within the limit is not rewritten";
    EXPECT_FALSE(testsupport::Exists(NameFilter() + ".new"));
}

TEST_F(MainWindowHistories, BeginAddsNewTextsOnTopAndKnownOnesInAnyCaseNot)
{
    ASSERT_TRUE(WriteFileText(NameFilter(), "*.txt\r*.doc"));  // only CRs, last line without an end
    Restart();
    ASSERT_EQ(Items(Find("cbFName")), (std::vector<std::string>{"*.txt", "*.doc"}));
    EXPECT_FALSE(testsupport::Exists(HistoryPath())) << "a missing file is not created at start";

    const std::string destination = work / "dst";
    CopyOneFile("*.TXT", destination);

    EXPECT_EQ(ReadFileText(NameFilter()), "*.txt\r*.doc") << "a known mask changes nothing";
    EXPECT_EQ(ReadFileText(HistoryPath()), destination + "\r\n");
    Restart();
    EXPECT_EQ(Items(Find("cbPath")), std::vector<std::string>{destination});
}

TEST_F(MainWindowHistories, BadFilesLoadWithoutHarmAndAFailedWriteNeitherStopsTheJobNorTouchesTheOldFile)
{
    using namespace std::string_literals;
    const std::string withNul = "first\r\nsecond\0third\r\n"s;
    ASSERT_TRUE(WriteFileText(NameFilter(), withNul));
    // Far beyond any history: a binary blob without a line end. Read only in part, so never rewritten.
    std::string huge(6u << 20, '\x01');
    for (size_t i = 0; i < huge.size(); i += 97)
        huge[i] = static_cast<char>(0x80 + i % 120);
    ASSERT_TRUE(WriteFileText(HistoryPath(), "D:\\kept\r\n" + huge));
    // The new mask file cannot be made: its place is taken by a folder.
    ASSERT_TRUE(CreateDirectoryA((NameFilter() + ".new").c_str(), nullptr));
    Restart();
    EXPECT_EQ(Items(Find("cbFName")), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(Items(Find("cbPath")), std::vector<std::string>{"D:\\kept"});

    const std::string destination = work / "dst";
    CopyOneFile("*.*", destination);

    EXPECT_EQ(ReadFileText(NameFilter()), withNul) << "the failed write left the old file as it was";
    EXPECT_EQ(ReadFileText(HistoryPath()), "D:\\kept\r\n" + huge) << "a file read in part is not written over";
    EXPECT_EQ(Items(Find("cbFName")).front(), "*.*") << "the entry stays in the list for this run";
    EXPECT_EQ(Items(Find("cbPath")).front(), destination);
    // The failure is told once in the job's log (the job itself copied its file, above).
    const std::string log = Log();
    EXPECT_EQ(CountOf(log, "The list could not be saved to " + NameFilter() + ": "), 1) << log;
    EXPECT_EQ(CountOf(log, "The list could not be saved to"), 1) << "the partly read list was not to be written";
}
