#include "core/LogTexts.h"
#include "engine/FreeSpace.h"
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "platform/LocalDateText.h"
#include "tests/support/OutsideReason.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>

using testsupport::Exists;
using testsupport::FolderLink;
using testsupport::IsFolder;
using testsupport::ReadFileText;
using testsupport::TempFolder;
using testsupport::WriteFileText;

namespace {

// ScriptedHost keeps no record of a question's title; the free-space question must carry one.
class TitledHost : public ScriptedHost {
public:
    std::vector<std::string> yesNoTitles;
    bool AskYesNo(const std::string& text, const std::string& title) override
    {
        yesNoTitles.push_back(title);
        return ScriptedHost::AskYesNo(text, title);
    }
};

constexpr char kPreviousLog[] = "earlier job\r\n";

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

std::string Report(std::int64_t all, std::int64_t done, std::int64_t errors, std::int64_t size,
                   const std::string& speed)
{
    return "\r\n**Report**\r\nAll Files: " + std::to_string(all) + "\r\nCopied Files: " + std::to_string(done) +
           "\r\nErrors: " + std::to_string(errors) + "\r\nCopied Size: " + std::to_string(size) +
           "B\r\nEverage" + speed + "\r\n";
}

// The preparation block as ScriptedHost's default filters and ISO time rendering give it.
std::string DefaultPreparation(const std::string& header, const std::vector<std::string>& sources,
                               const std::string& extensionClause, const std::string& destination)
{
    std::string block = "\r\n**Prepare**\r\n" + header + "\r\nFollowing folders and files:\r\n";
    for (const std::string& s : sources)
        block += s + "\r\n";
    block += "\n\nOnly meet the following conditions:\r\n"
             "1> File name match: *.*\r\n" +
             extensionClause +
             "\r\n"
             "3> File modification time must be between 1899-12-30 00:00:00 and 9999-12-31 00:00:00\r\n"
             "4> File size must be between 0B and 9223372036854775807B\r\n"
             "\n\nAll these files will be copied to " +
             destination + "\r\n\r\n**Execute**\r\n";
    return block;
}

// A file held open without sharing, as another program holding it would.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ~HeldOpen()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

// A drive letter no volume answers to, or 0.
char UnmappedDriveLetter()
{
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if (!(drives & (1u << (letter - 'A'))))
            return letter;
    }
    return 0;
}

// A job on real files: a fresh temporary folder, the window's side as a script, the job's state and
// the job itself, as each test of a suite below starts.
template <class Host>
class JobOnFiles : public ::testing::Test {
protected:
    TempFolder temp;
    Host host;
    JobState state;
    JobRun run{host, state};
};

} // namespace

// --- The rules ---------------------------------------------------------------------------------------

TEST(JobRunRules, IsSameOrInsideByTheTextAndAsTheSystemResolvesIt)
{
    struct Case {
        const char* item;
        const char* destination;
        bool refused;
    } const cases[] = {
        {"C:\\data", "C:\\data", true},
        {"C:\\data", "C:\\data\\", true},
        {"C:\\data", "C:\\data\\sub", true},
        {"C:\\data\\", "C:\\data", true},      // one trailing backslash of the item is dropped
        {"C:\\data", "C:\\data2", false},
        {"C:\\data", "C:\\dat", false},
        {"C:\\data", "c:\\data\\x", true},     // other letter case resolves to the same place
        {"C:\\data", "C:\\x\\..\\data.\\y", true},  // as do "..", "." and trailing dots
        {"C:\\data", "X:\\y\\C:\\data\\z", true},  // found anywhere in the destination
        {"D:", "D:\\x", true},                 // a drive root refuses its whole drive
        {"D:", "D:\\", true},
        {"D:", "D:", true},
        {"D:", "E:\\x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSameOrInside(c.item, c.destination), c.refused) << c.item << " / " << c.destination;
}

TEST(JobRunRules, BarUnitAtItsBoundaries)
{
    EXPECT_EQ(BarUnitFor(0), 1);
    EXPECT_EQ(BarUnitFor(1023), 1);
    EXPECT_EQ(BarUnitFor(1024), 1024);
    EXPECT_EQ(BarUnitFor(1048575), 1024);
    EXPECT_EQ(BarUnitFor(1048576), 1048576);
    EXPECT_EQ(BarUnitFor(1073741823), 1048576);
    EXPECT_EQ(BarUnitFor(1073741824), 10485760);
    EXPECT_EQ(BarUnitFor(INT64_MAX), 10485760);
}

// --- Date-time rendering and free space ---------------------------------------------------------

TEST(LocalDateText, ShortDateAndLongTimeWithTimeLeftOutAtMidnight)
{
    SYSTEMTIME st{};
    st.wYear = 2026;
    st.wMonth = 3;
    st.wDay = 6;
    st.wHour = 13;
    st.wMinute = 4;
    st.wSecond = 5;
    char date[128] = {}, time[128] = {};
    ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date), 0);
    ASSERT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time), 0);

    EXPECT_EQ(FormatLocalDateText(EncodeDateTime({2026, 3, 6, 13, 4, 5, 0})), std::string(date) + " " + time);
    EXPECT_EQ(FormatLocalDateText(EncodeDateTime({2026, 3, 6, 0, 0, 0, 0})), date);
    // One millisecond after midnight is not exactly 00:00:00.
    EXPECT_NE(FormatLocalDateText(EncodeDateTime({2026, 3, 6, 0, 0, 0, 1})), date);
}

