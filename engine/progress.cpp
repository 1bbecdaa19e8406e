#include "engine/progress.h"

#include "core/ProgressTexts.h"
#include "engine/FilesInFlight.h"

namespace {

// Milliseconds since the job start on the 32-bit tick, which wraps after 49.7 days.
std::int64_t ElapsedMs(JobContext& job)
{
    return static_cast<std::uint32_t>(job.host.TickMs() - static_cast<std::uint32_t>(job.state.jobStartTick));
}

std::int64_t SinceStart(const JobState& state, std::uint32_t tickNow)
{
    return static_cast<std::uint32_t>(tickNow - static_cast<std::uint32_t>(state.jobStartTick));
}

std::int64_t BytesInFlight(JobContext& job) { return job.flight ? job.flight->BytesWritten() : 0; }

// What this job has measured tells the time to go, in milliseconds, once there is enough of it.
std::optional<std::int64_t> MeasuredMsToGo(JobState& s, std::int64_t elapsed, std::int64_t bytesInFlight)
{
    if (!s.estimate)
        return std::nullopt;
    return s.estimate->Update(s.workClock.ActiveMs(elapsed), s.bytesExamined + bytesInFlight, s.filesExamined);
}

// Before the job has measured enough, the count's own figure: its byte rate and 50 ms a file.
std::int64_t SecondsToGo(JobContext& job, std::int64_t elapsed, std::int64_t bytesSoFar)
{
    JobState& s = job.state;
    if (const std::optional<std::int64_t> ms = MeasuredMsToGo(s, elapsed, BytesInFlight(job)))
        return (*ms + 500) / 1000;
    return RemainingSeconds(elapsed, s.scan.byteTotal, bytesSoFar, s.scan.fileTotal, s.filesExamined);
}

int ClampToInt(std::int64_t v) { return v > INT32_MAX ? INT32_MAX : v < 0 ? 0 : static_cast<int>(v); }

} // namespace

CopyProgressAnswer FileCopyProgress(JobContext& job, std::int64_t totalBytes, std::int64_t transferred)
{
    const auto [maximum, position] = ScaleForBar(totalBytes, transferred);
    job.host.SetFileBar(maximum, position);
    ShowTimeWithinFiles(job.state, job.host, transferred);
    job.host.ProcessMessages();
    if (job.state.stopFlag)
        return CopyProgressAnswer::Cancel;
    if (job.state.pauseFlag)
        return CopyProgressAnswer::Stop;
    return CopyProgressAnswer::Continue;
}

void UpdateJobProgress(JobContext& job, std::int64_t size)
{
    JobState& s = job.state;
    s.filesExamined += 1;
    s.bytesExamined += size;
    const std::int64_t bytesSoFar = s.bytesExamined == 0 ? 1 : s.bytesExamined;
    const std::int64_t elapsed = ElapsedMs(job);

    if (!s.scan.stopped) {
        const std::int64_t total = s.scan.byteTotal;
        job.host.SetOverallBarPos(ClampToInt(bytesSoFar / (s.barUnit > 0 ? s.barUnit : 1)));
        job.host.SetTimeText(TimeRemainingText(SecondsToGo(job, elapsed, bytesSoFar)));
        job.host.SetOverallText(OverallProgressText(bytesSoFar, total, s.filesExamined, s.scan.fileTotal));
        if (total > 0)
            job.host.SetProgressHeader(ProgressPercentHeader(bytesSoFar, total));
    } else {
        job.host.SetTimeText(SpendingText(elapsed));
        job.host.SetOverallText(CopiedSoFarText(s.bytesCopied, s.filesDone));
        job.host.SetProgressHeader(ScannedSoFarHeader(bytesSoFar, s.filesExamined));
    }
}

void UpdateJobProgressAfterFile(JobContext& job, std::int64_t size)
{
    if (job.flight)
        job.flight->Then([&job, size] { UpdateJobProgress(job, size); });
    else
        UpdateJobProgress(job, size);
}

void ShowTimeWithinFiles(JobState& state, JobHost& host, std::int64_t bytesInFlight)
{
    if (state.scan.stopped || bytesInFlight <= 0)
        return;
    const std::int64_t elapsed = SinceStart(state, host.TickMs());
    if (const std::optional<std::int64_t> ms = MeasuredMsToGo(state, elapsed, bytesInFlight)) {
        host.SetTimeText(TimeRemainingText((*ms + 500) / 1000));
        return;
    }
    // Too early for what the job measured: the count's figure, with the bytes written so far.
    host.SetTimeText(TimeRemainingText(RemainingSeconds(elapsed, state.scan.byteTotal, state.bytesExamined + bytesInFlight,
                                                        state.scan.fileTotal, state.filesExamined)));
}

void NotePauseFlag(JobState& state, std::uint32_t tickNow)
{
    state.workClock.SetPaused(state.pauseFlag, SinceStart(state, tickNow));
}

void UpdateSpeedText(JobContext& job)
{
    job.state.speedText = SpeedText(job.state.bytesCopied, ElapsedMs(job));
    job.host.SetSpeedText(job.state.speedText);
}
