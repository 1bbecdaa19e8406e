#include "core/DateTime.h"
#include "core/LogTexts.h"
#include "engine/ForceDirectories.h"
#include "platform/LongPath.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "platform/Handles.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <cstdint>
#include <string>
#include <vector>

using testsupport::SetWriteTime;
using testsupport::TempFolder;

namespace {

using testsupport::Exists;
using testsupport::IsFolder;
using testsupport::IsLink;
using testsupport::Tree;
constexpr auto Write = testsupport::WriteFileText;
constexpr auto Read = testsupport::ReadFileText;

std::string Narrow(const wchar_t* wide)
{
    std::string text;
    for (; *wide; ++wide)
        text += static_cast<char>(*wide);  // test trees use ASCII names only
    return text;
}

// Removes what the temporary folder's own cleanup cannot reach (paths past MAX_PATH). Links are left
// for FolderLinks to remove.
void RemoveDeep(const std::string& path)
{
    WIN32_FIND_DATAW entry;
    {
        UniqueFind find(FindFirstFileW(WidePath(path + "\\*").c_str(), &entry));
        if (find) {
            do {
                const std::string name = Narrow(entry.cFileName);
                if (name == "." || name == "..")
                    continue;
                const std::string full = path + "\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    continue;
                SetPathAttributes(full, FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDeep(full);
                else
                    DeletePath(full);
            } while (FindNextFileW(find.Get(), &entry));
        }
    }
    RemoveDirectoryW(WidePath(path).c_str());
}

// --- Folder links ----------------------------------------------------------------------------------

// Folder links as a user meets them. Under Wine they are links of the host file system (listed with
// FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), made with the host's own ln: Wine's
// CreateSymbolicLinkA reports success and makes nothing. On Windows CreateSymbolicLinkA makes them.
class FolderLinks {
public:
    FolderLinks() : unixName_(reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
                        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"))))
    {
    }
    FolderLinks(const FolderLinks&) = delete;
    FolderLinks& operator=(const FolderLinks&) = delete;
    ~FolderLinks()
    {
        for (const std::string& link : made_)
            Remove(link);
    }

    // False, with reason() telling why, when this system cannot make folder links.
    bool Make(const std::string& link, const std::string& target)
    {
        if (unixName_) {
            const std::string slash = link.substr(link.find_last_of('\\'));
            if (!Run("/bin/ln -s \"" + Unix(target) + "\" \"" + Unix(link.substr(0, link.size() - slash.size())) +
                     "/" + slash.substr(1) + "\"")) {
                reason_ = "/bin/ln could not be started from Wine";
                return false;
            }
        } else if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2)) {
            reason_ = "CreateSymbolicLinkA failed with " + std::to_string(GetLastError()) +
                      " (links need developer mode or the privilege)";
            return false;
        }
        made_.push_back(link);
        if (!AwaitUpTo10s([&] { return IsLink(link); }) || !IsFolder(link)) {
            reason_ = "the link was made but is not listed as a folder link";
            return false;
        }
        return true;
    }
    const std::string& reason() const { return reason_; }

private:
    using UnixNameFn = char*(CDECL*)(const wchar_t*);

    std::string Unix(const std::string& path) const
    {
        const std::wstring wide(path.begin(), path.end());
        char* name = unixName_(wide.c_str());
        std::string text = name ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return text;
    }

    // Wine starts a host program without a handle that can be waited on, so the caller watches for
    // the program's effect instead.
    static bool Run(std::string command)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return false;
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        return true;
    }

    template <typename Done>
    static bool AwaitUpTo10s(Done done)
    {
        for (int turn = 0; turn < 1000 && !done(); ++turn)
            Sleep(10);
        return done();
    }

    // The link only, never what it points to.
    void Remove(const std::string& link)
    {
        if (unixName_) {
            const std::string slash = link.substr(link.find_last_of('\\'));
            if (Run("/bin/rm -f \"" + Unix(link.substr(0, link.size() - slash.size())) + "/" + slash.substr(1) + "\""))
                AwaitUpTo10s([&] { return !Exists(link); });
        } else {
            RemoveDirectoryA(link.c_str());
        }
    }

    UnixNameFn unixName_;
    std::vector<std::string> made_;
    std::string reason_;
};

// A file held open without sharing, as another program holding it would.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path) : file_(OpenPath(path, GENERIC_READ, 0, OPEN_EXISTING, 0)) {}
    bool Held() const { return file_.Valid(); }

