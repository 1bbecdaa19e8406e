// The Filters section's controls: the masks box and the extension check list kept in step, Select
// All, the time window's pickers and presets, and the size edits.
#include "app/Mainfrm.h"

#include "core/DateTime.h"
#include "core/LogTexts.h"
#include "filters/MaskEditing.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"
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

} // namespace

void TVorCopyPasteWin::WireFilterControls()
{
    cbFName->onExit = [this] { cbFNameExit(); };
    cbFName->onClick = [this] { cbFNameClick(); };
    cbFName->onKeyUp = [this](WORD& key, ui::Shift) { cbFNameKeyUp(key); };
    ExtList->onClickCheck = [this](int) { ExtListClickCheck(); };
    cbSelAll->onClick = [this] { cbSelAllClick(); };
    presetsFrom = std::make_unique<PresetListFill>(*cbTL1);
    presetsTo = std::make_unique<PresetListFill>(*cbTL2);
    cbTL1->onChange = [this] { cbTL1Change(); };
    cbTL2->onChange = [this] { cbTL2Change(); };
    dtp1->onChange = [this] { dtp1Change(); };
    dtp2->onChange = [this] { dtp2Change(); };
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

void TVorCopyPasteWin::cbFNameExit()
{
    const std::string trimmed = TrimBlanks(cbFName->Text());
    if (trimmed != cbFName->Text())
        cbFName->SetText(trimmed);
    for (int i = 0; i < ExtList->Count(); ++i)
        ExtList->SetChecked(i, MasksCoverExtension(ExtList->Item(i)));
}

void TVorCopyPasteWin::cbFNameClick() { cbFNameExit(); }

void TVorCopyPasteWin::cbFNameKeyUp(WORD key)
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

bool TVorCopyPasteWin::MasksCoverExtension(const std::string& entry)
{
    return ::MasksCoverExtension(cbFName->Text(), entry);
}

void TVorCopyPasteWin::ExtListClickCheck()
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

void TVorCopyPasteWin::cbSelAllClick()
{
    if (cbSelAll->tag == 1)
        return;
    const bool all = cbSelAll->Checked();
    for (int i = 0; i < ExtList->Count(); ++i)
        ExtList->SetChecked(i, all);
    ExtListClickCheck();
}

// --- Time window -----------------------------------------------------------------------------------

void TVorCopyPasteWin::cbTL1Change()
{
    const std::string text = ChosenPreset(*cbTL1);
    if (text.empty())
        return;
    // A text that is no preset time opens the window's start fully, without a message.
    timeFrom = ParsePresetTime(text).value_or(0.0);
    timeFromByHand = true;
    dtp1->SetValue(ShownInPicker(timeFrom));
}

void TVorCopyPasteWin::cbTL2Change()
{
    const std::string text = ChosenPreset(*cbTL2);
    if (text.empty())
        return;
    timeTo = ParsePresetTime(text).value_or(Now() + kOpenEndDays);
    timeToByHand = true;
    dtp2->SetValue(ShownInPicker(timeTo));
}

void TVorCopyPasteWin::dtp1Change()
{
    timeFrom = FromPicker(dtp1->Value());
    timeFromByHand = true;
}

void TVorCopyPasteWin::dtp2Change()
{
    timeTo = FromPicker(dtp2->Value());
    timeToByHand = true;
}

// --- Size window -----------------------------------------------------------------------------------

void TVorCopyPasteWin::EditFSMinKeyPress(char& key)
{
    if (!SizeEditAcceptsChar(key))
        key = 0;
}

void TVorCopyPasteWin::EditFSMinKeyDown(ui::Edit& edit, WORD key, ui::Shift shift)
{
    if (key != VK_UP && key != VK_DOWN)
        return;
    const std::int64_t value = StepSize(SizeTextValue(edit.Text()), key == VK_UP, shift.shift, shift.ctrl);
    edit.SetText(std::to_string(value));  // its change handler recomputes the size
}

void TVorCopyPasteWin::EditFSMinChange()
{
    const std::int64_t typed = SizeTextValue(EditFSMin->Text());
    minEdit3->SetText(SizeBreakdown(typed));
    minSize = ScaledSize(typed, cbFSMin->ItemIndex());
}

void TVorCopyPasteWin::EditFSMaxChange()
{
    const std::int64_t typed = SizeTextValue(EditFSMax->Text());
    maxEdit3->SetText(SizeBreakdown(typed));
    maxSize = ScaledSize(typed, cbFSMax->ItemIndex());
}
