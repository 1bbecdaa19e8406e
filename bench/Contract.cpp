// The engine's own per-file calls with nothing of its job around them: what a copy or a delete of
// each file costs under the engine's contract (a copy written under a partial name made to go when its
// handle closes, given its final name as a second link when complete; a delete only of the entry listed),
// on as many threads as a job writes with. No filters, log, counters, progress, questions, and no
// hand-over between threads: the walk lists every file first, then the threads share them out, as
// orv_plain does with ORV_PLAIN_THREADS. The engine cannot do better than this; the platform's loop
// against this shows what the contract itself costs.
//   orv_contract copy <source folder> <destination folder>   (mirrors the folder inside the destination)
//   orv_contract delete <folder>
//   orv_contract copylink <source folder> <destination folder>   the trial below
// ORV_CONTRACT_THREADS=N sets the threads (default: a job's own worker count).
#include "bench/ShareOut.h"
#include "engine/DeleteListedFile.h"
#include "engine/FileCopy.h"
#include "engine/FilesInFlight.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

// The same contract written bare, without the engine's checks, streams and fallbacks: the copy written
// under its partial name opened to go when closed, given the final name as a second link once
// complete, then closed (which removes the partial name).
struct IoStatus {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
constexpr int kFileLinkInformation = 11;

bool Link(HANDLE file, const std::string& to)
{
    static const auto set = reinterpret_cast<NtSetInformationFileFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
    wchar_t full[MAX_PATH];
    const std::wstring wide(to.begin(), to.end());  // the bench's paths are plain ASCII
    GetFullPathNameW(wide.c_str(), MAX_PATH, full, nullptr);
    const std::wstring name = std::wstring(L"\\??\\") + full;
    std::vector<std::uint64_t> buffer((sizeof(HANDLE) * 2 + sizeof(ULONG) + name.size() * 2) / 8 + 2, 0);
    struct LinkInfo {
        BOOLEAN replace;
        HANDLE root;
        ULONG length;
        WCHAR name[1];
    };
    auto* info = reinterpret_cast<LinkInfo*>(buffer.data());
    info->length = static_cast<ULONG>(name.size() * 2);
    std::memcpy(info->name, name.data(), name.size() * 2);
    IoStatus io{};
    return set(file, &io, info, static_cast<ULONG>(buffer.size() * 8), kFileLinkInformation) == 0;
}

bool CopyByLink(const Listed& file)
{
    static thread_local std::vector<char> data(static_cast<std::size_t>(kCopyChunk));
    if (GetFileAttributesA(file.to.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    HANDLE out = CreateFileA(PartialCopyName(file.to).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                             CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    HANDLE in = CreateFileA(file.from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    FILE_BASIC_INFO basic{};
    bool ok = in != INVALID_HANDLE_VALUE && GetFileInformationByHandleEx(in, FileBasicInfo, &basic, sizeof basic);
    DWORD got = 0, put = 0;
    while (ok && ReadFile(in, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) && got > 0)
        ok = WriteFile(out, data.data(), got, &put, nullptr) && put == got;
    if (in != INVALID_HANDLE_VALUE)
        CloseHandle(in);
    FILE_BASIC_INFO times{};
    times.LastWriteTime = basic.LastWriteTime;
    ok = ok && SetFileInformationByHandle(out, FileBasicInfo, &times, sizeof times) && Link(out, file.to);
    CloseHandle(out);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const bool byLink = argc == 4 && std::strcmp(argv[1], "copylink") == 0;
    const bool copy = byLink || (argc == 4 && std::strcmp(argv[1], "copy") == 0);
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
    long long failures = ShareOut(files, threads, [byLink, copy](const Listed& file) {
        if (byLink)
            return CopyByLink(file);
        if (copy) {
            FileCopy one(file.from, file.to, CopyTarget::NewFile);
            return one.Run([](std::int64_t, std::int64_t) { return CopyProgressAnswer::Continue; }) == 0;
        }
        return DeleteListedFile(file.from, file.attributes) == 0;
    });
    if (remove) {
        folders.push_back(source);
        for (const std::string& folder : folders)
            failures += RemoveDirectoryA(folder.c_str()) ? 0 : 1;
    }
    std::printf("files=%zu threads=%d failed=%lld\n", files.size(), threads, failures);
    return failures > 0 || files.empty() ? 1 : 0;  // a run that met no file did nothing
}
