#pragma once
#include "ui/Panel.h"
#include "ui/Timer.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The live shell folder trees of the Source and To sections. Each is the tree of a shell folder-browse
// dialog that a timer opens and that runs for the whole life of the window (see FolderTrees.cpp).
class FolderTrees {
public:
    // Where the trees live, and the calls of the sections their selections go to.
    struct Places {
        ui::Panel& destinationPanel;  // Panel3
        ui::Panel& parking;           // Panel14: the destination dialog, out of sight
        ui::Panel& sourcePanel;       // Panel8
        std::function<void(const std::string&)> destinationChosen;  // the To section's destination text
        std::function<void(const std::string&)> sourceChosen;       // the Source section's path row
        std::function<std::string()> sourceShown;                   // what the source tree last chose
    };

    FolderTrees() = default;
    FolderTrees(const FolderTrees&) = delete;
    FolderTrees& operator=(const FolderTrees&) = delete;

    // mayOpen says when a browse dialog may start: its loop only ends with the window, so it must not
    // start inside any loop that has to end (a job, a scan, a question, a menu, a move).
    void Build(const Places& places, std::function<bool()> mayOpen);
    // The trees open once the window's own start has run: the first tick's dialog carries the rest.
    void Open();
    // The tree opens anew (Select Destination Directory, Select Source Directory), once mayOpen
    // allows it; the tree there stays in use until then.
    void ReopenDestination();
    void ReopenSource();
    // Where the trees start when they open (anew): by the first source.
    void StartAt(const std::string& folder) { browseStartPath = folder; }
    // The destination tree follows a typed text, keeping the text as it is.
    void SteerDestination(const std::string& path);
    // The destination tree shows a folder just made, and takes the focus.
    void ShowNewDestination(const std::string& path);
    // The source tree shows a listed source.
    void ShowSource(const std::string& path);
    void SizeBrowserTrees();
    // Ends every browse dialog (a close request each); their runs return once their loops take it.
    void CloseBrowsers();
    // The window is going: the timers stop and returning dialogs touch nothing more.
    void CloseForGood();
    bool BrowsersRunning() const;

    void Timer1Timer();
    void Timer2Timer();

    // What the trees show, as a check sees them: each browse dialog and its tree (null until it has
    // opened), whether a tree is open with nothing more to do, and the folder the destination tree
    // chose last.
    HWND BrowseDialog(bool destination) const { return destination ? destinationBrowseDialog : sourceBrowseDialog; }
    HWND Tree(bool destination) const { return destination ? destinationTree : sourceTree; }
    bool TreeOpen(bool destination) const
    {
        return destination ? destinationBrowseStep >= 3 && destinationTree && !Timer1->Enabled()
                           : sourceBrowseStep >= 3 && sourceTree && !Timer2->Enabled();
    }
    const std::string& LastDestinationFolder() const { return lastDestinationFolder; }

private:
    std::unique_ptr<ui::Timer> Timer1, Timer2;
    std::string browseStartPath;
    std::string lastDestinationFolder;
    int destinationBrowseStep = -1;
    int sourceBrowseStep = -1;
    HWND destinationBrowseDialog = nullptr, destinationTree = nullptr;
    HWND sourceBrowseDialog = nullptr, sourceTree = nullptr;

    void BrowserTick(bool destination);
    void RunBrowser(bool destination);
    static int CALLBACK DestinationBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    static int CALLBACK SourceBrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    void BrowseCallback(bool destination, HWND dialog, UINT message, LPARAM lParam);

    struct BrowseRun {
        HWND dialog = nullptr;
        HWND tree = nullptr;  // moved out of the dialog into a panel; null when the dialog has none
        bool destination = false;
    };
    std::unique_ptr<Places> places_;
    std::function<bool()> mayOpen_;
    std::vector<BrowseRun> browseRuns;   // every dialog that runs, oldest first
    int destinationRunsActive = 0;       // browse calls that have not returned yet
    int sourceRunsActive = 0;
    bool closingBrowsers = false;        // the window is going: returning dialogs touch nothing
    bool steeringFromPath = false;       // a selection the destination text asked for
};
