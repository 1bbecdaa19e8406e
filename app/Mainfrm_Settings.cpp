// The Options page: each box is stored at once when clicked and read back at start-up, where the
// click actions write the entries again with the program's present location.
#include "app/Mainfrm.h"

#include "app/SettingsStore.h"
#include "core/ShellIntegration.h"
#include "engine/filefacts.h"
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
    if (stored.verifyCopies)
        cbVerify->SetChecked(*stored.verifyCopies);
}

void TVorCopyPasteWin::cbStartClick()
{
    RegistryFailure failure;
    const AutoRunResult result = StoreAutoRun(RegistryRoots{}, cbStart->Checked(), ProgramFilePath(), &failure);
    if (result == AutoRunResult::WriteRefused) {
        cbStart->SetChecked(false);  // its click action removes an older entry as well
        ShowMessage("Auto run is forbidden by your system.");
    } else if (result == AutoRunResult::RemoveFailed) {
        ShowRegistryFailure(failure);
    }
}

void TVorCopyPasteWin::cbContextClick()
{
    if (const std::optional<RegistryFailure> failure = StoreContextVerb(RegistryRoots{}, cbContext->Checked(),
                                                                        ProgramFilePath()))
        ShowRegistryFailure(*failure);
}

void TVorCopyPasteWin::cbMonitorClipboardClick()
{
    if (const std::optional<RegistryFailure> failure = StoreMonitorClipboard(RegistryRoots{}, cbMonitorClipboard->Checked()))
        ShowRegistryFailure(*failure);
}

void TVorCopyPasteWin::cbVerifyClick()
{
    if (const std::optional<RegistryFailure> failure = StoreVerifyCopies(RegistryRoots{}, cbVerify->Checked()))
        ShowRegistryFailure(*failure);
}

// A write that was refused although its key opened: the box stays as the user set it, and the user
// learns that the setting was not kept.
void TVorCopyPasteWin::ShowRegistryFailure(const RegistryFailure& failure)
{
    ShowMessage(RegistryFailureMessage(failure.value, SystemErrorText(static_cast<unsigned long>(failure.code))));
}
