// orvandel-cli: one job of the engine run unattended from a console, a script or a scheduled task.
#include "cli/CliArguments.h"
#include "cli/CliUsage.h"
#include "cli/ExitCode.h"
#include "cli/main/Console.h"
#include "cli/main/ConsoleJob.h"
#include "platform/CodePageText.h"

#include <windows.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    Console console;
    // The arguments in the program's code page, as every path of the engine is: one that code page
    // cannot hold exactly would name another file, so it is refused.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::optional<std::string> arg = ExactCodePageText(argv[i]);
        if (!arg) {
            console.Err("argument " + std::to_string(i) + " \"" + ShownCodePageText(argv[i]) +
                        "\" holds characters this system's code page cannot hold\n");
            return kExitFatal;
        }
        args.push_back(*arg);
    }
    const CliCommand command = ParseCliArguments(args);
    if (command.help) {
        console.Out(CliUsageText());
        return kExitNothingMatched;
    }
    if (!command.job) {
        console.Err("orvandel-cli: " + command.error + "\n");
        return kExitFatal;
    }
    InstallCtrlHandler();
    return RunConsoleJob(*command.job, console);
}
