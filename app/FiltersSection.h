#pragma once
#include "app/PresetListFill.h"
#include "app/SavedHistories.h"
#include "app/SectionHost.h"
#include "core/DateTime.h"
#include "engine/JobRequest.h"
#include "filters/FilterSet.h"
#include "filters/KeptFilters.h"
#include "filters/SectionSummaries.h"
#include "ui/CheckBox.h"
#include "ui/CheckListBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/ScrollBox.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>
#include <string>

// The Filters section: the masks box and the extension check list kept in step, Select All, the time
// window's pickers and presets, and the size edits; the filter set they make up.
class FiltersSection {
public:
    explicit FiltersSection(SectionHost& host) : host_(host) {}
    FiltersSection(const FiltersSection&) = delete;
    FiltersSection& operator=(const FiltersSection&) = delete;

    void Build(ui::Panel& body);
    // The filters as their reset leaves them at start-up: every file passes.
    void SetInitialValues();
    // The section's rows follow its width.
    void Layout();
    // What a new count of the sources starts from: what the user set is kept in keptFilters and put
    // back, the rest opens fully.
    void ResetForCount();
    // The filter set as the controls hold it now.
    const FilterSet& Filters();
    // What the section gives the job Begin takes: the filter set and the size edits as typed.
    void AddTo(JobRequest& request);
    // Filters mean nothing before there is a source: the time and size captions say so. The masks box
    // and the lists draw on the section's colour.
    void ShowHasSources(bool any);
    void UseSectionColors();
    void ScrollToTop();
    int RowHeight() const;  // a combo box's height: the Source section's path row matches it

    // What a count of the sources shows here, in the order a count calls it: the entries met go into
    // the extension list and the preset lists, as a batch between two runs of messages.
    void CountStarted();
    void ExtensionMet(const std::string& entry);
    void TimeMet(DateTime modified);
    void ShowCounted();  // before the count runs messages
    void CountEnded();   // however the count ended
    // Counted to its end: the time window is chosen from the times the files really have.
    void CountComplete();
    // What the section's header tells of the filters.
    FilterSummary Summary(DateTime now) const;
    // The masks box, whose entries are a saved list.
    SavedListBox MasksList() { return SavedListBoxOf(*cbFName); }

    void cbFNameExit();
    void cbFNameClick();
    void cbFNameKeyUp(WORD key);
    bool MasksCoverExtension(const std::string& entry);
    void ExtListClickCheck();
    void cbSelAllClick();
    void cbTL1Change();
    void cbTL2Change();
    void dtp1Change();
    void dtp2Change();
    void EditFSMinKeyPress(char& key);
    void EditFSMinKeyDown(ui::Edit& edit, WORD key, ui::Shift shift);
    void EditFSMinChange();
    void EditFSMaxChange();

private:
    std::unique_ptr<ui::ScrollBox> ScrollBox1;
    std::unique_ptr<ui::Panel> FNamePanel;
    std::unique_ptr<ui::Label> Label1, Label6, ModificationTimeFilterLabel, Label2, Label3, SizeFilterLabel, Label4,
        Label5;
    std::unique_ptr<ui::ComboBox> cbFName, cbTL1, cbTL2, cbFSMin, cbFSMax;
    std::unique_ptr<ui::CheckBox> cbSelAll;
    std::unique_ptr<ui::CheckListBox> ExtList;
    std::unique_ptr<ui::DateTimePicker> dtp1, dtp2;
    std::unique_ptr<ui::Edit> EditFSMin, EditFSMax, Edit1, Edit2, minEdit3, maxEdit3;
    // The entries of cbTL1 and cbTL2, put in when they are looked at (after the controls: gone first).
    std::unique_ptr<PresetListFill> presetsFrom, presetsTo;

    std::int64_t minSize = 0;
    std::int64_t maxSize = INT64_MAX;
    DateTime timeFrom = 0.0;
    DateTime timeTo = 0.0;
    bool timeFromByHand = false;  // set by the user: a new count of the sources keeps it
    bool timeToByHand = false;
    std::optional<KeptFilters> keptFilters;  // what the running (or last) count keeps of the user's filters

    void WireFilterControls();
    // The user's edits act only where the phase lets the Filters section change (never under a job
    // that has been taken); a count's own reset is no edit.
    bool Editable() const { return EffectOf(UserAction::EditFilters, host_.Phase()) == Effect::Act; }
    template <class Handler>
    auto WhenEditable(Handler handler)
    {
        return [this, handler](auto&&... args) {
            if (Editable())
                handler(args...);
        };
    }

    SectionHost& host_;
    void FlushExtensions();

    FilterSet filterSnapshot;
    // The count that runs: the entries the extension list holds or waits to take, the new ones met
    // since the last batch, and whether any went in unchecked.
    std::unordered_set<std::string> countedExtensions_;
    std::vector<std::string> newExtensions_;
    bool anyUnchecked_ = false;
};
