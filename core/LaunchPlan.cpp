#include "core/LaunchPlan.h"

LaunchPlan PlanLaunch(const std::wstring& launcherPath, const std::wstring& firstArgument)
{
    LaunchPlan plan;
    const std::size_t cut = launcherPath.find_last_of(L"\\/:");
    if (cut == std::wstring::npos)
        return plan;
    plan.folder = launcherPath.substr(0, cut + 1);
    plan.program = plan.folder + L"Orvandel.exe";
    // Exactly the word the logon entry writes; anything else is a start by hand.
    if (firstArgument == L"autorun")
        plan.parameters = L"startup";
    return plan;
}
