// The pre-scan in the window: the request timer, counting the sources into the totals and the filter
// lists, and the filter reset that starts every scan.
#include "app/Mainfrm.h"

#include "core/ShellIntegration.h"

#include "engine/filefacts.h"
#include "engine/prescan.h"
#include "filters/KeptFilters.h"
#include "filters/LocaleLower.h"
#include "filters/PresetEntry.h"
#include "filters/PresetTimeList.h"
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

std::vector<std::string> ItemsOf(const ui::ComboBox& box)
{
    std::vector<std::string> items;
    for (int i = 0, n = box.Count(); i < n; ++i)
        items.push_back(box.Item(i));
    return items;
}

// Messages by which anyone looks at the entries of a drop-down list or moves through them: the
// user's focus, clicks, keys and wheel, and every request that reads, chooses or places items (also
// from other programs).
bool LooksAtEntries(UINT message)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        return true;
    case CB_GETCOUNT:
    case CB_GETCURSEL:
    case CB_SETCURSEL:
    case CB_GETLBTEXT:
    case CB_GETLBTEXTLEN:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
    case CB_SHOWDROPDOWN:
    case CB_GETITEMDATA:
    case CB_SETITEMDATA:
    case CB_GETTOPINDEX:
    case CB_SETTOPINDEX:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_DELETESTRING:
        return true;
    default:
        return false;
    }
}

} // namespace

// What one scan shows in the window: new extension entries and preset times, and the count.
class ScanDisplay final : public ScanHost {
public:
    explicit ScanDisplay(TVorCopyPasteWin& w)
        : w_(w), presets_(ItemsOf(*w.cbTL1), TimeSeparator())
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        presetsOpen_ = GetComboBoxInfo(w_.cbTL1->Handle(), &info) ? info.hwndList : nullptr;
        // Entries the lists already hold (the two outer presets of the reset) are not added twice.
        for (int i = 0, n = w_.ExtList->Count(); i < n; ++i)
            extensions_.insert(LocaleLower(w_.ExtList->Item(i)));
        // The preset list is complete whenever anything looks at it; until then the times met are
        // only gathered.
        outerHook_ = w_.cbTL1->onMessage;
        w_.cbTL1->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (LooksAtEntries(message))
                FlushPresets();
            auto outer = outerHook_;
            return outer && outer(message, wParam, lParam, result);
        };
    }
    ScanDisplay(const ScanDisplay&) = delete;
    ScanDisplay& operator=(const ScanDisplay&) = delete;
    ~ScanDisplay() override { w_.cbTL1->onMessage = outerHook_; }

    void ProcessMessages() override
    {
        // The extension list is in view whenever the Filters section is open: complete before the
        // user can look. The preset list shows its entries only when it is open or has the focus (and
        // then it is already complete); it is kept so while it stays that way.
        FlushExtensions();
        if (GetFocus() == w_.cbTL1->Handle() || (presetsOpen_ && IsWindowVisible(presetsOpen_)))
            FlushPresets();
        // A quit met here (the program is ending) ends the scan as Stop searching would.
        if (!ProcessPendingMessages())
            w_.state.scanStopped = true;
    }

    void ExtensionMet(const std::string& entry) override
    {
        if (extensions_.insert(entry).second)
            newExtensions_.push_back(entry);
    }

    void TimeMet(DateTime modified) override { presets_.Add(modified); }

    void Counted(std::int64_t files) override
    {
        const DWORD now = GetTickCount();
        if (shown_ >= 0 && now - shownAt_ < kCountTextIntervalMs)
            return;
        Show(files, now);
    }

    // However the count ended (to its end, Stop searching, Begin, a new request): every list complete,
    // the end list a copy of the start list, and the last count shown.
    void Finish()
    {
        FlushExtensions();
        FlushPresets();
        // Entries the kept filters leave out: Select All no longer holds (without its click, which
        // would check them all again).
        if (anyUnchecked_ && w_.cbSelAll->Checked()) {
            w_.cbSelAll->tag = 1;
            w_.cbSelAll->SetChecked(false);
            w_.cbSelAll->tag = 0;
        }
        {
            // Appended in cbTL1's order, which is already sorted: no comparisons needed.
            const std::vector<std::string>& entries = presets_.Entries();
            w_.cbTL2->Clear();
            ui::ComboBox::Batch batch(*w_.cbTL2, entries.size());
            for (const std::string& entry : entries)
                batch.Insert(-1, entry);
        }
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
        const bool all = w_.cbSelAll->Checked();
        ui::CheckListBox::Batch batch(*w_.ExtList);
        for (const std::string& entry : newExtensions_) {
            const bool checked = all && (!w_.keptFilters || w_.keptFilters->StartsChecked(entry));
            batch.Add(entry, checked);
            anyUnchecked_ = anyUnchecked_ || !checked;
        }
        newExtensions_.clear();
    }

    // The times met go in at their places in ascending order. The control's own sorted insert would
    // compare through the locale about fourteen times per entry; preset texts sort by their bytes as
    // by the locale (digits in fixed places), so the places are known here.
    void FlushPresets()
    {
        if (!presets_.HasPending() || flushingPresets_)
            return;
        flushingPresets_ = true;
        const std::vector<PresetTimeList::Insertion> insertions = presets_.TakePending();
        {
            ui::ComboBox::Batch batch(*w_.cbTL1, insertions.size());
            for (const PresetTimeList::Insertion& insertion : insertions)
                batch.Insert(insertion.index, insertion.text);
        }
        flushingPresets_ = false;
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
    PresetTimeList presets_;  // the entries of cbTL1 and the times met for it
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> outerHook_;
    HWND presetsOpen_ = nullptr;  // the list window of cbTL1, shown while it is open
    bool flushingPresets_ = false;
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
    run.display.Finish();
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
