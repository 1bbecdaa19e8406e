// The platform's own calls for the contract of each operation, in a tight loop with nothing else (no
// filters, no log, no progress, no questions): what the engine is measured against.
//   orv_plain copy <source folder> <destination folder>   CopyFileExW per file, the folder mirrored
//                                                          inside the destination
//   orv_plain delete <folder>    SetFileAttributesW (archive only) + DeleteFileW per file, then the folders
//   orv_plain deletebare <folder>  DeleteFileW alone per file (no attribute call), then the folders
//   orv_plain walk <folder>      a FindFirstFileW walk over everything, nothing done to it
//   orv_plain crush <folder>     per file: attributes, a free decimal name, one overwrite from the end in
//                                1 MiB writes, flushed, then deleted; then the folders
//   orv_plain move <source folder> <destination folder>      MoveFileExW per file (no copy allowed: a
//                                rename within one volume), the folder mirrored inside the destination,
//                                then the emptied source folders removed: a Cut within one volume
//   orv_plain copydelete <source folder> <destination folder>  CopyFileExW, then SetFileAttributesW
//                                (archive only) + DeleteFileW of the source, per file; the folders as
//                                for move: a Cut across volumes
// With ORV_PLAIN_THREADS=N (N > 1), copy, delete and deletebare run the same calls on N threads: the
// walk first (folders made as met), then the files shared out, then (delete) the folders from the
// deepest up.
// What the platform's own calls give with several files in flight, the way the engine writes.
#include "bench/ShareOut.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kCrushStep = 1 << 20;

std::wstring Wide(const char* s)
{
    std::wstring w(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), static_cast<int>(w.size()));
    w.resize(w.size() - 1);
    return w;
}

bool IsDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

long long entries = 0;
long long failures = 0;

void Count(bool ok) { failures += ok ? 0 : 1; }

void CrushOne(const std::wstring& folder, const std::wstring& path)
{
    static const std::unique_ptr<char[]> ones = [] {
        auto block = std::make_unique<char[]>(kCrushStep);
        std::memset(block.get(), 0xFF, kCrushStep);
        return block;
    }();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    std::wstring hidden = folder + L"\\0";
    for (int k = 1; GetFileAttributesW(hidden.c_str()) != INVALID_FILE_ATTRIBUTES; ++k)
        hidden = folder + L"\\" + std::to_wstring(k);
    if (!MoveFileExW(path.c_str(), hidden.c_str(), 0))
        hidden = path;
    HANDLE file = CreateFileW(hidden.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Count(false);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    for (long long end = size.QuadPart; end > 0;) {
        const long long start = end > kCrushStep ? end - kCrushStep : 0;
        LARGE_INTEGER at;
        at.QuadPart = start;
        DWORD put = 0;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        WriteFile(file, ones.get(), static_cast<DWORD>(end - start), &put, nullptr);
        end = start;
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    Count(DeleteFileW(hidden.c_str()) != 0);
}

bool Is(const char* op, const char* name) { return std::strcmp(op, name) == 0; }

// Operations with a destination, mirrored there.
bool HasDestination(const char* op) { return Is(op, "copy") || Is(op, "move") || Is(op, "copydelete"); }

// Operations that leave the source folders empty, and so remove them.
bool EmptiesFolders(const char* op) { return Is(op, "delete") || Is(op, "deletebare") || Is(op, "crush") || Is(op, "move") || Is(op, "copydelete"); }

// Set when the files go to threads: the walk only lists them (and the folders for a delete).
std::vector<std::pair<std::wstring, std::wstring>>* listedFiles = nullptr;
std::vector<std::wstring>* listedFolders = nullptr;

// Depth first over "*.*", as the engine walks; destination only for the operations that have one.
void Walk(const char* op, const std::wstring& source, const std::wstring& destination)
{
    const bool copy = HasDestination(op);
    if (copy)
        Count(CreateDirectoryW(destination.c_str(), nullptr) != 0);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((source + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return Count(false);
    do {
        if (IsDot(entry.cFileName))
            continue;
        ++entries;
        const std::wstring from = source + L"\\" + entry.cFileName;
        const std::wstring to = copy ? destination + L"\\" + entry.cFileName : std::wstring();
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(op, from, to);
            if (listedFolders)
                listedFolders->push_back(from);
            else if (EmptiesFolders(op))
                Count(RemoveDirectoryW(from.c_str()) != 0);
        } else if (listedFiles) {
            listedFiles->emplace_back(from, to);
        } else if (Is(op, "move")) {
            Count(MoveFileExW(from.c_str(), to.c_str(), 0) != 0);
        } else if (Is(op, "copydelete")) {
            const bool copied = CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, 0) != 0;
            SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_ARCHIVE);
            Count(copied && DeleteFileW(from.c_str()) != 0);
        } else if (copy) {
            Count(CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, 0) != 0);
        } else if (Is(op, "delete") || Is(op, "deletebare")) {
            if (Is(op, "delete"))
                SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_ARCHIVE);
            Count(DeleteFileW(from.c_str()) != 0);
        } else if (std::strcmp(op, "crush") == 0) {
            CrushOne(source, from);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

} // namespace

int main(int argc, char** argv)
{
    const char* op = argc > 2 ? argv[1] : "";
    const bool known = HasDestination(op) || Is(op, "delete") || Is(op, "deletebare") || Is(op, "walk") || Is(op, "crush");
    if (!known || (HasDestination(op) && argc < 4)) {
        std::fprintf(stderr, "usage: orv_plain <copy|move|copydelete|delete|walk|crush> <folder> "
                             "[destination folder]\n");
        return 2;
    }
    const std::wstring source = Wide(argv[2]);
    std::wstring destination;
    if (HasDestination(op)) {
        CreateDirectoryW(Wide(argv[3]).c_str(), nullptr);
        destination = Wide(argv[3]) + source.substr(source.find_last_of(L'\\'));
    }
    const int threads = std::getenv("ORV_PLAIN_THREADS") ? std::atoi(std::getenv("ORV_PLAIN_THREADS")) : 1;
    if (threads > 1 && (Is(op, "copy") || Is(op, "delete") || Is(op, "deletebare"))) {
        std::vector<std::pair<std::wstring, std::wstring>> files;
        std::vector<std::wstring> folders;
        listedFiles = &files;
        if (Is(op, "delete") || Is(op, "deletebare"))
            listedFolders = &folders;
        Walk(op, source, destination);
        failures += ShareOut(files, threads, [op](const std::pair<std::wstring, std::wstring>& file) {
            const auto& [from, to] = file;
            if (Is(op, "copy"))
                return CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, 0) != 0;
            if (Is(op, "delete"))
                SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_ARCHIVE);
            return DeleteFileW(from.c_str()) != 0;
        });
        for (const std::wstring& folder : folders)  // listed as left, the deepest first
            Count(RemoveDirectoryW(folder.c_str()) != 0);
    } else {
        Walk(op, source, destination);
    }
    if (EmptiesFolders(op))
        Count(RemoveDirectoryW(source.c_str()) != 0);
    std::printf("entries=%lld failed=%lld threads=%d\n", entries, failures, threads > 1 ? threads : 1);
    return failures > 0 || entries == 0 ? 1 : 0;  // a run that met nothing did nothing
}
