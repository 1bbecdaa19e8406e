#include "core/ProgressTexts.h"
#include "engine/CrushWriter.h"
#include "engine/fileops_steps.h"
#include "platform/FileIdentity.h"
#include "platform/LongPath.h"
#include "platform/Handles.h"

namespace {

constexpr int kNameSearchLimit = 99999;
// The open reached another file than the one listed: the system's word for a file it cannot reach.
constexpr DWORD kNotTheListedFile = ERROR_CANT_ACCESS_FILE;

// Renames the file to the first of the names 0, 1, 2, … in its own folder that nothing holds, trying
// at most the limit; returns the path the file has afterwards. Each name is tried by renaming onto it:
// a rename never replaces, so a taken name refuses, and one call per name does what a look-up and a
// rename did. After the limit, or a refusal for any other reason, the file keeps its name.
std::string HideName(const std::string& source)
{
    const std::size_t nameStart = source.find_last_of("\\:") + 1;  // npos + 1 == 0
    const std::string folder = source.substr(0, nameStart);
    for (int k = 0; k < kNameSearchLimit; ++k) {
        const std::string candidate = folder + std::to_string(k);
        if (MovePath(source, candidate, 0))
            return candidate;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            break;
    }
    return source;
}

// Overwrites the whole file once, makes sure the overwrite reached the disk, and deletes the file
// through the same handle (its delete disposition, where a deletion by name would look the name up
// again). Returns 0 or the error of the open, a seek, a write, the flush, the deletion or the close.
// `attributesReset`: whether the file's attributes were reset before; known attributes may have
// changed since they were read, so an open refused for access resets them and tries once more.
DWORD WipeAndDelete(JobContext& job, const std::string& path, bool attributesReset)
{
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
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return GetLastError();

    // The bar counts 256-byte blocks, L / 256 of them.
    const std::int64_t blocks = size.QuadPart / kCrushBlock;
    const auto showBlocks = [&](std::int64_t done) {
        const auto [maximum, position] = ScaleForBar(blocks, done);
        job.host.SetFileBar(maximum, position);
    };
    showBlocks(0);
    if (const DWORD error = OverwriteWithOnes(file.Get(), path, size.QuadPart, showBlocks))
        return error;
    if (!FlushFileBuffers(file.Get()))
        return GetLastError();
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

} // namespace

void CrushOneFile(JobContext& job, const std::string& source, DWORD known)
{
    job.host.SetFileProgressText("Crushing " + source);
    job.host.SetFileBar(0, 0);
    const std::string failed = " So failed to delete file " + source + "!";

    // Only a plain file is overwritten: never a folder, and never a file through a link.
    const DWORD attributes = known != INVALID_FILE_ATTRIBUTES ? known : PathAttributes(source);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        LogFileFailure(job, error, failed);
        return;
    }
    if (IsFolderOrLink(attributes)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, failed);
        return;
    }
    // A link that shows as a plain file (under Wine, one the host system made) leads to a file outside
    // the list, which must not even lose its attributes: refused before anything is changed. The
    // overwrite looks again at the handle it writes through.
    {
        UniqueFile listed(OpenPath(source, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
        if (listed && !HandleIsListedEntry(listed.Get(), source)) {
            LogFileFailure(job, kNotTheListedFile, failed);
            return;
        }
    }
    // Read-only would refuse the overwrite; archive only already needs no call.
    const bool reset = attributes != FILE_ATTRIBUTE_ARCHIVE;
    if (reset)
        SetPathAttributes(source, FILE_ATTRIBUTE_ARCHIVE);

    // Hide the name first: once overwritten and deleted, nothing should tell what the file was called.
    const std::string current = HideName(source);

    const DWORD error = WipeAndDelete(job, current, reset);
    if (error == 0) {
        ++job.state.filesDone;
        return;
    }
    // Not overwritten (or not for certain), or not deleted: the file stays, under the name it came
    // with where that name is still free, and is reported as not crushed. When something else took
    // that name meanwhile, the line names the hidden name the file is left under.
    if (current == source || MovePath(current, source, 0)) {
        LogFileFailure(job, error, failed);
        return;
    }
    LogFileFailure(job, error, " So failed to delete file " + current + " (first named " + source + ")!");
}
