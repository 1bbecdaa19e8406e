#pragma once
#include "dialogs/ConflictDialogBase.h"

// "File already exists ": asked when a copied or cut file meets one of the same name. Pale green,
// stays on top of other windows; answers Overwrite, Skip, Update, Auto Rename.
class TFileExistsForm : public ConflictDialogBase {
public:
    explicit TFileExistsForm(HWND owner);
    // Shows the existing file and how the two compare; returns the answer and whether
    // "Use same selection" was ticked.
    ConflictAnswer Ask(const std::string& existingPath, const std::string& comparisonText)
    {
        return AskWith(existingPath, comparisonText);
    }
};
