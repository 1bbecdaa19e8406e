#include "dialogs/NewDir.h"

#include "core/NewFolderName.h"
#include "platform/PathKind.h"
#include "res/Pictures.h"

#include <algorithm>

namespace {

constexpr COLORREF kRefusedColor = RGB(255, 0, 0);
constexpr COLORREF kPathColor = RGB(0, 0, 0);

ui::FormArgs NewDirFormArgs(HWND owner)
{
    return {.caption = "Input New Folder Name",
            .border = ui::FormBorder::Single,
            .closeBox = false,
            .minimizeBox = false,
            .maximizeBox = false,
            .centered = true,
            .keyPreview = true,
            .owner = owner,
            .icon = res::ProgramIcon(32),
            .smallIcon = res::ProgramIcon(16)};
}

} // namespace

TNewDir::TNewDir(HWND owner)
    : form({.name = "NewDir", .bounds = {0, 0, 512, 190}}, NewDirFormArgs(owner)),
      Label1(form, {.name = "Label1", .bounds = {16, 12, 0, 13}}, {.caption = "Please input the new fodlder name:"}),
      edFolderName(form, {.name = "edFolderName", .bounds = {16, 30, 473, 21}}, {.text = "New Folder"}),
      pathlabel(form, {.name = "pathlabel", .bounds = {16, 58, 473, 57}}, {.wordWrap = true, .autoSize = false}),
      BitBtn1(form, {.name = "BitBtn1", .bounds = {318, 120, 80, 28}}, {.caption = "Ok", .modalResult = ui::kModalOk}),
      BitBtn2(form, {.name = "BitBtn2", .bounds = {409, 120, 80, 28}},
              {.caption = "Cancel", .modalResult = ui::kModalCancel})
{
    edFolderName.onChange = [this] { edFolderNameChange(); };
    edFolderName.onKeyPress = [this](char& key) { edFolderNameKeyPress(key); };
    form.onKeyUp = [this](WORD& key, ui::Shift) { FormKeyUp(key); };
}

void TNewDir::edFolderNameChange()
{
    if (cleaning)
        return;
    // Typed characters that a name cannot hold never arrive (edFolderNameKeyPress); pasted ones are
    // taken out the same way, so that no name ever reaches another folder or an invalid path.
    std::string name = edFolderName.Text();
    if (std::any_of(name.begin(), name.end(), IsForbiddenNameChar)) {
        std::erase_if(name, IsForbiddenNameChar);
        cleaning = true;
        edFolderName.SetText(name);
        cleaning = false;
        SendMessageA(edFolderName.Handle(), EM_SETSEL, name.size(), name.size());
    }
    const FolderNameCheck check = CheckFolderName(parentPath, name, IsExistingFolder);
    pathlabel.SetTextColor(check.refused ? kRefusedColor : kPathColor);
    pathlabel.SetText(check.text);
    BitBtn1.SetEnabled(!check.refused);
}

void TNewDir::edFolderNameKeyPress(char& key)
{
    if (IsForbiddenNameChar(key))
        key = 0;
}

void TNewDir::FormKeyUp(WORD key)
{
    if (key == VK_RETURN && BitBtn1.Enabled())
        BitBtn1Click();
    else if (key == VK_ESCAPE)
        BitBtn2Click();
}

void TNewDir::BitBtn1Click()
{
    if (BitBtn1.Enabled())
        form.SetModalResult(ui::kModalOk);
}

void TNewDir::BitBtn2Click() { form.SetModalResult(ui::kModalCancel); }
