// The window's part in the life of the process and in the shell: the command line of the first start,
// the hand-off from later starts, the deferred first scan, files dropped on the window, and the file
// clipboard.
#include "app/ShellSide.h"

#include "core/AbsolutePath.h"
#include "core/ClipboardPickup.h"
#include "core/HandOff.h"
#include "core/ShellIntegration.h"
#include "platform/DroppedPaths.h"
#include "platform/LongPath.h"
#include "platform/MessageFilter.h"
#include "platform/PathKind.h"

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

std::unique_ptr<ui::Timer> MakeTimer(const char* name, UINT interval)
{
    return std::make_unique<ui::Timer>(ui::TimerArgs{name, interval, false});
}

} // namespace

void ShellSide::Build(Links links)
{
    links_ = std::move(links);
    SysClipTimer = MakeTimer("SysClipTimer", 50);
    ParamTimer4 = MakeTimer("ParamTimer4", 1000);
    clipboardRetryTimer = MakeTimer("clipboardRetryTimer", 50);
    ParamTimer4->onTimer = [this] { ParamTimer4Timer(); };
    SysClipTimer->onTimer = [this] { SysClipTimerTimer(); };
    clipboardRetryTimer->onTimer = [this] {
        // Nothing a job took, nor a change after monitoring was turned off, is read late.
        if (EffectOf(UserAction::ClipboardPickup, host_.Phase()) != Effect::Act || !links_.monitorsClipboard())
            clipboardRetryTimer->Stop();
        else
            ReadClipboardChange();
    };
}

void ShellSide::HandleCommandLine(const std::string& argument)
{
    if (argument == kStartupWord) {
        startHidden = true;
        links_.showTrayIcon();
    }
    if (argument.empty() || argument == kNewWindowWord)
        return;
    // Resolved now, against the folder the program was started in: the list holds places, not texts
    // whose meaning changes with the current folder. The logon word names no place here.
    const std::string path = argument == kStartupWord ? std::string()
                             : IsAbsolutePath(argument) ? argument
                                                        : AbsolutePathText(argument);
    links_.startTreesAt(FolderPart(path));
    if (!path.empty())
        links_.addSource(path);
    ParamTimer4->Start();
}

void ShellSide::ParamTimer4Timer()
{
    ParamTimer4->Stop();
    links_.scanAndOpenTo();
}

