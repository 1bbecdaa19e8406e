#include "core/LogTexts.h"
#include "core/ProgressTexts.h"
#include "engine/CrushWriter.h"
#include "engine/GivenNames.h"
#include "engine/FileOutcomes.h"
#include "engine/fileops_steps.h"
#include "platform/FileIdentity.h"
#include "platform/LongPath.h"
#include "platform/Handles.h"

#include <functional>
#include <memory>

namespace {

constexpr int kNameSearchLimit = 99999;
// The open reached another file than the one listed: the system's word for a file it cannot reach.
constexpr DWORD kNotTheListedFile = ERROR_CANT_ACCESS_FILE;
// Other names (hard links) still reach the file's data: overwriting it would reach them too. A code
// of the program's own (bit 29), told by its own line rather than a system text.
constexpr DWORD kOtherNamesReachData = 0x20000000 | 1;

// Whether the open file has names besides the one it was opened by. A volume that counts no links
// (0) tells nothing more; only more than one refuses. The standard facts carry the count without the
// volume's, which GetFileInformationByHandle also reads (under Wine a costly look at the mounts, on
// the job's thread for every file).
bool HasOtherNames(HANDLE file)
{
    FILE_STANDARD_INFO facts;
    return GetFileInformationByHandleEx(file, FileStandardInfo, &facts, sizeof facts) && facts.NumberOfLinks > 1;
}

// Renames the open file to the first of the names 0, 1, 2, … in its own folder that nothing holds,
// trying at most the limit; returns the path the file has afterwards. Each name is tried by renaming
// onto it: a rename never replaces, so a taken name refuses, and one call per name does what a look-up
// and a rename did. After the limit, or a refusal for any other reason, the file keeps its name. The
// name is recorded as given, so that no listing takes it for another file.
std::string HideName(GivenNames& names, HANDLE file, const std::string& source)
{
    const std::size_t nameStart = source.find_last_of("\\:") + 1;  // npos + 1 == 0
    const std::string folder = source.substr(0, nameStart);
    for (int k = 0; k < kNameSearchLimit; ++k) {
        const std::string candidate = folder + std::to_string(k);
        if (names.MoveOpen(file, candidate))
            return candidate;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            break;
    }
    return source;
}

// Overwrites the whole file once, makes sure the overwrite reached the disk, hides its name and
// deletes it, all through the same handle (its delete disposition, where a deletion by name would look
// the name up again). The name is hidden only once the data is gone and just before the deletion: a
// process ended meanwhile leaves the file under its own name, never under a hidden one. Returns 0 or
// the error of the open, a seek, a write, the flush, the deletion or the close; `current` is the name
// the file has then. `attributesReset`: whether the file's attributes were reset before; known
// attributes may have changed since they were read, so an open refused for access resets them and
// tries once more.
DWORD WipeAndDelete(GivenNames& names, const std::string& path, bool attributesReset,
                    const std::function<void(std::int64_t blocks, std::int64_t done)>& showBlocks,
                    std::string& current)
{
    current = path;
    const auto open = [&path] {
        return UniqueFile(
            OpenPath(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    };
    UniqueFile file = open();
    if (!file && !attributesReset && GetLastError() == ERROR_ACCESS_DENIED) {
        SetPathAttributes(path, FILE_ATTRIBUTE_ARCHIVE);
        file = open();
    }
    if (!file)
        return GetLastError();
    // Never through a link into another file: under Wine a link the host system made shows as a plain
    // file, and the open reaches what it points to.
    if (!HandleIsListedEntry(file.Get(), path))
        return kNotTheListedFile;
    // Looked at on the handle that writes, which shares nothing: no name can be added in between.
    if (HasOtherNames(file.Get()))
        return kOtherNamesReachData;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return GetLastError();

    // The bar counts 256-byte blocks, L / 256 of them.
    const std::int64_t blocks = size.QuadPart / kCrushBlock;
    const auto show = [&](std::int64_t done) { showBlocks(blocks, done); };
    show(0);
    if (const DWORD error = OverwriteWithOnes(file.Get(), path, size.QuadPart, show))
        return error;
    if (!FlushFileBuffers(file.Get()))
        return GetLastError();
    // Once overwritten and deleted, nothing should tell what the file was called.
    current = HideName(names, file.Get(), path);
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (!SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof dispose)) {
        // Read-only after all (it can be opened for writing where the system lets its administrator):
        // reset through the handle and try once more.
        FILE_BASIC_INFO plain{};
        plain.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        if (attributesReset || !SetFileInformationByHandle(file.Get(), FileBasicInfo, &plain, sizeof plain) ||
            !SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof dispose))
            return GetLastError();
    }
    if (!file.Close())
        return GetLastError();
    return 0;
}


// What crushing a file came to: 0 or the error, and the name the file has when it was not crushed.
struct CrushOutcome {
    DWORD error = 0;
    std::string current;
};

// A file checked to be a plain listed file: hidden, overwritten and deleted, or put back under its
// name when that fails.
CrushOutcome CrushListedFile(GivenNames& names, const std::string& source, DWORD attributes,
                             const std::function<void(std::int64_t blocks, std::int64_t done)>& showBlocks)
{
    // Read-only would refuse the overwrite; archive only already needs no call.
    const bool reset = attributes != FILE_ATTRIBUTE_ARCHIVE;
    if (reset)
        SetPathAttributes(source, FILE_ATTRIBUTE_ARCHIVE);

    CrushOutcome outcome;
    outcome.error = WipeAndDelete(names, source, reset, showBlocks, outcome.current);
    // Not overwritten (or not for certain), or not deleted: the file stays, under the name it came
    // with where that name is still free.
    if (outcome.error != 0 && outcome.current != source && names.Move(outcome.current, source))
        outcome.current = source;
    // A file another name reaches (a name added since it was first looked at) is left as it was found.
    if (outcome.error == kOtherNamesReachData && reset)
        SetPathAttributes(outcome.current, attributes);
    return outcome;
}

void CountCrush(JobContext& job, const std::string& source, const CrushOutcome& outcome)
{
    if (outcome.error == 0) {
        CountFileDone(job, source, {}, 0);
        return;
    }
    if (outcome.error == kOtherNamesReachData) {
        const std::string entry = SharedDataEntry(outcome.current);
        job.host.AppendLog(entry);
        CountFileFailed(job, source, {}, entry);
        return;
    }
    // Reported as not crushed; when something else took the first name meanwhile, the line names the
    // hidden name the file is left under.
    if (outcome.current == source) {
        LogFileFailure(job, outcome.error, DeleteFailedSentence(source), source);
        return;
    }
    LogFileFailure(job, outcome.error, DeleteFailedUnderSentence(outcome.current, source), source);
}

// Only a plain file is overwritten: never a folder, never a file through a link, and never a file
// whose data another name (a hard link) still reaches, inside the chosen tree or outside it: those
// names were not all chosen to go, or not all chosen by the filters, and nothing here can tell. False,
// with the failure logged, for anything else.
bool CrushesAsListed(JobContext& job, const std::string& source, DWORD& attributes)
{
    const std::string failed = DeleteFailedSentence(source);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        attributes = PathAttributes(source);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        LogFileFailure(job, error, failed, source);
        return false;
    }
    if (IsFolderOrLink(attributes)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, failed, source);
        return false;
    }
    // A link that shows as a plain file (under Wine, one the host system made) leads to a file outside
    // the list, which must not even lose its attributes: refused before anything is changed. The
    // overwrite looks again at the handle it writes through.
    UniqueFile listed(OpenPath(source, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (listed && !HandleIsListedEntry(listed.Get(), source)) {
        LogFileFailure(job, kNotTheListedFile, failed, source);
        return false;
    }
    // Refused before even the attributes change, as they belong to every name of the file. The
    // overwrite looks again at the handle it writes through.
    if (listed && HasOtherNames(listed.Get())) {
        const std::string entry = SharedDataEntry(source);
        job.host.AppendLog(entry);
        CountFileFailed(job, source, {}, entry);
        return false;
    }
    return true;
}

// The names this job gives, made with its first Crush.
std::shared_ptr<GivenNames> NamesOf(JobContext& job)
{
    if (!job.givenNames)
        job.givenNames = std::make_shared<GivenNames>();
    return job.givenNames;
}

} // namespace

