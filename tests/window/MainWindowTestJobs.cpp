// Jobs run from Begin on the real window over real temporary trees: a whole Copy, the Running and
// Paused looks, Pause / Go On and Cancel pressed during a large copy, a conflict answered once for the
// rest of the job, Cancel at rest and the way back through the notification icon; and pictures of the
// window at rest and while a job runs, saved into the build folder.
#include "tests/window/MainWindowHarness.h"

#include "app/TrayIcon.h"
#include "core/ShellIntegration.h"
#include "platform/ProgramPath.h"
#include "engine/FileCopy.h"
#include "engine/filefacts.h"
#include "platform/Handles.h"
#include "ui/MessageLoop.h"

#include <commctrl.h>

#include <cstdint>

using namespace mainwindow;
using testsupport::Exists;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

constexpr int kBigMiB = 512;  // long enough for the display, repainted ten times a second, to show it running
constexpr std::int64_t kBigBytes = std::int64_t{kBigMiB} * 1024 * 1024;

// A file of whole mebibytes whose every word differs from its neighbours, so a copy that lost, doubled
// or misplaced a piece never compares equal.
bool WritePatternFile(const std::string& path, int mebibytes)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::vector<std::uint32_t> block(256 * 1024);
    for (int m = 0; m < mebibytes; ++m) {
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = (static_cast<std::uint32_t>(m) * 262144u + static_cast<std::uint32_t>(i)) * 2654435761u;
        DWORD written = 0;
        if (!WriteFile(file.Get(), block.data(), 1024 * 1024, &written, nullptr) || written != 1024 * 1024)
            return false;
    }
    return file.Close();
}

bool SameContent(const std::string& a, const std::string& b)
{
    UniqueFile fa(CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    UniqueFile fb(CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!fa || !fb)
        return false;
    std::vector<char> ba(1024 * 1024), bb(1024 * 1024);
    for (;;) {
        DWORD ga = 0, gb = 0;
        if (!ReadFile(fa.Get(), ba.data(), static_cast<DWORD>(ba.size()), &ga, nullptr) ||
            !ReadFile(fb.Get(), bb.data(), static_cast<DWORD>(bb.size()), &gb, nullptr) || ga != gb)
            return false;
        if (ga == 0)
            return true;
        if (std::memcmp(ba.data(), bb.data(), ga) != 0)
            return false;
    }
}

std::int64_t SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> FilesLike(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA((folder + "\\" + pattern).c_str(), &entry));
    if (!find)
        return found;
    do
        found.push_back(folder + "\\" + entry.cFileName);
    while (FindNextFileA(find.Get(), &entry));
    return found;
}

int BarPosition(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }
int BarMax(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)); }

// More than the background: the control shows a picture.
bool ShowsAPicture(HWND control)
{
    const RECT r = ScreenRect(control);
    HDC dc = GetDC(control);
    std::set<COLORREF> colours;
    for (int y = 0; y < r.bottom - r.top; y += 2)
        for (int x = 0; x < r.right - r.left; x += 2)
            colours.insert(GetPixel(dc, x, y));
    ReleaseDC(control, dc);
    return colours.size() > 2;
}

std::string Report(std::int64_t all, std::int64_t done, std::int64_t errors, std::int64_t bytes)
{
    return "\r\n**Report**\r\nAll Files: " + std::to_string(all) + "\r\nCopied Files: " + std::to_string(done) +
           "\r\nErrors: " + std::to_string(errors) + "\r\nCopied Size: " + std::to_string(bytes) + "B\r\nEverage";
}

} // namespace

