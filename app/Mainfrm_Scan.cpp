// The pre-scan in the window: the request timer, counting the sources into the totals and the filter
// lists, and the filter reset that starts every scan.
#include "app/Mainfrm.h"

#include "core/ShellIntegration.h"
#include "engine/filefacts.h"
#include "engine/prescan.h"
#include "platform/MessagePump.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The count is renewed after every entry, but a repaint of the header per file would cost more than
// the counting itself under Wine: it is shown at most this often, and always at the end.
constexpr DWORD kCountTextIntervalMs = 100;
// Messages wait at most this long during a count. Looking at the queue once per folder took a fifth
// of the count of many small folders under Wine (a round trip to its server each time), for no
// difference a user could notice.
constexpr DWORD kPumpGapMs = 10;

std::string CountText(std::int64_t files) { return "Searching... ( " + std::to_string(files) + " files are found )\n"; }

} // namespace

// What one scan shows in the window: the Filters section takes the extension entries and times met,
// the Progress section's header the count.
class ScanDisplay final : public ScanHost {
public:
    explicit ScanDisplay(TVorCopyPasteWin& w) : w_(w) { w_.filters.CountStarted(); }

    void ProcessMessages() override
    {
        const DWORD now = GetTickCount();
        if (pumped_ && now - pumpedAt_ < kPumpGapMs)
            return;
        w_.filters.ShowCounted();
        // A quit met here (the program is ending) ends the scan as Stop searching would.
        if (!ProcessPendingMessages())
            w_.scanTotals.stopped = true;
        pumped_ = true;
        pumpedAt_ = GetTickCount();
    }

    void ExtensionMet(const std::string& entry) override { w_.filters.ExtensionMet(entry); }

    void TimeMet(DateTime modified) override { w_.filters.TimeMet(modified); }

    void Counted(std::int64_t files) override
    {
        const DWORD now = GetTickCount();
        if (shown_ >= 0 && now - shownAt_ < kCountTextIntervalMs)
            return;
        Show(files, now);
    }

    // However the count ended (to its end, Stop searching, Begin, a new request): the Filters section
    // complete, and the last count shown.
    void Finish()
    {
        w_.filters.CountEnded();
        if (shown_ >= 0 && shown_ != w_.scanTotals.fileTotal)
            Show(w_.scanTotals.fileTotal, GetTickCount());
    }

private:
    void Show(std::int64_t files, DWORD now)
    {
        w_.ProgressLabel->SetText(CountText(files));
        shown_ = files;
        shownAt_ = now;
    }

    TVorCopyPasteWin& w_;
    std::int64_t shown_ = -1;  // nothing shown yet
    DWORD shownAt_ = 0;
    bool pumped_ = false;
    DWORD pumpedAt_ = 0;  // when the last run of messages ended
};

struct ScanRun {
    explicit ScanRun(TVorCopyPasteWin& w) : display(w), scan(display, w.scanTotals) {}
    ScanDisplay display;
    PreScan scan;
};

void TVorCopyPasteWin::SearchTimerTimer()
{
    switch (EffectOf(UserAction::ScanRequest, Phase())) {
    case Effect::Later:
        // A job is taken: a reset now would change the filters and totals it holds, and its free-space
        // check and estimate. The scan waits for the job's end.
        SearchTimer->Stop();
        scanDeferred = true;
        return;
    case Effect::Act:
        break;
    default:
        return;
    }
    if (ScanRunning()) {
        // A new request ends the running scan; the timer stays on, so a later tick starts a fresh one.
        scanTotals.stopped = true;
        ProcessPendingMessages();
        return;
    }
    SearchTimer->Stop();
    ResetForScan();
    RefreshSectionHeaders(expandedSection);
    // The refresh takes the frame off every section; the open one keeps its mark (a switch that is
    // running puts it on its target at its next step anyway).
    if (!SwitchRunning() && expandedSection >= 0)
        FrameSection(sectionPanel[static_cast<size_t>(expandedSection)]);

    progress.ScanStarted();
    scanTotals.stopped = false;
    StopSearch->SetEnabled(true);
    {
        // However the counting ends, the window returns to rest: a Stop searching left enabled would
        // make every later Begin wait for a scan that no longer runs.
        struct AtEnd {
            TVorCopyPasteWin& w;
            ~AtEnd()
            {
                w.StopSearch->SetEnabled(false);
                w.progress.ScanEnded();
            }
        } atEnd{*this};
        CountSourceItems(-1);
    }

    if (!scanTotals.stopped) {
        filters.CountComplete();
    }
}

void TVorCopyPasteWin::CountSourceItems(int index)
{
    ScanRun run(*this);
    ScanRun* outer = std::exchange(activeScan, &run);
    struct Restore {
        ScanRun*& slot;
        ScanRun* value;
        ~Restore() { slot = value; }
    } restore{activeScan, outer};

    // The list as it is now: entries removed while the scan pumps messages are a new request anyway.
    std::vector<std::string> items = source.Items();
    if (index >= 0)
        items = index < static_cast<int>(items.size()) ? std::vector<std::string>{items[static_cast<size_t>(index)]}
                                                       : std::vector<std::string>{};
    for (const std::string& item : items) {
        if (scanTotals.stopped)
            break;
        run.scan.CountItem(item);
    }
    run.display.Finish();
}

void TVorCopyPasteWin::ResumeDeferredScan()
{
    if (scanDeferred && EffectOf(UserAction::ScanRequest, Phase()) == Effect::Act) {
        scanDeferred = false;
        SearchTimer->Start();
    }
}

void TVorCopyPasteWin::ResetForScan()
{
    scanTotals = {};
    job->NewCount();
    filters.ResetForCount();
    // The destination tree starts by the first source. The live tree is not steered from here: its
    // answer arrives later and replaces the text of cbPath, which the user may be typing into by then
    // (a scan starts after every Add); it would also replace a destination chosen before.
    if (const std::vector<std::string> sources = source.Items(); !sources.empty())
        trees.StartAt(FolderPart(sources.front()));
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
