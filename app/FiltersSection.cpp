// The Filters section's controls: the masks box and the extension check list kept in step, Select
// All, the time window's pickers and presets, and the size edits; their reset before every count.
#include "app/FiltersSection.h"

#include "app/ControlArgsBuilders.h"
#include "core/DateTime.h"
#include "core/LogTexts.h"
#include "engine/filefacts.h"
#include "filters/LocaleLower.h"
#include "filters/MaskEditing.h"
#include "filters/PresetEntry.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"
#include "platform/LocalDateText.h"
#include "platform/PickerTime.h"

#include <algorithm>

namespace {

constexpr double kOpenEndDays = 52533.0;

// The chosen entry of a preset list. A drop-down list's window text can still be the previous
// entry when its selection notice arrives, so the entry is read from the list itself.
std::string ChosenPreset(const ui::ComboBox& list)
{
    const int index = list.ItemIndex();
    return index >= 0 ? list.Item(index) : list.Text();
}

std::string TimeSeparator()
{
    char separator[8] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    return n > 1 ? std::string(separator) : std::string(":");
}

} // namespace

using namespace build;

void FiltersSection::Build(ui::Panel& body)
{
    ScrollBox1 = Make<ui::ScrollBox>(body, Named("ScrollBox1", {}, ui::Align::Client));
    ui::Control& box = *ScrollBox1;

    ui::ControlArgs l1 = Named("Label1", {8, 4, 0, 13});
    l1.hint = "The mask string may contain the metacharacters '?' which will match exactly 1 character and '*' "
              "which will match zero or more characters and '/' which will seperate matchstring.";
    Label1 = Make<ui::Label>(box, l1, ui::LabelArgs{"Filename masks"});
    FNamePanel = Make<ui::Panel>(box, Named("FNamePanel", {8, 20, 380, 24}));
    cbFName = Make<ui::ComboBox>(*FNamePanel, Named("cbFName", {0, 0, 380, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDown, false, 8, "*.*"});

    Label6 = Make<ui::Label>(box, Named("Label6", {8, 50, 0, 13}),
                             ui::LabelArgs{"Extension name match ( Uncheck unwanted types)"});
    cbSelAll = Make<ui::CheckBox>(box, Named("cbSelAll", {300, 48, 90, 17}), ui::CheckBoxArgs{"Select All", true});
    ExtList = Make<ui::CheckListBox>(box, Named("ExtList", {8, 66, 380, 72}), ui::CheckListBoxArgs{true, 4});

    ModificationTimeFilterLabel = Make<ui::Label>(box, Named("ModificationTimeFilterLabel", {8, 146, 0, 13}),
                                                  ui::LabelArgs{"File dates"});
    Label2 = Make<ui::Label>(box, Named("Label2", {8, 162, 0, 13}), ui::LabelArgs{"Copy files that are modified in last"});
    Label3 = Make<ui::Label>(box, Named("Label3", {204, 162, 0, 13}), ui::LabelArgs{"and before"});
    // The first caption reads on into the second; in a wider font it outgrows its column, and the
    // second then follows it instead of drawing over its end.
    if (const int after = Label2->Left() + Label2->Width() + 4; after > Label3->Left())
        Label3->SetBounds(after, Label3->Top(), Label3->Width(), Label3->Height());
    // Each preset list lies under its picker and is wider, so only its drop-down button shows. Siblings
    // created earlier lie above the later ones: the pickers come first.
    dtp1 = Make<ui::DateTimePicker>(box, Named("dtp1", {8, 178, 168, 21}), ui::DateTimePickerArgs{"MM/dd/yyyy HH:mm:ss", true});
    dtp2 = Make<ui::DateTimePicker>(box, Named("dtp2", {204, 178, 168, 21}), ui::DateTimePickerArgs{"MM/dd/yyyy HH:mm:ss", true});
    cbTL1 = Make<ui::ComboBox>(box, Named("cbTL1", {8, 178, 186, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDownList, true});
    cbTL2 = Make<ui::ComboBox>(box, Named("cbTL2", {204, 178, 186, 21}), ui::ComboBoxArgs{ui::ComboStyle::DropDownList, true});

    SizeFilterLabel = Make<ui::Label>(box, Named("SizeFilterLabel", {8, 208, 0, 13}), ui::LabelArgs{"File sizes"});
    Label4 = Make<ui::Label>(box, Named("Label4", {8, 224, 0, 13}),
                             ui::LabelArgs{"Copy files whose size should be between minimize:"});
    Label5 = Make<ui::Label>(box, Named("Label5", {8, 266, 0, 13}), ui::LabelArgs{"and maxmize"});
    EditFSMin = Make<ui::Edit>(box, Named("EditFSMin", {8, 240, 150, 21}), ui::EditArgs{"0"});
    Edit1 = Make<ui::Edit>(box, Disabled(Named("Edit1", {160, 240, 24, 21})), ui::EditArgs{"B", true});
    minEdit3 = Make<ui::Edit>(box, Disabled(Named("minEdit3", {190, 240, 150, 21})), ui::EditArgs{"= 0M 0K 0B", true});
    EditFSMax = Make<ui::Edit>(box, Named("EditFSMax", {8, 282, 150, 21}), ui::EditArgs{"0"});
    Edit2 = Make<ui::Edit>(box, Disabled(Named("Edit2", {160, 282, 24, 21})), ui::EditArgs{"B", true});
    maxEdit3 = Make<ui::Edit>(box, Disabled(Named("maxEdit3", {190, 282, 150, 21})), ui::EditArgs{"= 0M 0K 0B", true});
    const std::vector<std::string> units{"B", "KB", "MB", "GB"};
    cbFSMin = Make<ui::ComboBox>(box, Hidden(Named("cbFSMin", {160, 240, 50, 21})),
                                 ui::ComboBoxArgs{ui::ComboStyle::DropDownList, false, 8, "", units});
    cbFSMax = Make<ui::ComboBox>(box, Hidden(Named("cbFSMax", {160, 282, 50, 21})),
                                 ui::ComboBoxArgs{ui::ComboStyle::DropDownList, false, 8, "", units});
    cbFSMin->SetItemIndex(0);
    cbFSMax->SetItemIndex(0);
    WireFilterControls();
}

void FiltersSection::SetInitialValues()
{
    timeFrom = 0.0;
    DateTimeParts today = DecodeDateTime(LocalNow());
    today.hour = today.minute = today.second = today.millisecond = 0;
    timeTo = EncodeDateTime(today) + kOpenEndDays;
    dtp1->SetValue(ShownInPicker(timeFrom));
    dtp2->SetValue(ShownInPicker(timeTo));
    EditFSMax->SetText("9223372036854775807");
}

void FiltersSection::Layout()
{
    FNamePanel->SetWidth(ScrollBox1->ClientWidth() - 16);
    FNamePanel->SetHeight(cbFName->Height());
    cbFName->SetBounds(0, 0, FNamePanel->ClientWidth(), cbFName->Height());
}

const FilterSet& FiltersSection::Filters()
{
    filterSnapshot.masksText = cbFName->Text();
    filterSnapshot.extensions.clear();
    for (int i = 0; i < ExtList->Count(); ++i)
        filterSnapshot.extensions.push_back({LocaleLower(ExtList->Item(i)), ExtList->Checked(i)});
    filterSnapshot.timeFrom = timeFrom;
    filterSnapshot.timeTo = timeTo;
    filterSnapshot.minSize = minSize;
    filterSnapshot.maxSize = maxSize;
    return filterSnapshot;
}

FilterSummary FiltersSection::Summary(DateTime now) const
{
    FilterSummary filters;
    for (int i = 0; i < ExtList->Count(); ++i)
        filters.extensions.push_back({ExtList->Item(i), ExtList->Checked(i)});
    filters.masksText = cbFName->Text();
    filters.from = timeFrom;
    filters.to = timeTo;
    filters.now = now;
    filters.fromText = FormatLocalDateText(timeFrom);
    filters.toText = FormatLocalDateText(timeTo);
    filters.minText = EditFSMin->Text();
    filters.maxText = EditFSMax->Text();
    filters.minSize = minSize;
    filters.maxSize = maxSize;
    return filters;
}

void FiltersSection::ResetForCount()
{
    // What the user set survives the new count: the masks typed, the extensions unchecked (where the
    // new sources still hold them), and the time and size windows chosen by hand.
    {
        std::vector<ExtensionEntry> entries;
        entries.reserve(static_cast<size_t>(ExtList->Count()));
        for (int i = 0; i < ExtList->Count(); ++i)
            entries.push_back({LocaleLower(ExtList->Item(i)), ExtList->Checked(i)});
        keptFilters.emplace(cbFName->Text(), entries);
    }
    ExtList->Clear();

    const std::string separator = TimeSeparator();
    const DateTime now = LocalNow();
    presetsFrom->Forget();
    presetsTo->Forget();
    cbTL1->Clear();
    cbTL1->SetItemIndex(-1);
    cbTL1->Add(FormatPresetEntry(0.0, separator));
    cbTL1->Add(FormatPresetEntry(now + kOpenEndDays, separator));
    cbTL2->Clear();
    for (int i = 0, n = cbTL1->Count(); i < n; ++i)
        cbTL2->Add(cbTL1->Item(i));
    cbTL2->SetItemIndex(-1);
    presetsFrom->Reset(separator);
    presetsTo->Reset(separator);

    DateTimeParts today = DecodeDateTime(now);
    today.hour = today.minute = today.second = today.millisecond = 0;
    if (!timeFromByHand)
        timeFrom = 0.0;
    if (!timeToByHand)
        timeTo = EncodeDateTime(today) + kOpenEndDays;
    dtp1->SetValue(ShownInPicker(timeFrom));
    dtp2->SetValue(ShownInPicker(timeTo));
    dtp1->SetEnabled(true);
    dtp2->SetEnabled(true);

    if (keptFilters->KeepsMasks()) {
        cbFName->SetText(keptFilters->Masks());
        cbSelAll->tag = 1;  // its click would rewrite the masks from a list that is empty now
        cbSelAll->SetChecked(true);
        cbSelAll->tag = 0;
    } else {
        cbFName->SetText("*.*");
        cbSelAll->SetChecked(true);  // its click handler puts the masks text into its normal form
    }

    // A size the user typed stays; the edits' change handlers recompute the sizes from the texts.
    if (minSize == 0)
        EditFSMin->SetText("0");
    if (maxSize == INT64_MAX)
        EditFSMax->SetText("9223372036854775807");
}

void FiltersSection::WireFilterControls()
{
    cbFName->onExit = WhenEditable([this] { cbFNameExit(); });
    cbFName->onClick = WhenEditable([this] { cbFNameClick(); });
    cbFName->onKeyUp = WhenEditable([this](WORD& key, ui::Shift) { cbFNameKeyUp(key); });
    ExtList->onClickCheck = WhenEditable([this](int) { ExtListClickCheck(); });
    cbSelAll->onClick = WhenEditable([this] { cbSelAllClick(); });
    presetsFrom = std::make_unique<PresetListFill>(*cbTL1);
    presetsTo = std::make_unique<PresetListFill>(*cbTL2);
    cbTL1->onChange = WhenEditable([this] { cbTL1Change(); });
    cbTL2->onChange = WhenEditable([this] { cbTL2Change(); });
    dtp1->onChange = WhenEditable([this] { dtp1Change(); });
    dtp2->onChange = WhenEditable([this] { dtp2Change(); });
    for (ui::Edit* edit : {EditFSMin.get(), EditFSMax.get()}) {
        edit->onKeyPress = [this](char& key) { EditFSMinKeyPress(key); };
        edit->onKeyDown = [this, edit](WORD& key, ui::Shift shift) { EditFSMinKeyDown(*edit, key, shift); };
    }
    EditFSMin->onChange = [this] { EditFSMinChange(); };
    cbFSMin->onChange = [this] { EditFSMinChange(); };
    EditFSMax->onChange = [this] { EditFSMaxChange(); };
    cbFSMax->onChange = [this] { EditFSMaxChange(); };
}

// --- Masks and extensions ------------------------------------------------------------------------

void FiltersSection::cbFNameExit()
{
    const std::string trimmed = TrimBlanks(cbFName->Text());
    if (trimmed != cbFName->Text())
        cbFName->SetText(trimmed);
    for (int i = 0; i < ExtList->Count(); ++i)
        ExtList->SetChecked(i, MasksCoverExtension(ExtList->Item(i)));
}

void FiltersSection::cbFNameClick() { cbFNameExit(); }

void FiltersSection::cbFNameKeyUp(WORD key)
{
    // Enter, and the keys of / ; \ , . on a US layout: a mask has just been finished.
    switch (key) {
    case 13: case 191: case 186: case 220: case 188: case 190:
        cbFNameExit();
        break;
    default:
        break;
    }
}

bool FiltersSection::MasksCoverExtension(const std::string& entry)
{
    return ::MasksCoverExtension(cbFName->Text(), entry);
}

void FiltersSection::ExtListClickCheck()
{
    std::vector<ExtensionEntry> entries;
    entries.reserve(static_cast<size_t>(ExtList->Count()));
    for (int i = 0; i < ExtList->Count(); ++i)
        entries.push_back({ExtList->Item(i), ExtList->Checked(i)});
    const MaskRewrite rewrite = RewriteMasksFromChecks(cbFName->Text(), entries);
    cbFName->SetText(rewrite.masksText);
    // Clearing Select All raises its click; the guard keeps that from coming back here.
    cbSelAll->tag = 1;
    if (rewrite.anyUnchecked)
        cbSelAll->SetChecked(false);
    cbSelAll->tag = 0;
}

void FiltersSection::cbSelAllClick()
{
    if (cbSelAll->tag == 1)
        return;
    const bool all = cbSelAll->Checked();
    for (int i = 0; i < ExtList->Count(); ++i)
        ExtList->SetChecked(i, all);
    ExtListClickCheck();
}

// --- Time window -----------------------------------------------------------------------------------

void FiltersSection::cbTL1Change()
{
    const std::string text = ChosenPreset(*cbTL1);
    if (text.empty())
        return;
    // A text that is no preset time opens the window's start fully, without a message.
    timeFrom = ParsePresetTime(text).value_or(0.0);
    timeFromByHand = true;
    dtp1->SetValue(ShownInPicker(timeFrom));
}

void FiltersSection::cbTL2Change()
{
    const std::string text = ChosenPreset(*cbTL2);
    if (text.empty())
        return;
    timeTo = ParsePresetTime(text).value_or(LocalNow() + kOpenEndDays);
    timeToByHand = true;
    dtp2->SetValue(ShownInPicker(timeTo));
}

void FiltersSection::dtp1Change()
{
    timeFrom = FromPicker(dtp1->Value());
    timeFromByHand = true;
}

void FiltersSection::dtp2Change()
{
    timeTo = FromPicker(dtp2->Value());
    timeToByHand = true;
}

// --- Size window -----------------------------------------------------------------------------------

void FiltersSection::EditFSMinKeyPress(char& key)
{
    if (!SizeEditAcceptsChar(key))
        key = 0;
}

void FiltersSection::EditFSMinKeyDown(ui::Edit& edit, WORD key, ui::Shift shift)
{
    if (key != VK_UP && key != VK_DOWN)
        return;
    const std::int64_t value = StepSize(SizeTextValue(edit.Text()), key == VK_UP, shift.shift, shift.ctrl);
    edit.SetText(std::to_string(value));  // its change handler recomputes the size
}

void FiltersSection::EditFSMinChange()
{
    const std::int64_t typed = SizeTextValue(EditFSMin->Text());
    minEdit3->SetText(SizeBreakdown(typed));
    minSize = ScaledSize(typed, cbFSMin->ItemIndex());
}

void FiltersSection::EditFSMaxChange()
{
    const std::int64_t typed = SizeTextValue(EditFSMax->Text());
    maxEdit3->SetText(SizeBreakdown(typed));
    maxSize = ScaledSize(typed, cbFSMax->ItemIndex());
}

// --- What the section gives and shows ------------------------------------------------------------

void FiltersSection::AddTo(JobRequest& request)
{
    request.filters = Filters();
    request.minSizeText = EditFSMin->Text();
    request.maxSizeText = EditFSMax->Text();
}

void FiltersSection::ShowHasSources(bool any)
{
    SizeFilterLabel->SetEnabled(any);
    ModificationTimeFilterLabel->SetEnabled(any);
}

void FiltersSection::UseSectionColors()
{
    for (ui::Control* control : std::initializer_list<ui::Control*>{cbFName.get(), ExtList.get(), dtp1.get(), dtp2.get(),
                                                                    cbTL1.get(), cbTL2.get()})
        if (control->Color() != ui::kParentColor)
            control->SetColor(ui::kParentColor);
}

void FiltersSection::ScrollToTop() { ScrollBox1->SetScrollPosition(0); }

int FiltersSection::RowHeight() const { return cbFName->Height(); }

// --- A count of the sources ------------------------------------------------------------------------

void FiltersSection::CountStarted()
{
    // Entries the lists already hold (the two outer presets of the reset) are not added twice.
    countedExtensions_.clear();
    newExtensions_.clear();
    anyUnchecked_ = false;
    for (int i = 0, n = ExtList->Count(); i < n; ++i)
        countedExtensions_.insert(LocaleLower(ExtList->Item(i)));
}

void FiltersSection::ExtensionMet(const std::string& entry)
{
    if (countedExtensions_.insert(entry).second)
        newExtensions_.push_back(entry);
}

void FiltersSection::TimeMet(DateTime modified) { presetsFrom->Add(modified); }

void FiltersSection::ShowCounted()
{
    // The extension list is in view whenever the section is open: complete before the user can look.
    // The preset list takes its entries when looked at; one that is open or has the focus is watched,
    // and follows the count.
    FlushExtensions();
    presetsFrom->KeepUpWhileInView();
}

void FiltersSection::CountEnded()
{
    FlushExtensions();
    // Entries the kept filters leave out: Select All no longer holds (without its click, which would
    // check them all again).
    if (anyUnchecked_ && cbSelAll->Checked()) {
        cbSelAll->tag = 1;
        cbSelAll->SetChecked(false);
        cbSelAll->tag = 0;
    }
    presetsTo->CopyFrom(*presetsFrom);
}

void FiltersSection::CountComplete()
{
    dtp1->SetEnabled(false);
    dtp2->SetEnabled(false);
}

// New extension entries go in as a batch, between two runs of messages. No message runs while a batch
// is gathered, so an entry still takes the Select All mark of the moment it was met, as the user could
// not have changed it since.
void FiltersSection::FlushExtensions()
{
    if (newExtensions_.empty())
        return;
    const bool all = cbSelAll->Checked();
    ui::CheckListBox::Batch batch(*ExtList);
    for (const std::string& entry : newExtensions_) {
        const bool checked = all && (!keptFilters || keptFilters->StartsChecked(entry));
        batch.Add(entry, checked);
        anyUnchecked_ = anyUnchecked_ || !checked;
    }
    newExtensions_.clear();
}
