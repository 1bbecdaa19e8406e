#include "engine/filefacts.h"

#include "core/ShellErrorTexts.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <memory>
#include <optional>

namespace {

// '*' and '?' (and '<', '>', '"', which the system also reads as wildcards) cannot be part of a
// file name: a path holding one names no file, and handing it to the search would report some
// other file that happens to fit the pattern.
bool HasWildcard(const std::string& path) { return path.find_first_of("*?<>\"") != std::string::npos; }

// The directory entry of exactly this path, when there is one; paths of any length.
bool FindEntry(const std::string& path, WIN32_FIND_DATAW& entry)
{
    if (path.empty() || HasWildcard(path))
        return false;
    return FindExactEntry(WidePath(path), entry);
}

bool FileExists(const std::string& path)
{
    WIN32_FIND_DATAW entry;
    return FindEntry(path, entry) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

DateTime FromSystemTime(const SYSTEMTIME& st)
{
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

struct LocalFreeDeleter {
    void operator()(char* p) const { LocalFree(p); }
};

} // namespace

std::int64_t GetFileSize64(const std::string& path)
{
    WIN32_FIND_DATAW entry;
    if (!FindEntry(path, entry))
        return -1;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
}

DateTime GetFileModifiedTime(const std::string& path)
{
    WIN32_FIND_DATAW entry;
    if (!FindEntry(path, entry))
        return LocalNow();
    return FilterTimeOf(entry.ftLastWriteTime);
}

DateTime FilterTimeOf(const FILETIME& lastWrite)
{
    FILETIME local;
    if (!FileTimeToLocalFileTime(&lastWrite, &local))
        return LocalNow();
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        return DosDateTimeToDateTime(dosDate, dosTime);
    // The packed form only holds 1980 to 2107. A file stamped outside it keeps its real date, at the
    // same two-second resolution, rather than an arbitrary one.
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&local, &st))
        return LocalNow();
    st.wSecond = static_cast<WORD>(st.wSecond - st.wSecond % 2);
    st.wMilliseconds = 0;
    return FromSystemTime(st);
}

DateTime LocalNow()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

std::string TimestampedName(const std::string& path, const std::string& suffix,
                            const std::function<DateTime()>& now)
{
    const std::size_t nameStart = path.find_last_of("\\:") + 1;  // npos + 1 == 0: no folder part
    const std::size_t dot = path.rfind('.');
    const std::size_t extStart = (dot == std::string::npos || dot < nameStart) ? path.size() : dot;

    const std::string extension = path.substr(extStart);
    const std::string base = path.substr(0, extStart) + suffix + FormatStamp(now ? now() : LocalNow());

    std::string candidate = base;
    // Folders do not count: a folder of the candidate's name leaves the candidate free for a file.
    for (unsigned long k = 1; FileExists(candidate + extension); ++k)
        candidate = base + "_(" + std::to_string(k) + ")";
    return candidate + extension;
}

std::string SystemErrorText()
{
    const DWORD code = GetLastError();  // before anything else can overwrite it
    return SystemErrorText(code);
}

std::string SystemErrorText(unsigned long code)
{
    char* raw = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
    const std::unique_ptr<char, LocalFreeDeleter> text(raw);
    if (length == 0 || !text)
        return " Sorry, cannot find this error info. ";
    return std::string(text.get(), length);
}

std::string ShellResultText(unsigned long code)
{
    if (std::optional<std::string> text = ShellOperationCodeText(code))
        return *text;
    return SystemErrorText(code);
}
