#include "engine/prescan.h"

#include "engine/filefacts.h"
#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"
#include "platform/CodePageText.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <windows.h>

#include <vector>

namespace {

constexpr std::uint64_t kTwoSeconds = 20000000;  // in 100 ns steps

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::uint64_t Ticks(const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

FILETIME FileTimeOf(std::uint64_t ticks)
{
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

std::int64_t EntrySize(const WIN32_FIND_DATAW& entry)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
}

// The part of the name from its last dot: enough to know the extension entry, and far shorter to
// convert than the whole name.
std::wstring_view ExtensionPart(std::wstring_view name)
{
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
}

} // namespace

std::uint32_t ScanHost::Milliseconds() { return GetTickCount(); }

void PreScan::Pump()
{
    host_.ProcessMessages();
    pumpedAt_ = host_.Milliseconds();
}

void PreScan::CountItem(const std::string& item)
{
    if (totals_.stopped)
        return;
    const std::int64_t before = totals_.byteTotal;
    CountItemEntries(item);
    if (!totals_.stopped)
        totals_.items.push_back({item, totals_.byteTotal - before});
}

void PreScan::CountItemEntries(const std::string& item)
{
    WIN32_FIND_DATAW entry;
    const std::wstring wide = WidePath(EntryPathText(item));
    // A path with wildcards names no single file: the search would report some other file.
    const bool plain = !item.empty() && item.find_first_of("*?<>\"") == std::string::npos;
    if (plain) {
        if (FindExactEntry(wide, entry) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CountFile(entry.cFileName, EntrySize(entry), Ticks(entry.ftLastWriteTime));
            host_.Counted(totals_.fileTotal);
            return;
        }
    }
    CountFolderW(wide);
}

void PreScan::CountFolder(const std::string& folder) { CountFolderW(WidePath(folder)); }

// Depth-first with a stack of open searches instead of a call per folder level, so that a tree of any
// depth costs no machine stack. The order of entries, the message processing once per folder and
// the stop checks are those of the plain recursion.
void PreScan::CountFolderW(const std::wstring& root)
{
    struct Level {
        std::size_t length;  // of this folder's path in `path`
        UniqueFind find;
        WIN32_FIND_DATAW entry;
        bool afterSubfolder;  // the current entry is a subfolder whose count just ended
    };
    std::vector<Level> levels;
    std::wstring path = root;  // the folder of the deepest level; each level's path is a prefix of it

    // Opens the folder at `path` as the deepest level; false when the scan is stopped or the folder
    // cannot be read (it then counts nothing).
    const auto enter = [&]() -> bool {
        if (totals_.stopped)
            return false;
        Pump();
        if (totals_.stopped)
            return false;
        Level level{path.size(), UniqueFind(), {}, false};
        level.find = UniqueFind(FindFirstFileW((path + L"\\*.*").c_str(), &level.entry));
        if (!level.find)
            return false;
        levels.push_back(std::move(level));
        return true;
    };
    // The deepest level is done: its parent goes on after the subfolder entry.
    const auto leave = [&] {
        levels.pop_back();
        if (!levels.empty())
            levels.back().afterSubfolder = true;
    };

    enter();
    while (!levels.empty()) {
        Level& level = levels.back();
        path.resize(level.length);
        if (level.afterSubfolder) {
            level.afterSubfolder = false;
            host_.Counted(totals_.fileTotal);
            if (!FindNextFileW(level.find.Get(), &level.entry)) {
                leave();
                continue;
            }
        }
        if (totals_.stopped) {
            leave();
            continue;
        }
        const WIN32_FIND_DATAW& entry = level.entry;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A linked folder is not entered: what it points to lies outside the chosen tree (the job
            // leaves it alone too), and a link to an ancestor would never end.
            if (!IsDotEntry(entry.cFileName) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                path += L"\\";
                path += entry.cFileName;
                level.afterSubfolder = true;  // counted on return, whether or not it could be read
                enter();  // `level` may move: not used past this point
                continue;
            }
        } else {
            CountFile(entry.cFileName, EntrySize(entry), Ticks(entry.ftLastWriteTime));
        }
        host_.Counted(totals_.fileTotal);
        // A folder of many thousand files takes longer than the window may go unanswered.
        if (PumpDue()) {
            Pump();
            if (totals_.stopped) {
                leave();
                continue;
            }
        }
        if (!FindNextFileW(level.find.Get(), &level.entry))
            leave();
    }
}

void PreScan::CountFile(const std::wstring& name, std::int64_t size, std::uint64_t lastWrite)
{
    totals_.fileTotal += 1;
    totals_.byteTotal += size;

    // The entry as the filters see it: the name in the code page, lower-cased ('?' for what the code
    // page cannot hold, as the walk shows such names).
    const std::wstring_view listed = ExtensionPart(name);
    if (listedExtensions_.find(listed) == listedExtensions_.end()) {
        listedExtensions_.emplace(listed);
        std::string entry = ExtensionEntryOf(LocaleLower(ShownCodePageText(listed)));
        if (extensions_.insert(entry).second)
            host_.ExtensionMet(entry);
    }

    // Local time at two-second resolution follows from the UTC time in two-second steps (time zone
    // offsets are whole minutes), so the conversion runs once per distinct step only.
    const std::uint64_t step = lastWrite / kTwoSeconds;
    if (times_.insert(step).second)
        host_.TimeMet(FilterTimeOf(FileTimeOf(step * kTwoSeconds)));
}