class MainWindowJobs : public MainWindowTest {
protected:
    // The job's file workers write while the window answers its messages; a test that acts at a
    // point of a copy holds the copy there (between a read and its write) until it has acted, as a
    // job doing the copy on its own thread would stand still while a handler runs.
    void SetUp() override
    {
        MainWindowTest::SetUp();
        copyGoes = CreateEventA(nullptr, TRUE, TRUE, nullptr);
        SetCopyWriteObserver([this](const std::string&, std::int64_t, char*, unsigned long) {
            WaitForSingleObject(copyGoes, 60000);
        });
    }
    void TearDown() override
    {
        SetCopyWriteObserver({});
        SetEvent(copyGoes);
        CloseHandle(copyGoes);
        MainWindowTest::TearDown();
    }
    void HoldCopy() { ResetEvent(copyGoes); }
    void LetCopyGo() { SetEvent(copyGoes); }
    HANDLE copyGoes = nullptr;

    void ExpectRunning(const StateSeen& s, const std::string& pauseCaption, const char* when)
    {
        SCOPED_TRACE(when);
        EXPECT_TRUE(s.windowVisible);
        EXPECT_FALSE(s.beginEnabled);
        EXPECT_TRUE(s.pauseVisible);
        EXPECT_EQ(s.pauseCaption, pauseCaption);
        EXPECT_FALSE(s.stopSearchEnabled);
        EXPECT_TRUE(s.upperSectionsDisabled) << "Operation, Source and Filters stay usable during a job";
        EXPECT_TRUE(s.lowerSectionsEnabled);
        EXPECT_TRUE(s.cancelEnabled);
        EXPECT_TRUE(s.progressBarVisible);
        EXPECT_FALSE(s.searchVisible);
        EXPECT_TRUE(s.jobAnimationVisible);
    }

    // After a job: at rest, hidden, with the three progress texts emptied.
    void ExpectEnded(const char* when)
    {
        SCOPED_TRACE(when);
        EXPECT_FALSE(IsWindowVisible(main)) << "the end of a job hides the window";
        ExpectIdle(when);
        EXPECT_EQ(Text(Find("AllProgressLabel")), "");
        EXPECT_EQ(Text(Find("TimeLabel")), "");
        EXPECT_EQ(Text(Find("LabelSpeed")), "");
        EXPECT_FALSE(window->Progress().JobAnimationPlaying());
    }

    // A source folder holding one large file, and the destination it is to be copied to.
    struct LargeCopy {
        TempFolder temp;
        std::string folder = temp / "src";
        std::string big = folder + "\\big.bin";
        std::string destination = temp / "dst";
        std::string copy = destination + "\\src\\big.bin";
    };

    // Three files that all exist at the destination; `end` tells the program to end while the first
    // question is up. Returns how many questions were shown; the files must all stay as they were.
    int EndWhileAsked(const std::function<void()>& end)
    {
        TempFolder temp;
        const std::string source = temp / "src";
        const std::string destination = temp / "dst";
        const std::string names[3] = {"one.txt", "two.txt", "three.txt"};
        for (const std::string& folder : {source, destination, destination + "\\src"})
            EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        for (const std::string& name : names) {
            EXPECT_TRUE(WriteFileText(source + "\\" + name, "new"));
            EXPECT_TRUE(WriteFileText(destination + "\\src\\" + name, "old"));
        }
        AddSource(source);
        SetDestination(destination);

        int questions = 0;
        Every ask(20, [&] {
            for (HWND w : ThreadWindows().windows) {
                if (IsWindowVisible(w) && ui::FindByName(w, "TFileExistsForm") == w &&
                    Unanswered(w)) {
                    ++questions;
                    end();
                }
            }
            return false;
        });
        ClickOn("bbBegin");  // the whole job runs inside this click

        for (const std::string& name : names)
            EXPECT_EQ(ReadFileText(destination + "\\src\\" + name), "old") << name;
        return questions;
    }

