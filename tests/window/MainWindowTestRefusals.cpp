// Begin's refusals on the real window: the exact messages, the window left at rest, the log left as it
// was, and nothing touched on disk; and a destination on a drive that does not exist, which passes
// Begin's checks and is refused by the item dispatch without a crash.
#include "tests/window/MainWindowHarness.h"

#include <stdexcept>

using namespace mainwindow;
using testsupport::Exists;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

const std::string kEarlierLog = "\r\n**Report**\r\nAll Files: 7\r\n";

std::string InsideSourceText(const std::string& destination, const std::string& item)
{
    return "Destination folder \n" + destination + "\nis the child of source folder or same as it\n" + item +
           "\n\nPlease select another destination folder or remove the source folder from copy list.";
}

// A drive letter that no volume answers to.
std::string MissingDrive()
{
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter)
        if (!(drives & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":";
    return {};
}

} // namespace

class MainWindowRefusals : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetText(Find("Memo1"), kEarlierLog);
    }

    // A refusal leaves the window up, at rest, with the log as it was.
    void ExpectRefusedAtRest(const std::string& when)
    {
        SCOPED_TRACE(when);
        EXPECT_TRUE(IsWindowVisible(main));
        ExpectIdle(when.c_str());
        EXPECT_EQ(Log(), kEarlierLog) << "a refused Begin touches the log";
    }

    // A folder holding the files (name, content), added as a user adds a source. Called through
    // ASSERT_NO_FATAL_FAILURE.
    void AddFolderSource(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files)
    {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        for (const auto& [name, content] : files)
            ASSERT_TRUE(WriteFileText(folder + "\\" + name, content)) << name;
        AddSource(folder);
    }

    TempFolder temp;
};

TEST_F(MainWindowRefusals, NothingToDoOpensTheSourceSectionThenSaysSo)
{
    ASSERT_EQ(window->ExpandedSection(), 4);
    ClickOn("bbBegin");
    EXPECT_TRUE(boxes->seen.empty()) << "no message while another section is open";
    ASSERT_TRUE(WaitSwitch());
    EXPECT_EQ(window->ExpandedSection(), 1);
    ExpectRefusedAtRest("first press");

    ClickOn("bbBegin");
    ASSERT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(boxes->seen[0].text, "Please add source files and folders firstly.");
    ASSERT_TRUE(WaitSwitch());
    EXPECT_EQ(window->ExpandedSection(), 1);
    ExpectRefusedAtRest("second press");
}

TEST_F(MainWindowRefusals, BlankDestinationForCopyAndCut)
{
    const std::string source = temp / "photos";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {{"a.jpg", "picture"}}));
    SetText(Find("cbFName"), "*.jpg");

    // Blanks typed into the destination box are no destination.
    HWND pathEdit = GetWindow(Find("cbPath"), GW_CHILD);
    ASSERT_NE(pathEdit, nullptr);
    Type(pathEdit, "   ");
    ASSERT_EQ(Text(Find("cbPath")), "   ");

    for (const char* operation : {"rbCopy", "rbCut"}) {
        SCOPED_TRACE(operation);
        OpenSection("CopyCutLabel", 0);
        ClickOn(operation);
        ASSERT_TRUE(WaitSwitch());
        boxes->seen.clear();
        ClickOn("bbBegin");
        ASSERT_EQ(boxes->Texts(), std::vector<std::string>{"Destination folder is invaild. Please select another one."});
        ASSERT_TRUE(WaitSwitch());
        EXPECT_EQ(window->ExpandedSection(), 4) << "Begin opens the Progress section before this check";
        ExpectRefusedAtRest("blank destination");
        EXPECT_EQ(testsupport::ReadFileText(source + "\\a.jpg"), "picture");
    }
    // The mask went into its history before the refusal (and only once); blanks did not.
    EXPECT_EQ(SendMessageA(Find("cbFName"), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("*.jpg")),
              0);
    EXPECT_EQ(SendMessageA(Find("cbFName"), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(Find("cbPath"), CB_GETCOUNT, 0, 0), 0);
}

