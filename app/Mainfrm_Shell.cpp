// The window's part in the life of the process: the command line of the first start, the hand-off
// from later starts, the deferred first scan, and Exit.
#include "app/Mainfrm.h"

#include "app/TrayIcon.h"
#include "core/AbsolutePath.h"
#include "core/HandOff.h"
#include "core/ShellIntegration.h"
#include "platform/LongPath.h"

#include <string_view>

namespace {

// Whether the bytes are text of the process code page; MB_ERR_INVALID_CHARS refuses byte sequences
// the code page does not define (a broken UTF-8 sequence under the UTF-8 code page).
bool ValidProcessText(std::string_view text)
{
    if (text.empty())
        return true;
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr,
                               0) > 0;
}

} // namespace

void TVorCopyPasteWin::BuildShell()
{
    // Building the window looks at its messages now and then, so a hand-off can arrive before the
    // window's own message handling is in place: it is taken from here on.
    form->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return ShellMessage(message, wParam, lParam, result);
    };
    ParamTimer4->onTimer = [this] { ParamTimer4Timer(); };

    PopupMenu2 = std::make_unique<ui::PopupMenu>();
    PopupMenu2->Add({"Help", "Help1", false, false, false, 0, [this] { Label11Click(); }});
    PopupMenu2->Add({"Exit", "Exit1", false, false, false, 0, [this] { Exit1Click(); }});
    PopupMenu2->Add({"About", "About1", false, false, false, 0, [this] { About1Click(); }});
    TrayIcon1->onMouseDown = [this] { TrayIcon1MouseDown(); };
    TrayIcon1->onDoubleClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1->onPopup = [this] { TrayIcon1Popup(); };

    Label8->onClick = [this] { Label8Click(); };
    Label9->onClick = [this] { Label9Click(); };
    Label11->onClick = [this] { Label11Click(); };
    cbStart->onClick = [this] { cbStartClick(); };
    cbContext->onClick = [this] { cbContextClick(); };
    cbMonitorClipboard->onClick = [this] { cbMonitorClipboardClick(); };
    cbVerify->onClick = [this] { cbVerifyClick(); };
}

void TVorCopyPasteWin::HandleCommandLine(const std::string& argument)
{
    if (argument == kStartupWord) {
        startHidden = true;
        TrayIcon1->Show();
    }
    if (argument.empty() || argument == kNewWindowWord)
        return;
    // Resolved now, against the folder the program was started in: the list holds places, not texts
    // whose meaning changes with the current folder. The logon word names no place here.
    const std::string path = argument == kStartupWord ? std::string()
                             : IsAbsolutePath(argument) ? argument
                                                        : AbsolutePathText(argument);
    browseStartPath = FolderPart(path);
    if (!path.empty())
        AddSourceItem(path);
    ParamTimer4->Start();
}

void TVorCopyPasteWin::ParamTimer4Timer()
{
    ParamTimer4->Stop();
    BitBtn1Click();
}

bool TVorCopyPasteWin::ReceiveHandOff(ULONG_PTR tag, const void* data, std::size_t size)
{
    // Decoded before anything is touched: a foreign program's block changes nothing at all.
    const HandOff handOff = DecodeHandOff(static_cast<std::uint32_t>(tag), data, size, ValidProcessText);
    if (handOff.kind == HandOffKind::Refused)
        return false;
    TrayIcon1->Show();
    if (handOff.kind == HandOffKind::Path) {
        // A relative path would be read against this program's own current folder, not the sender's:
        // never added (a start of this program sends its argument resolved).
        const int index = IsAbsolutePath(handOff.text) ? AddSourceItem(handOff.text) : -1;
        SetForegroundWindow(Handle());
        if (index < 0) {
            pExists->Show();
            pExists->BringToFront();
            FormResize();  // centres the notice
        } else {
            SourcesChangedBy(UserAction::HandOff);
        }
    }
    HWND window = Handle();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    form->Show();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

bool TVorCopyPasteWin::ShellMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_COPYDATA) {
        const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        result = block && ReceiveHandOff(block->dwData, block->lpData, block->cbData) ? TRUE : FALSE;
        return true;
    }
    // Minimised while the icon is there: the window leaves the task bar; the icon brings it back.
    // Without the icon the application minimises (its button stays), and the system hides the window
    // with it: the window itself has no button to minimise to.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        if (TrayIcon1->Shown())
            ShowWindow(Handle(), SW_HIDE);
        else
            application->Minimize();
        result = 0;
        return true;
    }
    // The task bar's button comes and goes with the window.
    if (message == WM_WINDOWPOSCHANGED) {
        const auto* place = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (place->flags & SWP_SHOWWINDOW)
            application->MainWindowShown(true);
        else if (place->flags & SWP_HIDEWINDOW)
            application->MainWindowShown(false);
        return false;  // the window's own handling goes on
    }
    return TrayIcon1->HandleMessage(message, wParam, lParam, result);
}

void TVorCopyPasteWin::Exit1Click()
{
    // A running job stops as Cancel stops it, and the window goes once the job has unwound.
    form->Hide();
    form->Close();
}
