#pragma once
#include "engine/JobContext.h"

#include <cstdint>

// What the copy progress routine tells the copy to do next.
enum class CopyProgressAnswer { Continue, Cancel, Stop };

// Called after every chunk of a copy: moves the per-file bar, pumps messages, and answers cancel when
// the stop flag is set, stop when the pause flag is set, continue otherwise.
CopyProgressAnswer FileCopyProgress(JobContext& job, std::int64_t totalBytes, std::int64_t transferred);

// Called once for every file dealt with (filtered out or not): counts it and renews the overall texts.
void UpdateJobProgress(JobContext& job, std::int64_t size);
// The same once the files handed to the job's workers before it are finished, in the walk's order.
void UpdateJobProgressAfterFile(JobContext& job, std::int64_t size);

// The time remaining while a file is being written (large files take seconds each): the bytes dealt
// with so far and those written of files not yet finished.
void ShowTimeWithinFiles(JobState& state, JobHost& host, std::int64_t bytesInFlight);

// Tells the job's clock that the pause flag has changed (or may have): paused time is no work.
void NotePauseFlag(JobState& state, std::uint32_t tickNow);

// The speed text after a successful copy: "  Speed " + bytes per millisecond + "kbps".
void UpdateSpeedText(JobContext& job);
