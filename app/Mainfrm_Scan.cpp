// The pre-scan in the window: the request timer, counting the sources into the totals and the filter
// lists, and the filter reset that starts every scan.
#include "app/Mainfrm.h"

#include "core/ShellIntegration.h"
#include "engine/filefacts.h"
#include "engine/prescan.h"
#include "filters/KeptFilters.h"
#include "filters/LocaleLower.h"
#include "platform/MessagePump.h"

#include <algorithm>
#include <unordered_set>
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

// What one scan shows in the window: new extension entries and preset times, and the count.
class ScanDisplay final : public ScanHost {
public:
    explicit ScanDisplay(TVorCopyPasteWin& w) : w_(w)
    {
        // Entries the lists already hold (the two outer presets of the reset) are not added twice.
        for (int i = 0, n = w_.filters.ExtList->Count(); i < n; ++i)
            extensions_.insert(LocaleLower(w_.filters.ExtList->Item(i)));
    }

    void ProcessMessages() override
    {
        const DWORD now = GetTickCount();
        if (pumped_ && now - pumpedAt_ < kPumpGapMs)
            return;
        // The extension list is in view whenever the Filters section is open: complete before the
        // user can look. The preset list takes its entries when looked at; one that is open or has
        // the focus is watched, and follows the count.
        FlushExtensions();
        w_.filters.presetsFrom->KeepUpWhileInView();
        // A quit met here (the program is ending) ends the scan as Stop searching would.
        if (!ProcessPendingMessages())
            w_.state.scanStopped = true;
        pumped_ = true;
        pumpedAt_ = GetTickCount();
    }

    void ExtensionMet(const std::string& entry) override
    {
        if (extensions_.insert(entry).second)
            newExtensions_.push_back(entry);
    }

    void TimeMet(DateTime modified) override { w_.filters.presetsFrom->Add(modified); }

    void Counted(std::int64_t files) override
    {
        const DWORD now = GetTickCount();
        if (shown_ >= 0 && now - shownAt_ < kCountTextIntervalMs)
            return;
        Show(files, now);
    }

    // However the count ended (to its end, Stop searching, Begin, a new request): the extension list
    // complete, the end list to hold the entries of the start list, and the last count shown.
    void Finish()
    {
        FlushExtensions();
        // Entries the kept filters leave out: Select All no longer holds (without its click, which
        // would check them all again).
        if (anyUnchecked_ && w_.filters.cbSelAll->Checked()) {
            w_.filters.cbSelAll->tag = 1;
            w_.filters.cbSelAll->SetChecked(false);
            w_.filters.cbSelAll->tag = 0;
        }
        w_.filters.presetsTo->CopyFrom(*w_.filters.presetsFrom);
        if (shown_ >= 0 && shown_ != w_.state.scanFileTotal)
            Show(w_.state.scanFileTotal, GetTickCount());
    }

private:
    // New extension entries go in as a batch, between two runs of messages. No message runs while a
    // batch is gathered, so an entry still takes the Select All mark of the moment it was met, as
    // the user could not have changed it since.
    void FlushExtensions()
    {
        if (newExtensions_.empty())
            return;
        const bool all = w_.filters.cbSelAll->Checked();
        ui::CheckListBox::Batch batch(*w_.filters.ExtList);
        for (const std::string& entry : newExtensions_) {
            const bool checked = all && (!w_.filters.keptFilters || w_.filters.keptFilters->StartsChecked(entry));
            batch.Add(entry, checked);
            anyUnchecked_ = anyUnchecked_ || !checked;
        }
        newExtensions_.clear();
    }

    void Show(std::int64_t files, DWORD now)
    {
        w_.ProgressLabel->SetText(CountText(files));
        shown_ = files;
        shownAt_ = now;
    }

    TVorCopyPasteWin& w_;
    std::unordered_set<std::string> extensions_;
    std::vector<std::string> newExtensions_;
    std::int64_t shown_ = -1;  // nothing shown yet
    bool anyUnchecked_ = false;
    DWORD shownAt_ = 0;
    bool pumped_ = false;
    DWORD pumpedAt_ = 0;  // when the last run of messages ended
};

struct ScanRun {
    explicit ScanRun(TVorCopyPasteWin& w) : display(w), scan(display, w.state) {}
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
        state.scanStopped = true;
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
    state.scanStopped = false;
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

    if (!state.scanStopped) {
        // Counted to the end: the time window is chosen from the times the files really have.
        filters.dtp1->SetEnabled(false);
        filters.dtp2->SetEnabled(false);
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
    std::vector<std::string> items;
    for (int i = 0, n = source.sourceList->Count(); i < n; ++i)
        if (index == -1 || i == index)
            items.push_back(source.sourceList->Item(i));
    for (const std::string& item : items) {
        if (state.scanStopped)
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
    state.scanFileTotal = 0;
    state.scanByteTotal = 0;
    state.scanItems.clear();
    state.filesExamined = 0;
    state.bytesExamined = 0;
    filters.ResetForCount();
    // The destination tree starts by the first source. The live tree is not steered from here: its
    // answer arrives later and replaces the text of cbPath, which the user may be typing into by then
    // (a scan starts after every Add); it would also replace a destination chosen before.
    if (source.sourceList->Count() > 0)
        trees.browseStartPath = FolderPart(source.sourceList->Item(0));
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
