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

std::vector<std::string> Items(const ui::ComboBox& box)
{
    std::vector<std::string> items;
    const int count = box.Count();
    items.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        items.push_back(box.Item(i));
    return items;
}

} // namespace

void SavedHistories::Load(std::string folder, ui::ComboBox& masks, ui::ComboBox& paths)
{
    masks_ = &masks;
    paths_ = &paths;
    if (folder.empty())
        folder = ProgramFolderPath();
    else if (folder.back() != '\\')
        folder += '\\';
    nameFilterFile = folder + "NameFilter.dat";
    historyPathFile = folder + "HistoryPath.dat";

    for (const auto& [box, file] : {std::pair{masks_, &nameFilterFile}, std::pair{paths_, &historyPathFile}}) {
        // A file that is missing or cannot be read leaves its list empty; nothing is created.
        const std::optional<FileHead> head = ReadFileHead(*file, kHistoryReadLimit);
        if (!head)
            continue;
        SavedListText list = ParseSavedList(head->bytes, head->whole);
        const bool trimmed = TrimSavedList(list.entries);
        box->Clear();
        for (const std::string& entry : list.entries)
            box->Add(entry);
        if (trimmed)
            ReplaceFileBytes(*file, FormatSavedList(list.entries));  // a failure keeps the old file whole
        else if (!list.whole)
            partlyReadHistories.insert(*file);
    }
}

DWORD SavedHistories::AddToHistory(ui::ComboBox& box, const std::string& file)
{
    return AddToHistory(box, box.Text(), file);
}

DWORD SavedHistories::AddToHistory(ui::ComboBox& box, const std::string& text, const std::string& file)
{
    std::vector<std::string> items = Items(box);
    if (!AddToSavedList(items, text))
        return 0;
    const bool shown = box.Text() == text;
    box.Insert(0, text);
    // The box shows the new first entry only where it still held that text: a destination typed since
    // Begin took the job stays as the user typed it.
    if (shown)
        box.SetText(text);
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
    if (const DWORD error = AddToHistory(*masks_, masksText, nameFilterFile))
        failures.push_back(HistoryNotSavedEntry(nameFilterFile, SystemErrorText(error)));
    if (const DWORD error = AddToHistory(*paths_, pathText, historyPathFile))
        failures.push_back(HistoryNotSavedEntry(historyPathFile, SystemErrorText(error)));
    return failures;
}
