#pragma once
#include "core/ConflictDecision.h"

#include <string>

// A standing answer of one dialog: the stored decision and whether it is in force.
// Clearing it (new job, Pause) keeps the stored decision but stops consulting it.
struct StandingAnswer {
    ConflictAnswer stored{kSkip, false};
    bool standing = false;
};

struct StandingAnswers {
    StandingAnswer file;
    StandingAnswer folder;
    void Clear()
    {
        file.standing = false;
        folder.standing = false;
    }
};

class JobHost;

// The answer for an existing file: the standing answer if one is in force, else the dialog's.
ConflictAnswer ObtainFileDecision(JobHost& host, StandingAnswers& answers, const std::string& path,
                                    const std::string& comparison);
// The same for an existing folder (the dialog shows no comparison text).
ConflictAnswer ObtainFolderDecision(JobHost& host, StandingAnswers& answers, const std::string& path);
