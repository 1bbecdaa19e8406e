#include "engine/NamedStreams.h"

#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <cstdint>
#include <cstring>
#include <memory>

std::vector<std::wstring> NamedStreams(HANDLE file)
{
    std::vector<std::wstring> names;
    // One entry for the contents alone fits the first buffer; a file with many streams asks again.
    std::size_t size = 1024;
    std::unique_ptr<std::uint64_t[]> buffer;
    for (;;) {
        buffer = std::make_unique<std::uint64_t[]>(size / sizeof(std::uint64_t));
        if (GetFileInformationByHandleEx(file, FileStreamInfo, buffer.get(), static_cast<DWORD>(size)))
            break;
        if (GetLastError() != ERROR_MORE_DATA || size >= 1024 * 1024)
            return names;
        size *= 8;
    }
    const auto* entry = reinterpret_cast<const unsigned char*>(buffer.get());
    const auto* end = entry + size;
    for (;;) {
        const auto* info = reinterpret_cast<const FILE_STREAM_INFO*>(entry);
        if (info->StreamNameLength == 0)
            break;  // the volume listed nothing
        std::wstring name(info->StreamName, info->StreamNameLength / sizeof(wchar_t));
        if (name != L"::$DATA")
            names.push_back(std::move(name));
        if (info->NextEntryOffset == 0 || entry + info->NextEntryOffset >= end)
            break;
        entry += info->NextEntryOffset;
    }
    return names;
}

unsigned long CopyNamedStreams(const std::string& source, const std::string& destination,
                               const std::vector<std::wstring>& streams)
{
    // The "\\?\" form: a stream's name added to a path near the plain form's limit would pass it.
    const std::wstring from = ExtendedPathW(WidePath(source));
    const std::wstring to = ExtendedPathW(WidePath(destination));
    std::unique_ptr<char[]> buffer;
    for (const std::wstring& stream : streams) {
        UniqueFile in(CreateFileW((from + stream).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in)
            return GetLastError();
        UniqueFile out(CreateFileW((to + stream).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!out)
            return GetLastError();
        // Streams are small as a rule (a download's mark is a few lines); no progress is shown for them.
        constexpr DWORD kBlock = 64 * 1024;
        if (!buffer)
            buffer = std::make_unique_for_overwrite<char[]>(kBlock);
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in.Get(), buffer.get(), kBlock, &got, nullptr))
                return GetLastError();
            if (got == 0)
                break;
            DWORD put = 0;
            if (!WriteFile(out.Get(), buffer.get(), got, &put, nullptr))
                return GetLastError();
            if (put != got)
                return ERROR_DISK_FULL;
        }
        if (!out.Close())
            return GetLastError();
    }
    return 0;
}

CarryVerdict JudgeCarryOver(bool sourceEncrypted, bool copyEncrypted, bool streamsLost, bool sourceGoes)
{
    if (sourceEncrypted && !copyEncrypted)
        return CarryVerdict::RefuseEncryption;
    if (streamsLost)
        return sourceGoes ? CarryVerdict::RefuseStreams : CarryVerdict::KeepWithoutStreams;
    return CarryVerdict::Keep;
}
