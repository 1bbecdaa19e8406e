#include "engine/FileCopy.h"

#include "engine/DeleteListedFile.h"

#include "engine/FileRename.h"
#include "engine/LinkOpenFile.h"

#include "platform/FileIdentity.h"
#include "platform/LongPath.h"
#include "filters/LocaleLower.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>

namespace {

// How much of a partial copy's end is compared with the source before it is continued.
constexpr std::int64_t kResumeCheck = 64 * 1024;
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

DWORD Settable(DWORD attributes)
{
    attributes &= kCopiedAttributes;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// What a copy needs to know of an open file. GetFileInformationByHandle would tell the same, but it
// also asks for the volume's serial number, which under Wine 8 measured about 300 us a call against
// about 2 us for these two: more than the whole copy of a small file.
struct FileFacts {
    DWORD attributes = 0;
    FILETIME lastWrite{};
    std::int64_t size = 0;
};

bool ReadFacts(HANDLE file, FileFacts& facts)
{
    FILE_BASIC_INFO basic;
    LARGE_INTEGER size;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) || !GetFileSizeEx(file, &size))
        return false;
    facts.attributes = basic.FileAttributes;
    facts.lastWrite.dwLowDateTime = static_cast<DWORD>(basic.LastWriteTime.QuadPart);
    facts.lastWrite.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart) >> 32);
    facts.size = size.QuadPart;
    return true;
}