bool ShellSide::ReceiveHandOff(ULONG_PTR tag, const void* data, std::size_t size)
{
    // Decoded before anything is touched: a foreign program's block changes nothing at all.
    const HandOff handOff = DecodeHandOff(static_cast<std::uint32_t>(tag), data, size, ValidProcessText);
    if (handOff.kind == HandOffKind::Refused)
        return false;
    links_.showTrayIcon();
    if (handOff.kind == HandOffKind::Path) {
        // A relative path would be read against this program's own current folder, not the sender's:
        // never added (a start of this program sends its argument resolved).
        const int index = IsAbsolutePath(handOff.text) ? links_.addSource(handOff.text) : -1;
        SetForegroundWindow(host_.Handle());
        if (index < 0)
            links_.showRefusedNotice();
        else
            links_.sourcesChanged(UserAction::HandOff);
    }
    HWND window = host_.Handle();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    links_.showWindow();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

void ShellSide::Listen()
{
    HWND window = host_.Handle();
    listened_ = true;
    DragAcceptFiles(window, TRUE);
    // Elevated, the window would otherwise never see a drop from the file manager nor a hand-off
    // from a start without elevation.
    refusedMessageFilters = AllowDropAndHandOffMessages(window);
    // The system's list of clipboard listeners tells each one of every change. The older viewer chain
    // passes the notice from viewer to viewer, so one viewer that ends without leaving it (a crash, a
    // kill) cuts off every viewer after it: only where there is no such list is the chain joined.
    clipboardListening = AddClipboardFormatListener(window) != 0;
    if (!clipboardListening) {
        // Joining the chain also tells of what the clipboard holds now (DrawClipboard knows that notice).
        clipboardJoinSequence = GetClipboardSequenceNumber();
        joiningClipboardChain = true;
        SetLastError(0);
        nextClipboardViewer = SetClipboardViewer(window);
        joiningClipboardChain = false;
    }
}

void ShellSide::DropFiles(HDROP drop)
{
    SetForegroundWindow(host_.Handle());
    // Every path is read whole; one the code page cannot name exactly is left out, never cut or bent.
    for (const std::string& path : DroppedPaths(drop))
        links_.addSource(path);
    links_.sourcesChanged(UserAction::HandOff);
    DragFinish(drop);
}

void ShellSide::DrawClipboard()
{
    links_.showTrayIcon();
    if (EffectOf(UserAction::ClipboardPickup, host_.Phase()) != Effect::Act)
        return;  // a job is taken or runs: the change is not kept for later
    if (!links_.monitorsClipboard())
        return;
    // Joining the chain tells of what the clipboard held already: no copy the user just made, so it
    // never replaces the sources the program was started with.
    if (IsJoiningClipboardNotice() && links_.anySource())
        return;
    clipboardReadTries = 0;
    ReadClipboardChange();
}

void ShellSide::ReadClipboardChange()
{
    clipboardRetryTimer->Stop();
    std::vector<std::string> paths;
    switch (ReadClipboardFiles(host_.Handle(), paths)) {
    case ClipboardRead::Files:
        break;
    case ClipboardRead::NoFiles:
        return;
    case ClipboardRead::Busy:
        // The program that wrote the clipboard, or another viewer told of the same change, may hold
        // it open for a moment: a copy made in the file manager is not missed for that. Two seconds
        // at most, so a clipboard kept open for good costs nothing.
        if (++clipboardReadTries < 40)
            clipboardRetryTimer->Start();
        return;
    }
    // One file copied in the file manager is no new set of sources: nothing of the window changes,
    // and the totals of the last count stay valid for the next job.
    clipboardFiles = std::move(paths);
    if (!ClipboardReplacesSources(clipboardFiles, KindOfPath))
        return;
    links_.endRunningScan();  // the new sources get their own count
    SysClipTimer->Start();
}

void ShellSide::SysClipTimerTimer()
{
    if (host_.Phase() != JobPhase::Rest)
        return;  // a job or a count runs: try again on the next tick
    SysClipTimer->Stop();
    if (!ClipboardReplacesSources(clipboardFiles, KindOfPath))
        return;
    links_.takeSources(clipboardFiles);
    HWND window = host_.Handle();
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOW);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    BringWindowToTop(window);
    links_.scanAndOpenTo();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool ShellSide::IsJoiningClipboardNotice() const
{
    // Sent during the join where the system sends it at once; where it comes later, the clipboard's
    // change count tells it apart: no change has been made since the join. (A count of 0 means the
    // system keeps none, and tells nothing.)
    return joiningClipboardChain || (clipboardJoinSequence != 0 && GetClipboardSequenceNumber() == clipboardJoinSequence);
}

bool ShellSide::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_COPYDATA: {
        const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        result = block && ReceiveHandOff(block->dwData, block->lpData, block->cbData) ? TRUE : FALSE;
        return true;
    }
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    case WM_DESTROY:
        if (!listened_)
            return false;
        if (clipboardListening)
            RemoveClipboardFormatListener(host_.Handle());
        else
            ChangeClipboardChain(host_.Handle(), nextClipboardViewer);
        clipboardListening = false;
        nextClipboardViewer = nullptr;
        return false;  // the window's own handling goes on
    case WM_CLIPBOARDUPDATE:
        DrawClipboard();
        result = 0;
        return true;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == nextClipboardViewer)
            nextClipboardViewer = reinterpret_cast<HWND>(lParam);
        else if (nextClipboardViewer)
            SendMessageA(nextClipboardViewer, message, wParam, lParam);
        result = 0;
        return true;
    case WM_DRAWCLIPBOARD:
        if (nextClipboardViewer)
            SendMessageA(nextClipboardViewer, message, wParam, lParam);
        DrawClipboard();
        result = 0;
        return true;
    default:
        return false;
    }
}
