#include "dialogs/Folderexists.h"

namespace {

const ConflictDialogLook kFolderLook{
    .formName = "TFolderExistsForm",
    .caption = "Folder already exists ",
    .firstLine = "The same named folder already exists. Select the operation for it.",
    .sameSelection = "Use same selection  for other folder",
    .firstAnswer = "Replace",
    .firstPicture = res::Picture::Replace,
    .clientWidth = 560,
    .clientHeight = 177,
    .borderWidth = 3,
    .color = RGB(221, 221, 255),
    .stayOnTop = false,
    .slots = {1, 2, 0, 3},  // left to right: Update (BitBtn3), Replace (BitBtn1), Skip (BitBtn2), Auto Rename
};

} // namespace

TFolderExistsForm::TFolderExistsForm(HWND owner) : ConflictDialogBase(kFolderLook, owner) {}