bool SetDeleteDisposition(HANDLE file, bool deleteOnClose)
{
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(deleteOnClose ? TRUE : FALSE)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
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
// it with its own partial copy, and a Cut would then delete the only copy. A new file cannot be the
// source, so only a copy that replaces asks.
bool IsSameFile(HANDLE source, const std::string& destination)
{
    HandleFacts mine;
    if (!ReadHandleFacts(source, mine, false))
        return false;
    UniqueFile other(OpenPath(destination, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS));
    HandleFacts theirs;
    if (!other || !ReadHandleFacts(other.Get(), theirs, false))
        return false;
    // A volume that numbers no file (index 0 for all) would make every file the same: there the
    // final paths decide.
    if ((mine.indexHigh | mine.indexLow) == 0 || (theirs.indexHigh | theirs.indexLow) == 0) {
        ReadHandleFacts(source, mine, true);
        ReadHandleFacts(other.Get(), theirs, true);
    }
    return SameFileByFacts(mine, theirs);
}

// A partial copy is continued only when it is a beginning of this source as it is now: not longer,
// written after the source's last change, and ending in the same bytes. Leaves both files positioned
// at the end of the partial copy and returns its length, or -1 when it has to start over.
std::int64_t ResumePoint(HANDLE source, const FileFacts& sourceFacts, HANDLE partial)
{
    FileFacts partialFacts;
    if (!ReadFacts(partial, partialFacts))
        return -1;
    const std::int64_t length = partialFacts.size;
    if (length <= 0 || length > sourceFacts.size ||
        CompareFileTime(&sourceFacts.lastWrite, &partialFacts.lastWrite) > 0)
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

// Gives the complete copy its final name. An existing destination is replaced only now, so a failed
// copy leaves it as it was; its read-only mark (which the rename would trip on) is put back on failure.
DWORD TakeFinalName(const std::string& partial, const std::string& destination)
{
    const DWORD existing = PathAttributes(destination);
    const bool readOnly = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
                          (existing & FILE_ATTRIBUTE_READONLY);
    const bool markTaken = readOnly && TakeReadOnlyMarkForReplace(destination, existing);
    if (MovePath(partial, destination, MOVEFILE_REPLACE_EXISTING))
        return 0;
    const DWORD error = GetLastError();
    if (markTaken)
        SetPathAttributes(destination, Settable(existing));
    return error;
}

CopyWriteObserver& WriteObserver()
{
    static CopyWriteObserver observer;
    return observer;
}

CopyStepObserver& StepObserver()
{
    static CopyStepObserver observer;
    return observer;
}

void Reached(CopyStep step, const std::string& destination)
{
    if (const CopyStepObserver& observer = StepObserver())
        observer(step, destination);
}

// The volumes that refused to give a file a second name, by the root of the path (a drive, or a
// server's share), for the life of the process. A folder of such a volume mounted under another
// one's drive makes the whole drive count as refusing: its copies take the slower form, never a wrong one.
std::string VolumeOf(const std::string& path)
{
    std::string lower = LocaleLower(path);
    if (lower.rfind("\\\\?\\unc\\", 0) == 0)
        lower = "\\\\" + lower.substr(8);
    else if (lower.rfind("\\\\?\\", 0) == 0)
        lower = lower.substr(4);
    if (lower.rfind("\\\\", 0) == 0) {
        const std::size_t server = lower.find('\\', 2);
        return lower.substr(0, server == std::string::npos ? server : lower.find('\\', server + 1));
    }
    return lower.substr(0, 2);
}

std::mutex refusingMutex;
std::set<std::string> refusingVolumes;

bool LinksRefusedOn(const std::string& path)
{
    const std::string volume = VolumeOf(path);
    const std::lock_guard lock(refusingMutex);
    return refusingVolumes.count(volume) != 0;
}

void NoteLinksRefusedOn(const std::string& path)
{
    const std::string volume = VolumeOf(path);
    const std::lock_guard lock(refusingMutex);
    refusingVolumes.insert(volume);
}

// A stream the destination could not be given because its volume keeps none (FAT answers that the
// name is not valid); any other failure fails the copy like a failed write.
bool VolumeKeepsNoStreams(unsigned long error)
{
    return error == ERROR_INVALID_NAME || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER ||
           error == ERROR_INVALID_FUNCTION;
}

unsigned long RefusalError(CarryVerdict verdict)
{
    switch (verdict) {
    case CarryVerdict::RefuseEncryption:
        return ERROR_ENCRYPTION_FAILED;
    case CarryVerdict::RefuseStreams:
        return ERROR_NOT_SUPPORTED;
    default:
        return 0;
    }
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

void SetCopyWriteObserver(CopyWriteObserver observer) { WriteObserver() = std::move(observer); }
void SetCopyStepObserver(CopyStepObserver observer) { StepObserver() = std::move(observer); }

FileCopy::FileCopy(std::string source, std::string destination, CopyTarget target, bool verify)
    : source_(std::move(source)), destination_(std::move(destination)), target_(target), verify_(verify)
{
}

// Makes the file the copy is written into, bound to go with its handle until it is complete: in the
// creating call itself where the volume can give the file its final name as a second link, else by
// its delete disposition right after. An encrypted source is copied into a file made encrypted.
// A new name is made new: Wine makes an "overwrite if it exists" open a truncation to length 0 even of
// a file it has just created, and ext4 then writes out and allocates all of such a file in the call
// that closes it (a second or more for 512 MiB, on the job's thread, in which no message is answered).
// Only a partial file left by a copy that could not remove it is opened over.
unsigned long FileCopy::Create(const std::string& name, bool encrypted)
{
    written_ = name;
    linked_ = !LinksRefusedOn(destination_);
    const DWORD flags = (encrypted ? FILE_ATTRIBUTE_ENCRYPTED : FILE_ATTRIBUTE_NORMAL) |
                        (linked_ ? FILE_FLAG_DELETE_ON_CLOSE : 0);
    out_ = UniqueFile(OpenPath(written_, GENERIC_READ | GENERIC_WRITE | DELETE, 0, CREATE_NEW, flags));
    if (!out_ && GetLastError() == ERROR_FILE_EXISTS)
        out_ = UniqueFile(OpenPath(written_, GENERIC_READ | GENERIC_WRITE | DELETE, 0, CREATE_ALWAYS, flags));
    if (!out_)
        return GetLastError();
    Reached(CopyStep::Created, destination_);
    if (!linked_ && !SetDeleteDisposition(out_.Get(), true)) {
        const DWORD error = GetLastError();
        out_.Reset();
        DeletePath(written_);  // made just now by this copy, and not to be kept unguarded
        return error;
    }
    // Whether the system made it encrypted (a volume or an edition without encryption makes it plain).
    FileFacts facts;
    copyEncrypted_ = encrypted && ReadFacts(out_.Get(), facts) && (facts.attributes & FILE_ATTRIBUTE_ENCRYPTED);
    return 0;
}

unsigned long FileCopy::Run(const CopyProgressFn& progress)
{
    // Every way out before the copy is complete, but Stop, closes the copy's handle, which removes it.
    const auto abandon = [this](DWORD error) {
        out_.Reset();
        return error;
    };

    // Whether the name is taken is settled first, whatever the state of the source. The copy is then
    // written under its partial name and takes the final one only when complete: a process killed
    // between the creation of a file and the setting of its delete disposition would otherwise leave
    // an empty file under the final name. The partial file is never cut to length 0 afterwards: under
    // Wine that is a truncation, and ext4 then writes all of the file out in the call that closes it
    // (150-200 ms per 512 MiB measured, in which no message is answered).
    verifyFailed_ = false;
    ready_ = false;
    verdict_ = CarryVerdict::Keep;
    const bool resuming = out_.Valid();
    if (!resuming && target_ == CopyTarget::NewFile) {
        if (PathAttributes(destination_) != INVALID_FILE_ATTRIBUTES)
            return ERROR_FILE_EXISTS;
        if (const unsigned long error = Create(PartialCopyName(destination_), false))
            return error;
    }

    // Others may still read the source, or delete it (which is noticed in Finish), but not change it.
    UniqueFile in(OpenPath(source_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN));
    FileFacts facts;
    if (!in || !ReadFacts(in.Get(), facts))
        return abandon(GetLastError());
    sourceAttributes_ = facts.attributes;
    sourceWritten_ = facts.lastWrite;
    // Listed through the open handle: no second look-up of the source's name for the usual file,
    // which has none.
    streams_ = NamedStreams(in.Get());
    const bool encrypted = (facts.attributes & FILE_ATTRIBUTE_ENCRYPTED) != 0;

    std::int64_t done = 0;
    bool hashContinues = false;
    if (resuming) {
        done = ResumePoint(in.Get(), facts, out_.Get());
        if (done < 0) {
            done = 0;
            if (!Seek(out_.Get(), 0) || !SetEndOfFile(out_.Get()) || !Seek(in.Get(), 0))
                return abandon(GetLastError());
        } else {
            hashContinues = true;  // the hash so far is that of the partial copy's bytes
        }
    } else if (target_ == CopyTarget::Replace) {
        if (IsSameFile(in.Get(), destination_))
            return ERROR_SHARING_VIOLATION;
        if (const unsigned long error = Create(PartialCopyName(destination_), encrypted))
            return error;
    } else if (encrypted) {
        // The new file was made before the source was seen: made again, encrypted (the plain one goes
        // with its handle).
        out_.Reset();
        if (const unsigned long error = Create(PartialCopyName(destination_), true))
            return error;
    }
    // Refused before a byte is written: a copy that would stand decrypted is never kept.
    verdict_ = JudgeCarryOver(encrypted, copyEncrypted_, false, sourceGoes_);
    if (const unsigned long refused = RefusalError(verdict_))
        return abandon(refused);

    if (!hashContinues)
        read_.Reset();
    const CopyWriteObserver& observer = WriteObserver();

    std::int64_t total = facts.size;
    const DWORD bufferSize = static_cast<DWORD>(std::clamp<std::int64_t>(total - done, 4096, kCopyBlock));
    const auto buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    while (done < total) {
        // One step of kCopyChunk bytes (less at the end), moved in blocks of kCopyBlock.
        const std::int64_t stepStart = done;
        bool atEnd = false;
        while (done < total && done - stepStart < kCopyChunk) {
            const DWORD wanted = static_cast<DWORD>(std::min<std::int64_t>(bufferSize, stepStart + kCopyChunk - done));
            DWORD got = 0;
            if (!ReadFile(in.Get(), buffer.get(), wanted, &got, nullptr))
                return abandon(GetLastError());
            if (got == 0) {
                atEnd = true;  // the source shrank since it was opened
                break;
            }
            if (verify_)
                read_.Add(buffer.get(), got);
            if (observer)
                observer(destination_, done, buffer.get(), got);
            DWORD put = 0;
            if (!WriteFile(out_.Get(), buffer.get(), got, &put, nullptr))
                return abandon(GetLastError());
            if (put != got)
                return abandon(ERROR_DISK_FULL);
            done += got;
        }
        if (done == stepStart)
            break;
        total = std::max(total, done);
        switch (progress(total, done)) {
        case CopyProgressAnswer::Continue:
            break;
        case CopyProgressAnswer::Cancel:
            return abandon(ERROR_REQUEST_ABORTED);
        case CopyProgressAnswer::Stop:
            return ERROR_REQUEST_ABORTED;  // the copy's handle stays open for the next run
        }
        if (atEnd)
            break;
    }
    return Finish(in, done);
}

// Reads the whole written file back through the copy's own handle and compares it with what was read.
bool FileCopy::ReadsBackAsHashed(std::int64_t length)
{
    if (!Seek(out_.Get(), 0))
        return false;
    FastHash written;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kCopyBlock);
    std::int64_t seen = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(out_.Get(), buffer.get(), static_cast<DWORD>(kCopyBlock), &got, nullptr))
            return false;
        if (got == 0)
            break;
        written.Add(buffer.get(), got);
        seen += got;
    }
    return seen == length && written.Value() == read_.Value();
}

