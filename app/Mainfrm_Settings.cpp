// The Options page: each box is stored at once when clicked and read back at start-up, where the
// click actions write the entries again with the program's present location.
#include "app/Mainfrm.h"

#include "app/SettingsStore.h"
#include "platform/ProgramPath.h"

void TVorCopyPasteWin::ReadSettings()
{
    const RegistryRoots roots;
    const StoredSettings stored = ReadStoredSettings(roots);
    // Setting a mark raises the box's click action when it changes it: a stored 0 is written again,
    // and present entries are written again with this program's path.
    if (stored.monitorClipboard)
        cbMonitorClipboard->SetChecked(*stored.monitorClipboard);
    if (stored.startAtLogon)
        cbStart->SetChecked(*stored.startAtLogon);
    cbContext->SetChecked(stored.contextVerb);
}

void TVorCopyPasteWin::cbStartClick()
{
    if (StoreAutoRun(RegistryRoots{}, cbStart->Checked(), ProgramFilePath()) == AutoRunResult::WriteRefused) {
        cbStart->SetChecked(false);  // its click action removes an older entry as well
        ShowMessage("Auto run is forbidden by your system.");
    }
}

void TVorCopyPasteWin::cbContextClick()
{
    StoreContextVerb(RegistryRoots{}, cbContext->Checked(), ProgramFilePath());
}

void TVorCopyPasteWin::cbMonitorClipboardClick()
{
    StoreMonitorClipboard(RegistryRoots{}, cbMonitorClipboard->Checked());
}
