#pragma once
#include <windows.h>

namespace res {

// The program's pictures, drawn for this project (res/tools/make_pictures.py writes them as 32-bit
// bitmaps with premultiplied alpha into res/, and res/Orvandel.rc links them into the program).
// The order here is the order of the generator's list: keep the two the same.
enum class Picture {
    Copy, Cut, Trash, Delete, Crush,                        // the five operations (24 and 64 px)
    Begin, Cancel, Pause, GoOn, StopSearching, Add, Remove, // buttons (16 and 24 px)
    Overwrite, Skip, Update, AutoRename, Replace,           // conflict dialogs (16 and 24 px)
    Options, About,                                         // tabs (16 and 24 px)
    Folder, NewFolder, Ok,                                  // To section and folder-name dialog (16 and 24 px)
};

// The picture at 16, 24 or 64 pixels; null when that size was not drawn. Shared, never deleted by
// the caller.
HBITMAP GetPicture(Picture picture, int size);
// The program icon at 16, 32, 48 or 128 pixels (shared).
HICON ProgramIcon(int size);
// Where the pictures are loaded from: the program itself by default. Tests, which are other
// programs, point this at Orvandel.exe loaded as a data file.
void UsePictureModule(HMODULE module);

} // namespace res
