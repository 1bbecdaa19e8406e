// The floor of the engine's earlier design: the Win32 calls its jobs made per file (a copy under a
// partial name and a rename, attribute calls around deletions), in a tight loop with nothing else (no
// filters, no log, no window, no progress). Kept to show what that design cost; bench/Plain.cpp holds
// the platform's own calls the engine is measured against.
//   orv_floor copy <source folder> <destination folder>   (mirrors the folder inside the destination)
//   orv_floor cut <source folder> <destination folder>
//   orv_floor delete <folder>
//   orv_floor crush <folder>
//   orv_floor scan <folder>    counts files and bytes with a bare FindFirstFileW walk; prints
//                              "files=N bytes=B scan_ms=T", the time taken inside this process
#include "engine/FileCopy.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Copies move data in the engine's step size; Crush writes 1 MiB at a time, as the engine does.
constexpr DWORD kCopyStep = static_cast<DWORD>(kCopyChunk);
constexpr DWORD kChunk = 1 << 20;
std::unique_ptr<char[]> buffer(new char[kChunk]);

std::wstring Wide(const std::string& s)
{
    std::wstring w(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.resize(w.size() - 1);
    return w;
}

bool CopyOne(const std::string& from, const std::string& to)
{
    HANDLE in = CreateFileW(Wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    GetFileInformationByHandle(in, &info);
    const std::wstring partial = Wide(to + ".part");
    HANDLE out = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD got = 0, put = 0;
    while (ReadFile(in, buffer.get(), kCopyStep, &got, nullptr) && got > 0)
        WriteFile(out, buffer.get(), got, &put, nullptr);
    SetFileTime(out, nullptr, nullptr, &info.ftLastWriteTime);
    CloseHandle(out);
    CloseHandle(in);
    const bool moved = MoveFileExW(partial.c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    SetFileAttributesW(Wide(to).c_str(), info.dwFileAttributes);
    return moved;
}

bool DeleteOne(const std::string& path)
{
    const std::wstring w = Wide(path);
    SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    return DeleteFileW(w.c_str()) != 0;
}

void CrushOne(const std::string& path)
{
    const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
    const std::wstring hidden = Wide(folder + "0");
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_ARCHIVE);
    MoveFileExW(Wide(path).c_str(), hidden.c_str(), 0);
    HANDLE file = CreateFileW(hidden.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    std::memset(buffer.get(), 0xFF, kChunk);
    long long end = size.QuadPart;
    while (end > 0) {  // from the end towards the start, 1 MiB at a time
        const long long start = end > kChunk ? end - kChunk : 0;
        LARGE_INTEGER at;
        at.QuadPart = start;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        DWORD put = 0;
        WriteFile(file, buffer.get(), static_cast<DWORD>(end - start), &put, nullptr);
        end = start;
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    DeleteFileW(hidden.c_str());
}

// What the walk met and what failed of it: the exit code says whether the run did its work.
long long walkedFiles = 0;
long long walkFailures = 0;

void Tally(bool ok) { walkFailures += ok ? 0 : 1; }

// Walks like the engine: FindFirstFileA over "*.*", depth first.
void Walk(const std::string& source, const std::string& destination, const char* op)
{
    const bool copying = std::strcmp(op, "copy") == 0 || std::strcmp(op, "cut") == 0;
    if (copying)
        CreateDirectoryA(destination.c_str(), nullptr);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((source + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return Tally(false);
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string from = source + "\\" + name, to = destination + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(from, to, op);
            if (!copying || std::strcmp(op, "cut") == 0)
                RemoveDirectoryA(from.c_str());
        } else if (copying) {
            ++walkedFiles;
            const bool copied = CopyOne(from, to);
            Tally(copied && (std::strcmp(op, "cut") != 0 || DeleteOne(from)));
        } else if (std::strcmp(op, "delete") == 0) {
            ++walkedFiles;
            Tally(DeleteOne(from));
        } else {
            ++walkedFiles;
            CrushOne(from);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// The pre-scan's floor: every entry listed once, files and bytes added up, nothing else.
void Count(const std::wstring& folder, long long& files, long long& bytes)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const wchar_t* n = entry.cFileName;
            if (!(n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))))
                Count(folder + L"\\" + n, files, bytes);
        } else {
            ++files;
            bytes += (static_cast<long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0) {
        long long files = 0, bytes = 0;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        Count(Wide(argv[2]), files, bytes);
        QueryPerformanceCounter(&end);
        std::printf("files=%lld bytes=%lld scan_ms=%.1f\n", files, bytes,
                    1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        return files > 0 ? 0 : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: orv_floor <copy|cut|delete|crush> <source> [destination]\n");
        return 2;
    }
    const std::string source = argv[2];
    std::string destination;
    if (argc > 3)
        destination = std::string(argv[3]) + source.substr(source.find_last_of('\\'));
    if (argc > 3)
        CreateDirectoryA(argv[3], nullptr);
    Walk(source, destination, argv[1]);
    if (std::strcmp(argv[1], "copy") != 0)
        Tally(RemoveDirectoryA(source.c_str()) != 0);
    std::printf("files=%lld failed=%lld\n", walkedFiles, walkFailures);
    return walkFailures > 0 || walkedFiles == 0 ? 1 : 0;
}
