#pragma once
#include "ui/ComboBox.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

// A saved list as its section shows it (the masks box of the Filters section, the destination box of
// the To section): the section's calls, which the saved lists reach it through.
struct SavedListBox {
    std::function<std::vector<std::string>()> entries;
    std::function<void(const std::vector<std::string>&)> fill;
    // The entry goes first; the box shows it where it still held that text.
    std::function<void(const std::string&)> putFirst;
};

// The calls of a combo box that holds a saved list, for the section that owns the box.
SavedListBox SavedListBoxOf(ui::ComboBox& box);

// The two saved lists: the masks history of cbFName (NameFilter.dat) and the destination history of
// cbPath (HistoryPath.dat), kept in a folder beside the program unless another is given.
class SavedHistories {
public:
    SavedHistories() = default;
    SavedHistories(const SavedHistories&) = delete;
    SavedHistories& operator=(const SavedHistories&) = delete;

    // Fills the boxes from the files in `folder` (the program's folder when empty).
    void Load(std::string folder, SavedListBox masks, SavedListBox paths);
    DWORD AddToHistory(const SavedListBox& box, const std::string& text, const std::string& file);  // the write's error, or 0
    // Remembers the masks and the destination of a job; a log line for each list it could not store.
    std::vector<std::string> SaveHistories(const std::string& masksText, const std::string& pathText);
    const std::string& NameFilterFile() const { return nameFilterFile; }
    const std::string& HistoryPathFile() const { return historyPathFile; }

private:
    SavedListBox masks_, paths_;
    std::string nameFilterFile, historyPathFile;
    std::set<std::string> partlyReadHistories;  // too big to read whole: never written over
};
