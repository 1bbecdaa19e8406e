#include "engine/CopyRoutine.h"

#include "platform/LongPath.h"
#include "filters/LocaleLower.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// How much of a partial copy's end is compared with the source before it is continued.
constexpr std::int64_t kResumeCheck = 64 * 1024;
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::int64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
}

DWORD Settable(DWORD attributes)
{
    attributes &= kCopiedAttributes;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool Seek(HANDLE file, std::int64_t offset)
{
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

bool ReadExactly(HANDLE file, std::int64_t offset, char* buffer, DWORD length)
{
    DWORD got = 0;
    return Seek(file, offset) && ReadFile(file, buffer, length, &got, nullptr) && got == length;
}

// Copying a file onto itself (the same path, another spelling of it, or a link to it) would replace
// it with its own partial copy, and a Cut would then delete the only copy.
bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& source, const std::string& destination)
{
    UniqueFile other(OpenPath(destination, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION info;
    if (!other || !GetFileInformationByHandle(other.Get(), &info))
        return false;
    return info.dwVolumeSerialNumber == source.dwVolumeSerialNumber &&
           info.nFileIndexHigh == source.nFileIndexHigh && info.nFileIndexLow == source.nFileIndexLow;
}

// A partial copy is continued only when it is a beginning of this source as it is now: not longer,
// written after the source's last change, and ending in the same bytes. Leaves both files positioned
// at the end of the partial copy and returns its length, or -1 when it has to start over.
std::int64_t ResumePoint(HANDLE source, const BY_HANDLE_FILE_INFORMATION& sourceInfo, HANDLE partial)
{
    BY_HANDLE_FILE_INFORMATION partialInfo;
    if (!GetFileInformationByHandle(partial, &partialInfo))
        return -1;
    const std::int64_t length = SizeOf(partialInfo);
    if (length <= 0 || length > SizeOf(sourceInfo) ||
        CompareFileTime(&sourceInfo.ftLastWriteTime, &partialInfo.ftLastWriteTime) > 0)
        return -1;

    const DWORD checked = static_cast<DWORD>(std::min(length, kResumeCheck));
    const auto mine = std::make_unique_for_overwrite<char[]>(checked);
    const auto theirs = std::make_unique_for_overwrite<char[]>(checked);
    if (!ReadExactly(partial, length - checked, mine.get(), checked) ||
        !ReadExactly(source, length - checked, theirs.get(), checked) ||
        !std::equal(mine.get(), mine.get() + checked, theirs.get()))
        return -1;
    return length;  // both handles now stand at length
}

// The partial copy to write into: the one a stopped copy of this pair left, or a fresh one.
UniqueFile OpenPartial(const std::string& name, HANDLE source, const BY_HANDLE_FILE_INFORMATION& sourceInfo,
                       std::int64_t& resumeAt)
{
    resumeAt = 0;
    UniqueFile partial(OpenPath(name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (partial) {
        const std::int64_t length = ResumePoint(source, sourceInfo, partial.Get());
        if (length > 0) {
            resumeAt = length;
            return partial;
        }
        if (Seek(partial.Get(), 0) && SetEndOfFile(partial.Get()) && Seek(source, 0))
            return partial;
        partial.Reset();
    }
    // A new file, not an emptied one. For CREATE_ALWAYS Wine creates the file and then empties it;
    // ext4 takes a file emptied that way for one being replaced and writes all of it out in the call
    // that closes it: 150-200 ms per 512 MiB measured, a stall in which no message is processed.
    // CREATE_ALWAYS remains for a partial copy that is there but could not be opened above.
    UniqueFile fresh(OpenPath(name, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (!fresh && GetLastError() == ERROR_FILE_EXISTS)
        fresh = UniqueFile(OpenPath(name, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    return fresh;
}

// Gives the complete copy its final name. An existing destination is replaced only now, so a failed
// copy leaves it as it was; its read-only mark (which the rename would trip on) is put back on failure.
DWORD TakeFinalName(const std::string& partial, const std::string& destination)
{
    const DWORD existing = PathAttributes(destination);
    const bool readOnly = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
                          (existing & FILE_ATTRIBUTE_READONLY);
    if (readOnly)
        SetPathAttributes(destination, Settable(existing & ~FILE_ATTRIBUTE_READONLY));
    if (MovePath(partial, destination, MOVEFILE_REPLACE_EXISTING))
        return 0;
    const DWORD error = GetLastError();
    if (readOnly)
        SetPathAttributes(destination, Settable(existing));
    return error;
}

std::uint64_t Fnv1a(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::string PartialCopyName(const std::string& destination)
{
    // Beside the destination, so the final rename stays on one volume; the hash of the whole
    // destination path keeps it from meeting a user's own file, and the name is cut short enough
    // that the suffix never pushes it past the file system's 255-character limit.
    const std::size_t nameStart = destination.find_last_of("\\:") + 1;  // npos + 1 == 0
    const std::string folder = destination.substr(0, nameStart);
    const std::string name = destination.substr(nameStart, 200);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(LocaleLower(destination))));
    return folder + name + "." + hash + ".orvpart";
}

unsigned long CopyFileWithProgress(const std::string& source, const std::string& destination,
                                   const CopyProgressFn& progress)
{
    // Others may still read the source, or delete it (which is noticed below), but not change it.
    UniqueFile in(OpenPath(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN));
    if (!in)
        return GetLastError();
    BY_HANDLE_FILE_INFORMATION sourceInfo;
    if (!GetFileInformationByHandle(in.Get(), &sourceInfo))
        return GetLastError();
    if (IsSameFile(sourceInfo, destination))
        return ERROR_SHARING_VIOLATION;

    const std::string partialName = PartialCopyName(destination);
    std::int64_t done = 0;
    UniqueFile out = OpenPartial(partialName, in.Get(), sourceInfo, done);
    if (!out)
        return GetLastError();

    // Every way out but Stop and success removes the partial copy: no truncated file is left behind.
    const auto abandon = [&](DWORD error) {
        out.Reset();
        DeletePath(partialName);
        return error;
    };

    std::int64_t total = SizeOf(sourceInfo);
    const DWORD bufferSize = static_cast<DWORD>(std::clamp<std::int64_t>(total - done, 4096, kCopyChunk));
    const auto buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    while (done < total) {
        DWORD got = 0;
        if (!ReadFile(in.Get(), buffer.get(), bufferSize, &got, nullptr))
            return abandon(GetLastError());
        if (got == 0)
            break;  // the source shrank since it was opened
        DWORD put = 0;
        if (!WriteFile(out.Get(), buffer.get(), got, &put, nullptr))
            return abandon(GetLastError());
        if (put != got)
            return abandon(ERROR_DISK_FULL);
        done += got;
        total = std::max(total, done);
        switch (progress(total, done)) {
        case CopyProgressAnswer::Continue:
            break;
        case CopyProgressAnswer::Cancel:
            return abandon(ERROR_REQUEST_ABORTED);
        case CopyProgressAnswer::Stop:
            if (!out.Close())
                return abandon(GetLastError());
            return ERROR_REQUEST_ABORTED;  // kept for the copy of this pair that comes next
        }
    }

    if (!SetFileTime(out.Get(), nullptr, nullptr, &sourceInfo.ftLastWriteTime))
        return abandon(GetLastError());
    if (!out.Close())
        return abandon(GetLastError());
    // A source deleted or moved away while it was read is gone once its last handle closes; its copy
    // would then stand for a file that no longer exists (and a Cut would report it moved).
    in.Reset();
    if (PathAttributes(source) == INVALID_FILE_ATTRIBUTES)
        return abandon(GetLastError());

    if (const DWORD error = TakeFinalName(partialName, destination))
        return abandon(error);
    SetPathAttributes(destination, Settable(sourceInfo.dwFileAttributes));
    return 0;
}
