// Runs one whole job through the engine, as Begin does, without a window:
//   orv_bench <copy|cut|delete|crush|trash> <destination or -> <source>...
// or only the engine's folder walk with its filters over one source folder, a filter that no file
// passes, so nothing is done to any file (the engine's side of a plain FindFirstFileW walk):
//   orv_bench walk - <source folder>
// Prints the job's wall time in milliseconds, its peak working set, the report counters and the
// longest stretch the job went without asking for its window messages (gap_ms), and how many files
// it wrote at once (workers). Exits 1 when a file failed or when no file was examined at all (a job
// that did nothing must not be timed as a fast one).
//   orv_bench workers   prints how many files a job writes at once on this machine, by its own choice
// ORV_WORKERS=<n> sets how many files are written at once (1: one at a time, on the job's thread;
// unset or 0: the job's own choice), ORV_VERIFY=1 reads every copy back. `workers=` is the count the
// job ended with. ORV_SLOW_DEVICE=<ms> puts every file written on workers behind a model of a slow
// device: one file's request at a time, <ms> each and half that again for every other file being
// written meanwhile (a spinning disk seeking between them). ORV_COUNT_TRACE=1 prints every window the
// job measured and the count it chose on stderr.
#include "bench/BenchHost.h"
#include "engine/FilesInFlight.h"
#include "engine/itemops.h"
#include "engine/jobrun.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

int slowDeviceMs = 0;

void SlowDevice(int writing)
{
    static std::mutex device;
    const std::lock_guard<std::mutex> lock(device);
    Sleep(static_cast<DWORD>(slowDeviceMs + slowDeviceMs * (writing - 1) / 2));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "workers") == 0) {
        std::printf("%d\n", FilesInFlight::DefaultWorkers());
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: orv_bench <copy|cut|delete|crush|trash> <destination|-> <source>...\n");
        return 2;
    }
    BenchHost host;
    const char* ops[] = {"copy", "cut", "trash", "delete", "crush"};
    JobRequest& request = host.request;
    std::optional<Operation> operation;
    for (int i = 0; i < kOperationCount; ++i)
        if (std::strcmp(argv[1], ops[i]) == 0)
            operation = static_cast<Operation>(i);
    const bool walkOnly = std::strcmp(argv[1], "walk") == 0;
    if (walkOnly) {
        operation = kOpDelete;
        request.filters.minSize = request.filters.maxSize = INT64_MAX;  // every file is tested, none passes
    }
    if (!operation) {
        std::fprintf(stderr, "unknown operation %s\n", argv[1]);
        return 2;
    }
    request.operation = *operation;
    request.destinationText = std::strcmp(argv[2], "-") == 0 ? "" : argv[2];
    request.destination = ResolvedDestinationText(request.destinationText);
    for (int i = 3; i < argc; ++i)
        request.sources.push_back(argv[i]);
    char setting[16] = "";
    if (GetEnvironmentVariableA("ORV_WORKERS", setting, sizeof setting) > 0)
        request.fileWorkers = std::atoi(setting);
    if (GetEnvironmentVariableA("ORV_VERIFY", setting, sizeof setting) > 0)
        request.verify = std::strcmp(setting, "1") == 0;
    if (GetEnvironmentVariableA("ORV_COUNT_TRACE", setting, sizeof setting) > 0)
        FilesInFlight::windowMeasured = [](std::int64_t files, std::int64_t bytes, std::uint32_t ms, bool busy, int before,
                                           int after) {
            std::fprintf(stderr, "window files=%lld bytes=%lld ms=%u busy=%d count %d -> %d\n",
                         static_cast<long long>(files), static_cast<long long>(bytes), ms, busy ? 1 : 0, before, after);
        };
    if (GetEnvironmentVariableA("ORV_SLOW_DEVICE", setting, sizeof setting) > 0 && std::atoi(setting) > 0) {
        slowDeviceMs = std::atoi(setting);
        FilesInFlight::simulatedDevice = SlowDevice;
    }

    request.scan.stopped = true;  // no pre-scan here: the job runs without totals
    JobState state;
    state.scan = request.scan;  // as a job starts, for the walk alone
    JobRun job(host, state);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (walkOnly) {
        StandingAnswers answers;
        JobContext context{request, host, state, answers, BuildMaskList(request.filters.masksText)};
        WalkFolder(context, request.sources.front(), "");
    } else {
        job.Run(request);
    }
    QueryPerformanceCounter(&end);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    const int workers = job.FilesInFlightCount();
    std::printf("ms=%.1f peak_kb=%lu done=%lld failed=%lld examined=%lld conflicts=%d gap_ms=%.0f workers=%d\n",
                ms, static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                static_cast<long long>(state.filesDone), static_cast<long long>(state.filesFailed),
                static_cast<long long>(state.filesExamined), host.conflicts, host.longestGapMs, workers);
    if (state.filesFailed > 0)
        std::fprintf(stderr, "%s\n", host.log.c_str());
    if (state.filesExamined == 0)
        std::fprintf(stderr, "no file was examined: nothing was done\n%s\n", host.log.c_str());
    return state.filesFailed > 0 || state.filesExamined == 0 ? 1 : 0;
}
