#pragma once
#include <windows.h>

#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Label.h"

#include <string>

// "Input New Folder Name": asks for the name of a folder below a parent path, for New Folder and for
// Rename. It shows the full path, or refuses a name whose folder already exists (Ok disabled), and
// never lets a character into the name that a folder name cannot hold. Created for one use: set the
// parent path and the name, call edFolderNameChange once, then ShowModal (1 Ok, 2 Cancel).
class TNewDir {
public:
    explicit TNewDir(HWND owner);
    TNewDir(const TNewDir&) = delete;
    TNewDir& operator=(const TNewDir&) = delete;

    void SetParentPath(const std::string& parent) { parentPath = parent; }
    const std::string& ParentPath() const { return parentPath; }
    std::string FolderName() const { return edFolderName.Text(); }
    std::string FullPath() const { return parentPath + FolderName(); }
    int ShowModal() { return form.ShowModal(); }

    void edFolderNameChange();
    void edFolderNameKeyPress(char& key);
    void FormKeyUp(WORD key);
    void BitBtn1Click();
    void BitBtn2Click();

    ui::Form form;
    ui::Label Label1;
    ui::Edit edFolderName;
    ui::Label pathlabel;
    ui::Button BitBtn1;
    ui::Button BitBtn2;

private:
    std::string parentPath;
    bool cleaning = false;  // while characters that came in by pasting are taken out again
};
