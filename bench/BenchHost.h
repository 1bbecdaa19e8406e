#pragma once
#include "engine/JobHost.h"
#include "platform/MessagePump.h"

#include <windows.h>

#include <algorithm>
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
    int conflicts = 0;

    int OperationKind() override { return operation; }
    int SourceCount() override { return static_cast<int>(sources.size()); }
    std::string SourceItem(int i) override { return sources[static_cast<size_t>(i)]; }
    std::string DestinationText() override { return destination; }
    const FilterSet& Filters() override { return filters; }
    double longestGapMs = 0;  // the longest the job went without asking for its messages

    void ProcessMessages() override  // as the window does
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (lastAsked_.QuadPart != 0)
            longestGapMs = std::max(longestGapMs, Milliseconds(lastAsked_, now));
        lastAsked_ = now;
        ProcessPendingMessagesEvery(15);
    }
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
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void ShowMessage(const std::string& text) override { log += "[message] " + text + "\r\n"; }
    void AppendLog(const std::string& entry) override { log += entry + "\r\n"; }
    void ClearLog() override { log.clear(); }

    static double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER lastAsked_{};
};
