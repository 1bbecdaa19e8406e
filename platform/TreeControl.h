#pragma once
#include <windows.h>

#include <string>

// The first "SysTreeView32" window below `parent`, searched depth first in child order (the shell's
// browse dialog keeps its tree at different depths on different systems); null when there is none.
HWND FindTreeControl(HWND parent);

// Asks a shell browse dialog to select a path in its tree (BFFM_SETSELECTIONA). Only an existing
// entry is asked for, without a trailing backslash (a drive root keeps it), and never the entry that
// is selected already (`selected`, compared without regard to case): under Wine a second request
// for the selected folder (as "C:\a\" after "C:\a" while a path is typed) can leave the dialog
// unable to select anything below it afterwards. A path that does not exist leaves the selection
// where it was, as the dialog itself would.
// `tree` is the dialog's tree control, wherever it has been moved (null when not known).
void SelectInBrowseDialog(HWND dialog, HWND tree, std::string path, const std::string& selected);