// Copies the source's named streams into the copy; a destination that keeps no streams is judged
// (a failure for a copy whose source goes afterwards), any other failure fails the copy.
unsigned long FileCopy::CarryStreams()
{
    if (streams_.empty())
        return 0;
    const unsigned long error = CopyNamedStreams(source_, written_, streams_);
    if (error != 0 && !VolumeKeepsNoStreams(error))
        return error;
    verdict_ = JudgeCarryOver(false, false, error != 0, sourceGoes_);
    return RefusalError(verdict_);
}

unsigned long FileCopy::Finish(UniqueFile& in, std::int64_t length)
{
    // A file bound to go at its close is not yet going, so its streams can be made now; a file whose
    // delete disposition is set cannot be opened again: its streams follow when that is cleared.
    if (linked_) {
        if (const unsigned long error = CarryStreams()) {
            out_.Reset();
            return error;
        }
    }
    // A source deleted or moved away while it was read is gone once its last handle closes; its copy
    // would then stand for a file that no longer exists (and a Cut would report it moved).
    in.Reset();
    if (PathAttributes(source_) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        out_.Reset();
        return error;
    }

    if (verify_ && !ReadsBackAsHashed(length)) {
        verifyFailed_ = true;
        out_.Reset();  // still to go with its handle: nothing stays under either name
        return ERROR_CRC;
    }

    if (holdUntilKept_) {
        ready_ = true;  // complete, still going with its handle until Keep
        return 0;
    }
    return Keep();
}