TEST(LocalDateText, DatesTheSystemCannotFormatStillShowTheirDate)
{
    // Day 0 is where the time window starts by default.
    const std::string dayZero = FormatLocalDateText(0.0);
    EXPECT_NE(dayZero.find("1899"), std::string::npos) << dayZero;
    EXPECT_EQ(dayZero.find(' '), std::string::npos) << dayZero;  // midnight: no time part
    const std::string early = FormatLocalDateText(EncodeDateTime({1352, 7, 1, 6, 0, 0, 0}));
    EXPECT_EQ(early.rfind("1352-07-01 ", 0), 0u) << early;
}

TEST(FreeSpace, AnswersForMissingDestinationsThroughTheNearestFolderAbove)
{
    TempFolder temp;
    ASSERT_TRUE(FreeBytesForDestination(temp.Path()).has_value());
    const auto missing = FreeBytesForDestination(temp / "not\\yet\\there");
    ASSERT_TRUE(missing.has_value());
    EXPECT_GT(*missing, 0);
    EXPECT_TRUE(FreeBytesForDestination("relative\\folder").has_value());
    EXPECT_FALSE(FreeBytesForDestination("").has_value());
    const char letter = UnmappedDriveLetter();
    if (letter != 0) {
        EXPECT_FALSE(FreeBytesForDestination(std::string(1, letter) + ":\\x\\y").has_value());
    }
}

TEST(FreeSpace, DrivePartOfTheQuestion)
{
    EXPECT_EQ(DestinationDrivePart("D:\\Backup"), "D:");
    EXPECT_EQ(DestinationDrivePart("d:"), "d:");
    EXPECT_EQ(DestinationDrivePart("\\\\server\\share\\x\\y"), "\\\\server\\share");
    EXPECT_EQ(DestinationDrivePart("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(DestinationDrivePart("\\\\?\\C:\\x"), "C:");
    EXPECT_EQ(DestinationDrivePart("\\\\?\\UNC\\server\\share\\x"), "\\\\server\\share");
    char current[MAX_PATH + 1] = {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof current, current), 2u);
    EXPECT_EQ(DestinationDrivePart("relative"), std::string(current, 2));
}

// --- Begin's refusals ----------------------------------------------------------------------------
// Begin itself (the section it opens, the saved lists, a scan that is running) is the window's; these
// are the rules it asks of the job it has taken.

TEST(JobRunBegin, DestinationInsideASourceIsRefusedForEveryOperation)
{
    TempFolder temp;
    const std::string source = temp / "data";
    ASSERT_TRUE(MakeFolder(source));
    for (Operation operation : {kOpCopy, kOpDelete}) {
        ScriptedHost host;
        host.operation = operation;
        host.sources = {temp / "other", source};
        host.destination = source + "\\sub";
        const std::optional<std::string> refusal = InsideSourceRefusal(host.Request());
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(*refusal, "Destination folder \n" + source +
                                "\\sub\nis the child of source folder or same as it\n" + source +
                                "\n\nPlease select another destination folder or remove the source "
                                "folder from copy list.");
        host.destination = source + "2";
        EXPECT_FALSE(InsideSourceRefusal(host.Request()).has_value()) << "a sibling of the same prefix";
    }
}

TEST(JobRunBegin, OnlyCopyAndCutNeedADestinationAndBlanksNameNone)
{
    ScriptedHost host;
    for (const char* blank : {"", "  \t ", "\r\n"}) {
        host.destination = blank;
        for (Operation operation : {kOpCopy, kOpCut, kOpTrash, kOpDelete, kOpCrush}) {
            host.operation = operation;
            EXPECT_EQ(LacksDestination(host.Request()), operation == kOpCopy || operation == kOpCut)
                << operation << " '" << blank << "'";
        }
    }
    host.operation = kOpCopy;
    host.destination = " Z:\\out ";
    EXPECT_FALSE(LacksDestination(host.Request()));
}

TEST(JobRunBegin, TheDestinationAsTheJobWritesIntoIt)
{
    char current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof current, current), 2u);
    const std::string drive(current, 2);
    EXPECT_EQ(ResolvedDestinationText(""), "");
    EXPECT_EQ(ResolvedDestinationText(" \t"), "");
    EXPECT_EQ(ResolvedDestinationText(drive), drive + "\\") << "a drive alone is its root";
    EXPECT_EQ(ResolvedDestinationText("  " + drive + "\\a\\.\\b\\..\\c\\ "), drive + "\\a\\c\\")
        << "blanks around it go, and the system folds . and ..";
}

