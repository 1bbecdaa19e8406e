#include "core/LogTexts.h"
#include "engine/FilesInFlight.h"
#include "engine/ForceDirectories.h"
#include "platform/LongPath.h"
#include "engine/fileops.h"
#include "engine/filefacts.h"
#include "engine/itemops.h"
#include "engine/progress.h"
#include "filters/LocaleLower.h"
#include "platform/FileIdentity.h"

#include <windows.h>

#include <string>
#include <unordered_set>

namespace {

bool IsCopyOrCut(Operation operation) { return RowOf(operation).usesDestination; }

bool IsDriveRoot(const std::string& item) { return item.size() == 2 && item[1] == ':'; }

// Source entries carry no trailing backslash and a drive root as "E:"; anything else that reaches
// here is brought to that form, so that names and same-place tests see what the list means.
std::string ItemPath(std::string item)
{
    if (item.size() == 3 && item[1] == ':' && item[2] == '\\')
        return item.substr(0, 2);
    while (item.size() > 1 && item.back() == '\\' && !IsDriveRoot(item))
        item.pop_back();
    return item;
}

std::string LastComponent(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// "Copy of " + name, then "Copy (1) of " + name and so on: the first that names nothing in the
// folder (a file or folder of that name would both be in the way).
std::string FreeCopyName(const std::string& folder, const std::string& name)
{
    std::string candidate = "Copy of " + name;
    for (unsigned long long k = 1; PathAttributes(folder + "\\" + candidate) != INVALID_FILE_ATTRIBUTES; ++k)
        candidate = "Copy (" + std::to_string(k) + ") of " + name;
    return candidate;
}

// The item already lies at its destination: the same text in other letter case, or another spelling of
// the same entry (".", "..", a short name, a link). The entry is looked up only where the text differs,
// and the destination first: usually nothing is there yet. The destination is a path the job builds,
// reached as spelt: where nothing has exactly its name (`a.txt ` beside `a.txt`), the item is not
// there, whatever the system would make of the text.
bool IsSamePlace(const std::string& destination, const std::string& item)
{
    if (LocaleLower(destination) == LocaleLower(item))
        return true;
    if (PathAttributes(destination) == INVALID_FILE_ATTRIBUTES)
        return false;
    return IsSameEntry(destination, IsDriveRoot(item) ? item + "\\" : item);
}

void DispatchFile(JobContext& job, const std::string& item, const std::string& destination)
{
    const Operation operation = job.request.operation;
    // The name as the filters see it is also the name the file gets: Report.TXT arrives as report.txt.
    std::string name = LocaleLower(LastComponent(item));
    const std::int64_t size = GetFileSize64(item);
    if (PassesFileFilter(job.masks, job.request.filters, name, GetFileModifiedTime(item), size)) {
        bool leftAlone = false;
        if (IsCopyOrCut(operation) && IsSamePlace(destination + "\\" + name, item)) {
            if (RowOf(operation).movesSources) {
                job.host.AppendLog(NeedsNotBeCutEntry(false, item));
                leftAlone = true;
            } else {
                name = FreeCopyName(destination, name);
                job.host.AppendLog(CreateNewEntry(false, item, name));
            }
        }
        if (!leftAlone)
            DoFileOperation(job, item, destination + "\\" + name, size);
    }
    UpdateJobProgressAfterFile(job, size);
}

// The folder a source folder item is copied into. Made here when nothing stands there yet; made or
// merged into, it is remembered as this job's: a later source folder of the same name merges into it,
// and no later answer removes what the job writes below it.
void MakeDestinationFolder(JobContext& job, const std::string& folder)
{
    const DWORD attributes = PathAttributes(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES ? ForceDirectories(folder) : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        job.written.Add(folder);
}

void DispatchFolder(JobContext& job, const std::string& item, const std::string& destination)
{
    const Operation operation = job.request.operation;
    // A link chosen as a source is not gone through: what it points to is outside the chosen tree,
    // and a Cut, Delete or Crush would empty it. The job run leaves the link itself in place as well.
    const DWORD attributes = IsDriveRoot(item) ? INVALID_FILE_ATTRIBUTES : PathAttributes(item);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        job.host.AppendLog(FolderIsLinkEntry(item));
        return;
    }

    std::string name = IsDriveRoot(item) ? "Driver_" + item.substr(0, 1) : LastComponent(item);
    if (IsCopyOrCut(operation) && IsSamePlace(destination + "\\" + name, item)) {
        if (RowOf(operation).movesSources) {
            job.host.AppendLog(NeedsNotBeCutEntry(true, item));
            job.keptFolders.push_back(item);
            return;
        }
        name = FreeCopyName(destination, name);
        job.host.AppendLog(CreateNewEntry(true, item, name));
    }
    const std::string folder = destination + "\\" + name;
    if (IsCopyOrCut(operation) && !job.request.flat)
        MakeDestinationFolder(job, folder);  // a failure shows as each file that then cannot be copied
    WalkFolder(job, item, folder);
}

} // namespace

int ProcessSourceItems(JobContext& job, int index)
{
    const JobRequest& request = job.request;
    const Operation operation = request.operation;
    std::string destination;
    if (IsCopyOrCut(operation)) {
        destination = request.destination;
        if (!destination.empty() && destination.back() == '\\')
            destination.pop_back();  // D:\ becomes D:, so names join as D:\name
        if (destination.empty()) {
            job.destinationError = ERROR_INVALID_NAME;
            return -1;
        }
        if (!ForceDirectories(destination)) {
            job.destinationError = GetLastError();
            return -1;
        }
    }

    job.masks = BuildMaskList(request.filters.masksText);
    // The stop flag is not cleared here: a Cancel pressed since Begin (during the free-space question)
    // holds.
    const std::vector<std::string>& sources = request.sources;

    // Every item is read once, before any is touched: a later item of the same spelling, whose exact
    // name an earlier one has taken away, must not then be read as its twin ("a." as the folder "a").
    // As spelt where an entry has exactly that name (a dropped `report.doc ` is not its twin
    // `report.doc`); a typed spelling the system reads otherwise ("D:\a.") as it reads it, so that
    // every path built below it is reached as listed.
    job.items.clear();
    for (const std::string& source : sources)
        job.items.push_back(EntryPathText(ItemPath(source)));

    const int count = static_cast<int>(sources.size());
    int first = 0;
    int last = count - 1;
    if (index != -1) {
        if (index < 0 || index >= count)
            return 0;
        first = last = index;
    }
    // An item listed again is the same item: once the first has taken its entry away, the text may
    // reach another (in a folder that tells letter case apart, `X.DAT ` for `x.dat `).
    std::unordered_set<std::string> taken;
    for (int i = first; i <= last; ++i) {
        // A later item may be an earlier one under another spelling (letter case, a short name, a
        // link): its listing would meet files of the earlier one still waiting for a worker, which a
        // one-at-a-time job had already dealt with. Each item starts with nothing in flight.
        if (i > first && job.flight)
            job.flight->FinishAll();
        if (job.state.stopFlag)
            break;
        const std::string& item = job.items[static_cast<std::size_t>(i)];
        if (!taken.insert(item).second)
            continue;
        // "E:" alone would name the drive's current folder, not its root.
        const DWORD attributes = PathAttributes(IsDriveRoot(item) ? item + "\\" : item);
        // A file item is an existing entry that is not a folder; a drive root, a folder and a path
        // that has gone since it was added are all folder items.
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            DispatchFile(job, item, destination);
        else
            DispatchFolder(job, item, destination);
    }
    return 0;
}