private:
    UniqueFile file_;
};

class FolderWalk : public ::testing::Test {
protected:
    TempFolder tmp;
    FolderLinks links;  // removed before the temporary folder goes
    ScriptedHost host;
    JobState state;
    StandingAnswers answers;
    JobRequest request;
    JobContext job{request, host, state, answers, {}};

    // A whole job's dispatch, taken from the host's settings as they are now.
    int ProcessSourceItems(JobContext& context, int index, Operation operation)
    {
        host.operation = operation;
        request = host.Request();
        context.written = {};
        return ::ProcessSourceItems(context, index);
    }

    std::string Path(const std::string& rel) const { return tmp / rel; }
    void Folder(const std::string& rel) { ASSERT_TRUE(CreateDirectoryW(WidePath(Path(rel)).c_str(), nullptr)) << rel; }
    void File(const std::string& rel, const std::string& content) { ASSERT_TRUE(Write(Path(rel), content)) << rel; }
    // Entries in the form Tree() lists them, in order: "name\\" a folder, "name=content" a file.
    void Make(std::initializer_list<std::string> entries) { ASSERT_TRUE(testsupport::MakeTree(tmp.Path(), entries)); }

    // As the dispatch would: the mask list for the job, the item's destination folder, then the walk.
    void Walk(Operation operation, const std::string& source, const std::string& destination)
    {
        host.operation = operation;
        request = host.Request();
        job.written = {};
        job.masks = BuildMaskList(host.filters.masksText);
        if ((operation == kOpCopy || operation == kOpCut) && !host.flat) {
            ASSERT_TRUE(ForceDirectories(Path(destination)));
        }
        WalkFolder(job, Path(source), Path(destination));
    }

    std::string Stamp() const { return FormatStamp(host.now); }

    // Deep trees, also those a failed check leaves behind.
    void TearDown() override { RemoveDeep(tmp.Path()); }
};

// --- The walk ------------------------------------------------------------------------------------

TEST_F(FolderWalk, HiddenFilesSystemFoldersAndEmptyFoldersAreAllVisited)
{
    Make({"S\\", "S\\h.txt=hidden", "S\\sys\\", "S\\sys\\s.txt=system", "S\\empty\\", "S\\empty\\inner\\"});
    ASSERT_TRUE(SetPathAttributes(Path("S\\h.txt"), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetPathAttributes(Path("S\\sys"), FILE_ATTRIBUTE_SYSTEM));

    Walk(kOpCopy, "S", "D\\S");
    EXPECT_EQ(Tree(Path("D\\S")), "empty\\\nempty\\inner\\\nh.txt=hidden\nsys\\\nsys\\s.txt=system\n");
    EXPECT_EQ(state.filesExamined, 2);
    EXPECT_EQ(state.bytesExamined, 12);
    EXPECT_EQ(state.filesDone, 2);
    // Messages are processed once on entry to every folder (the copies pump their own).
    EXPECT_GE(host.processMessagesCalls, 4);

    // Delete meets the same names at the destination and asks nothing about them.
    host.processMessagesCalls = 0;
    Walk(kOpDelete, "S", "D\\S");
    EXPECT_EQ(Tree(Path("S")), "empty\\\nempty\\inner\\\nsys\\\n");
    EXPECT_TRUE(host.folderQuestions.empty());
    EXPECT_EQ(host.processMessagesCalls, 4);
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, UpdateMergesAndAsksAboutEachExistingFile)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=new", "S\\sub\\b.txt=b", "D\\", "D\\sub\\", "D\\sub\\a.txt=old",
          "D\\sub\\keep.txt=k"});
    host.folderAnswers = {{kUpdate, false}};
    host.fileAnswers = {{kOverwrite, false}};

    Walk(kOpCopy, "S", "D");

    EXPECT_EQ(host.folderQuestions, std::vector<std::string>{Path("D\\sub")});
    EXPECT_EQ(host.fileQuestions, std::vector<std::string>{Path("D\\sub\\a.txt")});
    EXPECT_EQ(Tree(Path("D")), "sub\\\nsub\\a.txt=new\nsub\\b.txt=b\nsub\\keep.txt=k\n");
}

