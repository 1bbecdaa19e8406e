#pragma once
#include <windows.h>

#include "core/ConflictDecision.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "res/Pictures.h"
#include "ui/PopupMenu.h"

#include <string>

// What tells the file and the folder conflict dialogs apart; everything else they share.
struct ConflictDialogLook {
    const char* formName;          // window name, for automation
    const char* caption;
    const char* firstLine;         // Label1
    const char* sameSelection;     // cbSameSelection
    const char* firstAnswer;       // BitBtn1: "Overwrite" or "Replace"
    res::Picture firstPicture;
    int clientWidth;
    int clientHeight;
    int borderWidth;
    COLORREF color;
    bool stayOnTop;
    // Left-to-right slot (0..3) of BitBtn1, BitBtn2, BitBtn3 and Rename.
    int slots[4];
};

// A conflict dialog: the first line, the existing path, the comparison text, and a bottom panel with
// the four answer buttons above the "Use same selection" box. Created once, hidden between questions.
// A right click on Auto Rename opens the rename-mode menu. There is no close box and no default or
// cancel button: a question ends only through one of the four answers.
class ConflictDialogBase {
public:
    ConflictDialogBase(const ConflictDialogBase&) = delete;
    ConflictDialogBase& operator=(const ConflictDialogBase&) = delete;

    HWND Handle() const { return form.Handle(); }
    // RenameNewFile1 checked: Auto Rename renames the new item; otherwise the existing one.
    bool RenameModeNew() const { return PopupMenu1.Checked(RenameNewFile1); }

    ui::Form form;
    ui::Label Label1;
    ui::Label FileLabel;
    ui::Panel Panel1;  // bottom: buttons and the check box
    ui::Label CompInfoLabel;
    ui::Button BitBtn1;
    ui::Button BitBtn2;
    ui::Button BitBtn3;
    ui::Button Rename;
    ui::CheckBox cbSameSelection;  // its tag keeps the last answer given
    ui::PopupMenu PopupMenu1;
    const int RenameNewFile1;      // item indexes in PopupMenu1
    const int RenameOldFile1;

protected:
    ConflictDialogBase(const ConflictDialogLook& look, HWND owner);
    ~ConflictDialogBase() = default;

    // Shows the texts and waits for an answer. The box starts clear: a standing answer is kept by the
    // caller, which asks only while none is in force.
    ConflictAnswer AskWith(const std::string& existingPath, const std::string& comparisonText);

private:
    void Answer(ConflictDecision decision);
    void FitButtonCaptions();
    void FitHeight();
    void PaintPath();
    int TextHeight(const ui::Label& label, UINT flags) const;

    int clientHeight_;
    int borderWidth_;
};
