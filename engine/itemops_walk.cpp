#include "core/LogTexts.h"
#include "engine/FileOutcomes.h"
#include "engine/ForceDirectories.h"
#include "platform/LongPath.h"
#include "engine/fileops.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "engine/progress.h"
#include "filters/LocaleLower.h"
#include "platform/CodePageText.h"
#include "platform/FileIdentity.h"
#include "platform/Handles.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace {

// What stays the same for a whole walk, through all its levels.
struct Walk {
    JobContext& job;
    Operation operation;
    bool mirror;         // Copy or Cut into subfolders: destination folders are made and may conflict
    std::string output;  // where this walk writes; never walked into when met inside the source
    std::string source;  // the folder the walk started from
};

bool IsCopyOrCut(Operation operation) { return RowOf(operation).usesDestination; }

std::int64_t EntrySize(const WIN32_FIND_DATAW& entry)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Holds while paused; Pause and Cancel arrive through the message processing. The wait wakes at once
// on input, so a click is not kept waiting for the rest of the 100 ms.
void HoldWhilePaused(JobContext& job)
{
    while (job.state.pauseFlag && !job.state.stopFlag) {
        job.host.ProcessMessages();
        if (job.state.pauseFlag && !job.state.stopFlag)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

// Replace removes the existing folder and rename-old moves it away. Neither may reach the source: the
// existing folder holds the source subfolder, or lies inside the walk's source, when a link on the
// destination side leads back into the source tree. Asked only once such an answer is given.
bool WouldReachSource(const Walk& walk, const std::string& source, const std::string& target)
{
    return ResolvedPlace(source).IsOrLiesInside(target) || ResolvedPlace(target).IsOrLiesInside(walk.source);
}

// A source item as a path the system resolves: "E:" alone would name the drive's current folder.
std::string SourceItemFolder(std::string item)
{
    while (item.size() > 1 && item.back() == '\\')
        item.pop_back();
    if (item.size() == 2 && item[1] == ':')
        item += '\\';
    return item;
}

// Whether the existing folder holds a source item of the job or lies inside one. Replace would remove
// what the job is still to go through (for a Copy, the user's own files), and a rename of the old
// folder would take it from where the job looks for it. Asked only once such an answer is given.
bool HoldsOrLiesInsideASource(JobContext& job, const std::string& folder)
{
    if (!job.sourcePlacesMade) {
        job.sourcePlacesMade = true;
        for (const std::string& item : job.request.sources)
            job.sourcePlaces.emplace_back(SourceItemFolder(item));
    }
    const ResolvedPlace place(folder);
    for (std::size_t i = 0; i < job.sourcePlaces.size(); ++i) {
        if (place.IsOrLiesInside(SourceItemFolder(job.request.sources[i])) ||
            job.sourcePlaces[i].IsOrLiesInside(folder))
            return true;
    }
    return false;
}

// A subfolder left out because its destination overlaps the source: for a Cut it is not emptied, so
// the removal of emptied source folders leaves it as well.
void LeaveOut(const Walk& walk, const std::string& source, const std::string& line)
{
    walk.job.host.AppendLog(line);
    walk.job.keptFolders.push_back(source);
}

// The answer to an existing destination subfolder. Returns the folder to copy into, or an empty
// text when the subfolder is left out.
std::string SettleExistingFolder(const Walk& walk, const std::string& source, const std::string& target)
{
    JobHost& host = walk.job.host;
    auto clock = [&host] { return host.Now(); };
    const ConflictAnswer answer = ObtainFolderDecision(host, walk.job.answers, target);
    const ConflictDecision decision = answer.decision;
    const bool renameNew = decision == kAutoRename && answer.renameNew;
    const bool removesOrMoves = decision == kOverwrite || (decision == kAutoRename && !renameNew);
    if (removesOrMoves && WouldReachSource(walk, source, target)) {
        LeaveOut(walk, source, OverlappingFolderEntry(source, target));
        return {};
    }
    // Another source item there: nothing of it may go, and merging loses nothing.
    if (removesOrMoves && HoldsOrLiesInsideASource(walk.job, target)) {
        host.AppendLog(MergedIntoSourceEntry(source, target));
        return target;
    }
    switch (decision) {
    case kOverwrite:
        DeleteFolderTree(target);  // an incomplete removal merges into what is left
        return target;
    case kUpdate:
        return target;
    case kAutoRename:
        if (renameNew)
            return TimestampedName(target, "_New_Copied_At_", clock);
        {
            SetPathAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
            const std::string saved = TimestampedName(target, "_Old_Saved_At_", clock);
            if (MovePath(target, saved, 0))
                return target;
            host.AppendLog(FolderRenameFailedEntry(target, source));
            return {};
        }
    case kSkip:
    default:
        TellFileSkipped(walk.job, source, target, "Skip");
        return {};
    }
}

// Settles a subfolder before it is walked. Returns the folder its entries go to (the destination, or
// the new name an Auto Rename gave it), or nothing when the subfolder is left out.
std::optional<std::string> VisitFolder(const Walk& walk, const std::string& source, const std::string& destination,
                                       DWORD attributes)
{
    // Links are left alone: what they point to is outside the chosen tree, and a link to an
    // ancestor would never end.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        walk.job.host.AppendLog(FolderIsLinkEntry(source));
        return std::nullopt;
    }
    // The walk's own output, when the destination lies inside the source: walking it would copy
    // the copy again, without end.
    if (!walk.output.empty() && LocaleLower(source) == LocaleLower(walk.output))
        return std::nullopt;

    std::string target = destination;
    // Made at once where nothing stands yet, the usual case: the creation is the existence test.
    if (walk.mirror && CreateFolderPath(target)) {
        walk.job.written.Add(target);
    } else if (walk.mirror) {
        const DWORD existing = PathAttributes(target);
        // A folder this job made or merged into (two sources of one name meet here): the second merges
        // into it, nothing is asked and nothing of the first is replaced or moved away.
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) &&
            !walk.job.written.Contains(target)) {
            // The source subfolder itself under another spelling of its path: nothing to ask, and
            // nothing there may be removed or renamed. Looked up only where a conflict stands anyway.
            if (IsSameEntry(target, source)) {
                LeaveOut(walk, source, SameFolderEntry(source, target));
                return std::nullopt;
            }
            target = SettleExistingFolder(walk, source, target);
            if (target.empty())
                return std::nullopt;
        }
        // A failure shows as each file that then cannot be copied.
        DWORD now = PathAttributes(target);
        if (now == INVALID_FILE_ATTRIBUTES && ForceDirectories(target))
            now = FILE_ATTRIBUTE_DIRECTORY;
        // Made or merged into, the folder is the job's own from here on: a later source of the same
        // name merges into it as well, and no answer given then removes or moves what this one puts
        // there (for a Cut, the only copy left).
        if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY))
            walk.job.written.Add(target);
    }
    return target;
}

