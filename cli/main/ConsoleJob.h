#pragma once
#include "cli/CliArguments.h"
#include "cli/main/Console.h"

// Runs one job of the console program through the engine, as the window's Begin runs one: the count
// of the sources, then the job with its log, questions and Ctrl+C as Cancel, then the report file.
// Returns the exit code.
int RunConsoleJob(const CliJob& job, Console& console);

// Where Ctrl+C and Ctrl+Break go from the start on: the first stops the job (at once, from the
// system's own thread, only a flag; the job acts on it), a second ends the program.
void InstallCtrlHandler();