    // How far the large copy has got: -1 before it starts and once it is complete. The copy is
    // written under its final name while the job holds it, so it is read from the folder's entry
    // (opening a file that is to go with its handle is refused). The file bar shows a copy's progress
    // only about ten times a second, too seldom to tell whether a fast copy is still under way.
    static std::int64_t PartialSize(const LargeCopy& job)
    {
        WIN32_FIND_DATAA entry;
        UniqueFind find(FindFirstFileA((job.destination + "\\src\\big.bin*").c_str(), &entry));
        if (!find || FindNextFileA(find.Get(), &entry))
            return -1;
        const std::int64_t size = (static_cast<std::int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        return size < kBigBytes ? size : -1;
    }

    static bool CopyUnderWay(const LargeCopy& job)
    {
        return PartialSize(job) > 0;
    }

    void Prepare(LargeCopy& job)
    {
        ASSERT_TRUE(CreateDirectoryA(job.folder.c_str(), nullptr));
        ASSERT_TRUE(WritePatternFile(job.big, kBigMiB));
        AddSource(job.folder);
        SetDestination(job.destination);
    }
};

TEST_F(MainWindowJobs, CopyFromBeginCopiesTheTreeReportsAndHides)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((data + "\\Sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((data + "\\Sub\\Deeper").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(data + "\\a.txt", "alpha"));
    ASSERT_TRUE(WriteFileText(data + "\\Sub\\b.txt", "beta beta"));
    ASSERT_TRUE(WriteFileText(data + "\\Sub\\Deeper\\c.txt", ""));
    const std::string single = temp / "Notes.TXT";
    ASSERT_TRUE(WriteFileText(single, "notes"));
    AddSource(data);
    AddSource(single);
    // Beside the source, with a name that begins like it: not inside it.
    const std::string destination = temp / "data2";
    SetDestination(destination);

    // The window at rest, Source section open to show what was added.
    OpenSection("SourceLabel", 1);
    EXPECT_TRUE(SaveWindowPicture(main, BuildFolder() + "\\main-window-rest.bmp"));
    OpenSection("ProgressLabel", 4);

    ClickOn("bbBegin");  // the whole job runs inside this click

    EXPECT_TRUE(boxes->seen.empty()) << (boxes->seen.empty() ? "" : boxes->seen[0].text);
    ExpectEnded("after the job");
    EXPECT_EQ(ReadFileText(destination + "\\data\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileText(destination + "\\data\\Sub\\b.txt"), "beta beta");
    EXPECT_EQ(ReadFileText(destination + "\\data\\Sub\\Deeper\\c.txt"), "");
    EXPECT_EQ(ReadFileText(destination + "\\notes.txt"), "notes") << "a file item arrives in lower case";
    EXPECT_EQ(ReadFileText(data + "\\a.txt"), "alpha") << "Copy leaves the source";
    EXPECT_EQ(ReadFileText(single), "notes");

    const std::string log = Log();
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"\r\n**Prepare**\r\n", data + "\r\n", single + "\r\n", "\r\n**Execute**\r\n",
                              "\r\nStarting Time ", "\r\nEnding Time ", Report(4, 4, 0, 19) + "  Speed "},
                        &missing))
        << "missing or out of order: " << missing << "\nlog:\n" << log;
    EXPECT_EQ(log.substr(log.size() - 6), "kbps\r\n");
    EXPECT_EQ(CountOf(log, "**Report**"), 1);
    EXPECT_EQ(CountOf(log, "Because"), 0);
    EXPECT_EQ(CountOf(log, "User abort!"), 0);
    EXPECT_EQ(SendMessageA(Find("cbPath"), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(destination.c_str())),
              0)
        << "the destination went into its history";
}

// Begin pressed while the Operation section is open, its header reading "Select operation".
TEST_F(MainWindowJobs, AJobBegunFromTheOperationSectionLogsItsOperation)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(data + "\\a.txt", "alpha"));
    AddSource(data);
    OpenSection("CopyCutLabel", kSectionOperation);
    ClickOn("rbDelete");
    ASSERT_EQ(Text(Find("CopyCutLabel")), "Select operation\n");

    ClickOn("bbBegin");

    ExpectEnded("after the Delete");
    EXPECT_FALSE(testsupport::IsFolder(data));
    const std::string log = Log();
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"\r\n**Prepare**\r\n", "Delete\n", "Following folders and files:"}, &missing))
        << "missing or out of order: " << missing << "\nlog:\n" << log;
    EXPECT_EQ(log.find("Select operation"), std::string::npos) << log;
}