void CrushOneFile(JobContext& job, const std::string& source, DWORD known)
{
    job.host.SetFileProgressText(FileUnderWayText(kOpCrush, source));
    job.host.SetFileBar(0, 0);
    DWORD attributes = known;
    if (!CrushesAsListed(job, source, attributes))
        return;
    CountCrush(job, source, CrushListedFile(*NamesOf(job), source, attributes, [&job](std::int64_t blocks, std::int64_t done) {
                   const auto [maximum, position] = ScaleForBar(blocks, done);
                   job.host.SetFileBar(maximum, position);
               }));
}

void HandCrush(JobContext& job, const std::string& source, DWORD known)
{
    DWORD attributes = known;
    if (!CrushesAsListed(job, source, attributes))
        return;
    auto outcome = std::make_shared<CrushOutcome>();
    FilesInFlight::FileWork file;
    file.shown = FileUnderWayText(kOpCrush, source);
    file.work = [names = NamesOf(job), source, attributes, outcome](FileWorkControl& control) {
        // A pause holds the overwrite between two writes; a Cancel lets it end, as a file half
        // overwritten would be neither kept nor gone.
        *outcome = CrushListedFile(*names, source, attributes, [&control](std::int64_t blocks, std::int64_t done) {
            control.ShowProgress(blocks, done);
            control.WaitWhilePaused();
        });
    };
    file.finish = [&job, source, outcome](bool workRan) {
        if (workRan)
            CountCrush(job, source, *outcome);
        return workRan;
    };
    job.flight->Hand(std::move(file));
}
