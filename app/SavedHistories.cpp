// The two saved lists beside the program: the masks history of cbFName (NameFilter.dat) and the
// destination history of cbPath (HistoryPath.dat).
#include "app/SavedHistories.h"

#include "core/LogTexts.h"
#include "engine/filefacts.h"
#include "filters/SavedList.h"
#include "platform/FileBytes.h"
#include "platform/ProgramPath.h"

namespace {

// No mask text or path comes near this; a bigger file is read only in its head (and then never
// written over), so that a stray huge or binary file cannot exhaust the memory of the program.
constexpr std::size_t kHistoryReadLimit = 4u << 20;

} // namespace

SavedListBox SavedListBoxOf(ui::ComboBox& box)
{
    return {
        .entries =
            [&box] {
                std::vector<std::string> items;
                for (int i = 0, n = box.Count(); i < n; ++i)
                    items.push_back(box.Item(i));
                return items;
            },
        .fill =
            [&box](const std::vector<std::string>& entries) {
                box.Clear();
                for (const std::string& entry : entries)
                    box.Add(entry);
            },
        .putFirst =
            [&box](const std::string& entry) {
                const bool shown = box.Text() == entry;
                box.Insert(0, entry);
                if (shown)
                    box.SetText(entry);
            },
    };
}

void SavedHistories::Load(std::string folder, SavedListBox masks, SavedListBox paths)
{
    masks_ = std::move(masks);
    paths_ = std::move(paths);
    if (folder.empty())
        folder = ProgramFolderPath();
    else if (folder.back() != '\\')
        folder += '\\';
    nameFilterFile = folder + "NameFilter.dat";
    historyPathFile = folder + "HistoryPath.dat";

    for (const auto& [box, file] : {std::pair{&masks_, &nameFilterFile}, std::pair{&paths_, &historyPathFile}}) {
        // A file that is missing or cannot be read leaves its list empty; nothing is created.
        const std::optional<FileHead> head = ReadFileHead(*file, kHistoryReadLimit);
        if (!head)
            continue;
        SavedListText list = ParseSavedList(head->bytes, head->whole);
        const bool trimmed = TrimSavedList(list.entries);
        box->fill(list.entries);
        if (trimmed)
            ReplaceFileBytes(*file, FormatSavedList(list.entries));  // a failure keeps the old file whole
        else if (!list.whole)
            partlyReadHistories.insert(*file);
    }
}

DWORD SavedHistories::AddToHistory(const SavedListBox& box, const std::string& text, const std::string& file)
{
    std::vector<std::string> items = box.entries();
    if (!AddToSavedList(items, text))
        return 0;
    // The box shows the new first entry only where it still held that text: a destination typed since
    // Begin took the job stays as the user typed it.
    box.putFirst(text);
    // A history that could not be written (a read-only program folder, a full disk) still holds the
    // entry for this run; the job goes on, and the file keeps what it had. A file read only in part
    // is never written over with that part.
    if (partlyReadHistories.count(file))
        return 0;
    return ReplaceFileBytes(file, FormatSavedList(items));
}

std::vector<std::string> SavedHistories::SaveHistories(const std::string& masksText, const std::string& pathText)
{
    std::vector<std::string> failures;
    if (const DWORD error = AddToHistory(masks_, masksText, nameFilterFile))
        failures.push_back(HistoryNotSavedEntry(nameFilterFile, SystemErrorText(error)));
    if (const DWORD error = AddToHistory(paths_, pathText, historyPathFile))
        failures.push_back(HistoryNotSavedEntry(historyPathFile, SystemErrorText(error)));
    return failures;
}
