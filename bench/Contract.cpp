// The engine's own per-file calls with nothing of its job around them: what a copy or a delete of
// each file costs under the engine's contract (a copy written under a partial name with its delete
// disposition set, renamed through its handle when complete; a delete only of the entry listed),
// on as many threads as a job writes with. No filters, log, counters, progress, questions, and no
// hand-over between threads: the walk lists every file first, then the threads share them out, as
// orv_plain does with ORV_PLAIN_THREADS. The engine cannot do better than this; the platform's loop
// against this shows what the contract itself costs.
//   orv_contract copy <source folder> <destination folder>   (mirrors the folder inside the destination)
//   orv_contract delete <folder>
// ORV_CONTRACT_THREADS=N sets the threads (default: a job's own worker count).
#include "engine/DeleteListedFile.h"
#include "engine/FileCopy.h"
#include "engine/FilesInFlight.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Listed {
    std::string from;
    std::string to;  // empty for a delete
    DWORD attributes;
};

// FindFirstFileA over "*.*", depth first, as the engine walks; folders made (copy) or listed for
// removal afterwards, deepest first (delete).
void Walk(const std::string& source, const std::string& destination, std::vector<Listed>& files,
          std::vector<std::string>& folders)
{
    const bool copying = !destination.empty();
    if (copying)
        CreateDirectoryA(destination.c_str(), nullptr);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((source + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string from = source + "\\" + name;
        const std::string to = copying ? destination + "\\" + name : std::string();
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(from, to, files, folders);
            if (!copying)
                folders.push_back(from);
        } else {
            files.push_back({from, to, entry.dwFileAttributes});
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

} // namespace

int main(int argc, char** argv)
{
    const bool copy = argc == 4 && std::strcmp(argv[1], "copy") == 0;
    const bool remove = argc == 3 && std::strcmp(argv[1], "delete") == 0;
    if (!copy && !remove) {
        std::fprintf(stderr, "usage: orv_contract <copy <source> <destination>|delete <folder>>\n");
        return 2;
    }
    const std::string source = argv[2];
    std::string destination;
    if (copy) {
        CreateDirectoryA(argv[3], nullptr);
        destination = std::string(argv[3]) + source.substr(source.find_last_of('\\'));
    }
    const char* setting = std::getenv("ORV_CONTRACT_THREADS");
    const int threads = setting ? std::max(1, std::atoi(setting)) : FilesInFlight::DefaultWorkers();

    std::vector<Listed> files;
    std::vector<std::string> folders;
    Walk(source, destination, files, folders);
    std::atomic<std::size_t> next{0};
    std::atomic<long long> failed{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                const Listed& file = files[i];
                unsigned long error;
                if (copy) {
                    FileCopy one(file.from, file.to, CopyTarget::NewFile);
                    error = one.Run([](std::int64_t, std::int64_t) { return CopyProgressAnswer::Continue; });
                } else {
                    error = DeleteListedFile(file.from, file.attributes);
                }
                failed += error == 0 ? 0 : 1;
            }
        });
    for (std::thread& t : pool)
        t.join();
    long long failures = failed;
    if (remove) {
        folders.push_back(source);
        for (const std::string& folder : folders)
            failures += RemoveDirectoryA(folder.c_str()) ? 0 : 1;
    }
    std::printf("files=%zu threads=%d failed=%lld\n", files.size(), threads, failures);
    return failures > 0 ? 1 : 0;
}
