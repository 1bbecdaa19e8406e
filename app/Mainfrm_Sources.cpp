// The source list: the rule every addition passes, Add and Remove, files dropped on the window, and
// the shell's file clipboard, whose files become the sources when the user copies several of them
// (or a folder) in the file manager.
#include "app/Mainfrm.h"

#include "app/TrayIcon.h"
#include "core/ClipboardPickup.h"
#include "core/SourceAdmission.h"
#include "platform/DroppedPaths.h"
#include "platform/MessageFilter.h"
#include "platform/PathKind.h"
#include "platform/TreeControl.h"
#include "ui/MessageBoxes.h"

#include <shlobj.h>

int TVorCopyPasteWin::AddSourceItem(const std::string& path)
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(sourceList->Count()));
    for (int i = 0; i < sourceList->Count(); ++i)
        entries.push_back(sourceList->Item(i));
    const SourceAdmission admission = DecideSourceAdmission(entries, path, KindOfPath);
    if (!admission.exists)
        return -1;
    // An entry that arrives while a job is taken (a hand-off, a drop) is for the next job: Begin stays
    // as the job has it.
    if (EffectOf(UserAction::EditSources, Phase()) == Effect::Act)
        bbBegin->SetEnabled(true);
    for (const int index : admission.deleteAt)
        sourceList->Delete(index);
    return admission.admitted ? sourceList->Add(admission.path) : -1;
}

void TVorCopyPasteWin::SourcesChangedBy(UserAction action)
{
    switch (EffectOf(action, Phase())) {
    case Effect::Act:
        BitBtn1Click();  // a fresh pre-scan, and the To section opens
        break;
    case Effect::ListOnly:
        scanDeferred = true;  // counted once the job has ended
        RefreshSectionHeaders(expandedSection);
        break;
    default:
        break;
    }
}

void TVorCopyPasteWin::sourceButtonAddClick()
{
    if (EffectOf(UserAction::EditSources, Phase()) != Effect::Act)
        return;
    if (sourceEdit->Text().empty() || !sourceEdit->Enabled())
        return;
    const int index = AddSourceItem(sourceEdit->Text());
    if (index < 0) {
        sourceEdit->SetText("Parent folder has already existed in the list.");
        sourceEdit->SetEnabled(false);
    } else {
        sourceList->ClearSelection();
        sourceList->SetSelected(index, true);
        SearchTimer->Start();
    }
    RefreshSectionHeaders(kSectionSource);
}

void TVorCopyPasteWin::sourceButtonRemoveClick()
{
    if (EffectOf(UserAction::EditSources, Phase()) != Effect::Act || sourceList->SelectedCount() == 0)
        return;
    ++questionsUp;
    const bool yes = ui::AskYesNo(Handle(), "Are you sure to remove the selected copy items from copy-list?", "Delete");
    --questionsUp;
    // The question pumped messages: a job may have been taken meanwhile, and its list is not changed.
    if (!yes || EffectOf(UserAction::EditSources, Phase()) != Effect::Act)
        return;
    for (int i = sourceList->Count() - 1; i >= 0; --i)
        if (sourceList->Selected(i))
            sourceList->Delete(i);
    RefreshSectionHeaders(kSectionSource);
    SearchTimer->Start();
    if (!sourceEdit->Enabled()) {
        sourceEdit->SetText(sourceEdit->Hint());
        sourceEdit->SetEnabled(true);
    }
}

void TVorCopyPasteWin::sourceListKeyUp(WORD key)
{
    if (key == VK_DELETE)
        sourceButtonRemoveClick();
}

void TVorCopyPasteWin::sourceListClick()
{
    const int focused = sourceList->ItemIndex();
    if (focused < 0 || focused >= sourceList->Count() || !sourceBrowseDialog)
        return;
    SelectInBrowseDialog(sourceBrowseDialog, sourceTree, sourceList->Item(focused), sourceEdit->Hint());
}

void TVorCopyPasteWin::DropFiles(HDROP drop)
{
    SetForegroundWindow(Handle());
    // Every path is read whole; one the code page cannot name exactly is left out, never cut or bent.
    for (const std::string& path : DroppedPaths(drop))
        AddSourceItem(path);
    SourcesChangedBy(UserAction::HandOff);
    DragFinish(drop);
}

void TVorCopyPasteWin::DrawClipboard()
{
    TrayIcon1->Show();
    if (EffectOf(UserAction::ClipboardPickup, Phase()) != Effect::Act)
        return;  // a job is taken or runs: the change is not kept for later
    if (!cbMonitorClipboard->Checked())
        return;
    // Joining the chain tells of what the clipboard held already: no copy the user just made, so it
    // never replaces the sources the program was started with.
    if (IsJoiningClipboardNotice() && sourceList->Count() > 0)
        return;
    clipboardReadTries = 0;
    ReadClipboardChange();
}

