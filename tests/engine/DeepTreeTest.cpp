// Trees far deeper than a call stack would carry level by level: the pre-scan, the walk, the removal
// of emptied folders and Replace's removal go through them with stacks of their own. Each runs with
// little machine stack left (96 KiB), so that any call per level shows as a crash.
//
// 3,000 levels of one-letter names where the system reaches them. Wine hands every path to the host
// whole, and Linux takes at most 4,096 bytes per path, so under Wine the chain is as deep as fits.
#include "engine/ForceDirectories.h"
#include "engine/itemops.h"
#include "engine/jobrun.h"
#include "engine/prescan.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using testsupport::TempFolder;

namespace {

constexpr int kWantedDepth = 3000;
constexpr int kFileEvery = 200;  // a file at every 200th level and at the bottom

// The depth to build below `root`. Under Wine the chain must also fit the host's 4,096 bytes, and
// every path call there costs time that grows with the square of the depth (1.5 ms at 250 levels,
// 20 ms at 1,000, 85 ms at 1,900 measured), so a whole pass grows with its cube: the suite takes
// 500 levels there (a quarter of the time of 800), still three times what the little stack below
// carries a level at a time: 96 KiB leaves under 200 bytes a level, and a walk that took a call per
// level would hold a find record (592 bytes) in each. ORV_DEEP_TREE_LEVELS asks for another depth
// (at most what fits).
int DepthBelow(const std::string& root)
{
    int wanted = kWantedDepth;
    if (const char* asked = std::getenv("ORV_DEEP_TREE_LEVELS"))
        wanted = std::max(1, std::atoi(asked));
    if (testsupport::UnixNameOf unixName = testsupport::WineUnixNames()) {
        const std::size_t used = testsupport::UnixPath(unixName, root).size() + 64;
        const int fits = static_cast<int>((4095 - used) / 2);
        return std::min(std::getenv("ORV_DEEP_TREE_LEVELS") ? wanted : 500, fits);
    }
    return wanted;
}

// Runs the work with no more than 96 KiB of machine stack left (the rest of a fresh thread's stack is
// taken first): a walk that took a call per level would overflow it long before the bottom.
constexpr std::size_t kStackLeft = 96 * 1024;

void WithLittleStack(const std::function<void()>& work)
{
    using Limits = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
    const auto limits = reinterpret_cast<Limits>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetCurrentThreadStackLimits")));
    ULONG_PTR low = 0, high = 0;
    if (limits)
        limits(&low, &high);
    const auto here = reinterpret_cast<ULONG_PTR>(&low);
    const std::size_t taken = low && here - low > kStackLeft + 8192 ? here - low - kStackLeft : 0;
    volatile char* filler = static_cast<volatile char*>(__builtin_alloca(taken + 1));
    filler[0] = 0;  // the stack below this is all the work gets
    work();
}

void OnSmallStack(const std::function<void()>& work)
{
    struct Call {
        static DWORD WINAPI Run(void* data)
        {
            WithLittleStack(*static_cast<const std::function<void()>*>(data));
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Call::Run, const_cast<std::function<void()>*>(&work), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The chain root\a\a\...\a (depth levels below root), through "\\?\" paths.
class DeepChain {
public:
    DeepChain(const std::string& root, int depth) : root_(L"\\\\?\\" + Wide(root)), depth_(depth) {}
    DeepChain(const DeepChain&) = delete;
    DeepChain& operator=(const DeepChain&) = delete;
    // Taken down level by level from the bottom, whatever is left: the test folder's own removal
    // goes one call per level.
    ~DeepChain() { Remove(); }

    // A file at every kFileEvery-th level and at the bottom.
    bool HasFile(int level) const { return level > 0 && (level % kFileEvery == 0 || level == depth_); }

    bool Make() const
    {
        std::wstring path = root_;
        if (!CreateDirectoryW(path.c_str(), nullptr))
            return false;
        for (int level = 1; level <= depth_; ++level) {
            path += L"\\a";
            if (!CreateDirectoryW(path.c_str(), nullptr))
                return false;
            if (HasFile(level)) {
                HANDLE file = CreateFileW((path + L"\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file == INVALID_HANDLE_VALUE)
                    return false;
                DWORD written = 0;
                WriteFile(file, "deep", 4, &written, nullptr);
                CloseHandle(file);
            }
        }
        return true;
    }
    int Files() const { return depth_ / kFileEvery + (depth_ % kFileEvery == 0 ? 0 : 1); }
    std::wstring Bottom() const
    {
        std::wstring path = root_;
        for (int level = 1; level <= depth_; ++level)
            path += L"\\a";
        return path;
    }
    bool RootExists() const { return GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Calls only where something may be left: under Wine every call on a deep path costs time that
    // grows with the square of the depth, even one that finds nothing.
    void Remove() const
    {
        if (!RootExists())
            return;
        std::wstring path = Bottom();
        for (int level = depth_; level >= 0; --level) {
            if (HasFile(level))
                DeleteFileW((path + L"\\f.txt").c_str());
            RemoveDirectoryW(path.c_str());
            path.resize(path.size() - (level > 0 ? 2 : 0));
        }
    }

private:
    std::wstring root_;
    int depth_;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct CountingScanHost : ScanHost {
    int pumps = 0;
    void ProcessMessages() override { ++pumps; }
    std::uint32_t Milliseconds() override { return 0; }  // time stands still: pumps per folder only
};

} // namespace

TEST(DeepTree, IsScannedWholeAndADeleteJobRemovesItWhole)
{
    TempFolder temp;
    const int depth = DepthBelow(temp.Path());
    DeepChain chain(temp / "deep", depth);
    ASSERT_TRUE(chain.Make());

    ScanTotals scanned;
    CountingScanHost scanHost;
    PreScan scan(scanHost, scanned);
    auto start = std::chrono::steady_clock::now();
    OnSmallStack([&] { scan.CountItem(temp / "deep"); });
    std::printf("pre-scan of %d levels: %.2f s\n", depth, SecondsSince(start));
    EXPECT_EQ(scanned.fileTotal, chain.Files());
    EXPECT_EQ(scanned.byteTotal, 4 * chain.Files());
    EXPECT_EQ(scanHost.pumps, depth + 1);  // once per folder

    ScriptedHost host;
    JobState state;
    JobRun run(host, state);
    host.operation = kOpDelete;
    host.sources = {temp / "deep"};
    start = std::chrono::steady_clock::now();
    OnSmallStack([&] { run.Run(host.Request()); });
    std::printf("Delete job of %d levels: %.2f s\n", depth, SecondsSince(start));
    EXPECT_FALSE(chain.RootExists());
    EXPECT_EQ(state.filesDone, chain.Files());
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_EQ(host.log.find("Because"), std::string::npos) << host.log.substr(0, 2000);
    // The walk and the removal of the emptied folders each process messages once per folder.
    EXPECT_GE(host.processMessagesCalls, 2 * depth + 1);
}

TEST(DeepTree, ACopyMirrorsItWholeAndACutLeavesNoFolderBehind)
{
    TempFolder temp;
    const int depth = DepthBelow(temp.Path());
    DeepChain chain(temp / "deep", depth);
    ASSERT_TRUE(chain.Make());
    DeepChain copied(temp / "dest\\deep", depth);
    ASSERT_TRUE(CreateDirectoryA((temp / "dest").c_str(), nullptr));
    ScriptedHost host;
    JobState state;
    JobRun run(host, state);
    host.operation = kOpCut;
    host.sources = {temp / "deep"};
    host.destination = temp / "dest";
    const auto start = std::chrono::steady_clock::now();
    OnSmallStack([&] { run.Run(host.Request()); });
    std::printf("Cut of %d levels: %.2f s\n", depth, SecondsSince(start));
    EXPECT_EQ(state.filesDone, chain.Files());
    EXPECT_EQ(state.filesFailed, 0);
    EXPECT_NE(GetFileAttributesW((copied.Bottom() + L"\\f.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(chain.RootExists());
    EXPECT_EQ(host.log.find("Because"), std::string::npos) << host.log.substr(0, 2000);
}

TEST(DeepTree, ReplacesRemovalTakesItWhole)
{
    TempFolder temp;
    const int depth = DepthBelow(temp.Path());
    DeepChain chain(temp / "deep", depth);
    ASSERT_TRUE(chain.Make());
    bool removed = false;
    OnSmallStack([&] { removed = DeleteFolderTree(temp / "deep"); });
    EXPECT_TRUE(removed);
    EXPECT_FALSE(chain.RootExists());
}
