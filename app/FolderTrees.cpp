// The live shell folder trees of the Source and To sections. Each is the tree of a shell folder-browse
// dialog that a timer opens and that runs for the whole life of the window: the tree is moved
// into its section's panel, the dialog is parked out of sight, and the dialog's callback reports the
// selection. The browse call is modal and only returns when its dialog ends, so the tick that
// opens it stays on the stack and the dialog's own message loop runs the rest of the program, the
// later ticks of the same timer (the steps after the opening) included. That tick is dispatched by
// whichever loop is innermost: it opens nothing until the window is at rest outside every other loop,
// or the loop it ran in (a job's, a scan's, a question's) would never get control back.
#include "app/FolderTrees.h"

#include "platform/CodePageText.h"
#include "platform/TreeControl.h"

#include <shlobj.h>

#include <exception>
#include <utility>

namespace {

constexpr UINT kDestinationFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;        // 0x50
constexpr UINT kSourceFlags = BIF_BROWSEINCLUDEFILES | BIF_RETURNONLYFSDIRS;  // 0x4001: files listed too

// The file-system path of a shell item, whole; empty for items without one (the Desktop's virtual
// folders, "My Computer") and for names the process code page cannot hold exactly.
std::string PathOfItem(LPCITEMIDLIST item)
{
    if (!item)
        return {};
    PWSTR wide = nullptr;
    if (FAILED(SHGetNameFromIDList(item, SIGDN_FILESYSPATH, &wide)) || !wide)
        return {};
    const std::wstring text(wide);
    CoTaskMemFree(wide);
    return ExactCodePageText(text).value_or(std::string());
}

void PlaceTree(HWND tree, const ui::Panel& panel)
{
    if (tree && IsWindow(tree))
        MoveWindow(tree, 0, 0, panel.ClientWidth(), panel.ClientHeight(), TRUE);
}

} // namespace

void FolderTrees::Build(const Places& places, std::function<bool()> mayOpen)
{
    places_ = std::make_unique<Places>(places);
    mayOpen_ = std::move(mayOpen);
    Timer1 = std::make_unique<ui::Timer>(ui::TimerArgs{"Timer1", 50, false});
    Timer2 = std::make_unique<ui::Timer>(ui::TimerArgs{"Timer2", 50, false});
    Timer1->onTimer = [this] { Timer1Timer(); };
    Timer2->onTimer = [this] { Timer2Timer(); };
    places.destinationPanel.onResize = [this] { SizeBrowserTrees(); };
    places.sourcePanel.onResize = [this] { SizeBrowserTrees(); };
}

void FolderTrees::Open()
{
    Timer1->Start();
    Timer2->Start();
}

void FolderTrees::Timer1Timer() { BrowserTick(true); }
void FolderTrees::Timer2Timer() { BrowserTick(false); }

bool FolderTrees::BrowsersRunning() const
{
    return !browseRuns.empty() || destinationRunsActive > 0 || sourceRunsActive > 0;
}

void FolderTrees::BrowserTick(bool destination)
{
    int& step = destination ? destinationBrowseStep : sourceBrowseStep;
    HWND dialog = destination ? destinationBrowseDialog : sourceBrowseDialog;
    ui::Timer& timer = destination ? *Timer1 : *Timer2;
    const ui::Panel& panel = destination ? places_->destinationPanel : places_->sourcePanel;
    const int active = destination ? destinationRunsActive : sourceRunsActive;

    // The steps after the opening act on the dialog, which is known once it has said it is ready.
    // Until then they wait; a run that ended without ever being ready stops the timer.
    if (step >= 0 && !dialog) {
        if (active == 0)
            timer.Stop();
        return;
    }
    if (step < 0) {
        if (mayOpen_ && !mayOpen_())
            return;  // the timer ticks on: the dialog opens at the first tick that finds rest
        // The tree in use so far makes way: the new run's handles come once it is ready.
        (destination ? destinationBrowseDialog : sourceBrowseDialog) = nullptr;
        (destination ? destinationTree : sourceTree) = nullptr;
    }
    ++step;
    if (step == 0) {
        RunBrowser(destination);
        return;  // the dialog has ended, normally at shutdown
    }
    if (step == 1) {
        if (!browseStartPath.empty())
            SelectInBrowseDialog(dialog, destination ? destinationTree : sourceTree, browseStartPath, {});
    } else if (step == 2) {
        SendMessageA(dialog, BFFM_ENABLEOK, 0, 0);
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        SetWindowLongA(dialog, GWL_STYLE,
                       style & ~static_cast<LONG>(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        MoveWindow(dialog, 0, 0, panel.ClientWidth(), panel.ClientHeight(), TRUE);
    } else {
        timer.Stop();
    }
    PlaceTree(destination ? destinationTree : sourceTree, panel);
}

void FolderTrees::RunBrowser(bool destination)
{
    // The new-style dialog needs an apartment on this thread.
    const HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOA request{};
    request.hwndOwner = nullptr;  // the main window stays usable while the dialogs run
    request.lpszTitle = ".";
    request.ulFlags = destination ? kDestinationFlags : kSourceFlags;
    request.lpfn = destination ? DestinationBrowseCallback : SourceBrowseCallback;
    request.lParam = reinterpret_cast<LPARAM>(this);

    int& active = destination ? destinationRunsActive : sourceRunsActive;
    ++active;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
    --active;

    // Forget the dialogs that are gone (this run's, and any that ended while it ran).
    std::erase_if(browseRuns, [](const BrowseRun& run) { return !IsWindow(run.dialog); });
    for (HWND* handle : {&destinationBrowseDialog, &sourceBrowseDialog})
        if (*handle && !IsWindow(*handle))
            *handle = nullptr;
    for (HWND* handle : {&destinationTree, &sourceTree})
        if (*handle && !IsWindow(*handle))
            *handle = nullptr;

    const std::string path = PathOfItem(chosen);
    if (chosen)
        CoTaskMemFree(chosen);
    if (SUCCEEDED(ole))
        OleUninitialize();

    if (closingBrowsers)
        return;  // the window is gone or going
    // A run that ends early (its dialog closed from outside) hands back what it had chosen. An empty
    // answer leaves the destination alone: the user's text is not wiped for a dialog that went away.
    if (destination && !path.empty()) {
        lastDestinationFolder = path;
        places_->destinationChosen(path);
    }
}

int CALLBACK FolderTrees::DestinationBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data)
{
    try {
        reinterpret_cast<FolderTrees*>(data)->BrowseCallback(true, dialog, message, lParam);
    } catch (const std::exception&) {
        // Called by the shell: nothing may cross back into it.
    }
    return 1;
}

int CALLBACK FolderTrees::SourceBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data)
{
    try {
        reinterpret_cast<FolderTrees*>(data)->BrowseCallback(false, dialog, message, lParam);
    } catch (const std::exception&) {
    }
    return 1;
}

