#pragma once
#include "core/ConflictDecision.h"
#include "core/DateTime.h"
#include "engine/FileOutcome.h"
#include "engine/JobState.h"

#include <cstdint>
#include <string>

// The texts of the Progress section a job writes.
enum class ProgressText {
    File,     // FileProgressLabel: what is being done to which file
    Overall,  // AllProgressLabel
    Time,     // TimeLabel: time remaining, or time spent
    Speed,    // LabelSpeed
    Header,   // ProgressLabel, the section's header
};

// What a running job tells or asks the window, and nothing more: the job itself is a JobRequest taken
// at Begin, so nothing here reads a control. The main window implements it; tests and the benchmark
// implement what they need. Only the log must be given; every other call has a neutral default:
// displays show nothing, questions get the answer that changes nothing (Skip, No), window state stays
// as it is, and the clock is the system's.
class JobHost {
public:
    virtual ~JobHost() = default;

    // --- Log -----------------------------------------------------------------------------------
    virtual void AppendLog(const std::string& entry) = 0;  // Memo1: entry + "\r\n"
    virtual void ClearLog() {}
    // Each file done, failed or skipped by an answer, once, in the order the log tells them.
    virtual void FileSettled(const FileOutcome& /*outcome*/) {}

    // --- Message processing --------------------------------------------------------------------
    // Runs pending window messages; Pause and Cancel arrive through it. Every handler that runs in
    // here may change the window, never the job.
    virtual void ProcessMessages() {}
    // The same while the job waits for its file workers: nothing else is being done, so every pending
    // message runs at once (a pump that paces itself would leave them to wake the wait again).
    virtual void ProcessMessagesWhileWaiting() { ProcessMessages(); }

    // --- Progress display ----------------------------------------------------------------------
    virtual void SetProgressText(ProgressText /*which*/, const std::string& /*text*/) {}
    virtual void SetFileBar(int /*maximum*/, int /*position*/) {}  // FileProgressBar (32-bit range)
    virtual void SetOverallBarMax(int) {}                          // AllProgressBar
    virtual void SetOverallBarPos(int) {}

    void SetFileProgressText(const std::string& text) { SetProgressText(ProgressText::File, text); }
    void SetOverallText(const std::string& text) { SetProgressText(ProgressText::Overall, text); }
    void SetTimeText(const std::string& text) { SetProgressText(ProgressText::Time, text); }
    void SetSpeedText(const std::string& text) { SetProgressText(ProgressText::Speed, text); }
    void SetProgressHeader(const std::string& text) { SetProgressText(ProgressText::Header, text); }

    // --- Conflicts -----------------------------------------------------------------------------
    // The answer carries the dialog's rename mode as it was when the dialog closed.
    virtual ConflictAnswer AskFileExists(const std::string& /*path*/, const std::string& /*comparison*/)
    {
        return {kSkip, false};
    }
    virtual ConflictAnswer AskFolderExists(const std::string& /*path*/) { return {kSkip, false}; }

    // --- Questions and messages ----------------------------------------------------------------
    virtual bool AskYesNo(const std::string& /*text*/, const std::string& /*title*/) { return false; }
    virtual void ShowMessage(const std::string&) {}  // information box with OK

    // --- Window state around a job -------------------------------------------------------------
    virtual void EnterRunningState(Operation /*operation*/) {}
    virtual void ShowPaused(bool /*paused*/) {}  // "Go On" / "Pause" and the job animation
    virtual void EnterRestState() {}
    virtual void HideMainWindow() {}

    // --- Clock ---------------------------------------------------------------------------------
    virtual std::uint32_t TickMs();  // timeGetTime
    virtual DateTime Now();          // local clock
    // Local date and time in the system's short date and long time formats (time left out at 00:00:00).
    virtual std::string FormatLocalDateTime(DateTime value);
};
