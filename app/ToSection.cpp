// The To section: the text of cbPath, steered into the section's tree as it is typed, and the New
// Folder and Rename actions with their name dialog.
#include "app/ToSection.h"

#include "app/ControlArgsBuilders.h"

#include "core/NewFolderName.h"
#include "dialogs/NewDir.h"
#include "platform/LongPath.h"
#include "platform/PathKind.h"
#include "platform/ShellRename.h"
#include "res/Pictures.h"

#include <shlobj.h>

#include <exception>

namespace {

// Creates a folder with every missing parent; paths of any length.
bool CreateFolderTree(const std::string& path)
{
    try {
        // A typed name: made as the system reads it ("New." makes "New"), as every other program would.
        const int result = SHCreateDirectoryExW(nullptr, ExtendedPathW(ResolvedPathW(path)).c_str(), nullptr);
        return result == ERROR_SUCCESS || (result == ERROR_ALREADY_EXISTS && IsExistingFolder(path)) ||
               (result == ERROR_FILE_EXISTS && IsExistingFolder(path));
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

using namespace build;

void ToSection::Build(ui::Panel& body)
{
    Panel26 = Make<ui::Panel>(body, Named("Panel26", {0, 0, 0, 33}, ui::Align::Top));
    cbPath = Make<ui::ComboBox>(*Panel26, Named("cbPath", {0, 0, 380, 21}));
    ToBottomPanel = Make<ui::Panel>(body, Named("Panel27", {0, 0, 0, 34}, ui::Align::Bottom));
    ui::ControlArgs ignore = Named("cbIgnorSubDir", {4, 8, 200, 17});
    ignore.hint = "This will copy all the needed files to the same destination folder.";
    cbIgnorSubDir = Make<ui::CheckBox>(*ToBottomPanel, ignore, ui::CheckBoxArgs{"Do not create subdirectory"});
    BitBtn2 = Make<ui::Button>(*ToBottomPanel, Named("BitBtn2", {0, 4, 96, 26}),
                               ui::ButtonArgs{"New Folder", res::GetPicture(res::Picture::NewFolder, 16)});
    BitBtn4 = Make<ui::Button>(*ToBottomPanel, Named("BitBtn4", {0, 4, 80, 26}), ui::ButtonArgs{"Rename"});
    ToBottomPanel->onResize = [this] { PlaceButtons(); };
    Panel3 = Make<ui::Panel>(body, Named("Panel3", {}, ui::Align::Client));
    BitBtn3 = Make<ui::Button>(*Panel3, Named("BitBtn3", {8, 8, 200, 28}),
                               ui::ButtonArgs{"Select Destination Directory", res::GetPicture(res::Picture::Folder, 16)});
    Panel14 = Make<ui::Panel>(*Panel3, Hidden(Named("Panel14", {0, 0, 10, 10})));

    cbPath->onChange = [this] { cbPathChange(); };
    BitBtn2->onClick = [this] { BitBtn2Click(); };
    BitBtn4->onClick = [this] { BitBtn4Click(); };
    BitBtn3->onClick = [this] { BitBtn3Click(); };
}

void ToSection::Layout()
{
    Panel26->SetHeight(cbPath->Height());
    cbPath->SetBounds(0, 0, Panel26->ClientWidth(), cbPath->Height());
}

void ToSection::PlaceButtons()
{
    BitBtn4->SetLeft(ToBottomPanel->ClientWidth() - 4 - BitBtn4->Width());
    BitBtn2->SetLeft(BitBtn4->Left() - 4 - BitBtn2->Width());
}

void ToSection::AddTo(JobRequest& request) const
{
    request.destinationText = cbPath->Text();
    request.destination = ResolvedDestinationText(request.destinationText);
    request.flat = cbIgnorSubDir->Checked();
}

void ToSection::SetFolderButtonsEnabled(bool enabled)
{
    BitBtn4->SetEnabled(enabled);
    BitBtn3->SetEnabled(enabled);
}

void ToSection::cbPathChange()
{
    // The destination text prepares the next job in every phase; the table says so.
    if (EffectOf(UserAction::EditDestination, host_.Phase()) == Effect::Act)
        trees_.SteerDestination(cbPath->Text());
}

void ToSection::BitBtn3Click()
{
    if (EffectOf(UserAction::ReopenTree, host_.Phase()) != Effect::Ignore)
        trees_.ReopenDestination();  // during a scan it opens once the scan has wound down
}

void ToSection::BitBtn2Click()
{
    std::string parent = cbPath->Text();
    if (parent.empty() || parent.back() != '\\') {
        parent += '\\';
        cbPath->SetText(parent);
    }
    TNewDir dialog(host_.Handle());
    dialog.SetParentPath(parent);
    dialog.edFolderName.SetText(ProposeNewFolderName(parent, IsExistingFolder));
    dialog.edFolderNameChange();
    if (host_.RunDialog(dialog.form) != ui::kModalOk)
        return;
    const std::string path = parent + dialog.FolderName();
    if (!CreateFolderTree(path)) {
        host_.ShowMessage("Failed to create new folder:\n" + path);
        return;
    }
    cbPath->SetText(path);
    // A rename there and back makes the shell announce the folder, so the tree lists it. Only through
    // a name nothing holds, and back only when the first step went: the shell merges a folder renamed
    // onto an existing one, which would move a user's own "<name>1" into the new folder.
    const std::string detour = path + "1";
    if (KindOfPath(detour) == PathKind::Missing && ShellRenameFolder(host_.Handle(), path, detour))
        ShellRenameFolder(host_.Handle(), detour, path);
    trees_.ShowNewDestination(path);
}

void ToSection::BitBtn4Click()
{
    if (EffectOf(UserAction::RenameFolder, host_.Phase()) != Effect::Act)
        return;
    const RenameParts parts = SplitForRename(cbPath->Text());
    if (parts.parent.empty())
        return;
    // Rename acts on folders: a destination text naming a file (or nothing) renames nothing, and says
    // so before the name is asked for.
    if (!IsExistingFolder(parts.old)) {
        host_.ShowMessage("Failed to rename the folder\n" + parts.old);
        return;
    }
    TNewDir dialog(host_.Handle());
    dialog.SetParentPath(parts.parent);
    dialog.edFolderName.SetText(parts.name);
    dialog.edFolderNameChange();
    const int result = host_.RunDialog(dialog.form);
    // The dialog pumped messages: a job taken meanwhile may be writing into the folder.
    if (result != ui::kModalOk || EffectOf(UserAction::RenameFolder, host_.Phase()) != Effect::Act)
        return;
    const std::string renamed = parts.parent + dialog.FolderName();
    // Looked at again: the dialog ran its own loop, in which the folder may have been replaced.
    if (IsExistingFolder(parts.old))
        ShellRenameFolder(host_.Handle(), parts.old, renamed);
    if (IsExistingFolder(renamed))
        cbPath->SetText(renamed);
    else
        host_.ShowMessage("Failed to rename the folder\n" + parts.old);
}
