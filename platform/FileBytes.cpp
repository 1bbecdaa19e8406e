#include "platform/FileBytes.h"

#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <algorithm>

std::optional<FileHead> ReadFileHead(const std::string& path, std::size_t limit)
{
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return std::nullopt;
    FileHead head;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart >= 0)
        head.bytes.reserve(static_cast<std::size_t>(std::min<long long>(size.QuadPart, static_cast<long long>(limit))));
    constexpr DWORD kChunk = 64 * 1024;
    std::string chunk(kChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk.data(), kChunk, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return head;
        const std::size_t room = limit - head.bytes.size();
        if (got > room) {
            head.bytes.append(chunk, 0, room);
            head.whole = false;
            return head;
        }
        head.bytes.append(chunk, 0, got);
        if (head.bytes.size() == limit) {
            // Exactly at the limit: whole only when nothing follows.
            char probe = 0;
            DWORD more = 0;
            head.whole = ReadFile(file.Get(), &probe, 1, &more, nullptr) && more == 0;
            return head;
        }
    }
}

DWORD ReplaceFileBytes(const std::string& path, const std::string& bytes)
{
    const std::wstring target = WidePath(path);
    const std::wstring fresh = target + L".new";
    DWORD error = 0;
    {
        UniqueFile file(CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file)
            return GetLastError();
        std::size_t done = 0;
        while (done < bytes.size() && error == 0) {
            const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data() + done, part, &written, nullptr))
                error = GetLastError();
            else if (written == 0)
                error = ERROR_WRITE_FAULT;
            done += written;
        }
        // The new file must be on the disk before it replaces the old one, or a crash could leave
        // an empty file under the old name.
        if (error == 0 && !FlushFileBuffers(file.Get()))
            error = GetLastError();
        if (!file.Close() && error == 0)
            error = GetLastError();
    }
    if (error == 0 && !MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != 0)
        DeleteFileW(fresh.c_str());
    return error;
}
