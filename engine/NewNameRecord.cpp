#include "engine/NewNameRecord.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace {

// The layout both requests share; FILE_LINK_INFORMATION is not in the Win32 headers, so the record
// is written once here and checked against the rename's, which is.
struct Record {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG fileNameLength;
    WCHAR fileName[1];
};
static_assert(offsetof(Record, replaceIfExists) == offsetof(FILE_RENAME_INFO, ReplaceIfExists));
static_assert(offsetof(Record, rootDirectory) == offsetof(FILE_RENAME_INFO, RootDirectory));
static_assert(offsetof(Record, fileNameLength) == offsetof(FILE_RENAME_INFO, FileNameLength));
static_assert(offsetof(Record, fileName) == offsetof(FILE_RENAME_INFO, FileName));
static_assert(sizeof(Record) == sizeof(FILE_RENAME_INFO));

} // namespace

NewNameRecord::NewNameRecord(const std::wstring& name, bool replace)
    : size_(sizeof(Record) + name.size() * sizeof(wchar_t)),  // the record holds one character more
      buffer_(std::make_unique<std::uint64_t[]>(size_ / sizeof(std::uint64_t) + 1))
{
    const std::size_t nameBytes = name.size() * sizeof(wchar_t);
    auto* record = reinterpret_cast<Record*>(buffer_.get());
    record->replaceIfExists = replace ? TRUE : FALSE;
    record->rootDirectory = nullptr;
    record->fileNameLength = static_cast<ULONG>(nameBytes);
    std::memcpy(record->fileName, name.data(), nameBytes);
}
