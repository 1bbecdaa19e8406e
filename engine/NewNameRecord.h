#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// What the file system takes to give an open file a new name: a rename (FILE_RENAME_INFO) or a second
// name (FILE_LINK_INFORMATION). Both are one record of variable length: whether a file standing at
// the name may be replaced, no root folder (the name is absolute), the name's length in bytes, then
// the wide name itself, running on past the one character the record declares.
class NewNameRecord {
public:
    NewNameRecord(const std::wstring& name, bool replace);

    // The record as the request takes it, and its whole size in bytes (the name included).
    void* Data() const { return buffer_.get(); }
    unsigned long Size() const { return static_cast<unsigned long>(size_); }

private:
    std::size_t size_;
    std::unique_ptr<std::uint64_t[]> buffer_;  // aligned for the record, zeroed
};
