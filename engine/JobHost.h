#pragma once
#include "core/ConflictDecision.h"
#include "core/DateTime.h"
#include "core/SectionNumber.h"
#include "filters/FilterSet.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Everything a job needs from the window, and nothing more. The main window implements it with its
// controls; tests and the benchmark implement what they need. Only what defines a job must be given;
// every other group has a neutral default: displays show nothing, questions get the answer that
// changes nothing (Skip, No), window state stays as it is, and the clock is the system's.
class JobHost {
public:
    virtual ~JobHost() = default;

    // --- Job settings, read from the controls when needed -------------------------------------
    virtual int OperationKind() = 0;                 // first checked radio button, Copy when none
    virtual int SourceCount() = 0;                   // sourceList
    virtual std::string SourceItem(int index) = 0;
    virtual std::string DestinationText() = 0;       // cbPath, as typed
    virtual const FilterSet& Filters() = 0;          // cbFName, ExtList, dtp1/dtp2, size fields
    virtual bool FlatDestination() { return false; } // cbIgnorSubDir "Do not create subdirectory"
    virtual std::string MinSizeText() { return "0"; }                   // EditFSMin, for the log
    virtual std::string MaxSizeText() { return "9223372036854775807"; } // EditFSMax
    virtual std::string OperationHeaderText() { return {}; }            // caption of CopyCutLabel

    // --- Log -----------------------------------------------------------------------------------
    virtual void AppendLog(const std::string& entry) = 0;  // Memo1: entry + "\r\n"
    virtual void ClearLog() {}

    // --- Message processing --------------------------------------------------------------------
    // Runs pending window messages; Pause and Cancel arrive through it.
    virtual void ProcessMessages() {}

    // --- Progress display ------------------------------------------------------------------------
    virtual void SetFileProgressText(const std::string&) {}  // FileProgressLabel
    virtual void SetFileBar(int /*maximum*/, int /*position*/) {}  // FileProgressBar (32-bit range)
    virtual void SetOverallBarMax(int) {}                     // AllProgressBar
    virtual void SetOverallBarPos(int) {}
    virtual void SetOverallText(const std::string&) {}        // AllProgressLabel
    virtual void SetTimeText(const std::string&) {}           // TimeLabel
    virtual void SetSpeedText(const std::string& text) { speedText_ = text; }  // LabelSpeed
    virtual std::string SpeedText() { return speedText_; }
    virtual void SetProgressHeader(const std::string&) {}     // ProgressLabel

    // --- Conflicts ---------------------------------------------------------------------------
    virtual ConflictAnswer AskFileExists(const std::string& /*path*/, const std::string& /*comparison*/)
    {
        return {kSkip, false};
    }
    virtual ConflictAnswer AskFolderExists(const std::string& /*path*/) { return {kSkip, false}; }
    virtual bool FileRenameModeNew() { return true; }    // RenameNewFile1 checked on the file dialog
    virtual bool FolderRenameModeNew() { return true; }  // the same on the folder dialog

    // --- Questions and messages --------------------------------------------------------------
    virtual bool AskYesNo(const std::string& /*text*/, const std::string& /*title*/) { return false; }
    virtual void ShowMessage(const std::string&) {}  // information box with OK

    // --- Window state around a job -----------------------------------------------------------
    virtual void HideExistsNotice() {}                    // pExists
    virtual int OpenSectionIndex() { return kSectionProgress; }
    virtual void OpenSection(int /*section*/) {}          // as a click on its header
    virtual bool ScanRunning() { return false; }          // StopSearch enabled
    virtual void StopScan() {}                            // StopSearchClick
    virtual void StartReclickTimer() {}                   // ReclickBeginButton
    // Remembers the masks and the destination; returns a log line for each list it could not store.
    virtual std::vector<std::string> SaveHistories() { return {}; }
    virtual void EnterRunningState(int /*operation*/) {}
    virtual void ShowPaused(bool /*paused*/) {}           // "Go On" / "Pause" and the job animation
    virtual void EnterRestState() {}
    virtual void HideMainWindow() {}

    // --- Clock ---------------------------------------------------------------------------------
    virtual std::uint32_t TickMs();   // timeGetTime
    virtual DateTime Now();           // local clock
    // Local date and time in the system's short date and long time formats (time left out at 00:00:00).
    virtual std::string FormatLocalDateTime(DateTime value);

    // --- Shell requests ------------------------------------------------------------------------
    // The window that owns the shell's own questions (deleting for good a file the trash cannot
    // take), so that they are modal to it. None by default: such a question is then ownerless.
    virtual HWND OwnerWindow() { return nullptr; }

private:
    std::string speedText_;
};