TEST_F(MainWindowRefusals, ADestinationWithoutADriveAndItsRootForCopyAndCut)
{
    const std::string source = temp / "photos";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {{"a.jpg", "picture"}}));
    // Each would name a place below the program's own current folder or drive.
    for (const char* typed : {"backup", ".", "..\\backup", "\\backup"}) {
        SetText(Find("cbPath"), typed);
        for (const char* operation : {"rbCopy", "rbCut"}) {
            SCOPED_TRACE(std::string(typed) + " " + operation);
            OpenSection("CopyCutLabel", 0);
            ClickOn(operation);
            ASSERT_TRUE(WaitSwitch());
            boxes->seen.clear();
            ClickOn("bbBegin");
            ASSERT_EQ(boxes->Texts(), std::vector<std::string>{"Destination folder is invaild. Please select another one."});
            ASSERT_TRUE(WaitSwitch());
            ExpectRefusedAtRest("relative destination");
        }
    }
    EXPECT_EQ(testsupport::ReadFileText(source + "\\a.jpg"), "picture");
}

TEST_F(MainWindowRefusals, ControlCharactersAreBlanksToTheHistoriesAsToTheDestination)
{
    const std::string source = temp / "photos";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {}));
    SetText(Find("cbFName"), " \t ");
    SetDestination("\t");

    ClickOn("bbBegin");
    ASSERT_EQ(boxes->Texts(), std::vector<std::string>{"Destination folder is invaild. Please select another one."});
    ASSERT_TRUE(WaitSwitch());
    ExpectRefusedAtRest("tab for a destination");
    EXPECT_EQ(SendMessageA(Find("cbFName"), CB_GETCOUNT, 0, 0), 0) << "blanks went into the mask history";
    EXPECT_EQ(SendMessageA(Find("cbPath"), CB_GETCOUNT, 0, 0), 0) << "blanks went into the path history";
}

TEST_F(MainWindowRefusals, DestinationInsideASourceIsRefusedWhateverTheOperation)
{
    const std::string data = temp / "data";
    const std::string other = temp / "other.txt";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(data + "\\keep.txt", "keep me"));
    ASSERT_TRUE(WriteFileText(other, "and me"));
    AddSource(other);
    AddSource(data);

    struct Case {
        const char* operation;
        std::string destination;
    };
    const Case cases[] = {
        {"rbCopy", data + "\\backup"},
        {"rbCopy", data + "\\"},
        {"rbCopy", data},
        {"rbDelete", data + "\\sub"},  // the destination plays no part in a Delete, yet the check holds
        {"rbCrush", data},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " to " + c.destination);
        OpenSection("CopyCutLabel", 0);
        ClickOn(c.operation);
        ASSERT_TRUE(WaitSwitch());
        SetDestination(c.destination);
        boxes->seen.clear();
        ClickOn("bbBegin");
        ASSERT_EQ(boxes->Texts(), std::vector<std::string>{InsideSourceText(c.destination, data)});
        EXPECT_EQ(window->ExpandedSection(), 0) << "this refusal comes before the Progress section opens";
        ExpectRefusedAtRest(c.operation);
        EXPECT_EQ(testsupport::ReadFileText(data + "\\keep.txt"), "keep me");
        EXPECT_EQ(testsupport::ReadFileText(other), "and me");
    }
    EXPECT_EQ(SendMessageA(Find("cbPath"), CB_GETCOUNT, 0, 0), 0) << "no history from a refusal at this step";
}

TEST_F(MainWindowRefusals, DestinationOnAMissingDriveRunsButNothingIsDone)
{
    const std::string drive = MissingDrive();
    ASSERT_FALSE(drive.empty()) << "every drive letter is mapped";
    const std::string source = temp / "src";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {{"one.txt", "1"}, {"two.txt", "22"}}));
    const std::string destination = drive + "\\Orvandel target";
    SetDestination(destination);

    ClickOn("bbBegin");  // the whole job runs inside this click

    EXPECT_TRUE(boxes->seen.empty()) << (boxes->seen.empty() ? "" : boxes->seen[0].text);
    EXPECT_FALSE(IsWindowVisible(main)) << "the end of a job hides the window";
    ExpectIdle("after the job");
    const std::string log = Log();
    EXPECT_EQ(log.find(kEarlierLog), std::string::npos) << "Begin clears the log";
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"\r\n**Prepare**\r\n", "Copy\n\r\n", "Following folders and files:\r\n", source + "\r\n",
                              "\n\nOnly meet the following conditions:\r\n", "1> File name match: *.*\r\n",
                              "\n\nAll these files will be copied to " + destination + "\r\n", "\r\n**Execute**\r\n",
                              "\r\nStarting Time ", "\r\nEnding Time ", "\r\n**Report**\r\nAll Files: 0\r\n"
                              "Copied Files: 0\r\nErrors: 1\r\nCopied Size: 0B\r\nEverage"},
                        &missing))
        << "missing or out of order: " << missing << "\nlog:\n" << log;
    EXPECT_EQ(log.rfind("\r\n**Prepare**", 0), 0u) << "the log starts with the preparation block";
    EXPECT_EQ(CountOf(log, "**Report**"), 1);
    // The refusal is told and counted, not left to read like a job that found nothing to do.
    EXPECT_EQ(CountOf(log, "Because"), 1) << log;
    EXPECT_EQ(CountOf(log, " Failed to create destination folder " + destination + "!\r\n"), 1) << log;
    EXPECT_NE(log.find("\r\nErrors: 1\r\n"), std::string::npos) << log;
    EXPECT_EQ(CountOf(log, "User abort!"), 0);
    EXPECT_EQ(testsupport::ReadFileText(source + "\\one.txt"), "1");
    EXPECT_EQ(testsupport::ReadFileText(source + "\\two.txt"), "22");
    EXPECT_FALSE(Exists(destination));
}

