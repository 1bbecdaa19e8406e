#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/FastHash.h"
#include "engine/NamedStreams.h"
#include "engine/progress.h"
#include "platform/Handles.h"

#include <vector>

using CopyProgressFn = std::function<CopyProgressAnswer(std::int64_t total, std::int64_t transferred)>;

// Where a copy is written.
enum class CopyTarget {
    // A new file, made only where nothing stands yet (otherwise the copy fails with ERROR_FILE_EXISTS
    // and touches nothing): written under a temporary name beside it, which takes the final name only
    // when complete and only where that is still free.
    NewFile,
    // Over the file that stands there: written under a temporary name beside it, which replaces the
    // old file only when complete, so a failed copy leaves the old file whole.
    Replace,
};

// One file copied with the contract of a restartable CopyFileExA: the progress callback runs after
// every chunk with (total, transferred); Cancel removes the partial copy and fails with
// ERROR_REQUEST_ABORTED; Stop fails with ERROR_REQUEST_ABORTED too but keeps the partial copy, and
// running the same object again continues it where it stopped. The complete copy gets the source's
// attributes and last-write time.
//
// The copy is made bound to go when its handle closes, in the call that creates it, and the handle
// stays open until the copy is complete and stands under its final name (given as a second name of
// the same file, so closing the handle then removes only the partial name). So the system removes it
// when the process ends in any way (a crash, a kill, or this object going away) at every moment: never
// a truncated file under the final name, and no partial file left behind. A stopped copy keeps its
// handle (and so its data) for the resume; the source is closed while stopped.
//
// Where the volume makes no second names (FAT, some network shares), the copy is marked to go with
// its delete disposition right after it is made, and renamed once complete: there a process ended in
// the two short moments between creation and marking, or between unmarking and renaming, leaves its
// partial file. The first copy that finds this out moves its complete file over to that form.
//
// The named streams of the source (the mark of a download among them) go with the copy, and an
// encrypted source is copied into an encrypted file. What cannot be carried over is judged by
// JudgeCarryOver: a copy that would stand decrypted is never kept (ERROR_ENCRYPTION_FAILED); one whose
// streams the destination cannot hold fails for a copy whose source goes afterwards
// (ERROR_NOT_SUPPORTED, see SourceGoesAfter) and is kept otherwise (StreamsLeftBehind).
//
// With `verify`, what is read is hashed on its way, and before the delete disposition is cleared the
// written file is read back and hashed again: a difference leaves nothing under either name and
// fails the copy with ERROR_CRC (VerifyFailed tells it from a read error of the same code). The
// read-back comes through the system's cache, so it proves what the system holds for the file, not
// what has reached the disk.
//
// Runs on any thread; nothing of it is shared but the write observer below.
class FileCopy {
public:
    FileCopy(std::string source, std::string destination, CopyTarget target, bool verify = false);
    FileCopy(const FileCopy&) = delete;
    FileCopy& operator=(const FileCopy&) = delete;

    // 0 once the complete copy stands under the destination, else the Win32 error. After a Stop,
    // continues from the partial copy when that is still a beginning of the source as it is now, and
    // starts over otherwise; after anything else, starts over.
    unsigned long Run(const CopyProgressFn& progress);

    // The source is deleted once this copy stands (a Cut): a copy that cannot take all of it fails.
    void SourceGoesAfter() { sourceGoes_ = true; }
    // How the last run judged what it could not carry over; Keep when it carried everything.
    CarryVerdict Verdict() const { return verdict_; }
    bool StreamsLeftBehind() const { return verdict_ == CarryVerdict::KeepWithoutStreams; }

    // The source's attributes as the last run found them; INVALID_FILE_ATTRIBUTES before it opened it.
    DWORD SourceAttributes() const { return sourceAttributes_; }
    // The last run's copy was complete but read back differently from what was read.
    bool VerifyFailed() const { return verifyFailed_; }

    // With several copies in flight, each is kept in the order of the job: Run then answers 0 for a
    // complete copy that still goes with its handle, and Keep gives it its name and its facts (0 or
    // the error, the copy then gone). A copy never kept goes when this object does.
    void HoldUntilKept() { holdUntilKept_ = true; }
    bool Ready() const { return ready_; }
    unsigned long Keep();

private:
    unsigned long Create(const std::string& name, bool encrypted);
    unsigned long Finish(UniqueFile& source, std::int64_t length);
    bool ReadsBackAsHashed(std::int64_t length);
    unsigned long CarryStreams();
    unsigned long KeepLinked();
    unsigned long KeepMarked();
    unsigned long KeepByCopyBack();

    std::string source_;
    std::string destination_;
    CopyTarget target_;
    std::string written_;  // the name the copy is written under
    UniqueFile out_;       // held from creation until complete, and across a Stop
    bool linked_ = false;  // out_ goes when closed and takes its final name as a second link
    bool copyEncrypted_ = false;
    bool sourceGoes_ = false;
    CarryVerdict verdict_ = CarryVerdict::Keep;
    std::vector<std::wstring> streams_;  // the source's named streams, as the last run listed them
    DWORD sourceAttributes_ = INVALID_FILE_ATTRIBUTES;
    FILETIME sourceWritten_{};
    bool verify_;
    bool verifyFailed_ = false;
    bool holdUntilKept_ = false;
    bool ready_ = false;
    FastHash read_;  // of the bytes read so far, kept across a Stop like the partial copy itself
};

// Sees every block of a copy after it was read (and hashed) and before it is written, and may change
// it: so tests make a copy that reads back wrong. Jobs never set one; set it only while no copy runs.
using CopyWriteObserver = std::function<void(const std::string& destination, std::int64_t offset, char* data,
                                             unsigned long length)>;
void SetCopyWriteObserver(CopyWriteObserver observer);

// The moments of a copy at which a process that ends leaves the most behind: just made, complete but
// not yet under its final name, and under its final name with its handle still open. Tests end a
// process there; jobs never set one; set it only while no copy runs.
enum class CopyStep { Created, Complete, Named };
using CopyStepObserver = std::function<void(CopyStep step, const std::string& destination)>;
void SetCopyStepObserver(CopyStepObserver observer);

// The temporary name a copy that replaces the file at destination is written under.
std::string PartialCopyName(const std::string& destination);

// Bytes copied per step, and so per progress call.
constexpr std::int64_t kCopyChunk = 256 * 1024;
// Bytes per read and write within a step. Under Wine 2 GiB took about 0.85 s of processor time
// through a 64 KiB buffer and about 1.2 s through one of 256 KiB (the page-cache copies in the
// kernel dominate either way), and so more time to disk.
constexpr std::int64_t kCopyBlock = 64 * 1024;