void TVorCopyPasteWin::ReadClipboardChange()
{
    clipboardRetryTimer->Stop();
    std::vector<std::string> paths;
    switch (ReadClipboardFiles(Handle(), paths)) {
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
    if (ScanRunning())
        state.scanStopped = true;  // the count under way ends; the new sources get their own
    SysClipTimer->Start();
}

void TVorCopyPasteWin::SysClipTimerTimer()
{
    if (Phase() != JobPhase::Rest)
        return;  // a job or a count runs: try again on the next tick
    SysClipTimer->Stop();
    if (!ClipboardReplacesSources(clipboardFiles, KindOfPath))
        return;
    rbCopyClick(kOpCopy);
    sourceList->Clear();
    for (const std::string& path : clipboardFiles)
        AddSourceItem(path);
    ShowWindow(Handle(), SW_HIDE);
    ShowWindow(Handle(), SW_SHOW);
    if (IsIconic(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
    BringWindowToTop(Handle());
    BitBtn1Click();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool TVorCopyPasteWin::IsJoiningClipboardNotice() const
{
    // Sent during the join where the system sends it at once; where it comes later, the clipboard's
    // change count tells it apart: no change has been made since the join. (A count of 0 means the
    // system keeps none, and tells nothing.)
    return joiningClipboardChain || (clipboardJoinSequence != 0 && GetClipboardSequenceNumber() == clipboardJoinSequence);
}

bool TVorCopyPasteWin::SourcesMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    case WM_DESTROY:
        if (clipboardListening)
            RemoveClipboardFormatListener(Handle());
        else
            ChangeClipboardChain(Handle(), nextClipboardViewer);
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

void TVorCopyPasteWin::SetUpSourcesAndTrees()
{
    sourceButtonRemove->onClick = [this] { sourceButtonRemoveClick(); };
    sourceList->onClick = [this] { sourceListClick(); };
    sourceList->onKeyUp = [this](WORD& key, ui::Shift) { sourceListKeyUp(key); };
    SysClipTimer->onTimer = [this] { SysClipTimerTimer(); };
    clipboardRetryTimer->onTimer = [this] {
        // Nothing a job took, nor a change after monitoring was turned off, is read late.
        if (EffectOf(UserAction::ClipboardPickup, Phase()) != Effect::Act || !cbMonitorClipboard->Checked())
            clipboardRetryTimer->Stop();
        else
            ReadClipboardChange();
    };
    cbPath->onChange = [this] { cbPathChange(); };
    BitBtn2->onClick = [this] { BitBtn2Click(); };
    BitBtn4->onClick = [this] { BitBtn4Click(); };
    BitBtn3->onClick = [this] { BitBtn3Click(); };
    BitBtn6->onClick = [this] { BitBtn6Click(); };
    Timer1->onTimer = [this] { Timer1Timer(); };
    Timer2->onTimer = [this] { Timer2Timer(); };
    // New Folder and Rename keep to the right of their row; the row got its width before it had a
    // handler to place them, and only its height changes as the sections open and close.
    if (ToBottomPanel->onResize)
        ToBottomPanel->onResize();
    Panel3->onResize = [this] { SizeBrowserTrees(); };
    Panel8->onResize = [this] { SizeBrowserTrees(); };

    auto earlier = form->onMessage;
    form->onMessage = [this, earlier](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (SourcesMessage(message, wParam, lParam, result))
            return true;
        return earlier && earlier(message, wParam, lParam, result);
    };
    DragAcceptFiles(Handle(), TRUE);
    // Elevated, the window would otherwise never see a drop from the file manager nor a hand-off
    // from a start without elevation.
    refusedMessageFilters = AllowDropAndHandOffMessages(Handle());
    // The system's list of clipboard listeners tells each one of every change. The older viewer chain
    // passes the notice from viewer to viewer, so one viewer that ends without leaving it (a crash, a
    // kill) cuts off every viewer after it: only where there is no such list is the chain joined.
    clipboardListening = AddClipboardFormatListener(Handle()) != 0;
    if (!clipboardListening) {
        // Joining the chain also tells of what the clipboard holds now (DrawClipboard knows that notice).
        clipboardJoinSequence = GetClipboardSequenceNumber();
        joiningClipboardChain = true;
        SetLastError(0);
        nextClipboardViewer = SetClipboardViewer(Handle());
        joiningClipboardChain = false;
    }

    // The trees open once the window's own start has run: the first tick's dialog carries the rest.
    Timer1->Start();
    Timer2->Start();
}
