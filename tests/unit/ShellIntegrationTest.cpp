#include "core/ShellIntegration.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ShellIntegration, CommandLinesQuoteTheProgramPath)
{
    EXPECT_EQ(AutoRunCommand("C:\\Program Files\\Marrowick\\Orvandel.exe"),
              "\"C:\\Program Files\\Marrowick\\run.exe\" autorun");
    EXPECT_EQ(AutoRunCommand("D:\\Orvandel.exe"), "\"D:\\run.exe\" autorun");
    EXPECT_EQ(VerbCommand("C:\\Program Files\\Marrowick\\Orvandel.exe"),
              "\"C:\\Program Files\\Marrowick\\Orvandel.exe\" \"%1\"");
}

TEST(ShellIntegration, FolderPartEndsAtTheLastSeparatorOrColon)
{
    EXPECT_EQ(FolderPart("C:\\Data\\Photos"), "C:\\Data\\");
    EXPECT_EQ(FolderPart("C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(FolderPart("C:file.txt"), "C:");
    EXPECT_EQ(FolderPart("D:"), "D:");
    EXPECT_EQ(FolderPart("startup"), "");
    EXPECT_EQ(FolderPart(""), "");
}

TEST(ShellIntegration, SupportMailCarriesTheSubject)
{
    EXPECT_EQ(SupportMailTarget(), "mailto:support@orvandel.com?subject=Question%20About%20Marrowick%20[software]");
}

TEST(ShellIntegration, HelpIsTheFirstFormatPresentElseTheWebPage)
{
    const std::string folder = "C:\\Tools\\";
    std::set<std::string> files;
    const auto isFile = [&files](const std::string& path) { return files.count(path) > 0; };

    EXPECT_EQ(HelpTarget(folder, isFile), "http://www.orvandel.com");
    files = {"C:\\Tools\\help.txt"};
    EXPECT_EQ(HelpTarget(folder, isFile), "C:\\Tools\\help.txt");
    files = {"C:\\Tools\\help.txt", "C:\\Tools\\help.chm"};
    EXPECT_EQ(HelpTarget(folder, isFile), "C:\\Tools\\help.chm");
    files = {"C:\\Tools\\help.html", "C:\\Tools\\help.htm", "C:\\Tools\\help.txt"};
    EXPECT_EQ(HelpTarget(folder, isFile), "C:\\Tools\\help.htm");
    files = {"C:\\Tools\\help.hlp", "C:\\Tools\\help.htm"};
    EXPECT_EQ(HelpTarget(folder, isFile), "C:\\Tools\\help.hlp");
    files = {"C:\\Other\\help.chm"};
    EXPECT_EQ(HelpTarget(folder, isFile), "http://www.orvandel.com");
}

TEST(ShellIntegration, ARefusedRegistryWriteNamesTheValueAndTheReason)
{
    EXPECT_EQ(RegistryFailureMessage("MonitorClipboard", "Access denied.\r\n"),
              "Failed to set data for 'MonitorClipboard'\nAccess denied.\r\n");
}