TEST(JobRunBegin, ADestinationWithoutADriveAndItsRootIsRefused)
{
    TempFolder temp;
    ScriptedHost host;
    host.sources = {temp / "src"};
    // Each would be read against the program's own current folder (or current drive).
    const std::string relativeToHere = "orv-relative-" + std::to_string(GetCurrentProcessId());
    for (const std::string& destination : std::vector<std::string>{relativeToHere, ".", "..\\" + relativeToHere,
                                                                   std::string("C:") + relativeToHere,
                                                                   "\\" + relativeToHere}) {
        for (Operation operation : {kOpCopy, kOpCut}) {
            host.operation = operation;
            host.destination = destination;
            EXPECT_TRUE(LacksDestination(host.Request())) << destination;
        }
        host.operation = kOpDelete;
        EXPECT_FALSE(LacksDestination(host.Request())) << "Delete names no destination: " << destination;
    }
    // Spelt out, it is a place.
    host.operation = kOpCopy;
    for (const std::string& destination : {temp / "dest", std::string("C:"), std::string("\\\\server\\share\\x")}) {
        host.destination = destination;
        EXPECT_FALSE(LacksDestination(host.Request())) << destination;
    }
}

TEST(JobRunBegin, DeleteNeedsNoDestinationAndStillNamesIt)
{
    TempFolder temp;
    ScriptedHost host;
    JobState state;
    JobRun run(host, state);
    host.operation = kOpDelete;
    host.operationHeader = "Delete\n";
    host.sources = {temp / "emptyfolder"};
    host.destination = "";
    ASSERT_TRUE(MakeFolder(host.sources[0]));

    run.Run(host.Request());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.log.rfind(DefaultPreparation("Delete\n", host.sources,
                                                "2> File extension name can be any string.", ""),
                             0),
              0u)
        << host.log;
    EXPECT_FALSE(Exists(host.sources[0]));  // emptied (here: empty) source folders go after Delete
}

TEST(JobRunBegin, AfterAStoppedScanTheJobRunsWithoutTotals)
{
    TempFolder temp;
    TitledHost host;
    JobState state;
    JobRun run(host, state);
    host.sources = {temp / "src"};
    host.destination = temp / "out";
    ASSERT_TRUE(MakeFolder(host.sources[0]));
    ASSERT_TRUE(WriteFileText(temp / "src\\a.txt", "abc"));

    // Totals are incomplete, so no free-space question and no scale for the overall bar, however
    // large the partial total.
    host.scan.stopped = true;
    host.scan.byteTotal = INT64_MAX;
    host.yesNoAnswer = false;
    run.Run(host.Request());
    EXPECT_TRUE(host.yesNoQuestions.empty());
    EXPECT_EQ(host.overallMax, 100);
    EXPECT_NE(host.log.find("\r\nStarting Time "), std::string::npos);
    EXPECT_EQ(ReadFileText(temp / "out\\src\\a.txt"), "abc");
}

// --- Free space ------------------------------------------------------------------------------------

// One file, src\a.txt ("abc"), is the job's source.
class JobRunFreeSpace : public JobOnFiles<TitledHost> {
protected:
    void SetUp() override
    {
        host.sources = {temp / "src"};
        ASSERT_TRUE(MakeFolder(host.sources[0]));
        ASSERT_TRUE(WriteFileText(temp / "src\\a.txt", "abc"));
    }
};

