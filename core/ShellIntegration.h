#pragma once
#include <functional>
#include <string>

// Names and texts of the program's place in the system: its registry values, the command lines the
// logon entry and the context-menu verb run, and where its help is found.

inline constexpr const char* kSettingsKey = "SOFTWARE\\VorOrvandel";
inline constexpr const char* kMonitorClipboardValue = "MonitorClipboard";
inline constexpr const char* kVerifyCopiesValue = "VerifyCopies";
inline constexpr const char* kWriteReportValue = "WriteReportFile";
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "VorCopy";
// The verb's command keys as written (trailing separator included) and as looked for at start-up.
inline constexpr const char* kFolderVerbCommandKey = "Folder\\shell\\Orvandel\\command\\";
inline constexpr const char* kFileVerbCommandKey = "*\\shell\\Orvandel\\command\\";
inline constexpr const char* kFolderVerbProbeKey = "Folder\\shell\\Orvandel\\command";
inline constexpr const char* kFolderVerbKey = "Folder\\shell\\Orvandel";
inline constexpr const char* kFileVerbKey = "*\\shell\\Orvandel";

inline constexpr const char* kStartupWord = "startup";
// The logon entry starts the launcher beside the program with this word; the launcher starts the
// program (which asks for elevation) through the shell, as the system does not start a program that
// asks for elevation from the logon entry itself.
inline constexpr const char* kLauncherFileName = "run.exe";
inline constexpr const char* kAutorunWord = "autorun";
inline constexpr const char* kNewWindowWord = "new_window";

inline constexpr const char* kWebPage = "http://www.orvandel.com";
inline constexpr const char* kSupportMail = "support@orvandel.com";
inline constexpr const char* kSupportSubject = "Question About Marrowick [software]";

// The logon entry: the launcher in the program's folder with the word "autorun". The path is quoted,
// so that a folder with blanks ("C:\Program Files\...") cannot be read as another program followed by
// arguments.
std::string AutoRunCommand(const std::string& programPath);

// The context-menu verb: the program with the chosen file or folder as its first argument.
std::string VerbCommand(const std::string& programPath);

// Everything up to and including the last '\' or ':'; empty when there is neither.
std::string FolderPart(const std::string& path);

// The message of a registry write the system refused (other than the logon entry's, which has its
// own): the value's name and the system's text for the reason.
std::string RegistryFailureMessage(const std::string& value, const std::string& systemText);

// The mailto: address the support link opens.
std::string SupportMailTarget();

// The help to open: the first of help.chm, help.hlp, help.htm, help.html, help.txt in the program's
// folder (which ends in '\') that exists as a file, else the web page.
std::string HelpTarget(const std::string& programFolder, const std::function<bool(const std::string&)>& isFile);