unsigned long FileCopy::Keep()
{
    ready_ = false;
    return linked_ ? KeepLinked() : KeepMarked();
}

// The time and the attributes through the handle (no look-up of a name), the final name as a second
// link, then the close, which takes the partial name away. Whenever the process ends, the copy is
// either complete under its final name, with its marks, or gone. Read-only too goes on first: the
// file was opened to go at its close before it had the mark, and the mark is checked only when a
// deletion is asked for, not when one asked at the open is carried out.
unsigned long FileCopy::KeepLinked()
{
    const DWORD attributes = Settable(sourceAttributes_);
    FILE_BASIC_INFO basic{};
    basic.LastWriteTime.QuadPart = static_cast<LONGLONG>(
        (static_cast<std::uint64_t>(sourceWritten_.dwHighDateTime) << 32) | sourceWritten_.dwLowDateTime);
    basic.FileAttributes = attributes;
    if (!SetFileInformationByHandle(out_.Get(), FileBasicInfo, &basic, sizeof basic)) {
        const DWORD error = GetLastError();
        out_.Reset();
        return error;
    }
    Reached(CopyStep::Complete, destination_);

    // An existing destination is replaced only now, so a failed copy leaves it as it was; its
    // read-only mark (which the link would trip on) is put back on failure. A new name is never
    // taken over: a file that took it meanwhile is a conflict like any other.
    const bool replace = target_ == CopyTarget::Replace;
    const DWORD existing = replace ? PathAttributes(destination_) : INVALID_FILE_ATTRIBUTES;
    const bool readOnly = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
                          (existing & FILE_ATTRIBUTE_READONLY);
    const bool markTaken = readOnly && TakeReadOnlyMarkForReplace(destination_, existing);
    if (!LinkOpenFile(out_.Get(), destination_, replace)) {
        const DWORD error = GetLastError();
        if (markTaken)
            SetPathAttributes(destination_, Settable(existing));
        // Under Wine a volume without links answers "access denied", as the host's link call does.
        if (LinksRefusedBy(error) ||
            (error == ERROR_ACCESS_DENIED && !replace && PathAttributes(destination_) == INVALID_FILE_ATTRIBUTES)) {
            NoteLinksRefusedOn(destination_);
            return KeepByCopyBack();
        }
        out_.Reset();
        return error;
    }
    Reached(CopyStep::Named, destination_);
    written_ = destination_;
    if (!out_.Close()) {
        // The last write failed as the file closed (a network share may say so only now). A new file
        // goes again; a replaced one has already taken the old file's place and stays, reported.
        const DWORD error = GetLastError();
        if (!replace) {
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetPathAttributes(destination_, Settable(attributes & ~FILE_ATTRIBUTE_READONLY));
            DeletePath(destination_);
        }
        return error;
    }
    return 0;
}

