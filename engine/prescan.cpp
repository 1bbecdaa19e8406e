#include "engine/prescan.h"

#include "engine/filefacts.h"
#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"
#include "platform/CodePageText.h"
#include "platform/Handles.h"
#include "platform/LongPath.h"

#include <windows.h>

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

void PreScan::CountItem(const std::string& item)
{
    if (state_.scanStopped)
        return;
    const std::int64_t before = state_.scanByteTotal;
    CountItemEntries(item);
    if (!state_.scanStopped)
        state_.scanItems.push_back({item, state_.scanByteTotal - before});
}

void PreScan::CountItemEntries(const std::string& item)
{
    WIN32_FIND_DATAW entry;
    const std::wstring wide = WidePath(item);
    // A path with wildcards names no single file: the search would report some other file.
    const bool plain = !item.empty() && item.find_first_of("*?<>\"") == std::string::npos;
    if (plain) {
        UniqueFind find(FindFirstFileW(wide.c_str(), &entry));
        if (find && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CountFile(entry.cFileName, EntrySize(entry), Ticks(entry.ftLastWriteTime));
            host_.Counted(state_.scanFileTotal);
            return;
        }
    }
    CountFolderW(wide);
}

void PreScan::CountFolder(const std::string& folder) { CountFolderW(WidePath(folder)); }

void PreScan::CountFolderW(const std::wstring& folder)
{
    if (state_.scanStopped)
        return;
    host_.ProcessMessages();
    if (state_.scanStopped)
        return;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!find)
        return;  // unreadable or vanished: counts nothing
    do {
        if (state_.scanStopped)
            break;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A linked folder is not entered: what it points to lies outside the chosen tree (the job
            // leaves it alone too), and a link to an ancestor would never end.
            if (!IsDotEntry(entry.cFileName) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                CountFolderW(folder + L"\\" + entry.cFileName);
        } else {
            CountFile(entry.cFileName, EntrySize(entry), Ticks(entry.ftLastWriteTime));
        }
        host_.Counted(state_.scanFileTotal);
    } while (FindNextFileW(find.Get(), &entry));
}

void PreScan::CountFile(const std::wstring& name, std::int64_t size, std::uint64_t lastWrite)
{
    state_.scanFileTotal += 1;
    state_.scanByteTotal += size;

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
