#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/FastHash.h"
#include "engine/progress.h"
#include "platform/Handles.h"

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
// Until it is complete, the copy's handle stays open with its delete disposition set, so the system
// removes it when the process ends in any way (a crash, a kill, or this object going away): never a
// truncated file under the final name, and no partial file left behind. A stopped copy keeps its
// handle (and so its data) for the resume; the source is closed while stopped.
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
    unsigned long Create(const std::string& name);
    unsigned long Finish(UniqueFile& source, std::int64_t length);
    bool ReadsBackAsHashed(std::int64_t length);

    std::string source_;
    std::string destination_;
    CopyTarget target_;
    std::string written_;  // the name the copy is written under
    UniqueFile out_;       // held from creation until complete, and across a Stop
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

// The temporary name a copy that replaces the file at destination is written under.
std::string PartialCopyName(const std::string& destination);

// Bytes copied per step, and so per progress call.
constexpr std::int64_t kCopyChunk = 256 * 1024;
// Bytes per read and write within a step. Under Wine 2 GiB took about 0.85 s of processor time
// through a 64 KiB buffer and about 1.2 s through one of 256 KiB (the page-cache copies in the
// kernel dominate either way), and so more time to disk.
constexpr std::int64_t kCopyBlock = 64 * 1024;
