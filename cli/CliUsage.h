#pragma once
#include <string>

// What --help prints: the commands, the options and the exit code's bits.
std::string CliUsageText();
