#pragma once
#include "engine/FileCopy.h"
#include "engine/JobContext.h"
#include "engine/fileops.h"
#include "platform/LongPath.h"
#include "engine/filefacts.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

// Files and a headless job for the copy routine and file operation tests.
namespace fileopstest {

// One step of the copy routine: a progress call after each.
constexpr std::int64_t kChunk = kCopyChunk;

// Bytes that differ from offset to offset (and from seed to seed), so a chunk written at the wrong
// place, twice, or from the wrong file shows in the content.
inline std::string Pattern(std::size_t size, unsigned seed = 1)
{
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (char& c : bytes) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

constexpr auto WriteAll = testsupport::WriteFileText;
constexpr auto ReadAll = testsupport::ReadFileText;
using testsupport::Exists;

inline std::uint64_t WriteTimeOf(const std::string& path)
{
    HANDLE file = OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    FILETIME written{};
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

// 2020-01-02 03:04:05.6789012 UTC and two hours later: file times with every digit in use.
constexpr std::uint64_t kOldTime = 132225698456789012ull;
constexpr std::uint64_t kNewTime = kOldTime + 2ull * 3600 * 10000000;

// A file held open by someone else, with the given sharing and access, for as long as the object lives.
class HeldOpen {
public:
    HeldOpen(const std::string& path, DWORD share, DWORD access = GENERIC_READ | GENERIC_WRITE)
        : handle_(OpenPath(path, access, share, OPEN_EXISTING, 0))
    {
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ~HeldOpen()
    {
        if (Valid())
            CloseHandle(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A folder chain under base whose paths run past MAX_PATH; removed (with all in it) at the end,
// which TempFolder's 8-bit removal could not do.
class LongFolder {
public:
    explicit LongFolder(const std::string& base) : top_(base + "\\" + std::string(90, 'L'))
    {
        path_ = top_;
        CreateDirectoryW(WidePath(path_).c_str(), nullptr);
        for (char c = 'a'; c < 'd'; ++c) {
            path_ += "\\" + std::string(90, c);
            CreateDirectoryW(WidePath(path_).c_str(), nullptr);
        }
    }
    LongFolder(const LongFolder&) = delete;
    LongFolder& operator=(const LongFolder&) = delete;
    ~LongFolder() { Remove(top_); }

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    static void Remove(const std::string& path)
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((WidePath(path) + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::string narrow(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr,
                                                                                0, nullptr, nullptr)),
                                   '\0');
                WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, narrow.data(), static_cast<int>(narrow.size()),
                                    nullptr, nullptr);
                narrow.resize(narrow.size() - 1);
                const std::string full = path + "\\" + narrow;
                SetPathAttributes(full, FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(full);
                else
                    DeletePath(full);
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(WidePath(path).c_str());
    }

    std::string top_;
    std::string path_;
};

// A fresh temporary folder and a headless job over it.
class JobOnFiles : public ::testing::Test {
protected:
    testsupport::TempFolder temp;
    ScriptedHost host;
    JobState state;
    StandingAnswers answers;
    JobRequest request;
    JobContext job{request, host, state, answers, {}};

    // One file as a job of the given operation would act on it, the job taken from the host's settings
    // as they are now. Each call stands for a job of its own: nothing it wrote counts as this job's.
    void DoFileOperation(JobContext& context, const std::string& source, const std::string& destination,
                         std::int64_t size, Operation operation, DWORD attributes = INVALID_FILE_ATTRIBUTES)
    {
        request = host.Request();
        request.operation = operation;
        context.written = {};
        ::DoFileOperation(context, source, destination, size, attributes);
    }

    // One failure line as the log shows it.
    static std::string Failure(unsigned long code, const std::string& sentence)
    {
        return "\r\nBecause " + SystemErrorText(code) + sentence + "\r\n";
    }
};

} // namespace fileopstest
