#pragma once
#include <string>

// What the launcher run.exe starts: the program beside it, with "startup" when the logon entry
// started it with "autorun" (the program then comes up hidden in the notification area), and with no
// argument otherwise (a start by hand opens the window). Wide texts: the launcher reads its own path
// and arguments whole, whatever code page the system has.
struct LaunchPlan {
    std::wstring program;     // full path of Orvandel.exe beside the launcher
    std::wstring folder;      // that folder, ending in '\', the program's working folder
    std::wstring parameters;  // "startup" or empty
};

// `launcherPath` is the launcher's own full path; `firstArgument` its first argument (or empty).
// An empty program when the path has no folder part (then nothing is started).
LaunchPlan PlanLaunch(const std::wstring& launcherPath, const std::wstring& firstArgument);