TEST_F(JobRunFreeSpace, AnsweredNoAbandonsTheJobWithAnAbortAndAZeroReport)
{
    host.destination = temp / "missing\\deeper";  // does not exist yet: the folder above answers
    host.yesNoAnswer = false;
    host.scan.fileTotal = 1;
    host.scan.byteTotal = INT64_MAX;  // no disk has that much
    state.filesExamined = 7;          // left from an earlier job: zeroed before the report
    state.filesDone = 5;

    run.Run(host.Request());
    ASSERT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_EQ(host.yesNoQuestions[0], "No enough free space on the destination disk " + temp.Path().substr(0, 2) +
                                          " to paste current files and folders. Do you want to continue?\n"
                                          "'Yes' to ignore any bigger file.");
    EXPECT_EQ(host.yesNoTitles[0], "Question");
    EXPECT_EQ(host.log, DefaultPreparation("Copy\n", host.sources, "2> File extension name can be any string.",
                                           host.destination) +
                            "\r\nUser abort!\r\n" + Report(0, 0, 0, 0, ""));
    EXPECT_EQ(host.overallMax, INT32_MAX);  // the bar's range is 32 bits
    EXPECT_TRUE(host.hidden);
    EXPECT_FALSE(host.running);
    EXPECT_FALSE(run.Running());
    EXPECT_FALSE(Exists(temp / "missing"));
}

TEST_F(JobRunFreeSpace, AnsweredYesRunsTheJob)
{
    host.destination = temp / "out";
    host.yesNoAnswer = true;
    host.scan.byteTotal = INT64_MAX;

    run.Run(host.Request());
    EXPECT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_EQ(Count(host.log, "User abort!"), 0u);
    EXPECT_EQ(ReadFileText(temp / "out\\src\\a.txt"), "abc");
}

// The job goes by the count its request carries, never by one an earlier job left in its state.
TEST_F(JobRunFreeSpace, TheCountComesWithTheRequest)
{
    host.destination = temp / "out";
    host.yesNoAnswer = false;
    state.scan.fileTotal = 1;
    state.scan.byteTotal = INT64_MAX;  // an earlier count, far beyond any disk
    host.scan.stopped = true;          // this job's count did not reach its end

    run.Run(host.Request());
    EXPECT_TRUE(host.yesNoQuestions.empty());
    EXPECT_EQ(ReadFileText(temp / "out\\src\\a.txt"), "abc");

    // The next request carries a complete count beyond any disk: now the question comes, and No keeps
    // the job from writing anything.
    host.destination = temp / "out2";
    host.scan = {};
    host.scan.fileTotal = 1;
    host.scan.byteTotal = INT64_MAX;
    run.Run(host.Request());
    EXPECT_EQ(host.yesNoQuestions.size(), 1u);
    EXPECT_FALSE(Exists(temp / "out2"));
}

TEST_F(JobRunFreeSpace, NoQuestionWhenNoVolumeAnswers)
{
    const char letter = UnmappedDriveLetter();
    if (letter == 0)
        GTEST_SKIP() << "every drive letter from Q to Y is mapped here";
    host.destination = std::string(1, letter) + ":\\Backup";
    host.scan.fileTotal = 1;
    host.scan.byteTotal = 3;

    run.Run(host.Request());
    EXPECT_TRUE(host.yesNoQuestions.empty());
    // The dispatch cannot create the destination and touches nothing; the log says so with the error
    // of the creation that failed (the drive's root), and counts it.
    SetLastError(0);
    CreateDirectoryA((std::string(1, letter) + ":\\").c_str(), nullptr);
    const DWORD rootError = GetLastError();
    ASSERT_NE(rootError, 0u);
    EXPECT_EQ(host.log, DefaultPreparation("Copy\n", host.sources, "2> File extension name can be any string.",
                                           host.destination) +
                            "\r\nStarting Time 2026-03-06 12:00:00\r\n\r\nBecause " + SystemErrorText(rootError) +
                            " Failed to create destination folder " + host.destination +
                            "!\r\n\r\nEnding Time 2026-03-06 12:00:00\r\n" + Report(0, 0, 1, 0, ""));
    EXPECT_TRUE(Exists(temp / "src\\a.txt"));
}

// --- Cancel and whole jobs -----------------------------------------------------------------------

