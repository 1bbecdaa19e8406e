#include "app/FilesAtOnceOption.h"
#include "core/ShellIntegration.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A key of its own under the user's hive stands for the user's root, removed afterwards.
class FilesAtOnceStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = "Software\\OrvFilesAtOnceTest" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    void WriteRaw(DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root_, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, kFilesAtOnceValue, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    std::string path_;
    HKEY root_ = nullptr;
};

TEST_F(FilesAtOnceStore, EachChoiceIsReadBackAsStored)
{
    const RegistryRoots roots{root_, root_};
    EXPECT_EQ(ReadFilesAtOnce(roots), 0);  // nothing stored: automatic
    for (int count : {1, 8, 4, 0}) {
        EXPECT_EQ(StoreFilesAtOnce(roots, count), std::nullopt);
        EXPECT_EQ(ReadFilesAtOnce(roots), count);
    }
    // A count outside 0..8 is stored as automatic.
    StoreFilesAtOnce(roots, 3);
    StoreFilesAtOnce(roots, 12);
    EXPECT_EQ(ReadFilesAtOnce(roots), 0);
}

TEST_F(FilesAtOnceStore, AValueOutOfRangeOrOfAnotherTypeReadsAsAutomatic)
{
    const RegistryRoots roots{root_, root_};
    const DWORD nine = 9;
    WriteRaw(REG_DWORD, &nine, sizeof nine);
    EXPECT_EQ(ReadFilesAtOnce(roots), 0);
    const char text[] = "4";
    WriteRaw(REG_SZ, text, sizeof text);
    EXPECT_EQ(ReadFilesAtOnce(roots), 0);
    const DWORD two = 2;
    WriteRaw(REG_DWORD, &two, sizeof two);
    EXPECT_EQ(ReadFilesAtOnce(roots), 2);
}

} // namespace
