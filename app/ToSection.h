#pragma once
#include "app/FolderTrees.h"
#include "app/SavedHistories.h"
#include "app/SectionHost.h"
#include "engine/JobRequest.h"
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
    bool Built() const { return cbPath != nullptr; }
    // The destination row follows the section's width; New Folder and Rename keep to its right.
    void Layout();
    void PlaceButtons();
    // What the section gives the job Begin takes: the destination as typed and as resolved, and the
    // flat box.
    void AddTo(JobRequest& request) const;
    std::string DestinationText() const { return cbPath->Text(); }
    void SetDestinationText(const std::string& path) { cbPath->SetText(path); }
    // Rename and Select Destination Directory: off from Begin to the job's end (the job may be
    // writing into the folder; a tree opened then would wait for the job's end).
    void SetFolderButtonsEnabled(bool enabled);
    ui::Panel& TreePanel() { return *Panel3; }
    ui::Panel& ParkingPanel() { return *Panel14; }
    SavedListBox PathList() { return SavedListBoxOf(*cbPath); }

    void cbPathChange();
    void BitBtn2Click();  // New Folder
    void BitBtn3Click();  // Select Destination Directory
    void BitBtn4Click();  // Rename

private:
    std::unique_ptr<ui::Panel> Panel26, Panel3, Panel14, ToBottomPanel;
    std::unique_ptr<ui::ComboBox> cbPath;
    std::unique_ptr<ui::CheckBox> cbIgnorSubDir;
    std::unique_ptr<ui::Button> BitBtn2, BitBtn3, BitBtn4;

    SectionHost& host_;
    FolderTrees& trees_;
};
