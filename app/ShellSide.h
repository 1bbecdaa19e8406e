#pragma once
#include "app/SectionHost.h"
#include "ui/Timer.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What reaches the window from the shell and from other starts of the program: the command line of
// the first start, the hand-off of later starts, files dropped on the window, and the file clipboard,
// whose files become the sources when the user copies several of them (or a folder) in the file
// manager.
class ShellSide {
public:
    // What the shell side asks of the window's sections.
    struct Links {
        std::function<int(const std::string&)> addSource;   // the new entry's index, or -1
        std::function<void(UserAction)> sourcesChanged;       // entries were added by a hand-off or drop
        std::function<void()> showRefusedNotice;              // a handed-off path was not added
        std::function<void()> showTrayIcon;
        std::function<void()> showWindow;
        std::function<bool()> monitorsClipboard;              // the Settings box
        std::function<bool()> anySource;
        std::function<void()> endRunningScan;                 // a count under way ends
        // The clipboard's files replace the sources of a Copy, and a count starts.
        std::function<void(const std::vector<std::string>&)> takeSources;
        std::function<void()> scanAndOpenTo;                  // as the deferred first scan runs
        std::function<void(const std::string&)> startTreesAt;
    };

    explicit ShellSide(SectionHost& host) : host_(host) {}
    ShellSide(const ShellSide&) = delete;
    ShellSide& operator=(const ShellSide&) = delete;

    void Build(Links links);
    // Before the window's start-up has run: the argument's path becomes the first source.
    void HandleCommandLine(const std::string& argument);
    // Once the window is ready: drops, hand-offs from starts without elevation, the clipboard.
    void Listen();
    bool StartsHidden() const { return startHidden; }
    // The first start's deferred count has not run yet.
    bool CountPending() const { return ParamTimer4->Enabled(); }
    // Hand-off, drops and the clipboard's notices; false for anything else and for what the window
    // handles on as well.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A copy-data block another process sent; false when it is no hand-off of this program.
    bool ReceiveHandOff(ULONG_PTR tag, const void* data, std::size_t size);
    void ParamTimer4Timer();
    void DropFiles(HDROP drop);
    void DrawClipboard();
    // Reads the file-drop list of a change; a clipboard held open by another program is tried again.
    void ReadClipboardChange();
    void SysClipTimerTimer();
    // The notice of what the clipboard held when the window joined the viewer chain.
    bool IsJoiningClipboardNotice() const;

    // The clipboard as this side last read it: the files it held, whether their pick-up waits for its
    // tick, and whether a read waits for another program to let the clipboard go.
    const std::vector<std::string>& ClipboardFiles() const { return clipboardFiles; }
    bool PickUpPending() const { return SysClipTimer->Enabled(); }
    bool ClipboardReadRetrying() const { return clipboardRetryTimer->Enabled(); }
    // What the clipboard held is forgotten and a pick-up that waits is dropped: nothing is taken.
    void ForgetClipboard()
    {
        SysClipTimer->Stop();
        clipboardFiles.clear();
    }
    // Drop and hand-off messages the system kept blocked.
    const std::vector<UINT>& RefusedMessages() const { return refusedMessageFilters; }

private:
    std::unique_ptr<ui::Timer> SysClipTimer, ParamTimer4, clipboardRetryTimer;
    int clipboardReadTries = 0;
    std::vector<std::string> clipboardFiles;
    HWND nextClipboardViewer = nullptr;
    bool clipboardListening = false;  // on the system's list of clipboard listeners, not in the chain
    bool joiningClipboardChain = false;
    std::vector<UINT> refusedMessageFilters;  // drop and hand-off messages the system kept blocked
    DWORD clipboardJoinSequence = 0;

    SectionHost& host_;
    Links links_;
    bool startHidden = false;
    bool listened_ = false;  // Listen has run: the clipboard is left when the window goes
};