TEST(JobRunCancel, AtRestAppendsAReportAndHides)
{
    ScriptedHost host;
    JobState state;
    JobRun run(host, state);
    host.log = kPreviousLog;
    state.speedText = "--";  // as the last job left it
    host.overallText = "12B/30B";
    host.timeText = "Time Remaining 0m3s";
    state.filesExamined = 3;
    state.filesDone = 2;
    state.filesFailed = 1;
    state.bytesCopied = 4096;
    state.pauseFlag = true;

    run.bbCancelClick();
    EXPECT_EQ(host.log, std::string(kPreviousLog) + Report(3, 2, 1, 4096, "--"));
    EXPECT_TRUE(host.hidden);
    EXPECT_TRUE(state.stopFlag);
    EXPECT_FALSE(state.pauseFlag);
    EXPECT_EQ(host.overallText, "");
    EXPECT_EQ(host.timeText, "");
    EXPECT_EQ(host.speedText, "");

    // The speed text is empty after a Cancel: the next report's speed line is "Everage" alone.
    run.bbCancelClick();
    EXPECT_EQ(host.log, std::string(kPreviousLog) + Report(3, 2, 1, 4096, "--") + Report(3, 2, 1, 4096, ""));
}

// The window's calls between jobs: a new count of the sources forgets the files examined (a report at
// rest counts none of them), and a pause undone holds or resumes the flag without showing anything.
TEST(JobRunBetweenJobs, ANewCountAndAnUndonePauseChangeOnlyWhatTheySay)
{
    ScriptedHost host;
    JobState state;
    JobRun run(host, state);
    state.filesExamined = 3;
    state.bytesExamined = 30;
    state.filesDone = 2;
    state.filesFailed = 1;
    state.bytesCopied = 4096;

    run.SetSpeedBeforeAnyJob("--");
    run.NewCount();
    run.SetPaused(true);
    EXPECT_TRUE(state.pauseFlag);
    EXPECT_FALSE(host.paused) << "an undone pause shows nothing itself";
    run.SetPaused(false);
    EXPECT_FALSE(state.pauseFlag);
    EXPECT_EQ(state.bytesExamined, 0);

    run.bbCancelClick();
    EXPECT_EQ(host.log, Report(0, 2, 1, 4096, "--"));
}

class JobRunJob : public JobOnFiles<ScriptedHost> {};

TEST_F(JobRunJob, ExactLogOfASmallCopy)
{
    const std::string source = temp / "pics";
    host.sources = {source};
    host.destination = temp / "out";
    host.filters.extensions = {{".tmp", false}, {".txt", true}};
    ASSERT_TRUE(MakeFolder(source));
    ASSERT_TRUE(WriteFileText(source + "\\a.txt", "hello"));
    ASSERT_TRUE(WriteFileText(source + "\\b.txt", "goodbye"));
    ASSERT_TRUE(WriteFileText(source + "\\c.tmp", "tmp"));
    host.scan.fileTotal = 3;
    host.scan.byteTotal = 15;
    host.log = kPreviousLog;

    run.Run(host.Request());
    // The clock does not move here, so the speed is 12 bytes over the one-millisecond floor.
    EXPECT_EQ(host.log,
              "\r\n**Prepare**\r\n"
              "Copy\n\r\n"
              "Following folders and files:\r\n" +
                  source +
                  "\r\n"
                  "\n\nOnly meet the following conditions:\r\n"
                  "1> File name match: *.*\r\n"
                  "2> File extension name can not be one of \".tmp;\"\r\n"
                  "3> File modification time must be between 1899-12-30 00:00:00 and 9999-12-31 00:00:00\r\n"
                  "4> File size must be between 0B and 9223372036854775807B\r\n"
                  "\n\nAll these files will be copied to " +
                  host.destination +
                  "\r\n"
                  "\r\n**Execute**\r\n"
                  "\r\nStarting Time 2026-03-06 12:00:00\r\n"
                  "\r\nEnding Time 2026-03-06 12:00:00\r\n"
                  "\r\n**Report**\r\n"
                  "All Files: 3\r\n"
                  "Copied Files: 2\r\n"
                  "Errors: 0\r\n"
                  "Copied Size: 12B\r\n"
                  "Everage  Speed 12kbps\r\n");
    EXPECT_EQ(ReadFileText(temp / "out\\pics\\a.txt"), "hello");
    EXPECT_EQ(ReadFileText(temp / "out\\pics\\b.txt"), "goodbye");
    EXPECT_FALSE(Exists(temp / "out\\pics\\c.tmp"));
    EXPECT_TRUE(Exists(source + "\\a.txt"));  // Copy removes nothing
    EXPECT_EQ(host.overallMax, 15);
    EXPECT_TRUE(host.hidden);
    EXPECT_FALSE(host.running);
    EXPECT_EQ(host.overallText, "");
    EXPECT_EQ(host.speedText, "");
    EXPECT_EQ(state.jobStartTick, 1000);
}