TEST_F(MainWindowJobs, PauseAndGoOnDuringALargeCopy)
{
    LargeCopy job;
    Prepare(job);
    if (HasFatalFailure())
        return;
    HWND bar = Find("FileProgressBar");

    enum class Phase { WaitForCopy, Paused, GoneOn } phase = Phase::WaitForCopy;
    StateSeen running, paused, goneOn;
    bool playingWhenRunning = false, stillWhenPaused = true, playingAfterGoOn = false, shot = false;
    bool barCyclingWhenRunning = false, barStillWhenPaused = false, barCyclingAfterGoOn = false;
    int pausedTicks = 0, pausedAt = -1, pausedMax = 0, heldAt = -1;
    std::int64_t partialSize = -1, heldPartialSize = -1;
    std::vector<std::string> partials;
    Every step(10, [&] {
        switch (phase) {
        case Phase::WaitForCopy:
            // A Pause pressed while the sections move is undone at the end of the move: wait for it.
            if (!CopyUnderWay(job) || window->SwitchRunning())
                return false;
            // For the picture, give the clip time to draw its first frame, within the first half.
            if (!ShowsAPicture(Find("aniCopy")) && PartialSize(job) < kBigBytes / 2)
                return false;
            HoldCopy();
            running = State();
            playingWhenRunning = window->Progress().JobAnimationPlaying();
            barCyclingWhenRunning = window->Progress().BarCycling();
            shot = SaveWindowPicture(main, BuildFolder() + "\\main-window-job.bmp");
            ClickOn("bbPause");
            LetCopyGo();
            phase = Phase::Paused;
            return false;
        case Phase::Paused:
            ++pausedTicks;
            // The file is written by a worker while the window answers its messages: it stops at
            // the end of the step it is in, and the bar shows where a few ticks later.
            if (pausedTicks == 3) {
                paused = State();
                stillWhenPaused = !window->Progress().JobAnimationPlaying();
                barStillWhenPaused = !window->Progress().BarCycling();
                pausedAt = BarPosition(bar);
                pausedMax = BarMax(bar);
                // The copy so far stands under its partial name, held by the job (the system removes
                // it should the process end), and under no other name: the final name comes when the
                // copy is complete.
                partials = FilesLike(job.destination + "\\src", "big.bin*");
                if (partials.size() == 1)
                    partialSize = SizeOf(partials[0]);
            } else if (pausedTicks == 9) {
                // A pause holds: neither the bar nor the partial copy moves.
                heldAt = BarPosition(bar);
                if (partials.size() == 1)
                    heldPartialSize = SizeOf(partials[0]);
                ClickOn("bbPause");
                goneOn = State();
                playingAfterGoOn = window->Progress().JobAnimationPlaying();
                barCyclingAfterGoOn = window->Progress().BarCycling();
                phase = Phase::GoneOn;
                return true;
            }
            return false;
        case Phase::GoneOn:
            return true;
        }
        return true;
    });

    ClickOn("bbBegin");  // the whole job runs inside this click

    ASSERT_EQ(phase, Phase::GoneOn) << "Pause and Go On were not both pressed during the copy";
    ExpectRunning(running, "Pause", "running");
    EXPECT_TRUE(window->Progress().JobAnimationLoaded()) << "the copy clip did not load";
    EXPECT_TRUE(playingWhenRunning) << "the job animation is not playing";
    ExpectRunning(paused, "Go On", "paused");
    EXPECT_TRUE(stillWhenPaused) << "the job animation plays on while paused";
    EXPECT_TRUE(barCyclingWhenRunning && barStillWhenPaused && barCyclingAfterGoOn)
        << "the activity bar cycles while the job runs and stands still while it is paused";
    ExpectRunning(goneOn, "Pause", "gone on");
    EXPECT_TRUE(playingAfterGoOn);
    EXPECT_TRUE(shot) << "no picture of the running job";

    EXPECT_GT(pausedAt, 0);
    EXPECT_LT(pausedAt, pausedMax) << "the pause did not land inside the copy";
    EXPECT_EQ(heldAt, pausedAt) << "the file bar moved while paused";
    ASSERT_EQ(partials.size(), 1u) << "no single partial copy while paused";
    EXPECT_EQ(partials[0], PartialCopyName(job.copy));
    EXPECT_GT(partialSize, 0);
    EXPECT_LT(partialSize, kBigBytes);
    EXPECT_EQ(heldPartialSize, partialSize) << "the copy went on while paused";

    ExpectEnded("after the job");
    EXPECT_TRUE(boxes->seen.empty());
    EXPECT_EQ(SizeOf(job.copy), kBigBytes);
    EXPECT_TRUE(SameContent(job.big, job.copy)) << "the paused copy did not arrive whole";
    EXPECT_TRUE(FilesLike(job.destination + "\\src", "*.orvpart").empty()) << "a partial copy was left behind";
    const std::string log = Log();
    EXPECT_NE(log.find(Report(1, 1, 0, kBigBytes)), std::string::npos) << log;
    EXPECT_EQ(CountOf(log, "**Report**"), 1);
    EXPECT_EQ(CountOf(log, "Because"), 0) << log;
    EXPECT_EQ(CountOf(log, "User abort!"), 0);
}

