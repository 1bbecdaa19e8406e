#pragma once

// Answer to an existing destination file or folder.
enum ConflictDecision : int {
    kOverwrite = 1,  // files: Overwrite; folders: Replace
    kSkip = 2,
    kUpdate = 3,
    kAutoRename = 4,
};

// What a conflict dialog returns: the button pressed and whether "Use same selection" was ticked.
struct ConflictAnswer {
    ConflictDecision decision = kSkip;
    bool useForRest = false;
    // Auto Rename: true gives the new file or folder a stamped name, false moves the existing one
    // aside (the dialog's rename mode as it was when it closed).
    bool renameNew = true;
};
