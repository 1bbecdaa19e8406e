#pragma once
#include "engine/JobHost.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A JobHost for tests: settings are plain fields, questions are answered from scripts, and every
// display call is recorded so a test can check what a user would have seen.
class ScriptedHost : public JobHost {
public:
    // Settings
    int operation = 0;
    std::vector<std::string> sources;
    std::string destination;
    bool flat = false;
    FilterSet filters{"*.*", {}, 0.0, 2958465.0, 0, INT64_MAX};  // day 0 to 9999-12-31
    std::string minSizeText = "0";
    std::string maxSizeText = "9223372036854775807";
    std::string operationHeader = "Copy\n";

    // Scripts: a function if set, else queued answers, else the default.
    std::function<ConflictAnswer(const std::string&, const std::string&)> onFileExists;
    std::function<ConflictAnswer(const std::string&)> onFolderExists;
    std::deque<ConflictAnswer> fileAnswers;
    std::deque<ConflictAnswer> folderAnswers;
    bool fileRenameNew = true;
    bool folderRenameNew = true;
    bool yesNoAnswer = true;
    std::function<void()> onProcessMessages;  // runs inside the job, as a nested handler would
    bool scanRunning = false;
    HWND ownerWindow = nullptr;  // owner of the shell's questions

    // Records
    std::string log;                       // every entry followed by "\r\n", as the log box shows it
    std::vector<std::string> fileQuestions;    // paths asked about
    std::vector<std::string> comparisons;
    std::vector<std::string> folderQuestions;
    std::vector<std::string> yesNoQuestions;
    std::vector<std::string> messages;
    int processMessagesCalls = 0;
    std::string fileProgressText, overallText, timeText, speedText = "--", progressHeader;
    int fileBarMax = 0, fileBarPos = 0, overallMax = 100, overallPos = 0;
    int openSection = 4;
    bool running = false, paused = false, hidden = false, existsNoticeHidden = false;
    bool reclickTimerStarted = false, historiesSaved = false, scanStopped = false;
    std::vector<std::string> historyFailures;  // what SaveHistories reports

    // Clock: a tick that advances by tickStep at every read, and a fixed local time.
    std::uint32_t tick = 1000;
    std::uint32_t tickStep = 0;
    DateTime now = 46087.5;  // 2026-03-06 12:00:00

    int OperationKind() override { return operation; }
    int SourceCount() override { return static_cast<int>(sources.size()); }
    std::string SourceItem(int i) override { return sources.at(static_cast<size_t>(i)); }
    std::string DestinationText() override { return destination; }
    bool FlatDestination() override { return flat; }
    const FilterSet& Filters() override { return filters; }
    std::string MinSizeText() override { return minSizeText; }
    std::string MaxSizeText() override { return maxSizeText; }
    std::string OperationHeaderText() override { return operationHeader; }

    void ProcessMessages() override
    {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
    }

    void SetFileProgressText(const std::string& t) override { fileProgressText = t; }
    void SetFileBar(int maximum, int position) override { fileBarMax = maximum; fileBarPos = position; }
    void SetOverallBarMax(int m) override { overallMax = m; }
    void SetOverallBarPos(int p) override { overallPos = p; }
    void SetOverallText(const std::string& t) override { overallText = t; }
    void SetTimeText(const std::string& t) override { timeText = t; }
    void SetSpeedText(const std::string& t) override { speedText = t; }
    std::string SpeedText() override { return speedText; }
    void SetProgressHeader(const std::string& t) override { progressHeader = t; }

    ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override
    {
        fileQuestions.push_back(path);
        comparisons.push_back(comparison);
        if (onFileExists)
            return onFileExists(path, comparison);
        return Next(fileAnswers);
    }
    ConflictAnswer AskFolderExists(const std::string& path) override
    {
        folderQuestions.push_back(path);
        if (onFolderExists)
            return onFolderExists(path);
        return Next(folderAnswers);
    }
    bool FileRenameModeNew() override { return fileRenameNew; }
    bool FolderRenameModeNew() override { return folderRenameNew; }

    bool AskYesNo(const std::string& text, const std::string&) override
    {
        yesNoQuestions.push_back(text);
        return yesNoAnswer;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void AppendLog(const std::string& entry) override { log += entry + "\r\n"; }
    void ClearLog() override { log.clear(); }

    void HideExistsNotice() override { existsNoticeHidden = true; }
    int OpenSectionIndex() override { return openSection; }
    void OpenSection(int s) override { openSection = s; }
    bool ScanRunning() override { return scanRunning; }
    void StopScan() override
    {
        scanStopped = true;
        scanRunning = false;
    }
    void StartReclickTimer() override { reclickTimerStarted = true; }
    std::vector<std::string> SaveHistories() override
    {
        historiesSaved = true;
        return historyFailures;
    }
    void EnterRunningState(int) override { running = true; }
    void ShowPaused(bool p) override { paused = p; }
    void EnterRestState() override { running = false; paused = false; }
    void HideMainWindow() override { hidden = true; }

    std::uint32_t TickMs() override
    {
        const std::uint32_t t = tick;
        tick += tickStep;
        return t;
    }
    DateTime Now() override { return now; }
    std::string FormatLocalDateTime(DateTime value) override { return FormatIsoDateTime(value); }
    HWND OwnerWindow() override { return ownerWindow; }

private:
    static ConflictAnswer Next(std::deque<ConflictAnswer>& queue)
    {
        if (queue.empty())
            return {kSkip, false};
        ConflictAnswer a = queue.front();
        queue.pop_front();
        return a;
    }
};
