// The source list: the rule every addition passes, Add and Remove, and the source tree's place.
#include "app/SourceSection.h"

#include "app/ControlArgsBuilders.h"
#include "core/AbsolutePath.h"
#include "core/LogTexts.h"
#include "core/SectionNumber.h"
#include "core/SourceAdmission.h"
#include "platform/PathKind.h"
#include "res/Pictures.h"

using namespace build;

void SourceSection::Build(ui::Panel& body, Links links)
{
    links_ = std::move(links);
    sourceList = Make<ui::ListBox>(body, Named("sourceList", {0, 0, 0, 73}, ui::Align::Top));
    Splitter1 = Make<ui::Splitter>(body, Named("Splitter1", {0, 0, 0, 3}, ui::Align::Top),
                                   ui::SplitterArgs{RGB(128, 0, 128), 32});
    sourceSubPanel3 = Make<ui::Panel>(body, Named("sourceSubPanel3", {0, 0, 0, 26}, ui::Align::Top));
    sourceEdit = Make<ui::Edit>(*sourceSubPanel3, Named("sourceEdit", {0, 0, 200, 21}), ui::EditArgs{"", true});
    ui::ControlArgs addArgs = Named("sourceButtonAdd", {200, 0, 70, 24});
    addArgs.font.bold = true;
    sourceButtonAdd = Make<ui::Button>(*sourceSubPanel3, addArgs, ui::ButtonArgs{"Add", res::GetPicture(res::Picture::Add, 16)});
    sourceButtonRemove = Make<ui::Button>(*sourceSubPanel3, Named("sourceButtonRemove", {270, 0, 80, 24}),
                                          ui::ButtonArgs{"Remove", res::GetPicture(res::Picture::Remove, 16)});
    Panel8 = Make<ui::Panel>(body, Named("Panel8", {}, ui::Align::Client));
    BitBtn6 = Make<ui::Button>(*Panel8, Named("BitBtn6", {8, 8, 180, 28}),
                               ui::ButtonArgs{"Select Source Directory", res::GetPicture(res::Picture::Folder, 16)});

    sourceButtonAdd->onClick = [this] { sourceButtonAddClick(); };
    sourceButtonRemove->onClick = [this] { sourceButtonRemoveClick(); };
    sourceList->onClick = [this] { sourceListClick(); };
    sourceList->onKeyUp = [this](WORD& key, ui::Shift) { sourceListKeyUp(key); };
    BitBtn6->onClick = [this] { BitBtn6Click(); };
}

void SourceSection::Layout(int rowHeight)
{
    sourceSubPanel3->SetHeight(rowHeight);
    const int editWidth = sourceSubPanel3->ClientWidth() - sourceButtonAdd->Width() - sourceButtonRemove->Width();
    sourceEdit->SetBounds(0, 0, editWidth > 0 ? editWidth : 0, sourceEdit->Height());
    sourceButtonAdd->SetBounds(sourceEdit->Width(), 0, sourceButtonAdd->Width(), sourceSubPanel3->ClientHeight());
    sourceButtonRemove->SetBounds(sourceButtonAdd->Left() + sourceButtonAdd->Width(), 0, sourceButtonRemove->Width(),
                                  sourceSubPanel3->ClientHeight());
}

std::vector<std::string> SourceSection::Items() const
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(sourceList->Count()));
    for (int i = 0; i < sourceList->Count(); ++i)
        entries.push_back(sourceList->Item(i));
    return entries;
}

int SourceSection::AddSourceItem(const std::string& path)
{
    // A relative path would mean this program's current folder, and "x\.." another place than its
    // text shows: every way in (typed, dropped, handed off, picked up) lists full paths only.
    const std::optional<std::string> listed = SourcePathAsListed(path);
    if (!listed)
        return -1;
    const SourceAdmission admission = DecideSourceAdmission(Items(), *listed, KindOfPath);
    if (!admission.exists)
        return -1;
    // An entry that arrives while a job is taken (a hand-off, a drop) is for the next job: Begin stays
    // as the job has it.
    if (EffectOf(UserAction::EditSources, host_.Phase()) == Effect::Act)
        links_.enableBegin();
    for (const int index : admission.deleteAt)
        sourceList->Delete(index);
    return admission.admitted ? sourceList->Add(admission.path) : -1;
}

void SourceSection::ReplaceWith(const std::vector<std::string>& paths)
{
    sourceList->Clear();
    for (const std::string& path : paths)
        AddSourceItem(path);
}

void SourceSection::sourceButtonAddClick()
{
    if (EffectOf(UserAction::EditSources, host_.Phase()) != Effect::Act)
        return;
    if (sourceEdit->Text().empty() || !sourceEdit->Enabled())
        return;
    if (!SourcePathAsListed(sourceEdit->Text())) {
        host_.ShowMessage(RelativeSourceMessage());
        return;
    }
    const int index = AddSourceItem(sourceEdit->Text());
    if (index < 0) {
        sourceEdit->SetText("Parent folder has already existed in the list.");
        sourceEdit->SetEnabled(false);
    } else {
        sourceList->ClearSelection();
        sourceList->SetSelected(index, true);
        links_.requestScan();
    }
    host_.RefreshSectionHeaders(kSectionSource);
}

void SourceSection::sourceButtonRemoveClick()
{
    if (EffectOf(UserAction::EditSources, host_.Phase()) != Effect::Act || sourceList->SelectedCount() == 0)
        return;
    const bool yes = host_.AskYesNo("Are you sure to remove the selected copy items from copy-list?", "Delete");
    // The question pumped messages: a job may have been taken meanwhile, and its list is not changed.
    if (!yes || EffectOf(UserAction::EditSources, host_.Phase()) != Effect::Act)
        return;
    for (int i = sourceList->Count() - 1; i >= 0; --i)
        if (sourceList->Selected(i))
            sourceList->Delete(i);
    host_.RefreshSectionHeaders(kSectionSource);
    links_.requestScan();
    if (!sourceEdit->Enabled()) {
        sourceEdit->SetText(sourceEdit->Hint());
        sourceEdit->SetEnabled(true);
    }
}

void SourceSection::sourceListKeyUp(WORD key)
{
    if (key == VK_DELETE)
        sourceButtonRemoveClick();
}

void SourceSection::sourceListClick()
{
    const int focused = sourceList->ItemIndex();
    if (focused < 0 || focused >= sourceList->Count())
        return;
    trees_.ShowSource(sourceList->Item(focused));
}

void SourceSection::BitBtn6Click()
{
    if (EffectOf(UserAction::ReopenTree, host_.Phase()) != Effect::Ignore)
        trees_.ReopenSource();  // during a scan it opens once the scan has wound down
}

void SourceSection::UseSectionColors()
{
    if (sourceList->Color() != ui::kParentColor)
        sourceList->SetColor(ui::kParentColor);
}

void SourceSection::ShowChosenFolder(const std::string& path)
{
    sourceEdit->SetText(path);
    sourceEdit->SetHint(path);
    sourceEdit->SetEnabled(true);
}