TEST_F(JobRunJob, CancelDuringAJobGivesTwoReportsAndANestedBeginStartsNothing)
{
    const std::string source = temp / "src";
    host.sources = {source};
    host.destination = temp / "out";
    ASSERT_TRUE(MakeFolder(source));
    for (int i = 0; i < 4; ++i) {
        const std::string sub = source + "\\d" + std::to_string(i);
        ASSERT_TRUE(MakeFolder(sub));
        ASSERT_TRUE(WriteFileText(sub + "\\f.txt", "content"));
    }
    host.scan.fileTotal = 4;
    host.scan.byteTotal = 28;

    bool cancelled = false;
    host.onProcessMessages = [&] {
        if (cancelled)
            return;
        cancelled = true;
        run.bbCancelClick();
        run.Run(host.Request());  // Begin is enabled again at rest; a click must not start a job inside this one
    };
    run.Run(host.Request());

    ASSERT_TRUE(cancelled);
    EXPECT_EQ(Count(host.log, "\r\n**Prepare**"), 1u);
    EXPECT_EQ(Count(host.log, "\r\n**Report**"), 2u);
    EXPECT_TRUE(host.messages.empty());
    const std::size_t started = host.log.find("\r\nStarting Time ");
    const std::size_t firstReport = host.log.find("\r\n**Report**");
    const std::size_t abort = host.log.find("\r\nUser abort!");
    ASSERT_NE(abort, std::string::npos);
    EXPECT_LT(started, firstReport);
    EXPECT_LT(firstReport, abort);
    const std::string tail = "\r\nUser abort!\r\n\r\nEnding Time 2026-03-06 12:00:00\r\n" +
                             Report(state.filesExamined, state.filesDone, state.filesFailed, state.bytesCopied, "");
    ASSERT_GE(host.log.size(), tail.size());
    EXPECT_EQ(host.log.substr(host.log.size() - tail.size()), tail);
    EXPECT_LT(state.filesDone, 4);  // the job ended early
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(host.hidden);
}

TEST_F(JobRunJob, BeginInsideARunningJobDoesNothing)
{
    host.sources = {temp / "src"};
    host.destination = temp / "out";
    ASSERT_TRUE(MakeFolder(temp / "src"));
    ASSERT_TRUE(MakeFolder(temp / "src\\sub"));
    ASSERT_TRUE(WriteFileText(temp / "src\\sub\\a.txt", "abc"));
    int nested = 0;
    host.onProcessMessages = [&] {
        EXPECT_TRUE(run.Running());
        ++nested;
        run.Run(host.Request());
    };

    run.Run(host.Request());
    EXPECT_GT(nested, 0);
    EXPECT_EQ(Count(host.log, "\r\n**Prepare**"), 1u);
    EXPECT_EQ(Count(host.log, "\r\n**Report**"), 1u);
    EXPECT_EQ(ReadFileText(temp / "out\\src\\sub\\a.txt"), "abc");
    EXPECT_FALSE(run.Running());
}

// --- Standing answers --------------------------------------------------------------------------------

namespace {

// Two files of the source folder that already exist at the destination.
struct ConflictTree {
    TempFolder temp;
    std::string big = std::string(3 * 1024 * 1024 + 17, 'n');  // several chunks of any copy routine

    ConflictTree()
    {
        MakeFolder(temp / "src");
        MakeFolder(temp / "out");
        MakeFolder(temp / "out\\src");
        WriteFileText(temp / "src\\big.bin", big);
        WriteFileText(temp / "src\\small.txt", "new");
        WriteFileText(temp / "out\\src\\big.bin", "old");
        WriteFileText(temp / "out\\src\\small.txt", "old");
    }
};

// The tree's source copied into its destination, by a fresh job.
class JobRunStandingAnswers : public ::testing::Test {
protected:
    JobRunStandingAnswers()
    {
        host.sources = {tree.temp / "src"};
        host.destination = tree.temp / "out";
    }
    ConflictTree tree;
    ScriptedHost host;
    JobState state;
    JobRun run{host, state};
};

} // namespace

