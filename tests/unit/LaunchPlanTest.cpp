#include "core/LaunchPlan.h"
#include "core/ShellIntegration.h"

#include <gtest/gtest.h>

TEST(LaunchPlan, AutorunStartsTheProgramBesideTheLauncherHidden)
{
    const LaunchPlan plan = PlanLaunch(L"C:\\Program Files\\Marrowick\\run.exe", L"autorun");
    EXPECT_EQ(plan.program, L"C:\\Program Files\\Marrowick\\Orvandel.exe");
    EXPECT_EQ(plan.folder, L"C:\\Program Files\\Marrowick\\");
    EXPECT_EQ(plan.parameters, L"startup");
}

TEST(LaunchPlan, AnyOtherStartOpensTheWindow)
{
    for (const wchar_t* argument : {L"", L"Autorun", L"autorun ", L"startup", L"C:\\x"}) {
        const LaunchPlan plan = PlanLaunch(L"D:\\Tools\\run.exe", argument);
        EXPECT_EQ(plan.program, L"D:\\Tools\\Orvandel.exe");
        EXPECT_EQ(plan.parameters, L"") << static_cast<int>(argument[0]);
    }
}

TEST(LaunchPlan, APathWithoutAFolderStartsNothing)
{
    EXPECT_EQ(PlanLaunch(L"run.exe", L"autorun").program, L"");
    EXPECT_EQ(PlanLaunch(L"", L"autorun").program, L"");
}

TEST(LaunchPlan, TheLogonEntryAndTheLauncherAgreeOnTheWordAndTheFile)
{
    // The entry names the launcher beside the program with the word the launcher answers to.
    const std::string entry = AutoRunCommand("C:\\A B\\Orvandel.exe");
    EXPECT_EQ(entry, std::string("\"C:\\A B\\") + kLauncherFileName + "\" " + kAutorunWord);
    EXPECT_EQ(PlanLaunch(L"C:\\A B\\run.exe", L"autorun").parameters, L"startup");
}