void FolderTrees::BrowseCallback(bool destination, HWND dialog, UINT message, LPARAM lParam)
{
    if (message == BFFM_INITIALIZED) {
        ui::Panel& panel = destination ? places_->destinationPanel : places_->sourcePanel;
        (destination ? destinationBrowseDialog : sourceBrowseDialog) = dialog;
        SetWindowPos(dialog, nullptr, -5, -30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        for (int id : {IDOK, IDCANCEL}) {
            HWND button = GetDlgItem(dialog, id);
            ShowWindow(button, SW_HIDE);
            EnableWindow(button, FALSE);
        }
        // A tree of an earlier run of this browser (after a restart) makes way for the new one.
        for (const BrowseRun& run : browseRuns)
            if (run.destination == destination && run.tree)
                ShowWindow(run.tree, SW_HIDE);
        HWND tree = FindTreeControl(dialog);
        (destination ? destinationTree : sourceTree) = tree;
        if (tree) {
            SetParent(tree, panel.Handle());
            SetParent(dialog, places_->parking.Handle());
        } else {
            SetParent(dialog, panel.Handle());
        }
        browseRuns.push_back({dialog, tree, destination});
        if (closingBrowsers)  // the window is closing already
            CloseBrowsers();
        return;
    }
    if (message == BFFM_SELCHANGED) {
        const std::string path = PathOfItem(reinterpret_cast<LPCITEMIDLIST>(lParam));
        if (destination) {
            lastDestinationFolder = path;
            // The tree following what the user types keeps the typed text as it is.
            if (!steeringFromPath)
                places_->destinationChosen(path);
        } else {
            places_->sourceChosen(path);
        }
    }
}

void FolderTrees::ReopenDestination()
{
    browseStartPath = lastDestinationFolder;
    destinationBrowseStep = -1;
    Timer1->Start();
}

void FolderTrees::ReopenSource()
{
    browseStartPath = lastDestinationFolder;
    sourceBrowseStep = -1;
    Timer2->Start();
}

void FolderTrees::SizeBrowserTrees()
{
    if (!places_)
        return;  // still being built
    const ui::Panel& destinationPanel = places_->destinationPanel;
    if (destinationBrowseDialog && destinationTree)
        MoveWindow(destinationBrowseDialog, -4, -14, destinationPanel.ClientWidth() + 8,
                   destinationPanel.ClientHeight() + 30, TRUE);
    PlaceTree(destinationTree, destinationPanel);
    PlaceTree(sourceTree, places_->sourcePanel);
}

void FolderTrees::CloseBrowsers()
{
    // Newest first: the newest dialog's loop is the innermost one and returns first.
    for (auto run = browseRuns.rbegin(); run != browseRuns.rend(); ++run) {
        if (!IsWindow(run->dialog))
            continue;
        // The tree goes home before its dialog closes: the dialog tears it down with itself. The
        // dialog leaves the window too, so that it outlives a main window that goes at once; it ends
        // when its loop takes the close request.
        ShowWindow(run->dialog, SW_HIDE);
        if (run->tree && IsWindow(run->tree)) {
            ShowWindow(run->tree, SW_HIDE);
            SetParent(run->tree, run->dialog);
        }
        SetParent(run->dialog, nullptr);
        // A dialog whose Cancel button is disabled refuses a close request (Windows beeps instead).
        EnableWindow(GetDlgItem(run->dialog, IDCANCEL), TRUE);
        SendMessageA(run->dialog, WM_CLOSE, 0, 0);
    }
    destinationBrowseDialog = destinationTree = sourceBrowseDialog = sourceTree = nullptr;
}

void FolderTrees::CloseForGood()
{
    Timer1->Stop();
    Timer2->Stop();
    closingBrowsers = true;
    CloseBrowsers();
}

void FolderTrees::SteerDestination(const std::string& path)
{
    if (!destinationBrowseDialog)
        return;
    steeringFromPath = true;
    SelectInBrowseDialog(destinationBrowseDialog, destinationTree, path, lastDestinationFolder);
    steeringFromPath = false;
}

void FolderTrees::ShowNewDestination(const std::string& path)
{
    if (!destinationBrowseDialog)
        return;
    SelectInBrowseDialog(destinationBrowseDialog, destinationTree, path, lastDestinationFolder);
    ::SetFocus(destinationTree ? destinationTree : destinationBrowseDialog);
}

void FolderTrees::ShowSource(const std::string& path)
{
    if (sourceBrowseDialog)
        SelectInBrowseDialog(sourceBrowseDialog, sourceTree, path, places_->sourceShown());
}