TEST_F(MainWindowJobs, CancelDuringALargeCopy)
{
    LargeCopy job;
    Prepare(job);
    if (HasFatalFailure())
        return;
    // A second source item after the folder: Cancel must keep it from being started.
    const std::string later = job.temp / "later.txt";
    ASSERT_TRUE(WriteFileText(later, "later"));
    AddSource(later);

    StateSeen running, atCancel;
    int reportsAtCancel = -1;
    std::string logAtCancel;
    Every step(10, [&] {
        if (!CopyUnderWay(job))
            return false;
        HoldCopy();
        running = State();
        ClickOn("bbCancel");
        LetCopyGo();
        atCancel = State();
        logAtCancel = Log();
        reportsAtCancel = CountOf(logAtCancel, "**Report**");
        return true;
    });

    ClickOn("bbBegin");  // the whole job runs inside this click

    ASSERT_TRUE(step.Done()) << "Cancel was not pressed during the copy";
    ExpectRunning(running, "Pause", "running");
    // Cancel hides the window at once; the sections stay locked and Begin disabled until the job has
    // wound down, so nothing it still works on can change under it. Its report waits until the job has
    // taken in the file it cut off, which the report then counts.
    EXPECT_FALSE(atCancel.windowVisible);
    EXPECT_FALSE(atCancel.beginEnabled);
    EXPECT_TRUE(atCancel.upperSectionsDisabled);
    EXPECT_EQ(reportsAtCancel, 0) << logAtCancel;

    ExpectEnded("after the job");
    EXPECT_TRUE(boxes->seen.empty());
    EXPECT_FALSE(Exists(job.copy)) << "a cancelled copy left its file";
    EXPECT_TRUE(FilesLike(job.destination + "\\src", "*.orvpart").empty()) << "a partial copy was left behind";
    EXPECT_FALSE(Exists(job.destination + "\\later.txt")) << "an item after Cancel was started";
    EXPECT_EQ(SizeOf(job.big), kBigBytes);

    const std::string log = Log();
    const std::string failure = "\r\nBecause " + SystemErrorText(ERROR_REQUEST_ABORTED) + " Failed to copy file from " +
                                job.big + " to " + job.copy + "\r\n";
    EXPECT_EQ(CountOf(log, "Because"), 1) << log;
    EXPECT_EQ(CountOf(log, "**Report**"), 2) << log;
    std::string missing;
    EXPECT_TRUE(InOrder(log, {"\r\nStarting Time ", failure, Report(1, 0, 1, 0), "\r\nUser abort!\r\n",
                              "\r\nEnding Time ", Report(1, 0, 1, 0)},
                        &missing))
        << "missing or out of order: " << missing << "\nlog:\n" << log;
}

