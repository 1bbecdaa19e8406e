#pragma once
#include "core/ConflictDecision.h"
#include "core/DateTime.h"
#include "core/ExtensionEntry.h"
#include "core/Operation.h"
#include "tests/random/WorldSnapshot.h"

#include <cstdint>
#include <string>
#include <vector>

// One random case as plain data: a small world of files and folders, and a job over it. Everything a
// run needs is here, so a case can be cut down entry by entry and printed as code.
namespace randomjobs {

// The root of the other volume's folder in paths below the root ("@other\out\x").
inline constexpr char kOther[] = "@other";

struct Entry {
    enum Kind { Folder, File, HardLink, FolderLink } kind = File;
    std::string path;          // below the root, UTF-8, as it is to be listed
    std::string target;        // HardLink: the file it names again; FolderLink: the folder it leads to
    std::uint32_t size = 0;    // File: that many bytes,
    std::uint32_t fill = 0;    // made from this number
    std::uint64_t written = 0; // File: last-write time (100 ns steps, whole seconds)
    DWORD attributes = 0;      // File: read-only, hidden
};

struct Job {
    Operation operation = kOpCopy;
    std::vector<std::string> sources;  // below the root, as the source list holds them
    std::string destination;           // below the root, as typed; empty for the operations without one
    bool flat = false;
    std::string masks = "*.*";
    std::vector<ExtensionEntry> extensions;
    DateTime timeFrom = 0.0, timeTo = 2958465.0;
    std::int64_t minSize = 0, maxSize = INT64_MAX;
    // The answers to the file and the folder questions in the order they are asked, taken in turn.
    std::vector<ConflictAnswer> fileAnswers, folderAnswers;
    bool fileRenameNew = true, folderRenameNew = true;
    int cancelAtQuestion = -1;  // Cancel pressed while the k-th question (from 0) is up
    int cancelAtPump = -1;      // Cancel pressed at the k-th look at the window's messages
    int pauseAtPump = -1;       // Pause there, Go On at the next look
};

struct Case {
    std::uint64_t seed = 0;
    std::vector<Entry> world;  // parents before what they hold
    Job job;
};

// The bytes of a file entry.
inline std::string Content(const Entry& e)
{
    std::string bytes(e.size, '\0');
    std::uint32_t x = e.fill * 2654435761u + 12345u;
    for (std::uint32_t i = 0; i < e.size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<char>(x);
    }
    return bytes;
}

} // namespace randomjobs
