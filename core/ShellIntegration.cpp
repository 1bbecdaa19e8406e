#include "core/ShellIntegration.h"

std::string AutoRunCommand(const std::string& programPath)
{
    return "\"" + FolderPart(programPath) + kLauncherFileName + "\" " + kAutorunWord;
}

std::string VerbCommand(const std::string& programPath)
{
    return "\"" + programPath + "\" \"%1\"";
}

std::string FolderPart(const std::string& path)
{
    const std::size_t last = path.find_last_of("\\:");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string SupportMailTarget()
{
    // The blanks of the subject are written as %20: mail programs read '+' literally.
    std::string subject;
    for (const char c : std::string(kSupportSubject))
        subject += c == ' ' ? std::string("%20") : std::string(1, c);
    return std::string("mailto:") + kSupportMail + "?subject=" + subject;
}

std::string HelpTarget(const std::string& programFolder, const std::function<bool(const std::string&)>& isFile)
{
    for (const char* name : {"help.chm", "help.hlp", "help.htm", "help.html", "help.txt"}) {
        const std::string candidate = programFolder + name;
        if (isFile(candidate))
            return candidate;
    }
    return kWebPage;
}

std::string RegistryFailureMessage(const std::string& value, const std::string& systemText)
{
    return "Failed to set data for '" + value + "'\n" + systemText;
}