TEST_F(MainWindowRefusals, NotEnoughFreeSpaceAskedInAQuestionBoxAndNoAbandonsTheJob)
{
    const std::string source = temp / "src";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {{"one.txt", "1"}}));
    const std::string destination = temp / "dst";
    SetDestination(destination);
    // Totals as a completed count of the sources would leave them, far beyond any free space.
    ScanTotals totals;
    totals.fileTotal = 1;
    totals.byteTotal = INT64_MAX / 2;
    window->SetScanCount(totals);
    boxes->answer = IDNO;

    ClickOn("bbBegin");

    ASSERT_EQ(boxes->seen.size(), 1u);
    EXPECT_EQ(boxes->seen[0].title, "Question");
    EXPECT_EQ(boxes->seen[0].text.rfind("No enough free space on the destination disk ", 0), 0u) << boxes->seen[0].text;
    EXPECT_NE(boxes->seen[0].text.find(" to paste current files and folders. Do you want to continue?"), std::string::npos);
    const std::string log = Log();
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"\r\n**Execute**\r\n", "\r\nUser abort!\r\n", "\r\n**Report**\r\nAll Files: 0\r\n"},
                        &missing))
        << missing << "\n" << log;
    EXPECT_EQ(CountOf(log, "Starting Time"), 0);
    EXPECT_FALSE(Exists(destination + "\\src\\one.txt"));
    EXPECT_FALSE(IsWindowVisible(main));
}

// A Cut within one volume writes nothing, so its count of bytes, however large, asks no question: the
// window's own count notes the bytes of each source, which the job matches with its sources.
TEST_F(MainWindowRefusals, ACutWithinOneVolumeNeedsNoFreeSpace)
{
    const std::string source = temp / "src";
    ASSERT_NO_FATAL_FAILURE(AddFolderSource(source, {{"one.txt", "1"}}));
    ASSERT_EQ(window->ScanCount().items.size(), 1u);
    EXPECT_EQ(window->ScanCount().items[0].path, source);
    EXPECT_EQ(window->ScanCount().items[0].bytes, 1);
    const std::string destination = temp / "dst";
    SetDestination(destination);
    OpenSection("CopyCutLabel", 0);
    ClickOn("rbCut");
    ASSERT_TRUE(WaitSwitch());
    // Totals as a completed count of a far larger source would leave them.
    ScanTotals larger = window->ScanCount();
    larger.byteTotal = INT64_MAX / 2;
    larger.items[0].bytes = INT64_MAX / 2;
    window->SetScanCount(larger);
    boxes->answer = IDNO;

    ClickOn("bbBegin");

    EXPECT_TRUE(boxes->seen.empty()) << boxes->seen[0].text;
    EXPECT_EQ(testsupport::ReadFileText(destination + "\\src\\one.txt"), "1");
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(CountOf(Log(), "User abort!"), 0);
}

// A handler that fails outside a job is one log line, and the window goes on working.
TEST_F(MainWindowRefusals, AFailingHandlerIsOneLogLineAndTheWindowGoesOn)
{
    ui::Timer failing({.name = "failingTimer", .interval = 10});
    failing.onTimer = [&failing] {
        failing.Stop();
        throw std::runtime_error("disk on\r\nfire");
    };
    failing.Start();
    const DWORD start = GetTickCount();
    while (Text(Find("Memo1")) == kEarlierLog && GetTickCount() - start < 3000) {
        ProcessPendingMessages();
        Sleep(5);
    }
    EXPECT_EQ(Text(Find("Memo1")), kEarlierLog + "\r\nAn unexpected error in a timer handler: disk on  fire\r\n");
    EXPECT_TRUE(IsWindowEnabled(Find("bbBegin")));
}