TEST_F(FolderWalk, ReplaceRemovesTheOldTreeReadOnlyFilesIncluded)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "D\\", "D\\sub\\", "D\\sub\\ro.txt=read-only", "D\\sub\\old\\",
          "D\\sub\\old\\x.txt=x"});
    ASSERT_TRUE(SetPathAttributes(Path("D\\sub\\ro.txt"), FILE_ATTRIBUTE_READONLY));
    host.folderAnswers = {{kOverwrite, false}};

    Walk(kOpCopy, "S", "D");

    EXPECT_EQ(Tree(Path("D")), "sub\\\nsub\\a.txt=A\n");
    EXPECT_TRUE(host.fileQuestions.empty());
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, ReplaceStopsAtALockedFileAndMergesIntoWhatIsLeft)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "D\\", "D\\sub\\", "D\\sub\\locked.txt=locked"});
    host.folderAnswers = {{kOverwrite, false}};
    {
        HeldOpen lock(Path("D\\sub\\locked.txt"));
        ASSERT_TRUE(lock.Held());
        Walk(kOpCopy, "S", "D");
    }

    EXPECT_TRUE(IsFolder(Path("D\\sub")));
    EXPECT_EQ(Read(Path("D\\sub\\locked.txt")), "locked");
    EXPECT_EQ(Read(Path("D\\sub\\a.txt")), "A");
    EXPECT_EQ(state.filesDone, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, SkipLeavesTheSubfolderOutUncounted)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "S\\top.txt=T", "D\\", "D\\sub\\", "D\\sub\\keep.txt=k"});
    host.folderAnswers = {{kSkip, false}};

    Walk(kOpCopy, "S", "D");

    EXPECT_EQ(Tree(Path("D")), "sub\\\nsub\\keep.txt=k\ntop.txt=T\n");
    EXPECT_EQ(state.filesExamined, 1);
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, AutoRenameNewCopiesBesideTheExistingFolder)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "D\\", "D\\sub\\", "D\\sub\\keep.txt=k"});
    host.folderAnswers = {{kAutoRename, false}};
    host.folderRenameNew = true;

    Walk(kOpCopy, "S", "D");

    const std::string renamed = "sub_New_Copied_At_" + Stamp();
    EXPECT_EQ(Tree(Path("D")), "sub\\\nsub\\keep.txt=k\n" + renamed + "\\\n" + renamed + "\\a.txt=A\n");
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, AutoRenameOldMovesTheExistingFolderAside)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "D\\", "D\\sub\\", "D\\sub\\keep.txt=k"});
    host.folderAnswers = {{kAutoRename, false}};
    host.folderRenameNew = false;

    Walk(kOpCopy, "S", "D");

    const std::string saved = "sub_Old_Saved_At_" + Stamp();
    EXPECT_EQ(Tree(Path("D")), "sub\\\nsub\\a.txt=A\n" + saved + "\\\n" + saved + "\\keep.txt=k\n");
    EXPECT_EQ(host.log, "");
}

TEST_F(FolderWalk, AutoRenameOldThatCannotRenameIsLoggedAndLeftOut)
{
    Make({"S\\", "S\\sub\\", "S\\sub\\a.txt=A", "S\\top.txt=T", "D\\", "D\\sub\\", "D\\sub\\keep.txt=k"});
    // A folder already holds the stamped name (only files move the name on), so the rename fails.
    const std::string saved = "sub_Old_Saved_At_" + Stamp();
    Folder("D\\" + saved);
    File("D\\" + saved + "\\earlier.txt", "e");
    host.folderAnswers = {{kAutoRename, false}};
    host.folderRenameNew = false;

    Walk(kOpCopy, "S", "D");

    EXPECT_EQ(host.log, "\r\nFailed to rename folder " + Path("D\\sub") + "\r So failed to copy folder " +
                            Path("S\\sub") + "\r\n");
    EXPECT_EQ(Tree(Path("D")),
              "sub\\\nsub\\keep.txt=k\n" + saved + "\\\n" + saved + "\\earlier.txt=e\ntop.txt=T\n");
    EXPECT_EQ(state.filesExamined, 1);
}

