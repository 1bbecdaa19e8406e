#pragma once
#include "engine/JobHost.h"
#include "platform/MessagePump.h"

#include <windows.h>

#include <string>
#include <vector>

// A window-less host for whole jobs in the benchmark: it pumps messages like the window does,
// keeps the log in memory like the log box, and never meets a conflict (fresh destinations).
class BenchHost : public JobHost {
public:
    int operation = 0;
    std::vector<std::string> sources;
    std::string destination;
    FilterSet filters{"*.*", {}, 0.0, 2958465.0, 0, INT64_MAX};
    std::string log;
    std::string speed;
    int conflicts = 0;

    int OperationKind() override { return operation; }
    int SourceCount() override { return static_cast<int>(sources.size()); }
    std::string SourceItem(int i) override { return sources[static_cast<size_t>(i)]; }
    std::string DestinationText() override { return destination; }
    bool FlatDestination() override { return false; }
    const FilterSet& Filters() override { return filters; }
    std::string MinSizeText() override { return "0"; }
    std::string MaxSizeText() override { return "9223372036854775807"; }
    std::string OperationHeaderText() override { return "Bench\n"; }
    void ProcessMessages() override { ProcessPendingMessagesEvery(15); }  // as the window does
    void SetFileProgressText(const std::string&) override {}
    void SetFileBar(int, int) override {}
    void StepFileBar() override {}
    void SetOverallBarMax(int) override {}
    void SetOverallBarPos(int) override {}
    void SetOverallText(const std::string&) override {}
    void SetTimeText(const std::string&) override {}
    void SetSpeedText(const std::string& t) override { speed = t; }
    std::string SpeedText() override { return speed; }
    void SetProgressHeader(const std::string&) override {}
    ConflictAnswer AskFileExists(const std::string&, const std::string&) override
    {
        ++conflicts;
        return {kOverwrite, true};
    }
    ConflictAnswer AskFolderExists(const std::string&) override
    {
        ++conflicts;
        return {kUpdate, true};
    }
    bool FileRenameModeNew() override { return true; }
    bool FolderRenameModeNew() override { return true; }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void ShowMessage(const std::string& text) override { log += "[message] " + text + "\r\n"; }
    void AppendLog(const std::string& entry) override { log += entry + "\r\n"; }
    void ClearLog() override { log.clear(); }
    void HideExistsNotice() override {}
    int OpenSectionIndex() override { return 4; }
    void OpenSection(int) override {}
    bool ScanRunning() override { return false; }
    void StopScan() override {}
    void StartReclickTimer() override {}
    void SaveHistories() override {}
    void EnterRunningState(int) override {}
    void ShowPaused(bool) override {}
    void EnterRestState() override {}
    void HideMainWindow() override {}
    std::uint32_t TickMs() override { return GetTickCount(); }
    DateTime Now() override { return 0.0; }
    std::string FormatLocalDateTime(DateTime) override { return "-"; }
};
