#pragma once
#include "app/PresetListFill.h"
#include "core/DateTime.h"
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
#include <string>

// The Filters section: the masks box and the extension check list kept in step, Select All, the time
// window's pickers and presets, and the size edits; the filter set they make up.
class FiltersSection {
public:
    FiltersSection() = default;
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
    // What the section's header tells of the filters.
    FilterSummary Summary(DateTime now) const;

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

private:
    void WireFilterControls();

    FilterSet filterSnapshot;
};
