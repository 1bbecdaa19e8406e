#include "core/ProgressTexts.h"
#include "engine/CrushWriter.h"
#include "engine/fileops_steps.h"
#include "platform/LongPath.h"
#include "platform/Handles.h"

namespace {

constexpr int kNameSearchLimit = 99999;

// The first of the names 0, 1, 2, … that nothing in the folder holds; after the limit the last
// name tried, taken or not (renaming onto it then fails and the file keeps its name).
std::string FreeDecimalName(const std::string& folder)
{
    std::string candidate;
    for (int k = 0; k < kNameSearchLimit; ++k) {
        candidate = folder + std::to_string(k);
        if (PathAttributes(candidate) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    return candidate;
}

// Overwrites the whole file once and makes sure the overwrite reached the disk. Returns 0 or the
// error of the open, a seek, a write, the flush or the close.
DWORD WipeFile(JobContext& job, const std::string& path)
{
    UniqueFile file(OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!file)
        return GetLastError();
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
    if (!file.Close())
        return GetLastError();
    return 0;
}

} // namespace

void CrushOneFile(JobContext& job, const std::string& source)
{
    job.host.SetFileProgressText("Crushing " + source);
    job.host.SetFileBar(0, 0);
    const std::string failed = " So failed to delete file " + source + "!";

    // Only a plain file is overwritten: never a folder, and never a file through a link.
    const DWORD attributes = PathAttributes(source);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        LogFileFailure(job, error, failed);
        return;
    }
    if (IsFolderOrLink(attributes)) {
        LogFileFailure(job, ERROR_ACCESS_DENIED, failed);
        return;
    }
    SetPathAttributes(source, FILE_ATTRIBUTE_ARCHIVE);

    // Hide the name first: once overwritten and deleted, nothing should tell what the file was called.
    const std::size_t nameStart = source.find_last_of("\\:") + 1;  // npos + 1 == 0
    const std::string hidden = FreeDecimalName(source.substr(0, nameStart));
    const std::string current = MovePath(source, hidden, 0) ? hidden : source;

    DWORD error = WipeFile(job, current);
    if (error == 0) {
        if (DeletePath(current)) {
            ++job.state.filesDone;
            return;
        }
        error = GetLastError();
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
