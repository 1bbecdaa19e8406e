#pragma once
#include "core/ConflictDecision.h"
#include "core/DateTime.h"
#include "core/ExtensionEntry.h"
#include "core/Operation.h"
#include "tests/random/WorldSnapshot.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    int killAtPump = -1;        // the job runs in a child process, killed at the k-th look
};

struct Case {
    std::uint64_t seed = 0;
    std::vector<Entry> world;  // parents before what they hold
    Job job;
};

// A job as lines of text ("name=value"), for the child process that runs it until it is killed.
inline std::string JobText(const Job& j)
{
    std::string t = "operation=" + std::to_string(j.operation) + "\n";
    for (const std::string& s : j.sources)
        t += "source=" + s + "\n";
    t += "destination=" + j.destination + "\nflat=" + std::to_string(j.flat) + "\nmasks=" + j.masks + "\n";
    for (const ExtensionEntry& x : j.extensions)
        t += "extension=" + std::to_string(x.checked) + x.extension + "\n";
    char window[128];
    std::snprintf(window, sizeof window, "window=%.6f %.6f %lld %lld\n", j.timeFrom, j.timeTo,
                  static_cast<long long>(j.minSize), static_cast<long long>(j.maxSize));
    t += window;
    for (const ConflictAnswer& a : j.fileAnswers)
        t += "file=" + std::to_string(a.decision * 2 + a.useForRest) + "\n";
    for (const ConflictAnswer& a : j.folderAnswers)
        t += "folder=" + std::to_string(a.decision * 2 + a.useForRest) + "\n";
    t += "renameNew=" + std::to_string(j.fileRenameNew) + std::to_string(j.folderRenameNew) + "\n";
    t += "ends=" + std::to_string(j.cancelAtQuestion) + " " + std::to_string(j.cancelAtPump) + " " +
         std::to_string(j.pauseAtPump) + " " + std::to_string(j.killAtPump) + "\n";
    return t;
}

inline Job JobFromText(const std::string& text)
{
    Job j;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        const std::size_t eq = line.find('=');
        const std::string key = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (key == "operation") j.operation = static_cast<Operation>(std::atoi(value.c_str()));
        else if (key == "source") j.sources.push_back(value);
        else if (key == "destination") j.destination = value;
        else if (key == "flat") j.flat = value == "1";
        else if (key == "masks") j.masks = value;
        else if (key == "extension") j.extensions.push_back({value.substr(1), value[0] == '1'});
        else if (key == "window") {
            long long mn = 0, mx = 0;
            std::sscanf(value.c_str(), "%lf %lf %lld %lld", &j.timeFrom, &j.timeTo, &mn, &mx);
            j.minSize = mn, j.maxSize = mx;
        } else if (key == "file" || key == "folder") {
            const int v = std::atoi(value.c_str());
            (key == "file" ? j.fileAnswers : j.folderAnswers).push_back({static_cast<ConflictDecision>(v / 2), (v % 2) != 0});
        } else if (key == "renameNew") {
            j.fileRenameNew = value[0] == '1', j.folderRenameNew = value[1] == '1';
        } else if (key == "ends") {
            std::sscanf(value.c_str(), "%d %d %d %d", &j.cancelAtQuestion, &j.cancelAtPump, &j.pauseAtPump, &j.killAtPump);
        }
    }
    return j;
}

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