TEST_F(FolderWalk, AStandingFolderAnswerIsNotAskedAgain)
{
    Make({"S\\", "S\\a\\", "S\\a\\x.txt=x", "S\\b\\", "S\\b\\y.txt=y", "S\\top.txt=new", "D\\", "D\\a\\", "D\\b\\",
          "D\\top.txt=old"});
    host.folderAnswers = {{kSkip, true}};
    host.fileAnswers = {{kOverwrite, false}};

    Walk(kOpCopy, "S", "D");

    EXPECT_EQ(host.folderQuestions.size(), 1u);
    EXPECT_TRUE(answers.folder.standing);
    // A standing folder answer says nothing about files.
    EXPECT_EQ(host.fileQuestions, std::vector<std::string>{Path("D\\top.txt")});
    EXPECT_EQ(Tree(Path("D")), "a\\\nb\\\ntop.txt=new\n");
}

TEST_F(FolderWalk, PauseHoldsTheWalkUntilReleased)
{
    Make({"S\\", "S\\a.txt=a", "S\\b.txt=b", "S\\sub\\", "S\\sub\\c.txt=c"});
    int calls = 0;
    std::int64_t examinedAtPause = -1;
    std::int64_t examinedAtRelease = -1;
    host.onProcessMessages = [&] {
        ++calls;
        if (calls == 1) {  // on entry to S: Pause pressed
            state.pauseFlag = true;
            examinedAtPause = state.filesExamined;
        } else if (calls == 4) {  // three turns later: Go On
            state.pauseFlag = false;
            examinedAtRelease = state.filesExamined;
        }
    };

    Walk(kOpDelete, "S", "D");

    EXPECT_EQ(examinedAtPause, 0);
    EXPECT_EQ(examinedAtRelease, 0);  // nothing was taken while paused
    EXPECT_EQ(Tree(Path("S")), "sub\\\n");
    EXPECT_EQ(state.filesDone, 3);
    EXPECT_EQ(calls, 5);  // S, three paused turns, sub
}

TEST_F(FolderWalk, CancelDuringAPauseEndsTheWalk)
{
    Make({"S\\", "S\\a.txt=a", "S\\sub\\", "S\\sub\\b.txt=b"});
    int calls = 0;
    host.onProcessMessages = [&] {
        if (++calls == 1) {
            state.pauseFlag = true;
        } else if (calls == 3) {  // Cancel: clears the pause, sets the stop flag
            state.pauseFlag = false;
            state.stopFlag = true;
        }
    };

    Walk(kOpDelete, "S", "D");

    EXPECT_EQ(calls, 3);
    EXPECT_EQ(state.filesExamined, 0);
    EXPECT_EQ(Tree(Path("S")), "a.txt=a\nsub\\\nsub\\b.txt=b\n");
}

TEST_F(FolderWalk, StopTakesEffectAtTheNextEntry)
{
    Make({"S\\", "S\\a.txt=a", "S\\b.txt=b", "S\\one\\", "S\\one\\c.txt=c", "S\\two\\", "S\\two\\d.txt=d"});
    std::int64_t examinedAtStop = -1;
    int calls = 0;
    host.onProcessMessages = [&] {
        if (++calls == 2) {  // on entry to the first subfolder
            state.stopFlag = true;
            examinedAtStop = state.filesExamined;
        }
    };

    Walk(kOpDelete, "S", "D");

    EXPECT_EQ(calls, 2);
    EXPECT_EQ(state.filesExamined, examinedAtStop);
    EXPECT_EQ(Read(Path("S\\one\\c.txt")), "c");
    EXPECT_EQ(Read(Path("S\\two\\d.txt")), "d");

    // A walk that starts stopped touches nothing.
    state.filesExamined = 0;
    Walk(kOpDelete, "S", "D");
    EXPECT_EQ(state.filesExamined, 0);
}

