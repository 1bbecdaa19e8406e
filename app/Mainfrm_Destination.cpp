// The destination: the text of cbPath, steered into the To section's tree as it is typed, and the
// New Folder and Rename actions with their name dialog.
#include "app/MainWindowClass.h"
#include "app/Mainfrm.h"

#include "core/NewFolderName.h"
#include "dialogs/NewDir.h"
#include "platform/LongPath.h"
#include "platform/PathKind.h"
#include "platform/ShellRename.h"
#include "platform/TreeControl.h"
#include "ui/MessageBoxes.h"

#include <shlobj.h>

#include <exception>

namespace {

constexpr const char* kMessageTitle = kApplicationTitle;  // the program's title, as every box of it

// Creates a folder with every missing parent; paths of any length.
bool CreateFolderTree(const std::string& path)
{
    try {
        const int result = SHCreateDirectoryExW(nullptr, ExtendedPathW(WidePath(path)).c_str(), nullptr);
        return result == ERROR_SUCCESS || (result == ERROR_ALREADY_EXISTS && IsExistingFolder(path)) ||
               (result == ERROR_FILE_EXISTS && IsExistingFolder(path));
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void TVorCopyPasteWin::cbPathChange()
{
    if (!destinationBrowseDialog)
        return;
    steeringFromPath = true;
    SelectInBrowseDialog(destinationBrowseDialog, destinationTree, cbPath->Text(), lastDestinationFolder);
    steeringFromPath = false;
}

void TVorCopyPasteWin::BitBtn2Click()
{
    std::string parent = cbPath->Text();
    if (parent.empty() || parent.back() != '\\') {
        parent += '\\';
        cbPath->SetText(parent);
    }
    TNewDir dialog(Handle());
    dialog.SetParentPath(parent);
    dialog.edFolderName.SetText(ProposeNewFolderName(parent, IsExistingFolder));
    dialog.edFolderNameChange();
    ++questionsUp;  // a Begin waiting for its scan does not start inside the dialog's loop
    const int result = dialog.ShowModal();
    --questionsUp;
    if (result != ui::kModalOk)
        return;
    const std::string path = parent + dialog.FolderName();
    if (!CreateFolderTree(path)) {
        ui::ShowMessage(Handle(), "Failed to create new folder:\n" + path, kMessageTitle);
        return;
    }
    cbPath->SetText(path);
    // A rename there and back makes the shell announce the folder, so the tree lists it. Only through
    // a name nothing holds, and back only when the first step went: the shell merges a folder renamed
    // onto an existing one, which would move a user's own "<name>1" into the new folder.
    const std::string detour = path + "1";
    if (KindOfPath(detour) == PathKind::Missing && ShellRenameFolder(Handle(), path, detour))
        ShellRenameFolder(Handle(), detour, path);
    if (destinationBrowseDialog) {
        SelectInBrowseDialog(destinationBrowseDialog, destinationTree, path, lastDestinationFolder);
        ::SetFocus(destinationTree ? destinationTree : destinationBrowseDialog);
    }
}

void TVorCopyPasteWin::BitBtn4Click()
{
    if (EffectOf(UserAction::RenameFolder, Phase()) != Effect::Act)
        return;
    const RenameParts parts = SplitForRename(cbPath->Text());
    if (parts.parent.empty())
        return;
    // Rename acts on folders: a destination text naming a file (or nothing) renames nothing, and says
    // so before the name is asked for.
    if (!IsExistingFolder(parts.old)) {
        ui::ShowMessage(Handle(), "Failed to rename the folder\n" + parts.old, kMessageTitle);
        return;
    }
    TNewDir dialog(Handle());
    dialog.SetParentPath(parts.parent);
    dialog.edFolderName.SetText(parts.name);
    dialog.edFolderNameChange();
    ++questionsUp;
    const int result = dialog.ShowModal();
    --questionsUp;
    // The dialog pumped messages: a job taken meanwhile may be writing into the folder.
    if (result != ui::kModalOk || EffectOf(UserAction::RenameFolder, Phase()) != Effect::Act)
        return;
    const std::string renamed = parts.parent + dialog.FolderName();
    // Looked at again: the dialog ran its own loop, in which the folder may have been replaced.
    if (IsExistingFolder(parts.old))
        ShellRenameFolder(Handle(), parts.old, renamed);
    if (IsExistingFolder(renamed))
        cbPath->SetText(renamed);
    else
        ui::ShowMessage(Handle(), "Failed to rename the folder\n" + parts.old, kMessageTitle);
}