// A name the code page cannot hold exactly (where the UTF-8 code page is not in force) would reach
// the file calls as a look-alike naming another file, so it is reported and never acted on. The
// filters see it as shown, with '?' for what cannot be shown, so only a file they would take is
// reported.
void VisitFile(const Walk& walk, const std::string& source, const std::string& destination,
               const WIN32_FIND_DATAW& entry)
{
    JobContext& job = walk.job;
    const std::int64_t size = EntrySize(entry);
    const std::optional<std::string> exact = ExactCodePageText(entry.cFileName);
    const std::string name = exact ? *exact : ShownCodePageText(entry.cFileName);
    // A name this job gave (a file Crush has under its hidden name, or gave its name back): a file
    // already handed on, met again by a listing; neither taken nor counted a second time.
    if (exact && job.givenNames && job.givenNames->Contains(source + "\\" + name))
        return;
    if (PassesFileFilter(job.masks, job.request.filters, LocaleLower(name), FilterTimeOf(entry.ftLastWriteTime), size)) {
        if (exact)
            DoFileOperation(job, source + "\\" + name, destination + "\\" + name, size, entry.dwFileAttributes);
        else
            LogUnreachableFile(job, source + "\\" + name, destination + "\\" + name, walk.operation,
                               ERROR_NO_UNICODE_TRANSLATION);
    }
    UpdateJobProgressAfterFile(job, size);
}

