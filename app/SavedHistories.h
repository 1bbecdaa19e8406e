#pragma once
#include "ui/ComboBox.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// The two saved lists: the masks history of cbFName (NameFilter.dat) and the destination history of
// cbPath (HistoryPath.dat), kept in a folder beside the program unless another is given.
class SavedHistories {
public:
    SavedHistories() = default;
    SavedHistories(const SavedHistories&) = delete;
    SavedHistories& operator=(const SavedHistories&) = delete;

    // Fills the boxes from the files in `folder` (the program's folder when empty).
    void Load(std::string folder, ui::ComboBox& masks, ui::ComboBox& paths);
    DWORD AddToHistory(ui::ComboBox& box, const std::string& file);  // the write's error, or 0
    DWORD AddToHistory(ui::ComboBox& box, const std::string& text, const std::string& file);
    // Remembers the masks and the destination of a job; a log line for each list it could not store.
    std::vector<std::string> SaveHistories(const std::string& masksText, const std::string& pathText);
    const std::string& NameFilterFile() const { return nameFilterFile; }
    const std::string& HistoryPathFile() const { return historyPathFile; }

private:
    ui::ComboBox* masks_ = nullptr;
    ui::ComboBox* paths_ = nullptr;
    std::string nameFilterFile, historyPathFile;
    std::set<std::string> partlyReadHistories;  // too big to read whole: never written over
};