// The complete copy on a volume that makes no second names: moved into a file made the other way
// (marked by its delete disposition), which is then kept by clearing that and renaming. Paid once per
// such volume and process, by the copy that finds it out; no progress is shown meanwhile.
unsigned long FileCopy::KeepByCopyBack()
{
    UniqueFile held = std::move(out_);  // still bound to go when closed
    const std::string partial = written_;
    if (!RenameOpenFile(held.Get(), PartialCopyName(partial), false))
        return GetLastError();
    if (const unsigned long error = Create(partial, copyEncrypted_))
        return error;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kCopyBlock);
    if (!Seek(held.Get(), 0)) {
        out_.Reset();
        return GetLastError();
    }
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(held.Get(), buffer.get(), static_cast<DWORD>(kCopyBlock), &got, nullptr)) {
            out_.Reset();
            return GetLastError();
        }
        if (got == 0)
            break;
        DWORD put = 0;
        if (!WriteFile(out_.Get(), buffer.get(), got, &put, nullptr) || put != got) {
            const DWORD error = put != got ? ERROR_DISK_FULL : GetLastError();
            out_.Reset();
            return error;
        }
    }
    held.Reset();
    return KeepMarked();
}

unsigned long FileCopy::KeepMarked()
{
    // Complete: from here on the file is kept, so a failure has to remove it by its name.
    const auto discard = [this](DWORD error) {
        out_.Reset();
        DeletePath(written_);
        return error;
    };
    if (!SetDeleteDisposition(out_.Get(), false)) {
        const DWORD error = GetLastError();
        out_.Reset();
        return error;
    }
    if (const unsigned long error = CarryStreams())
        return discard(error);
    // The time, and for a new file the attributes but read-only, through the handle: no look-up of
    // the name. The rest comes after the rename: read-only would stop the removal of the partial
    // file when the rename fails.
    const DWORD attributes = Settable(sourceAttributes_);
    FILE_BASIC_INFO basic{};
    basic.LastWriteTime.QuadPart = static_cast<LONGLONG>(
        (static_cast<std::uint64_t>(sourceWritten_.dwHighDateTime) << 32) | sourceWritten_.dwLowDateTime);
    basic.FileAttributes = target_ == CopyTarget::NewFile ? Settable(attributes & ~FILE_ATTRIBUTE_READONLY) : 0;
    if (!SetFileInformationByHandle(out_.Get(), FileBasicInfo, &basic, sizeof basic))
        return discard(GetLastError());
    Reached(CopyStep::Complete, destination_);
    if (target_ == CopyTarget::NewFile) {
        // Renamed through the copy's own handle (no second open of it, no look-up of the partial
        // name), never over anything: a file that took the name meanwhile is a conflict like any other.
        if (!RenameOpenFile(out_.Get(), destination_, false))
            return discard(GetLastError());
        written_ = destination_;  // from here a failure removes the copy under its final name
        Reached(CopyStep::Named, destination_);
        if (attributes != basic.FileAttributes) {
            basic.FileAttributes = attributes;
            SetFileInformationByHandle(out_.Get(), FileBasicInfo, &basic, sizeof basic);
        }
        if (!out_.Close())
            return discard(GetLastError());
        return 0;
    }
    if (!out_.Close())
        return discard(GetLastError());

    if (const DWORD error = TakeFinalName(written_, destination_))
        return discard(error);
    Reached(CopyStep::Named, destination_);
    SetPathAttributes(destination_, Settable(sourceAttributes_));
    return 0;
}