// Depth-first with a stack of open searches instead of a call per folder level, so that a tree of any
// depth costs no machine stack. Entries come in the order of the plain recursion; messages are
// processed once per folder, and pause and stop are looked at before every entry. The paths of all
// levels share two texts (each level keeps its lengths), so depth costs no copies of long paths.
void WalkTree(const Walk& walk, const std::string& root, const std::string& rootDestination)
{
    JobContext& job = walk.job;
    struct Level {
        std::size_t sourceLength;
        std::size_t destinationLength;
        UniqueFind find;
        WIN32_FIND_DATAW entry;
        bool started;  // `entry` has been handled: the next one is to be found
    };
    std::vector<Level> levels;
    std::string source = root;  // the deepest level's folder; every level's folder is a prefix of it
    std::string destination = rootDestination;

    // Opens the folder `source` (its entries going to `destination`) as the deepest level; nothing when
    // stopped, vanished or out of reach (nothing to do there, nothing to say).
    const auto enter = [&] {
        job.host.ProcessMessages();
        if (job.state.stopFlag)
            return;
        Level level{source.size(), destination.size(), UniqueFind(), {}, false};
        level.find = UniqueFind(FindFirstFileW(WidePath(source + "\\*.*").c_str(), &level.entry));
        if (level.find)
            levels.push_back(std::move(level));
    };

    enter();
    while (!levels.empty()) {
        Level& level = levels.back();
        source.resize(level.sourceLength);
        destination.resize(level.destinationLength);
        if (level.started && !FindNextFileW(level.find.Get(), &level.entry)) {
            levels.pop_back();
            continue;
        }
        level.started = true;
        HoldWhilePaused(job);
        if (job.state.stopFlag) {
            levels.pop_back();  // each level above stops at its next entry the same way
            continue;
        }
        const WIN32_FIND_DATAW& entry = level.entry;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsDotEntry(entry.cFileName))
                continue;
            if (const std::optional<std::string> name = ExactCodePageText(entry.cFileName)) {
                const std::string subfolder = source + "\\" + *name;
                // The target is this level's destination with the name, or another name beside it (Auto
                // Rename changes the last part only), so this level's destination stays its prefix.
                if (std::optional<std::string> target =
                        VisitFolder(walk, subfolder, destination + "\\" + *name, entry.dwFileAttributes)) {
                    source = subfolder;
                    destination = std::move(*target);
                    enter();  // `level` and `entry` may move: not used after this
                }
            } else {
                // Nothing below a name that cannot be written is reachable by its path.
                const std::string folder = source + "\\" + ShownCodePageText(entry.cFileName);
                const std::string reason = SystemErrorText(ERROR_NO_UNICODE_TRANSLATION);
                job.host.AppendLog(BecauseEntry(reason, FolderLeftAloneSentence(folder)));
                CountFileFailed(job, folder, {}, reason);
            }
        } else {
            VisitFile(walk, source, destination, entry);
        }
    }
}

// "D:\B\" and "D:\B" are the same destination.
std::string WithoutTrailingBackslash(std::string path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

} // namespace

void WalkFolder(JobContext& job, const std::string& source, const std::string& destination)
{
    const Operation operation = job.request.operation;
    const bool copyOrCut = IsCopyOrCut(operation);
    const bool flat = copyOrCut && job.request.flat;
    // Flattened files all land in the destination folder itself; otherwise in this walk's mirror.
    std::string output;
    if (copyOrCut)
        output = flat ? WithoutTrailingBackslash(job.request.destination) : destination;
    const Walk walk{job, operation, copyOrCut && !flat, output, source};
    WalkTree(walk, source, destination);
}
