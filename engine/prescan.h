#pragma once
#include "core/DateTime.h"
#include "engine/ScanTotals.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

// What the pre-scan tells the window while it counts. Every call has a neutral default.
class ScanHost {
public:
    virtual ~ScanHost() = default;
    // Runs pending window messages: once per folder, and within a long folder whenever
    // PreScan::kPumpIntervalMs have passed since the last time. Stop searching, Begin, Cancel and new
    // requests arrive through it and end the scan through the scan-stopped flag.
    virtual void ProcessMessages() {}
    // A millisecond clock (GetTickCount), for the pumps within a folder.
    virtual std::uint32_t Milliseconds();
    // An extension entry (".txt", "." for none; lower case) met for the first time in this scan.
    virtual void ExtensionMet(const std::string& /*entry*/) {}
    // A modification time (local, two-second resolution) met for the first time in this scan.
    virtual void TimeMet(DateTime /*modified*/) {}
    // After every entry: the scan file total has its new value.
    virtual void Counted(std::int64_t /*fileTotal*/) {}
};

// Counts the files and bytes under source items into scan totals, and reports
// each distinct extension entry and modification time once. Nothing is filtered. Stops as soon as
// the scan-stopped flag is set. Unreadable folders and vanished entries count nothing, silently.
class PreScan {
public:
    // Well under the tenth of a second within which a window should answer its user, with room for
    // a coarse clock (about 16 ms a step on Windows) and a busy machine.
    static constexpr std::uint32_t kPumpIntervalMs = 25;

    PreScan(ScanHost& host, ScanTotals& totals) : host_(host), totals_(totals) {}

    // One source entry: an existing file is counted (without pumping messages), anything else is
    // counted as a folder. Its bytes are also noted for the item in the totals' items, once its
    // count is complete.
    void CountItem(const std::string& item);
    // Everything below the folder.
    void CountFolder(const std::string& folder);

private:
    void CountItemEntries(const std::string& item);
    void CountFolderW(const std::wstring& folder);
    void CountFile(const std::wstring& name, std::int64_t size, std::uint64_t lastWrite);
    void Pump();
    bool PumpDue() { return host_.Milliseconds() - pumpedAt_ >= kPumpIntervalMs; }

    ScanHost& host_;
    ScanTotals& totals_;
    std::uint32_t pumpedAt_ = 0;
    struct WideHash {
        using is_transparent = void;
        std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>()(text); }
    };
    // Distinct entries so far: a look-up per file, never a search through the window's lists. Names
    // are converted and lower-cased only for an extension not met before in its listed form.
    std::unordered_set<std::wstring, WideHash, std::equal_to<>> listedExtensions_;
    std::unordered_set<std::string> extensions_;
    std::unordered_set<std::uint64_t> times_;  // last-write times in two-second steps
};
