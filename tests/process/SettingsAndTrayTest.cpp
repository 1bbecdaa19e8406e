#include "tests/process/RunningProgram.h"
#include "tests/support/TempFolder.h"

#include "app/SettingsStore.h"
#include "core/ShellIntegration.h"

#include <gtest/gtest.h>

#include <optional>

using namespace process;
using testsupport::TempFolder;

namespace {

std::optional<std::string> ReadString(HKEY root, const std::string& key, const std::string& value)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::string> text;
    if (RegQueryValueExA(opened, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::string buffer(size, '\0');
        if (RegQueryValueExA(opened, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
            ERROR_SUCCESS)
            text = buffer.substr(0, buffer.find('\0'));
    }
    RegCloseKey(opened);
    return text;
}

std::optional<DWORD> ReadNumber(const std::string& value)
{
    DWORD number = 0, size = sizeof number, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, value.c_str(), RRF_RT_ANY, &type, &number, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return number;
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// Leaves the registry as a first start finds it, before and after each test.
class ShellEntries : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        HKEY run = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, kRunValue);
            RegCloseKey(run);
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kFolderVerbKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kFileVerbKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
};

} // namespace

TEST_F(ShellEntries, TheThreeBoxesWriteAndRemoveTheirEntries)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start());
    // A first start: the settings key is made, clipboard watching on, the other two off.
    EXPECT_TRUE(WaitUntil(5000, [] { return KeyExists(HKEY_CURRENT_USER, kSettingsKey); }));
    EXPECT_TRUE(program.Checked("cbMonitorClipboard"));
    EXPECT_FALSE(program.Checked("cbStart"));
    EXPECT_FALSE(program.Checked("cbContext"));
    EXPECT_FALSE(program.Checked("cbVerify"));
    EXPECT_EQ(ReadNumber(kMonitorClipboardValue), std::nullopt);

    const std::string exe = ProgramPath();
    program.Click("cbStart");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, kRunValue), "\"" + FolderPart(exe) + "run.exe\" autorun");
    program.Click("cbContext");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Folder\\shell\\Orvandel\\command", ""), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "*\\shell\\Orvandel\\command", ""), "\"" + exe + "\" \"%1\"");
    program.Click("cbMonitorClipboard");
    EXPECT_EQ(ReadNumber(kMonitorClipboardValue), 0u);
    program.Click("cbVerify");
    EXPECT_EQ(ReadNumber(kVerifyCopiesValue), 1u);

    program.Click("cbStart");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, kRunValue), std::nullopt);
    program.Click("cbContext");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFolderVerbKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFileVerbKey));
    program.Click("cbMonitorClipboard");
    EXPECT_EQ(ReadNumber(kMonitorClipboardValue), 1u);
    program.Click("cbVerify");
    EXPECT_EQ(ReadNumber(kVerifyCopiesValue), 0u);
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ShellEntries, AStartFromAnotherFolderWritesItsOwnLocation)
{
    {
        RunningProgram program;
        ASSERT_TRUE(program.Start());
        program.Click("cbStart");
        program.Click("cbContext");
        program.Click("cbMonitorClipboard");
        program.Click("cbVerify");
        EXPECT_EQ(program.Close(), 0u);
    }
    // The program moved to a folder whose name has blanks.
    TempFolder folder;
    const std::string moved = folder / "My Tools";
    ASSERT_TRUE(CreateDirectoryA(moved.c_str(), nullptr));
    const std::string exe = moved + "\\Orvandel.exe";
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), exe.c_str(), TRUE));

    RunningProgram program;
    ASSERT_TRUE(program.Start({}, exe));
    // The verb box is the last the start reads.
    EXPECT_TRUE(WaitUntil(5000, [&] { return program.Checked("cbContext"); }));
    EXPECT_TRUE(program.Checked("cbStart"));
    EXPECT_FALSE(program.Checked("cbMonitorClipboard"));
    EXPECT_TRUE(program.Checked("cbVerify"));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, kRunValue), "\"" + FolderPart(exe) + "run.exe\" autorun");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Folder\\shell\\Orvandel\\command", ""), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "*\\shell\\Orvandel\\command", ""), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(ReadNumber(kMonitorClipboardValue), 0u);
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ShellEntries, AClipboardSettingOfAnotherTypeReadsAsOn)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char text[] = "0";
    RegSetValueExA(key, kMonitorClipboardValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);

    RunningProgram program;
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.Checked("cbMonitorClipboard"));
    EXPECT_EQ(program.Close(), 0u);
}

