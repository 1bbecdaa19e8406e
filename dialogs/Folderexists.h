#pragma once
#include "dialogs/ConflictDialogBase.h"

// "Folder already exists ": asked when a copied or cut subfolder meets one of the same name. Pale
// blue, an ordinary window (not on top); answers Update (merge), Replace, Skip, Auto Rename.
class TFolderExistsForm : public ConflictDialogBase {
public:
    explicit TFolderExistsForm(HWND owner);
    // Shows the existing folder; returns the answer and whether "Use same selection" was ticked.
    ConflictAnswer Ask(const std::string& existingPath) { return AskWith(existingPath, std::string()); }
};