TEST_F(MainWindowJobs, ConflictAnsweredOnceForTheRestWithUseSameSelection)
{
    TempFolder temp;
    const std::string source = temp / "src";
    const std::string destination = temp / "dst";
    const std::string names[3] = {"one.txt", "two.txt", "three.txt"};
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((destination + "\\src").c_str(), nullptr));
    for (const std::string& name : names) {
        ASSERT_TRUE(WriteFileText(source + "\\" + name, "new " + name));
        ASSERT_TRUE(WriteFileText(destination + "\\src\\" + name, "old"));
    }
    AddSource(source);
    SetDestination(destination);

    int fileQuestions = 0, folderQuestions = 0;
    std::string shownPath;
    bool startedClear = false;
    Every answer(20, [&] {
        for (HWND w : ThreadWindows().windows) {
            if (!IsWindowVisible(w))
                continue;
            if (ui::FindByName(w, "TFolderExistsForm") == w)
                ++folderQuestions;
            if (ui::FindByName(w, "TFileExistsForm") != w || !Unanswered(w))
                continue;
            ++fileQuestions;
            shownPath = Text(ui::FindByName(w, "FileLabel"));
            HWND same = ui::FindByName(w, "cbSameSelection");
            startedClear = !Checked(same);
            Click(same);
            Click(ui::FindByName(w, "BitBtn1"));  // Overwrite
        }
        return false;
    });

    ClickOn("bbBegin");  // the whole job runs inside this click

    EXPECT_EQ(fileQuestions, 1) << "the ticked answer was not kept for the other files";
    EXPECT_EQ(folderQuestions, 0);
    EXPECT_TRUE(startedClear);
    EXPECT_EQ(FolderOf(shownPath), destination + "\\src\\") << shownPath;
    for (const std::string& name : names)
        EXPECT_EQ(ReadFileText(destination + "\\src\\" + name), "new " + name) << name;
    ExpectEnded("after the job");
    const std::string log = Log();
    EXPECT_NE(log.find(Report(3, 3, 0, 3 * 11 + 2)), std::string::npos) << log;
    EXPECT_EQ(CountOf(log, "Because"), 0) << log;
}

