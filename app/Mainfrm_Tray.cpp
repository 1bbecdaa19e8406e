// The icon in the notification area, its menu, and the links of the About page.
#include "app/Mainfrm.h"

#include "app/TrayIcon.h"
#include "core/ShellIntegration.h"
#include "platform/ProgramPath.h"

#include <shellapi.h>

namespace {

constexpr int kAboutPage = 1;

bool IsFile(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell opens it with what is registered; a failure (nothing registered) is not reported.
void OpenWithShell(HWND owner, const std::string& target)
{
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

bool TVorCopyPasteWin::TrayIconShown() const { return TrayIcon1->Shown(); }

void TVorCopyPasteWin::RestoreFromTray()
{
    HWND window = Handle();
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void TVorCopyPasteWin::TrayIcon1MouseDown() { RestoreFromTray(); }

void TVorCopyPasteWin::TrayIcon1DblClick() { RestoreFromTray(); }

void TVorCopyPasteWin::TrayIcon1Popup()
{
    POINT at{};
    GetCursorPos(&at);
    PopupMenu2->Popup(Handle(), at.x, at.y);
}

void TVorCopyPasteWin::About1Click()
{
    RestoreFromTray();
    PageControl2->SetActivePage(kAboutPage);
    if (expandedSection != kSectionSettings)
        CopyCutLabelClick(*SettingsLabel);
}

void TVorCopyPasteWin::Label8Click() { OpenWithShell(Handle(), Label8->Text()); }

void TVorCopyPasteWin::Label9Click() { OpenWithShell(Handle(), SupportMailTarget()); }

void TVorCopyPasteWin::Label11Click() { OpenWithShell(Handle(), HelpTarget(ProgramFolderPath(), IsFile)); }
