#pragma once
#include <cstdint>

// The console program's exit code, a sum of bits a script can test one by one:
inline constexpr int kExitNothingMatched = 0;  // no file matched: nothing to do
inline constexpr int kExitFilesDone = 1;       // files done
inline constexpr int kExitSkipped = 2;         // some left as they were by an answer (Skip, Update)
inline constexpr int kExitFailed = 8;          // some failed
inline constexpr int kExitFatal = 16;          // the job did not run: bad arguments (16 alone),
                                               // destination refused, nothing done
inline constexpr int kExitInterrupted = 32;    // stopped by Ctrl+C or Ctrl+Break

// How a job went, as the exit code reads it.
struct JobTally {
    std::int64_t filesDone = 0;
    std::int64_t filesFailed = 0;
    std::int64_t filesSkipped = 0;  // by an answer
    bool refused = false;           // the job was refused before it touched any file
    bool interrupted = false;
};

int ExitCodeFor(const JobTally& tally);