TEST_F(MainWindowJobs, CancelAtRestReportsHidesAndTheIconBringsTheWindowBack)
{
    const std::string earlier = "earlier entry\r\n";
    SetText(Find("Memo1"), earlier);
    ClickOn("bbCancel");
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(Log(), earlier + Report(0, 0, 0, 0) + "--\r\n") << "before the first job the speed text is \"--\"";
    ExpectIdle("after Cancel at rest");

    // A click on the notification icon brings the window back.
    SendMessageA(main, TrayIcon::kCallbackMessage, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(Log(), earlier + Report(0, 0, 0, 0) + "--\r\n");
}

TEST_F(MainWindowJobs, ClosingTheWindowDuringACopyEndsTheJobFirst)
{
    LargeCopy job;
    Prepare(job);
    if (HasFatalFailure())
        return;
    bool stillThereAfterClose = false;
    Every step(10, [&] {
        if (!CopyUnderWay(job))
            return false;
        HoldCopy();
        SendMessageA(main, WM_CLOSE, 0, 0);
        LetCopyGo();
        stillThereAfterClose = IsWindow(main) != 0;
        return true;
    });

    ClickOn("bbBegin");  // the whole job runs inside this click

    ASSERT_TRUE(step.Done()) << "the window was not closed during the copy";
    EXPECT_TRUE(stillThereAfterClose) << "the window went while the job still used it";
    EXPECT_FALSE(IsWindow(main)) << "the window stays after the job has unwound";
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the program does not end";
    EXPECT_FALSE(Exists(job.copy)) << "a cancelled copy left its file";
    EXPECT_TRUE(FilesLike(job.destination + "\\src", "*.orvpart").empty()) << "a partial copy was left behind";
    EXPECT_EQ(SizeOf(job.big), kBigBytes);
}

TEST_F(MainWindowJobs, AQuitWhileAConflictIsAskedSkipsTheRestUnaskedAndEndsTheLoopOnce)
{
    EXPECT_EQ(EndWhileAsked([] { PostQuitMessage(3); }), 1)
        << "a question was shown after the quit";
    ExpectEnded("after the job");
    const std::string log = Log();
    EXPECT_EQ(CountOf(log, "**Report**"), 2) << log;
    EXPECT_EQ(CountOf(log, "\r\nUser abort!\r\n"), 1) << log;
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the quit was posted again";
    EXPECT_EQ(ui::RunMessageLoop(), 3) << "the outer loop does not get the quit";
    EXPECT_FALSE(QuitPending());
}

TEST_F(MainWindowJobs, ClosingTheWindowOrEndingTheSessionWhileAConflictIsAskedSkipsTheRestUnasked)
{
    LRESULT agreed = 0;
    // A log-off asks first (and is let through); then the session ends.
    EXPECT_EQ(EndWhileAsked([&] {
                  agreed = SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                  SendMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
              }),
              1)
        << "a question was shown after the session ended";
    EXPECT_NE(agreed, 0) << "the log-off was refused";
    EXPECT_FALSE(IsWindow(main)) << "the window stays after the job has unwound";
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the program does not end";
}

// "Also write a report file": the job's files in the report a script reads, beside the saved lists,
// named with the job's start; the log's last line says where. The option is kept with the others.
TEST_F(MainWindowJobs, TheReportOptionWritesTheJobsFilesBesideTheSavedLists)
{
    TempFolder temp;
    const std::string data = temp / "data";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((data + "\\Sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(data + "\\a, b.txt", "alpha"));
    ASSERT_TRUE(WriteFileText(data + "\\Sub\\c.txt", "gamma!"));
    AddSource(data);
    SetDestination(temp / "out");

    OpenSection("SettingsLabel", kSectionSettings);
    ClickOn("cbReport");
    ASSERT_TRUE(Checked(Find("cbReport")));
    DWORD stored = 0, size = sizeof stored;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, kWriteReportValue, RRF_RT_REG_DWORD, nullptr, &stored,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, 1u);
    OpenSection("ProgressLabel", kSectionProgress);
    ClickOn("bbBegin");
    ExpectEnded("after the job");
    // Off again for the tests after this one (it is kept in the registry).
    ClickOn("cbReport");
    EXPECT_FALSE(Checked(Find("cbReport")));

    const std::string log = Log();
    const std::string entry = "\r\nReport file: ";
    const std::size_t at = log.rfind(entry);
    ASSERT_NE(at, std::string::npos) << log;
    const std::string path = log.substr(at + entry.size(), log.find("\r\n", at + entry.size()) - at - entry.size());
    EXPECT_EQ(log.substr(at), entry + path + "\r\n") << "the last line of the log";
    const std::string folder = ProgramFolderPath() + "Reports\\Report_";
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0) << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".csv");
    const std::string report = ReadFileText(path);
    DeleteFileA(path.c_str());
    EXPECT_EQ(report, "result,operation,source,destination,bytes,error\r\n"
                      "done,copy,\"" + data + "\\a, b.txt\",\"" + temp / "out\\data\\a, b.txt" + "\",5,\r\n"
                      "done,copy," + data + "\\Sub\\c.txt," + temp / "out\\data\\Sub\\c.txt" + ",6,\r\n"
                      "summary,copy,,,11,examined 2; done 2; failed 0; skipped 0; exit code 1\r\n");
}
