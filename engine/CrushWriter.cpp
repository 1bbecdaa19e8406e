#include "engine/CrushWriter.h"

#include <algorithm>
#include <vector>

namespace {

CrushWriteObserver& Observer()
{
    static CrushWriteObserver observer;
    return observer;
}

DWORD WriteAt(HANDLE file, const std::string& path, std::int64_t offset, const unsigned char* data, DWORD length)
{
    if (Observer() && !Observer()(path, offset, data, length))
        return ERROR_WRITE_FAULT;
    LARGE_INTEGER to;
    to.QuadPart = offset;
    if (!SetFilePointerEx(file, to, nullptr, FILE_BEGIN))
        return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file, data, length, &written, nullptr))
        return GetLastError();
    return written == length ? 0 : ERROR_DISK_FULL;
}

} // namespace

DWORD OverwriteWithOnes(HANDLE file, const std::string& path, std::int64_t length,
                        const std::function<void(std::int64_t blocksDone)>& onBlocks)
{
    if (length <= 0)
        return 0;
    // The piece at offset 0 holds what is left over after whole blocks are counted from the end.
    const std::int64_t head = length % kCrushBlock == 0 ? kCrushBlock : length % kCrushBlock;
    const std::vector<unsigned char> ones(static_cast<std::size_t>(std::min(length, kCrushWriteSize)), 0xFF);

    std::int64_t end = length;
    std::int64_t blocksDone = 0;
    while (end > head) {
        const std::int64_t start = std::max(head, end - kCrushWriteSize);
        if (const DWORD error = WriteAt(file, path, start, ones.data(), static_cast<DWORD>(end - start)))
            return error;
        blocksDone += (end - start) / kCrushBlock;
        onBlocks(blocksDone);
        end = start;
    }
    if (const DWORD error = WriteAt(file, path, 0, ones.data(), static_cast<DWORD>(head)))
        return error;
    onBlocks(blocksDone + 1);
    return 0;
}

void SetCrushWriteObserver(CrushWriteObserver observer) { Observer() = std::move(observer); }
