#pragma once
#include "core/Operation.h"
#include "engine/ScanTotals.h"
#include "filters/FilterSet.h"

#include <windows.h>

#include <string>
#include <vector>

// Everything that defines one job, taken from the window once, when Begin takes the job. The job
// reads nothing else of the window: whatever the user types, drops or picks while it runs (the window
// pumps messages all through a job) prepares the next job and never redirects this one.
struct JobRequest {
    Operation operation = kOpCopy;
    std::vector<std::string> sources;  // the source list as it was
    std::string destinationText;       // cbPath as typed: the log and the messages show it
    std::string destination;           // where files go: the typed text as the system resolves it
    bool flat = false;                 // cbIgnorSubDir "Do not create subdirectory"
    bool verify = false;               // cbVerify: copies are read back before they get their name
    FilterSet filters;
    std::string minSizeText = "0";                    // EditFSMin and EditFSMax as typed, for the log
    std::string maxSizeText = "9223372036854775807";
    std::string operationHeader;                      // caption of CopyCutLabel, for the log
    // The window that owns the shell's own questions (deleting for good a file the trash cannot take),
    // so that they are modal to it; none leaves them ownerless.
    HWND questionOwner = nullptr;
    // How many files are written at once: 0 lets it follow the rate the job gets (1 to 8), 1 does one
    // file at a time on the job's own thread, 2 to 8 hold it there.
    int fileWorkers = 0;
    // The pre-scan's count of the sources as the job starts: its bar, its estimate and its free-space
    // check go by it. A host that counts nothing leaves it empty, or marks it stopped to say so.
    ScanTotals scan;
};

// The destination for the job: blanks around it removed and, where it is a full path, resolved by the
// system ("D:" alone meaning the drive's root, "." and ".." folded); any other text as it stands, so
// that the job's own refusal names what the user typed.
std::string ResolvedDestinationText(const std::string& typed);
