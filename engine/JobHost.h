#pragma once
#include "core/DateTime.h"
#include "engine/conflict.h"
#include "filters/FilterSet.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Everything a job needs from the window, and nothing more. The main window implements it with its
// controls; tests implement it with scripted answers, so every job runs headless.
class JobHost {
public:
    virtual ~JobHost() = default;

    // --- Job settings, read from the controls when needed -------------------------------------
    virtual int OperationKind() = 0;                 // first checked radio button, Copy when none
    virtual int SourceCount() = 0;                   // sourceList
    virtual std::string SourceItem(int index) = 0;
    virtual std::string DestinationText() = 0;       // cbPath, as typed
    virtual bool FlatDestination() = 0;              // cbIgnorSubDir "Do not create subdirectory"
    virtual const FilterSet& Filters() = 0;          // cbFName, ExtList, dtp1/dtp2, size fields
    virtual std::string MinSizeText() = 0;           // EditFSMin, for the log
    virtual std::string MaxSizeText() = 0;           // EditFSMax
    virtual std::string OperationHeaderText() = 0;   // caption of CopyCutLabel, for the log

    // --- Message processing --------------------------------------------------------------------
    // Runs pending window messages; Pause and Cancel arrive through it.
    virtual void ProcessMessages() = 0;

    // --- Progress display ------------------------------------------------------------------------
    virtual void SetFileProgressText(const std::string& text) = 0;  // FileProgressLabel
    virtual void SetFileBar(int maximum, int position) = 0;         // FileProgressBar (32-bit range)
    virtual void StepFileBar() = 0;                                 // one step forward
    virtual void SetOverallBarMax(int maximum) = 0;                 // AllProgressBar
    virtual void SetOverallBarPos(int position) = 0;
    virtual void SetOverallText(const std::string& text) = 0;       // AllProgressLabel
    virtual void SetTimeText(const std::string& text) = 0;          // TimeLabel
    virtual void SetSpeedText(const std::string& text) = 0;         // LabelSpeed
    virtual std::string SpeedText() = 0;
    virtual void SetProgressHeader(const std::string& text) = 0;    // ProgressLabel

    // --- Conflicts ---------------------------------------------------------------------------
    virtual ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) = 0;
    virtual ConflictAnswer AskFolderExists(const std::string& path) = 0;
    virtual bool FileRenameModeNew() = 0;    // RenameNewFile1 checked on the file dialog
    virtual bool FolderRenameModeNew() = 0;  // the same on the folder dialog

    // --- Questions, messages and log ---------------------------------------------------------
    virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
    virtual void ShowMessage(const std::string& text) = 0;  // information box with OK
    virtual void AppendLog(const std::string& entry) = 0;   // Memo1: entry + "\r\n"
    virtual void ClearLog() = 0;

    // --- Window state around a job -----------------------------------------------------------
    virtual void HideExistsNotice() = 0;         // pExists
    virtual int OpenSectionIndex() = 0;          // 0 Operation … 5 Settings
    virtual void OpenSection(int section) = 0;   // as a click on its header
    virtual bool ScanRunning() = 0;              // StopSearch enabled
    virtual void StopScan() = 0;                 // StopSearchClick
    virtual void StartReclickTimer() = 0;        // ReclickBeginButton
    virtual void SaveHistories() = 0;            // mask and path histories
    virtual void EnterRunningState(int operation) = 0;
    virtual void ShowPaused(bool paused) = 0;    // "Go On" / "Pause" and the job animation
    virtual void EnterRestState() = 0;
    virtual void HideMainWindow() = 0;

    // --- Clock ---------------------------------------------------------------------------------
    virtual std::uint32_t TickMs() = 0;   // timeGetTime
    virtual DateTime Now() = 0;           // local clock
    // Local date and time in the system's short date and long time formats (time left out at 00:00:00).
    virtual std::string FormatLocalDateTime(DateTime value) = 0;

    // --- Shell requests ------------------------------------------------------------------------
    // The window that owns the shell's own questions (deleting for good a file the trash cannot
    // take), so that they are modal to it. None by default: such a question is then ownerless.
    virtual HWND OwnerWindow() { return nullptr; }
};
