// The record that names an open file anew, read as the system reads a rename's: the replace flag, no
// root folder, the name's length in bytes and the name itself, whole, in a block of the size given.
#include "engine/NewNameRecord.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <string>

TEST(NewNameRecord, HoldsTheWholeNameAfterTheFixedPartAndSaysSoInItsSize)
{
    // Names shorter than, as long as and longer than the record's padding, and a long one.
    for (const std::wstring& name : {std::wstring(L"\\\\?\\C:\\a"), std::wstring(L"\\\\?\\C:\\ab"),
                                     std::wstring(L"\\\\?\\C:\\" + std::wstring(300, L'x') + L"\\\x00e9.txt")}) {
        for (const bool replace : {false, true}) {
            const NewNameRecord record(name, replace);
            const auto* info = static_cast<const FILE_RENAME_INFO*>(record.Data());
            EXPECT_EQ(info->ReplaceIfExists, replace ? TRUE : FALSE);
            EXPECT_EQ(info->RootDirectory, nullptr);
            ASSERT_EQ(info->FileNameLength, name.size() * sizeof(wchar_t));
            EXPECT_EQ(std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t)), name);
            // The size covers the fixed part and every character of the name (the declared one
            // included in the fixed part).
            EXPECT_EQ(record.Size(), sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
            EXPECT_GE(record.Size(), offsetof(FILE_RENAME_INFO, FileName) + info->FileNameLength);
        }
    }
}
