#include "dialogs/Existsform.h"

namespace {

const ConflictDialogLook kFileLook{
    .formName = "TFileExistsForm",
    .caption = "File already exists ",
    .firstLine = "The same named file already exists. Select the operation for it.",
    .sameSelection = "Use same selection  for other files",
    .firstAnswer = "Overwrite",
    .firstPicture = res::Picture::Overwrite,
    .clientWidth = 513,
    .clientHeight = 172,
    .borderWidth = 3,
    .color = RGB(221, 255, 221),
    .stayOnTop = true,
    .slots = {0, 1, 2, 3},  // Overwrite, Skip, Update, Auto Rename
};

} // namespace

TFileExistsForm::TFileExistsForm(HWND owner) : ConflictDialogBase(kFileLook, owner) {}
