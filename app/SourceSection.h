#pragma once
#include "app/FolderTrees.h"
#include "app/SectionHost.h"
#include "engine/JobRequest.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/ListBox.h"
#include "ui/Panel.h"
#include "ui/Splitter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The Source section: the source list with the rule every addition passes, the path edit with Add
// and Remove, and the source tree.
class SourceSection {
public:
    // What the section asks of the window beyond its host.
    struct Links {
        std::function<void()> enableBegin;  // an entry was added while Begin may be pressed
        std::function<void()> requestScan;  // the list changed: a new count
    };

    SourceSection(SectionHost& host, FolderTrees& trees) : host_(host), trees_(trees) {}
    SourceSection(const SourceSection&) = delete;
    SourceSection& operator=(const SourceSection&) = delete;

    void Build(ui::Panel& body, Links links);
    // What the section gives the job Begin takes: the source list as it is.
    void AddTo(JobRequest& request) const { request.sources = Items(); }
    bool Any() const { return sourceList->Count() > 0; }
    void UseSectionColors();
    ui::Panel& TreePanel() { return *Panel8; }
    // The source tree chose a folder: the path row shows it (and keeps it to come back to).
    void ShowChosenFolder(const std::string& path);
    std::string ChosenFolder() const { return sourceEdit->Hint(); }
    // The path row follows the section's width; rowHeight is the height of a combo box.
    void Layout(int rowHeight);
    std::vector<std::string> Items() const;
    // The one way into the source list: the new entry's index, or -1 when nothing was added.
    int AddSourceItem(const std::string& path);
    // The list becomes these paths (each passing the rule).
    void ReplaceWith(const std::vector<std::string>& paths);

    void sourceButtonAddClick();
    void sourceButtonRemoveClick();
    void sourceListKeyUp(WORD key);
    void sourceListClick();
    void BitBtn6Click();  // Select Source Directory

private:
    std::unique_ptr<ui::ListBox> sourceList;
    std::unique_ptr<ui::Splitter> Splitter1;
    std::unique_ptr<ui::Panel> sourceSubPanel3, Panel8;
    std::unique_ptr<ui::Edit> sourceEdit;
    std::unique_ptr<ui::Button> sourceButtonAdd, sourceButtonRemove, BitBtn6;

    SectionHost& host_;
    FolderTrees& trees_;
    Links links_;
};
