// The pre-scan in the window: the request timer, counting the sources into the totals and the filter
// lists, and the filter reset that starts every scan.
#include "app/Mainfrm.h"

#include "core/ShellIntegration.h"

#include "engine/filefacts.h"
#include "engine/prescan.h"
#include "filters/KeptFilters.h"
#include "filters/LocaleLower.h"
#include "filters/PresetEntry.h"
#include "platform/MessagePump.h"


#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// The count is renewed after every entry, but a repaint of the header per file would cost more than
// the counting itself under Wine: it is shown at most this often, and always at the end.
constexpr DWORD kCountTextIntervalMs = 100;
constexpr double kOpenEndDays = 52533.0;

std::string CountText(std::int64_t files) { return "Searching... ( " + std::to_string(files) + " files are found )\n"; }

std::string TimeSeparator()
{
    char separator[8] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    return n > 1 ? std::string(separator) : std::string(":");
}

// The picker cannot show dates before 1753; the window keeps the real value and shows the nearest.
SYSTEMTIME PickerValue(DateTime value)
{
    const DateTimeParts p = DecodeDateTime(value);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(std::clamp(p.year, 1753, 9999));
    t.wMonth = static_cast<WORD>(p.month);
    t.wDay = static_cast<WORD>(p.day);
    t.wHour = static_cast<WORD>(p.hour);
    t.wMinute = static_cast<WORD>(p.minute);
    t.wSecond = static_cast<WORD>(p.second);
    return t;
}

// Adding many entries to a list box updates and repaints it for each one; once at the end will do.
// A combo box keeps its entries in a list window of its own, which is the one to hold.
class NoRedraw {
public:
    explicit NoRedraw(HWND window) : window_(ListWindowOf(window)) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;
    ~NoRedraw()
    {
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }

private:
    static HWND ListWindowOf(HWND window)
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        return GetComboBoxInfo(window, &info) && info.hwndList ? info.hwndList : window;
    }
    HWND window_;
};

} // namespace

// What one scan shows in the window: new extension entries and preset times, and the count.
class ScanDisplay final : public ScanHost {
public:
    explicit ScanDisplay(TVorCopyPasteWin& w) : w_(w), separator_(TimeSeparator())
    {
        // Entries the lists already hold (the two outer presets of the reset) are not added twice.
        for (int i = 0, n = w_.ExtList->Count(); i < n; ++i)
            extensions_.insert(LocaleLower(w_.ExtList->Item(i)));
        for (int i = 0, n = w_.cbTL1->Count(); i < n; ++i)
            presets_.push_back(w_.cbTL1->Item(i));
        std::sort(presets_.begin(), presets_.end());
    }

    void ProcessMessages() override
    {
        // The lists are complete whenever the user can look at them.
        Flush();
        // A quit met here (the program is ending) ends the scan as Stop searching would.
        if (!ProcessPendingMessages())
            w_.state.scanStopped = true;
    }

    void ExtensionMet(const std::string& entry) override
    {
        if (extensions_.insert(entry).second)
            newExtensions_.push_back(entry);
    }

    void TimeMet(DateTime modified) override
    {
        newPresets_.push_back(FormatPresetEntry(modified, separator_));
    }

    // New entries go into the lists in one batch per folder, with the lists' drawing held: under
    // Wine each added entry drawn on its own cost a hundred times the counting of its file. Between
    // two batches no message runs, so an entry still takes the Select All mark of the moment it was
    // met, as the user could not have changed it since.
    void Flush()
    {
        if (!newExtensions_.empty()) {
            const bool all = w_.cbSelAll->Checked();
            NoRedraw quiet(w_.ExtList->Handle());
            for (const std::string& entry : newExtensions_) {
                const bool checked = all && (!w_.keptFilters || w_.keptFilters->StartsChecked(entry));
                w_.ExtList->Add(entry, checked);
                anyUnchecked_ = anyUnchecked_ || !checked;
            }
            newExtensions_.clear();
        }
        if (!newPresets_.empty()) {
            // The list is sorted, but its own sorted insert compares through the locale about
            // fourteen times per entry, which took 0.7 s for 10,000 times under Wine. Preset texts
            // sort by their bytes as by the locale (digits in fixed places), so the place of each is
            // found here and the entry inserted there, in ascending order.
            std::sort(newPresets_.begin(), newPresets_.end());
            NoRedraw quiet(w_.cbTL1->Handle());
            for (std::string& text : newPresets_) {
                const auto at = std::lower_bound(presets_.begin(), presets_.end(), text);
                if (at != presets_.end() && *at == text)
                    continue;  // one of the outer presets
                const int index = static_cast<int>(at - presets_.begin());
                w_.cbTL1->Insert(index, text);
                presets_.insert(at, std::move(text));
            }
            newPresets_.clear();
        }
    }

    void Counted(std::int64_t files) override
    {
        const DWORD now = GetTickCount();
        if (shown_ >= 0 && now - shownAt_ < kCountTextIntervalMs)
            return;
        Show(files, now);
    }

    // The last count is always shown, whenever the throttle last let one through.
    void ShowFinal()
    {
        Flush();
        // Entries the kept filters leave out: Select All no longer holds (without its click, which
        // would check them all again).
        if (anyUnchecked_ && w_.cbSelAll->Checked()) {
            w_.cbSelAll->tag = 1;
            w_.cbSelAll->SetChecked(false);
            w_.cbSelAll->tag = 0;
        }
        if (shown_ >= 0 && shown_ != w_.state.scanFileTotal)
            Show(w_.state.scanFileTotal, GetTickCount());
    }

private:
    void Show(std::int64_t files, DWORD now)
    {
        w_.ProgressLabel->SetText(CountText(files));
        shown_ = files;
        shownAt_ = now;
    }

