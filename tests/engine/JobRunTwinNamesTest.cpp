// Whole jobs over names ending in a dot or a blank (made by other systems; under Wine a host file can
// carry them) that lie beside their twins without them: `report.doc ` beside `report.doc`. The job
// acts on the names it listed and never on a twin the filters left out. The trees are made and read
// here through "\\?\" wide calls of their own, so what the checks see does not depend on the code
// under test.
#include "core/LogTexts.h"
#include "core/ShellErrorTexts.h"
#include "engine/filefacts.h"
#include "engine/jobrun.h"
#include "engine/prescan.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using testsupport::TempFolder;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The "\\?\" form of an ASCII path: the system takes every name in it as spelt.
std::wstring Exact(const std::string& path)
{
    std::wstring wide = L"\\\\?\\";
    for (char c : path)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

std::string Narrow(const wchar_t* wide)
{
    std::string text;
    for (; *wide; ++wide)
        text += static_cast<char>(*wide);
    return text;
}

bool MakeFolder(const std::string& path) { return CreateDirectoryW(Exact(path).c_str(), nullptr) != 0; }

bool MakeFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

std::string ReadExact(const std::string& path)
{
    HANDLE file = CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    CloseHandle(file);
    content.resize(got);
    return content;
}

// Every entry below root as spelt, one a line, sorted: "name\" a folder, "name=<content>|" a file
// (the bar shows a trailing blank of the name), contents of 4,800 bytes as "twin".
void ListInto(const std::string& root, const std::string& prefix, std::vector<std::string>& lines)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((Exact(root) + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = Narrow(entry.cFileName);
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines.push_back(prefix + name + "|\\");
            ListInto(root + "\\" + name, prefix + name + "|\\", lines);
        } else {
            const std::string content = ReadExact(root + "\\" + name);
            lines.push_back(prefix + name + "|=" + (content.size() == 4800 ? "twin" : content));
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

void RemoveExact(const std::string& root)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((Exact(root) + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = Narrow(entry.cFileName);
            if (name == "." || name == "..")
                continue;
            const std::string full = root + "\\" + name;
            SetFileAttributesW(Exact(full).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveExact(full);
            else
                DeleteFileW(Exact(full).c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(Exact(root).c_str());
}

std::string ExactTree(const std::string& root)
{
    std::vector<std::string> lines;
    ListInto(root, "", lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// S holds each listed name beside its twin: small files under the names ending in a dot or a blank,
// 4,800-byte ones under the twins, and a folder `dir.` beside `dir`, each holding in.txt. A size window
// of 0 to 100 bytes takes the listed files only.
class TwinNamesJob : public ::testing::Test {
protected:
    TempFolder temp;
    ScriptedHost host;
    JobState state;
    JobRun run{host, state};
    const std::string s = temp / "S";
    const std::string d = temp / "D";
    const std::string twin = std::string(4800, 't');
    const std::string twins = "dir|\\\n"
                              "dir|\\in.txt|=twin\n"
                              "notes.txt|=twin\n"
                              "report.doc|=twin\n";

    void SetUp() override { MakeSource(); }
    void TearDown() override
    {
        RemoveExact(s);  // names the 8-bit cleanup of the temporary folder cannot reach
        RemoveExact(d);
    }
    // Both trees anew, for the next round of a test.
    void Fresh()
    {
        TearDown();
        MakeSource();
    }

    void MakeSource()
    {
        ASSERT_FALSE(temp.Path().empty());
        ASSERT_TRUE(MakeFolder(s));
        ASSERT_TRUE(MakeFile(s + "\\report.doc ", "blank"));
        ASSERT_TRUE(MakeFile(s + "\\report.doc", twin));
        ASSERT_TRUE(MakeFile(s + "\\notes.txt.", "dot"));
        ASSERT_TRUE(MakeFile(s + "\\notes.txt", twin));
        ASSERT_TRUE(MakeFolder(s + "\\dir."));
        ASSERT_TRUE(MakeFile(s + "\\dir.\\in.txt", "inner"));
        ASSERT_TRUE(MakeFolder(s + "\\dir"));
        ASSERT_TRUE(MakeFile(s + "\\dir\\in.txt", twin));
        ASSERT_EQ(ExactTree(s), "dir.|\\\n"
                                "dir.|\\in.txt|=inner\n"
                                "dir|\\\n"
                                "dir|\\in.txt|=twin\n"
                                "notes.txt.|=dot\n"
                                "notes.txt|=twin\n"
                                "report.doc |=blank\n"
                                "report.doc|=twin\n")
            << "this system cannot make names ending in a dot or a blank";
        host.filters.minSize = 0;
        host.filters.maxSize = 100;
        host.onFileExists = [](const std::string&, const std::string&) { return ConflictAnswer{kOverwrite, false}; };
        host.onFolderExists = [](const std::string&) { return ConflictAnswer{kOverwrite, false}; };
    }

    void Begin(Operation operation, std::vector<std::string> sources, int workers = 0)
    {
        host.operation = operation;
        host.sources = std::move(sources);
        host.destination = d;
        host.fileWorkers = workers;
        host.log.clear();
        host.fileQuestions.clear();
        host.comparisons.clear();
        state = JobState{};
        run.Run(host.Request());
    }
};

TEST_F(TwinNamesJob, DeleteAndCrushActOnTheListedNamesAndNeverOnTheirTwins)
{
    for (const Operation operation : {kOpDelete, kOpCrush}) {
        for (const int workers : {1, 0}) {  // one file at a time, and several in flight
            SCOPED_TRACE(std::string(operation == kOpDelete ? "Delete" : "Crush") + ", workers " +
                         std::to_string(workers));
            Fresh();
            Begin(operation, {s}, workers);
            EXPECT_EQ(ExactTree(s), twins) << host.log;  // dir. emptied and removed with the job's end
            EXPECT_EQ(state.filesDone, 3) << host.log;
            EXPECT_EQ(state.filesFailed, 0) << host.log;
            EXPECT_EQ(state.filesExamined, 6);
            // The one line: S itself stays, holding the twins.
            EXPECT_EQ(Count(host.log, "Because"), 1u) << host.log;
            EXPECT_TRUE(Contains(host.log, FolderNotRemovedEntry(s))) << host.log;
        }
    }
}

TEST_F(TwinNamesJob, CutAndCopyCarryTheListedNamesAsTheyAreAndLeaveTheTwinsAlone)
{
    // A twin already at the destination is another file: no question about it, and it stays.
    const std::string copied = "S|\\\n"
                               "S|\\dir.|\\\n"
                               "S|\\dir.|\\in.txt|=inner\n"
                               "S|\\dir|\\\n"
                               "S|\\notes.txt.|=dot\n"
                               "S|\\report.doc |=blank\n"
                               "S|\\report.doc|=kept\n";
    for (const Operation operation : {kOpCopy, kOpCut}) {
        for (const int workers : {1, 0}) {
            SCOPED_TRACE(std::string(operation == kOpCopy ? "Copy" : "Cut") + ", workers " + std::to_string(workers));
            Fresh();
            ASSERT_TRUE(MakeFolder(d));
            ASSERT_TRUE(MakeFolder(d + "\\S"));
            ASSERT_TRUE(MakeFile(d + "\\S\\report.doc", "kept"));
            const std::string before = ExactTree(s);
            host.onFolderExists = [](const std::string&) { return ConflictAnswer{kUpdate, true}; };
            Begin(operation, {s}, workers);
            EXPECT_EQ(ExactTree(d), copied) << host.log;
            EXPECT_TRUE(host.fileQuestions.empty()) << host.fileQuestions.front();
            EXPECT_EQ(ExactTree(s), operation == kOpCopy ? before : twins) << host.log;
            EXPECT_EQ(state.filesDone, 3) << host.log;
            EXPECT_EQ(state.filesFailed, 0) << host.log;
        }
    }

    // The listed name standing at the destination is the conflict, asked about under its own name.
    Fresh();
    ASSERT_TRUE(MakeFolder(d));
    ASSERT_TRUE(MakeFolder(d + "\\S"));
    ASSERT_TRUE(MakeFile(d + "\\S\\report.doc ", "older"));
    ASSERT_TRUE(MakeFile(d + "\\S\\report.doc", "kept"));
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kUpdate, true}; };
    host.onFileExists = [](const std::string&, const std::string&) { return ConflictAnswer{kSkip, true}; };
    Begin(kOpCopy, {s}, 1);
    EXPECT_EQ(host.fileQuestions, std::vector<std::string>{d + "\\S\\report.doc "});
    ASSERT_FALSE(host.comparisons.empty());
    EXPECT_TRUE(Contains(host.comparisons.front(), "Destination size: 5B")) << host.comparisons.front();
    EXPECT_EQ(ReadExact(d + "\\S\\report.doc "), "older");
    EXPECT_EQ(ReadExact(d + "\\S\\report.doc"), "kept");
}

TEST_F(TwinNamesJob, FileItemsAreReachedAsHandedOverAndFilteredByTheirOwnSize)
{
    // Sources handed over or dropped carry the exact names; the size window sees their own sizes.
    Begin(kOpDelete, {s + "\\report.doc ", s + "\\notes.txt.", s + "\\dir.\\in.txt"});
    EXPECT_EQ(ExactTree(s), "dir.|\\\n" + twins) << host.log;
    EXPECT_EQ(state.filesDone, 3) << host.log;
    EXPECT_EQ(state.bytesExamined, 5 + 3 + 5);

    Fresh();
    EXPECT_EQ(GetFileSize64(s + "\\report.doc "), 5);
    EXPECT_EQ(GetFileSize64(s + "\\notes.txt."), 3);
    EXPECT_EQ(GetFileSize64(s + "\\notes.txt"), 4800);
    EXPECT_EQ(GetFileSize64(s + "\\dir.\\in.txt"), 5);

    // A typed spelling with no entry of its own still names what the system reads ("D:\a." for D:\a).
    ASSERT_TRUE(MakeFolder(temp / "only"));
    ASSERT_TRUE(MakeFile(temp / "only\\one.txt", "one"));
    host.filters.maxSize = 10;
    Begin(kOpDelete, {temp / "only."});
    EXPECT_EQ(state.filesDone, 1) << host.log;
    EXPECT_EQ(ReadExact(temp / "only\\one.txt"), "<missing>");
}

TEST_F(TwinNamesJob, MoveToTrashLeavesNamesTheShellCannotReachAndNeverTrashesTheirTwins)
{
    // The shell reads a path as typed text: it would reach the twin. Such a file stays, with its line.
    Begin(kOpTrash, {s});
    const std::string expected = "dir.|\\\n"
                                 "dir.|\\in.txt|=inner\n"
                                 "dir|\\\n"
                                 "dir|\\in.txt|=twin\n"
                                 "notes.txt.|=dot\n"
                                 "notes.txt|=twin\n"
                                 "report.doc |=blank\n"
                                 "report.doc|=twin\n";
    EXPECT_EQ(ExactTree(s), expected) << host.log;
    EXPECT_EQ(state.filesFailed, 3) << host.log;
    EXPECT_EQ(state.filesDone, 0) << host.log;
    for (const char* name : {"\\report.doc ", "\\notes.txt.", "\\dir.\\in.txt"})
        EXPECT_TRUE(Contains(host.log, BecauseEntry(SystemErrorText(ERROR_INVALID_NAME), TrashFailedSentence(s + name))))
            << name << host.log;
}

TEST_F(TwinNamesJob, ThePreScanCountsEachListedFileOnce)
{
    struct Counting : ScanHost {
        void ProcessMessages() override {}
        std::uint32_t Milliseconds() override { return 0; }
    } counting;
    ScanTotals scanState;
    PreScan scan(counting, scanState);
    scan.CountItem(s);
    scan.CountItem(s + "\\report.doc ");
    scan.CountItem(s + "\\dir.");
    EXPECT_EQ(scanState.fileTotal, 6 + 1 + 1);
    EXPECT_EQ(scanState.byteTotal, (5 + 3 + 5 + 3 * 4800) + 5 + 5);
}

} // namespace