TEST_F(JobRunStandingAnswers, AStandingAnswerHoldsWithinOneJob)
{
    host.fileAnswers = {{kOverwrite, true}};

    run.Run(host.Request());
    EXPECT_EQ(host.fileQuestions.size(), 1u);
    EXPECT_EQ(ReadFileText(tree.temp / "out\\src\\small.txt"), "new");
    EXPECT_EQ(ReadFileText(tree.temp / "out\\src\\big.bin"), tree.big);
}

TEST_F(JobRunStandingAnswers, PauseThenGoOnAsksTheNextConflictAgain)
{
    host.fileAnswers = {{kOverwrite, true}, {kOverwrite, false}};
    bool pausedOnce = false;
    host.onProcessMessages = [&] {
        if (state.pauseFlag) {
            run.bbPauseClick();  // Go On
            EXPECT_FALSE(host.paused);
        } else if (host.fileQuestions.size() == 1 && !pausedOnce) {
            pausedOnce = true;  // inside the first file's copy
            run.bbPauseClick();
            EXPECT_TRUE(host.paused);
            EXPECT_FALSE(run.Answers().file.standing);
        }
    };

    run.Run(host.Request());
    ASSERT_TRUE(pausedOnce);
    EXPECT_EQ(host.fileQuestions.size(), 2u);
    EXPECT_EQ(ReadFileText(tree.temp / "out\\src\\small.txt"), "new");
    EXPECT_EQ(ReadFileText(tree.temp / "out\\src\\big.bin"), tree.big);
    EXPECT_EQ(state.filesDone, 2);
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_EQ(Count(host.log, "Because"), 0u);
}

TEST_F(JobRunStandingAnswers, ANewJobAsksAgain)
{
    host.fileAnswers = {{kSkip, true}, {kSkip, true}};

    run.Run(host.Request());
    ASSERT_EQ(host.fileQuestions.size(), 1u);
    EXPECT_TRUE(run.Answers().file.standing);

    run.Run(host.Request());
    EXPECT_EQ(host.fileQuestions.size(), 2u);
    EXPECT_EQ(ReadFileText(tree.temp / "out\\src\\small.txt"), "old");
}

// --- Removal of emptied source folders ---------------------------------------------------------

class JobRunCleanup : public JobOnFiles<ScriptedHost> {};

