#pragma once
#include "engine/JobHost.h"
#include "engine/JobRequest.h"
#include "platform/MessagePump.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// A window-less host for whole jobs in the benchmark: it pumps messages like the window does,
// keeps the log in memory like the log box, and never meets a conflict (fresh destinations).
class BenchHost : public JobHost {
public:
    JobRequest request;  // the job, as the window's Begin would take it
    std::string log;
    int conflicts = 0;

    BenchHost() { request.filters = FilterSet{"*.*", {}, 0.0, 2958465.0, 0, INT64_MAX}; }

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