TEST_F(FolderWalk, FiltersSeeTheListedTimeAndTheFull64BitSize)
{
    Make({"S\\", "S\\t.txt=tt", "S\\old.txt=ooo"});
    ASSERT_TRUE(SetWriteTime(Path("S\\t.txt"), 132225698456789012ull));  // 2020-01-02 03:04:05.67 UTC
    ASSERT_TRUE(SetWriteTime(Path("S\\old.txt"), 117000000000000000ull));  // 1971: before the packed form
    constexpr std::int64_t kBig = 3LL << 30;
    {
        UniqueFile big(OpenPath(Path("S\\big.bin"), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(big);
        LARGE_INTEGER end;
        end.QuadPart = kBig;
        ASSERT_TRUE(SetFilePointerEx(big.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(big.Get()));
    }
    // The walk takes times from the listing; a single file's look-up must agree with it.
    const DateTime tTime = GetFileModifiedTime(Path("S\\t.txt"));
    const DateTime oldTime = GetFileModifiedTime(Path("S\\old.txt"));
    ASSERT_LT(oldTime, 29221.0);  // before 1980-01-01
    constexpr DateTime kTwoSeconds = 2.0 / 86400;

    // Everything just outside the time window: examined with full sizes, nothing deleted.
    host.filters.timeFrom = oldTime + kTwoSeconds;
    host.filters.timeTo = tTime - kTwoSeconds;
    Walk(kOpDelete, "S", "D");
    EXPECT_EQ(state.filesExamined, 3);
    EXPECT_EQ(state.bytesExamined, 2 + 3 + kBig);
    EXPECT_TRUE(Exists(Path("S\\big.bin")));
    EXPECT_TRUE(Exists(Path("S\\t.txt")));
    EXPECT_TRUE(Exists(Path("S\\old.txt")));

    // Both ends of the time window belong to it.
    host.filters.timeFrom = oldTime;
    host.filters.timeTo = tTime;
    Walk(kOpDelete, "S", "D");
    EXPECT_FALSE(Exists(Path("S\\t.txt")));
    EXPECT_FALSE(Exists(Path("S\\old.txt")));
    EXPECT_TRUE(Exists(Path("S\\big.bin")));

    // So do both ends of the size window, compared in 64 bits.
    host.filters.timeFrom = 0.0;
    host.filters.timeTo = 2958465.0;
    host.filters.minSize = kBig;
    host.filters.maxSize = kBig;
    Walk(kOpDelete, "S", "D");
    EXPECT_FALSE(Exists(Path("S\\big.bin")));
    EXPECT_EQ(state.filesDone, 3);
}

TEST_F(FolderWalk, ADestinationInsideTheSourceIsNotWalkedAgain)
{
    Make({"S\\", "S\\a.txt=A", "S\\sub\\", "S\\sub\\b.txt=B", "S\\out\\"});

    Walk(kOpCopy, "S", "S\\out\\S");
    ASSERT_FALSE(Exists(Path("S\\out\\S\\out\\S")));
    EXPECT_EQ(Tree(Path("S\\out")), "S\\\nS\\a.txt=A\nS\\out\\\nS\\sub\\\nS\\sub\\b.txt=B\n");

    // Flattened, the files land in the destination folder itself, which is then left out.
    RemoveDeep(Path("S\\out\\S"));
    host.flat = true;
    host.destination = Path("S\\out\\");
    Walk(kOpCopy, "S", "S\\out\\S");
    EXPECT_EQ(Tree(Path("S\\out")), "S_a.txt=A\nS_sub_b.txt=B\n");

    // The same through the dispatch, the destination named in other letter case.
    DeletePath(Path("S\\out\\S_a.txt"));
    DeletePath(Path("S\\out\\S_sub_b.txt"));
    host.flat = false;
    host.destination = Path("S\\OUT");
    host.sources = {Path("S")};
    ASSERT_EQ(ProcessSourceItems(job, -1, kOpCopy), 0);
    ASSERT_FALSE(Exists(Path("S\\out\\S\\out\\S")));
    EXPECT_EQ(Tree(Path("S\\out")), "S\\\nS\\a.txt=A\nS\\out\\\nS\\sub\\\nS\\sub\\b.txt=B\n");
}

TEST_F(FolderWalk, PathsLongerThanMaxPathAreWalkedWhole)
{
    // Five levels of 60 characters: the deepest files lie well past MAX_PATH.
    std::string rel = "S";
    Folder(rel);
    int files = 0;
    for (char level = 'a'; level <= 'e'; ++level) {
        rel += "\\" + std::string(60, level);
        Folder(rel);
        File(rel + "\\f.txt", std::string(1, level));
        ++files;
    }
    ASSERT_GT(Path(rel).size(), static_cast<std::size_t>(MAX_PATH));

    Walk(kOpCopy, "S", "D\\S");
    EXPECT_EQ(Tree(Path("D\\S")), Tree(Path("S")));
    EXPECT_EQ(state.filesDone, files);
    EXPECT_EQ(host.log, "");

    Walk(kOpDelete, "S", "D\\S");
    EXPECT_EQ(state.filesExamined, 2 * files);
    EXPECT_EQ(Tree(Path("S")).find('='), std::string::npos);  // folders only
    EXPECT_EQ(host.log, "");

    EXPECT_TRUE(DeleteFolderTree(Path("D")));
    EXPECT_FALSE(Exists(Path("D")));
    RemoveDeep(Path("S"));
}

// --- Folder links --------------------------------------------------------------------------------

TEST_F(FolderWalk, FolderLinksAreLeftAloneByTheWalkAndTheDispatch)
{
    Make({"S\\", "S\\real.txt=R", "O\\", "O\\keep.txt=K"});
    if (!links.Make(Path("S\\away"), Path("O")))
        GTEST_SKIP() << links.reason();
    ASSERT_TRUE(links.Make(Path("S\\up"), Path("S")));  // an ancestor: following it would never end

    Walk(kOpCopy, "S", "D\\S");
    EXPECT_EQ(Tree(Path("D\\S")), "real.txt=R\n");
    const std::string awayLine = "\r\nFolder " + Path("S\\away") + " is a link, so it was left alone!\r\n";
    const std::string upLine = "\r\nFolder " + Path("S\\up") + " is a link, so it was left alone!\r\n";
    EXPECT_EQ(host.log.size(), awayLine.size() + upLine.size());
    EXPECT_NE(host.log.find(awayLine), std::string::npos);
    EXPECT_NE(host.log.find(upLine), std::string::npos);

    host.log.clear();
    Walk(kOpDelete, "S", "D\\S");
    EXPECT_EQ(Tree(Path("S")), "away@\nup@\n");
    EXPECT_EQ(Tree(Path("O")), "keep.txt=K\n");
    EXPECT_EQ(state.filesDone, 2);

    // A link chosen as a source item is not gone through either.
    host.log.clear();
    host.sources = {Path("S\\away")};
    ASSERT_EQ(ProcessSourceItems(job, -1, kOpDelete), 0);
    EXPECT_EQ(host.log, awayLine);
    EXPECT_EQ(Tree(Path("O")), "keep.txt=K\n");
}

TEST_F(FolderWalk, DeleteFolderTreeNeverRemovesWhatALinkPointsTo)
{
    Make({"T\\", "T\\file.txt=f", "O\\", "O\\keep.txt=K"});
    Folder("E");  // empty: Wine's RemoveDirectory on a link to it would remove it
    if (!links.Make(Path("T\\full"), Path("O")))
        GTEST_SKIP() << links.reason();
    ASSERT_TRUE(links.Make(Path("T\\empty"), Path("E")));
    ASSERT_TRUE(links.Make(Path("T\\up"), Path("T")));
    ASSERT_TRUE(links.Make(Path("L"), Path("E")));

    const bool removed = DeleteFolderTree(Path("T"));
    EXPECT_EQ(Tree(Path("O")), "keep.txt=K\n");
    EXPECT_TRUE(IsFolder(Path("E")));
    // Where the system can remove a link by itself the tree goes; elsewhere the links stay and the
    // removal reports failure.
    if (removed) {
        EXPECT_FALSE(Exists(Path("T")));
    } else {
        EXPECT_TRUE(IsLink(Path("T\\full")) || IsLink(Path("T\\empty")) || IsLink(Path("T\\up")));
    }

    // Given the link itself.
    const bool linkRemoved = DeleteFolderTree(Path("L"));
    EXPECT_TRUE(IsFolder(Path("E")));
    EXPECT_EQ(linkRemoved, !Exists(Path("L")));
    EXPECT_EQ(Tree(Path("O")), "keep.txt=K\n");
}

// --- Destinations that lead back into the source -------------------------------------------------

TEST_F(FolderWalk, ReplaceNeverReachesIntoTheSourceThroughALinkOnTheDestinationSide)
{
    Make({"r\\", "r\\a\\", "r\\a\\a\\", "r\\a\\a\\a\\", "r\\a\\a\\a\\a\\",
          "r\\a\\a\\a\\a\\keep.txt=keep"});
    // Removed at once when the test ends, while what they lead to is still there to be seen.
    const testsupport::FolderLink up(Path("up"), Path("r"));
    const testsupport::FolderLink in(Path("in"), Path("r\\a\\a\\a"));
    if (!up.Made() || !in.Made())
        GTEST_SKIP() << "folder links cannot be made here";
    const std::string before = Tree(Path("r"));
    host.onFolderExists = [](const std::string&) { return ConflictAnswer{kOverwrite, false}; };
    // Were the existing folder removed, the walk would go on copying into its own source without end.
    host.onProcessMessages = [&] { state.stopFlag = state.stopFlag || host.processMessagesCalls > 50; };

    Walk(kOpCopy, "r\\a\\a", "up");  // up\a is r\a, which holds the walk's source r\a\a
    Walk(kOpCopy, "r\\a\\a", "in");  // in\a is r\a\a\a\a, inside the walk's source

    EXPECT_EQ(Tree(Path("r")), before);
    EXPECT_EQ(host.folderQuestions.size(), 2u);
    EXPECT_EQ(host.log, OverlappingFolderEntry(Path("r\\a\\a\\a"), Path("up\\a")) + "\r\n" +
                            OverlappingFolderEntry(Path("r\\a\\a\\a"), Path("in\\a")) + "\r\n");
}

// --- DeleteFolderTree and ForceDirectories ---------------------------------------------------------

TEST_F(FolderWalk, DeleteFolderTreeRemovesEverythingBelow)
{
    Make({"T\\", "T\\ro.txt=r", "T\\h.txt=h", "T\\a\\", "T\\a\\b\\", "T\\a\\b\\c.txt=c", "T\\ro\\", "T\\ro\\d.txt=d",
          "T2\\"});
    ASSERT_TRUE(SetPathAttributes(Path("T\\ro.txt"), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetPathAttributes(Path("T\\h.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetPathAttributes(Path("T\\ro"), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(DeleteFolderTree(Path("T")));
    EXPECT_FALSE(Exists(Path("T")));
    EXPECT_TRUE(DeleteFolderTree(Path("T2") + "\\"));
    EXPECT_FALSE(Exists(Path("T2")));
    EXPECT_FALSE(DeleteFolderTree(Path("missing")));
}

TEST_F(FolderWalk, DeleteFolderTreeRefusesRootsAndShortPaths)
{
    EXPECT_FALSE(DeleteFolderTree("C:\\"));
    EXPECT_FALSE(DeleteFolderTree("C:"));
    EXPECT_FALSE(DeleteFolderTree(""));
    EXPECT_TRUE(IsFolder("C:\\windows"));

    // A short relative path names a real folder here and is still refused.
    char previous[MAX_PATH + 1] = {};
    ASSERT_NE(GetCurrentDirectoryA(sizeof previous, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(tmp.Path().c_str()));
    Make({"abc\\"});
    const bool removed = DeleteFolderTree("abc");
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(removed);
    EXPECT_TRUE(IsFolder(Path("abc")));

    // Roots however written: four characters and more pass the length test, so they are recognised.
    for (const char* root : {"C:", "C:\\", "C:\\\\", "C:\\.", "C:\\..\\", "\\\\server\\share", "\\\\server\\share\\"})
        EXPECT_TRUE(IsVolumeRoot(root)) << root;
    for (const std::string& folder : {tmp.Path(), std::string("C:\\windows"), std::string("\\\\server\\share\\dir")})
        EXPECT_FALSE(IsVolumeRoot(folder)) << folder;
}

TEST_F(FolderWalk, ForceDirectoriesMakesEveryMissingParent)
{
    EXPECT_TRUE(ForceDirectories(Path("a\\b\\c")));
    EXPECT_TRUE(IsFolder(Path("a\\b\\c")));
    EXPECT_TRUE(ForceDirectories(Path("a\\b\\c\\")));  // there already
    EXPECT_TRUE(ForceDirectories("C:"));
    // A drive that is not there: refused, not searched upwards for ever.
    for (char letter = 'B'; letter <= 'Y'; ++letter) {
        if (GetLogicalDrives() & (1u << (letter - 'A')))
            continue;
        const std::string drive(1, letter);
        EXPECT_FALSE(ForceDirectories(drive + ":\\Backup\\sub"));
        EXPECT_FALSE(ForceDirectories(drive + ":\\"));
        EXPECT_FALSE(ForceDirectories(drive + ":"));
        break;
    }

    Make({"file=in the way"});
    EXPECT_FALSE(ForceDirectories(Path("file")));
    EXPECT_FALSE(ForceDirectories(Path("file\\sub")));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_EQ(Tree(tmp.Path()), "a\\\na\\b\\\na\\b\\c\\\nfile=in the way\n");

    const std::string deep = Path("L\\" + std::string(100, 'x') + "\\" + std::string(100, 'y') + "\\" +
                                  std::string(100, 'z'));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(IsFolder(deep));
    RemoveDeep(Path("L"));
}

} // namespace