namespace {

// Every entry of the store against roots where no key can be opened for writing: nothing is
// written, nothing fails loudly, and the read reports what it could not see.
void ExpectSkipped(HKEY root)
{
    const RegistryRoots roots{root, root};
    StoreMonitorClipboard(roots, false);
    StoreVerifyCopies(roots, true);
    StoreContextVerb(roots, true, "C:\\x.exe");
    StoreContextVerb(roots, false, "C:\\x.exe");
    EXPECT_EQ(StoreAutoRun(roots, true, "C:\\x.exe"), AutoRunResult::KeyUnavailable);
    EXPECT_EQ(StoreAutoRun(roots, false, "C:\\x.exe"), AutoRunResult::KeyUnavailable);
    const StoredSettings stored = ReadStoredSettings(roots);
    EXPECT_EQ(stored.monitorClipboard, std::nullopt);
    EXPECT_EQ(stored.verifyCopies, std::nullopt);
    EXPECT_FALSE(stored.contextVerb);
}

} // namespace

TEST(SettingsStore, KeysThatCannotBeOpenedAreSkipped)
{
    // A root that is no key at all.
    ExpectSkipped(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7FFFFFF0)));

    // A root the program may only read, where the system enforces the handle's rights (Wine 8 lets a
    // read-only handle create keys).
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    HKEY probe = nullptr;
    if (RegCreateKeyExA(readOnly, "OrvandelRightsProbe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &probe, nullptr) ==
        ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegDeleteKeyA(readOnly, "OrvandelRightsProbe");
    } else {
        ExpectSkipped(readOnly);
    }
    RegCloseKey(readOnly);
}

TEST(Tray, ExitFromTheIconsMenuEndsTheProgramAlsoWhenHidden)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start("startup"));
    EXPECT_FALSE(program.Visible());
    // The right button on the icon: pressed brings the window back, released opens the menu.
    program.TrayMouse(WM_RBUTTONDOWN);
    program.TrayMouse(WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(5000, [&] {
        menu = WindowOf("#32768", program.Id());
        return menu && IsWindowVisible(menu);
    }));
    EXPECT_TRUE(program.Visible());
    // Help, Exit, About: the second entry.
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
}

TEST(Tray, MinimisedTheWindowLeavesTheTaskBarAndTheIconBringsItBack)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitUntil(5000, [&] { return program.Visible(); }));
    SendMessageA(program.Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(program.Visible());
    program.TrayMouse(WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil(5000, [&] { return program.Visible() && !IsIconic(program.Window()); }));
    EXPECT_EQ(program.Close(), 0u);
}

namespace {

// Whole mebibytes of non-zero bytes (a file of zeros could be written sparse and copy too quickly).
bool WriteFilledFile(const std::string& path, int mebibytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string block(1 << 20, '\x5a');
    bool ok = true;
    for (int m = 0; m < mebibytes && ok; ++m) {
        DWORD put = 0;
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &put, nullptr) && put == block.size();
    }
    return CloseHandle(file) && ok;
}

std::int64_t SizeFromListing(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(path.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    FindClose(find);
    return (static_cast<std::int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

} // namespace

TEST(Tray, ExitFromTheIconsMenuDuringACopyStopsItAndLeavesNoPartOfAFile)
{
    constexpr int kMiB = 1024;
    constexpr std::int64_t kBytes = std::int64_t{kMiB} << 20;
    TempFolder temp;
    const std::string source = temp / "src", destination = temp / "dst";
    const std::string copy = destination + "\\src\\big.bin";
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    ASSERT_TRUE(WriteFilledFile(source + "\\big.bin", kMiB));

    RunningProgram program;
    ASSERT_TRUE(program.Start());
    SendMessageA(program.Control("sourceEdit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(source.c_str()));
    program.Click("sourceButtonAdd");
    SetWindowTextA(program.Control("cbPath"), destination.c_str());
    // Begin is posted: the job runs inside its click, and this process must stay free to watch it.
    PostMessageA(program.Control("bbBegin"), BM_CLICK, 0, 0);
    // Written under its partial name until complete.
    ASSERT_TRUE(WaitUntil(30000, [&] {
        const std::int64_t size = SizeFromListing(destination + "\\src\\big.bin.*.orvpart");
        return size > 0 && size < kBytes / 2;
    })) << "the copy was not seen under way";

    program.TrayMouse(WM_RBUTTONDOWN);
    program.TrayMouse(WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(5000, [&] {
        menu = WindowOf("#32768", program.Id());
        return menu && IsWindowVisible(menu);
    }));
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})  // Help, Exit, About: Exit
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_EQ(program.WaitExit(30000), 0u);

    // Stopped as Cancel stops a job: the file in progress went with the job's handle.
    const std::int64_t left = SizeFromListing(copy);
    EXPECT_TRUE(left == -1 || left == kBytes) << "a part of the file was left under its name: " << left;
    WIN32_FIND_DATAA entry;
    HANDLE partial = FindFirstFileA((destination + "\\src\\*.orvpart").c_str(), &entry);
    EXPECT_EQ(partial, INVALID_HANDLE_VALUE) << "a partial copy was left behind";
    if (partial != INVALID_HANDLE_VALUE)
        FindClose(partial);
    EXPECT_EQ(SizeFromListing(source + "\\big.bin"), kBytes) << "the source changed";
}
