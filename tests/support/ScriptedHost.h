#pragma once
#include "engine/JobHost.h"
#include "engine/JobRequest.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A JobHost for tests: the job's settings are plain fields that Request() turns into the job, questions
// are answered from scripts, and every display call is recorded so a test can check what a user would
// have seen.
class ScriptedHost : public JobHost {
public:
    // Settings, as the window's controls would hold them
    Operation operation = kOpCopy;
    std::vector<std::string> sources;
    std::string destination;
    bool flat = false;
    FilterSet filters{"*.*", {}, 0.0, 2958465.0, 0, INT64_MAX};  // day 0 to 9999-12-31
    std::string minSizeText = "0";
    std::string maxSizeText = "9223372036854775807";
    std::string operationHeader = "Copy\n";
    bool verify = false;
    int fileWorkers = 0;  // as the job decides by default
    ScanTotals scan;      // the pre-scan's count the request carries

    // Scripts: a function if set, else queued answers, else the default.
    std::function<ConflictAnswer(const std::string&, const std::string&)> onFileExists;
    std::function<ConflictAnswer(const std::string&)> onFolderExists;
    std::deque<ConflictAnswer> fileAnswers;
    std::deque<ConflictAnswer> folderAnswers;
    bool fileRenameNew = true;
    bool folderRenameNew = true;
    bool yesNoAnswer = true;
    std::function<void()> onProcessMessages;  // runs inside the job, as a nested handler would
    HWND ownerWindow = nullptr;  // owner of the shell's questions

    // Records
    std::string log;                       // every entry followed by "\r\n", as the log box shows it
    std::vector<std::string> fileQuestions;    // paths asked about
    std::vector<std::string> comparisons;
    std::vector<std::string> folderQuestions;
    std::vector<std::string> yesNoQuestions;
    std::vector<std::string> messages;
    std::vector<FileOutcome> outcomes;         // every file the job told as done, failed or skipped
    int processMessagesCalls = 0;
    std::string fileProgressText, overallText, timeText, speedText = "--", progressHeader;
    int fileBarMax = 0, fileBarPos = 0, overallMax = 100, overallPos = 0;
    bool running = false, paused = false, hidden = false;

    // Clock: a tick that advances by tickStep at every read, and a fixed local time.
    std::uint32_t tick = 1000;
    std::uint32_t tickStep = 0;
    DateTime now = 46087.5;  // 2026-03-06 12:00:00

    // The job as Begin takes it from the settings above.
    JobRequest Request() const
    {
        JobRequest request;
        request.operation = operation;
        request.sources = sources;
        request.destinationText = destination;
        request.destination = ResolvedDestinationText(destination);
        request.flat = flat;
        request.filters = filters;
        request.minSizeText = minSizeText;
        request.maxSizeText = maxSizeText;
        request.operationHeader = operationHeader;
        request.questionOwner = ownerWindow;
        request.verify = verify;
        request.fileWorkers = fileWorkers;
        request.scan = scan;
        return request;
    }

    void FileSettled(const FileOutcome& outcome) override { outcomes.push_back(outcome); }

    void ProcessMessages() override
    {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
    }

    void SetProgressText(ProgressText which, const std::string& t) override
    {
        switch (which) {
        case ProgressText::File: fileProgressText = t; break;
        case ProgressText::Overall: overallText = t; break;
        case ProgressText::Time: timeText = t; break;
        case ProgressText::Speed: speedText = t; break;
        case ProgressText::Header: progressHeader = t; break;
        }
    }
    void SetFileBar(int maximum, int position) override { fileBarMax = maximum; fileBarPos = position; }
    void SetOverallBarMax(int m) override { overallMax = m; }
    void SetOverallBarPos(int p) override { overallPos = p; }

    ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override
    {
        fileQuestions.push_back(path);
        comparisons.push_back(comparison);
        ConflictAnswer answer = onFileExists ? onFileExists(path, comparison) : Next(fileAnswers);
        answer.renameNew = fileRenameNew;
        return answer;
    }
    ConflictAnswer AskFolderExists(const std::string& path) override
    {
        folderQuestions.push_back(path);
        ConflictAnswer answer = onFolderExists ? onFolderExists(path) : Next(folderAnswers);
        answer.renameNew = folderRenameNew;
        return answer;
    }

    bool AskYesNo(const std::string& text, const std::string&) override
    {
        yesNoQuestions.push_back(text);
        return yesNoAnswer;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void AppendLog(const std::string& entry) override { log += entry + "\r\n"; }
    void ClearLog() override { log.clear(); }

    void EnterRunningState(Operation) override { running = true; }
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