    TVorCopyPasteWin& w_;
    std::string separator_;
    std::unordered_set<std::string> extensions_;
    std::vector<std::string> presets_;  // the entries of cbTL1, in its order
    std::vector<std::string> newExtensions_, newPresets_;
    std::int64_t shown_ = -1;  // nothing shown yet
    bool anyUnchecked_ = false;
    DWORD shownAt_ = 0;
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
    ResetFilters();
    RefreshSectionHeaders(expandedSection);
    // The refresh takes the frame off every section; the open one keeps its mark (a switch that is
    // running puts it on its target at its next step anyway).
    if (!SwitchRunning() && expandedSection >= 0)
        FrameSection(sectionPanel[static_cast<size_t>(expandedSection)]);

    aniSearch->Play();
    aniSearch2->Play();
    aniSearch->Show();
    aniSearch2->Show();
    aniProgressBar->Hide();
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
                w.aniSearch->Stop();
                w.aniSearch2->Stop();
                w.aniSearch2->Hide();
            }
        } atEnd{*this};
        CountSourceItems(-1);
    }

    {
        // Appended in cbTL1's order, which is already sorted: no comparisons needed.
        NoRedraw quiet(cbTL2->Handle());
        cbTL2->Clear();
        for (int i = 0, n = cbTL1->Count(); i < n; ++i)
            cbTL2->Insert(-1, cbTL1->Item(i));
    }
    if (!state.scanStopped) {
        // Counted to the end: the time window is chosen from the times the files really have.
        dtp1->SetEnabled(false);
        dtp2->SetEnabled(false);
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
    for (int i = 0, n = sourceList->Count(); i < n; ++i)
        if (index == -1 || i == index)
            items.push_back(sourceList->Item(i));
    for (const std::string& item : items) {
        if (state.scanStopped)
            break;
        run.scan.CountItem(item);
    }
    run.display.ShowFinal();
}

void TVorCopyPasteWin::CountFolder(const std::string& folder)
{
    if (activeScan)
        activeScan->scan.CountFolder(folder);
}

void TVorCopyPasteWin::aniSearchStart()
{
    aniSearch2->SetLeft(StopSearch->Left() + 10);
    aniSearch2->SetTop(StopSearch->Top() + (StopSearch->Height() - aniSearch2->Height()) / 2);
    aniSearch2->BringToFront();
}

void TVorCopyPasteWin::ResumeDeferredScan()
{
    if (scanDeferred && EffectOf(UserAction::ScanRequest, Phase()) == Effect::Act) {
        scanDeferred = false;
        SearchTimer->Start();
    }
}

void TVorCopyPasteWin::ResetFilters()
{
    state.scanFileTotal = 0;
    state.scanByteTotal = 0;
    state.scanItems.clear();
    state.filesExamined = 0;
    state.bytesExamined = 0;

    // What the user set survives the new count: the masks typed, the extensions unchecked (where the
    // new sources still hold them), and the time and size windows chosen by hand.
    {
        std::vector<ExtensionEntry> entries;
        entries.reserve(static_cast<size_t>(ExtList->Count()));
        for (int i = 0; i < ExtList->Count(); ++i)
            entries.push_back({LocaleLower(ExtList->Item(i)), ExtList->Checked(i)});
        keptFilters.emplace(cbFName->Text(), entries);
    }
    ExtList->Clear();

    const std::string separator = TimeSeparator();
    const DateTime now = LocalNow();
    cbTL1->Clear();
    cbTL1->SetItemIndex(-1);
    cbTL1->Add(FormatPresetEntry(0.0, separator));
    cbTL1->Add(FormatPresetEntry(now + kOpenEndDays, separator));
    cbTL2->Clear();
    for (int i = 0, n = cbTL1->Count(); i < n; ++i)
        cbTL2->Add(cbTL1->Item(i));
    cbTL2->SetItemIndex(-1);

    DateTimeParts today = DecodeDateTime(now);
    today.hour = today.minute = today.second = today.millisecond = 0;
    if (!timeFromByHand)
        timeFrom = 0.0;
    if (!timeToByHand)
        timeTo = EncodeDateTime(today) + kOpenEndDays;
    dtp1->SetValue(PickerValue(timeFrom));
    dtp2->SetValue(PickerValue(timeTo));
    dtp1->SetEnabled(true);
    dtp2->SetEnabled(true);

    if (keptFilters->KeepsMasks()) {
        cbFName->SetText(keptFilters->Masks());
        cbSelAll->tag = 1;  // its click would rewrite the masks from a list that is empty now
        cbSelAll->SetChecked(true);
        cbSelAll->tag = 0;
    } else {
        cbFName->SetText("*.*");
        cbSelAll->SetChecked(true);  // its click handler puts the masks text into its normal form
    }

    // A size the user typed stays; the edits' change handlers recompute the sizes from the texts.
    if (minSize == 0)
        EditFSMin->SetText("0");
    if (maxSize == INT64_MAX)
        EditFSMax->SetText("9223372036854775807");

    // The destination tree starts by the first source. The live tree is not steered from here: its
    // answer arrives later and replaces the text of cbPath, which the user may be typing into by then
    // (a scan starts after every Add); it would also replace a destination chosen before.
    if (sourceList->Count() > 0)
        browseStartPath = FolderPart(sourceList->Item(0));
}