TEST_F(JobRunCleanup, CutOfATreeLeavesNoEmptiedFolders)
{
    const std::string tree = temp / "t";
    for (const char* folder : {"t", "t\\s1", "t\\s1\\s2", "t\\empty", "t\\empty\\deeper", "out"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    ASSERT_TRUE(WriteFileText(temp / "t\\a.txt", "a"));
    ASSERT_TRUE(WriteFileText(temp / "t\\s1\\b.txt", "bb"));
    ASSERT_TRUE(WriteFileText(temp / "t\\s1\\s2\\c.txt", "ccc"));
    host.operation = kOpCut;
    host.sources = {tree};
    host.destination = temp / "out";
    const int pumpsBefore = host.processMessagesCalls;

    run.Run(host.Request());
    EXPECT_FALSE(Exists(tree));
    EXPECT_EQ(ReadFileText(temp / "out\\t\\s1\\s2\\c.txt"), "ccc");
    EXPECT_EQ(Count(host.log, "Because"), 0u) << host.log;
    EXPECT_GT(host.processMessagesCalls, pumpsBefore);
}

TEST_F(JobRunCleanup, ALockedFileKeepsItsFoldersAndTheItemIsReported)
{
    const std::string tree = temp / "t";
    for (const char* folder : {"t", "t\\keep", "t\\keep\\inner", "t\\gone", "out"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    ASSERT_TRUE(WriteFileText(temp / "t\\keep\\inner\\locked.txt", "locked"));
    ASSERT_TRUE(WriteFileText(temp / "t\\gone\\free.txt", "free"));
    host.operation = kOpCut;
    host.sources = {tree};
    host.destination = temp / "out";
    // Whether this system keeps a file open without sharing from being renamed is asked of the system
    // itself, on a file of its own, before the job: the job's own result is what is under test.
    ASSERT_TRUE(WriteFileText(temp / "probe.txt", "probe"));
    bool probeMoved = false;
    {
        HeldOpen probe(temp / "probe.txt");
        ASSERT_TRUE(probe.Held());
        probeMoved = MoveFileExA((temp / "probe.txt").c_str(), (temp / "probe moved.txt").c_str(), 0) != 0;
    }
    if (probeMoved)
        ORV_SKIP_BECAUSE("open-file-moves", "this system lets a file held open without sharing be renamed");

    {
        HeldOpen lock(temp / "t\\keep\\inner\\locked.txt");
        ASSERT_TRUE(lock.Held());
        run.Run(host.Request());
    }
    EXPECT_EQ(state.filesFailed, 1);
    EXPECT_TRUE(Exists(temp / "t\\keep\\inner\\locked.txt"));
    EXPECT_FALSE(Exists(temp / "t\\gone"));
    EXPECT_EQ(ReadFileText(temp / "out\\t\\gone\\free.txt"), "free");
    EXPECT_EQ(Count(host.log, "\r\nBecause folder " + tree +
                                  " may be being used or not empty, so failed to be deleted!\r\n"),
              1u)
        << host.log;
    // The folder line follows the file's failure line and comes before the ending time.
    EXPECT_LT(host.log.find("\r\nBecause folder "), host.log.find("\r\nEnding Time "));
}

TEST_F(JobRunCleanup, LinksAreNeitherFollowedNorRemoved)
{
    for (const char* folder : {"t", "t\\empty", "outside", "outside\\emptyinside", "out"})
        ASSERT_TRUE(MakeFolder(temp / folder));
    FolderLink inTree(temp / "t\\ln", temp / "outside");
    FolderLink asItem(temp / "itemlink", temp / "outside");
    if (!inTree.Made() || !asItem.Made())
        GTEST_SKIP() << "folder links cannot be made on this system";
    host.operation = kOpCut;
    host.sources = {temp / "t", temp / "itemlink"};
    host.destination = temp / "out";

    run.Run(host.Request());
    EXPECT_TRUE(IsFolder(temp / "outside\\emptyinside"));  // never reached through either link
    EXPECT_TRUE(Exists(temp / "t\\ln"));
    EXPECT_TRUE(Exists(temp / "itemlink"));
    EXPECT_FALSE(Exists(temp / "t\\empty"));
    EXPECT_NE(host.log.find("\r\nBecause folder " + temp / "t" + " may be being used"), std::string::npos);
    EXPECT_NE(host.log.find("\r\nBecause folder " + temp / "itemlink" + " may be being used"), std::string::npos);
}

// A Delete job hands its files to the workers: a file link in the tree leads to a file outside it,
// which stays whole whether the link itself can be deleted or not.
TEST_F(JobRunCleanup, ADeleteOfATreeHoldingAFileLinkLeavesTheLinkedFileWhole)
{
    ASSERT_TRUE(MakeFolder(temp / "t"));
    ASSERT_TRUE(WriteFileText(temp / "outside.txt", "not chosen"));
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(WriteFileText(temp / ("t\\own" + std::to_string(i) + ".txt"), "own"));
    if (!testsupport::MakeFileLink(temp / "t\\link.txt", temp / "outside.txt"))
        GTEST_SKIP() << "file links cannot be made on this system";
    host.operation = kOpDelete;
    host.sources = {temp / "t"};

    run.Run(host.Request());
    EXPECT_EQ(ReadFileText(temp / "outside.txt"), "not chosen");
    EXPECT_EQ(state.filesDone + state.filesFailed, 21);
    const bool linkStays = Exists(temp / "t\\link.txt");
    EXPECT_EQ(state.filesFailed, linkStays ? 1 : 0) << host.log;
    EXPECT_EQ(Count(host.log, " So failed to delete file " + temp / "t\\link.txt" + "!"), linkStays ? 1u : 0u)
        << host.log;
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(Exists(temp / ("t\\own" + std::to_string(i) + ".txt")));
}

TEST_F(JobRunCleanup, DeepTreesBeyondThe8BitLimitAreEmptiedToo)
{
    // Build a chain of folders longer than MAX_PATH through the wide calls.
    std::wstring wide = L"\\\\?\\" + std::wstring(temp.Path().begin(), temp.Path().end()) + L"\\deep";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    for (int i = 0; i < 12; ++i) {
        wide += L"\\" + std::wstring(30, static_cast<wchar_t>(L'a' + i));
        ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr)) << i;
    }
    ASSERT_GT(wide.size(), static_cast<std::size_t>(MAX_PATH) + 4);
    host.operation = kOpDelete;
    host.sources = {temp / "deep"};

    run.Run(host.Request());
    EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + std::wstring(temp.Path().begin(), temp.Path().end()) + L"\\deep").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Count(host.log, "Because"), 0u) << host.log;
}
