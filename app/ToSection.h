#pragma once
#include "app/FolderTrees.h"
#include "app/SectionHost.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Panel.h"

#include <memory>

// The To section: the destination text (cbPath) with its tree, Do not create subdirectory, and New
// Folder and Rename with their name dialog.
class ToSection {
public:
    ToSection(SectionHost& host, FolderTrees& trees) : host_(host), trees_(trees) {}
    ToSection(const ToSection&) = delete;
    ToSection& operator=(const ToSection&) = delete;

    void Build(ui::Panel& body);
    // The destination row follows the section's width.
    void Layout();

    void cbPathChange();
    void BitBtn2Click();  // New Folder
    void BitBtn3Click();  // Select Destination Directory
    void BitBtn4Click();  // Rename

    std::unique_ptr<ui::Panel> Panel26, Panel3, Panel14, ToBottomPanel;
    std::unique_ptr<ui::ComboBox> cbPath;
    std::unique_ptr<ui::CheckBox> cbIgnorSubDir;
    std::unique_ptr<ui::Button> BitBtn2, BitBtn3, BitBtn4;

private:
    SectionHost& host_;
    FolderTrees& trees_;
};
