#pragma once
#include "core/ConflictDecision.h"
#include "core/Operation.h"
#include "filters/FilterSet.h"

#include <optional>
#include <string>
#include <vector>

// One console job as its command line gives it: what a JobRequest is made of, plus what only the
// console program has (how conflicts are answered, the report file, quiet).
struct CliJob {
    Operation operation = kOpCopy;
    std::vector<std::string> sources;  // as typed; made full paths by the program
    std::string destination;           // --to, as typed (Copy and Cut only)
    bool flat = false;
    bool verify = false;
    bool quiet = false;
    FilterSet filters;
    std::string minSizeText = "0";  // the byte counts, for the log as the window writes its edits
    std::string maxSizeText = "9223372036854775807";
    std::optional<ConflictAnswer> onConflict;  // none: ask on the console
    std::string reportPath;                    // empty: no report file
};

// What the command line asks for: the usage, a job, or a refusal naming the argument and why, on one
// line.
struct CliCommand {
    bool help = false;
    std::optional<CliJob> job;
    std::string error;
};

// The arguments after the program's name, as UTF-8 (or the code page the program runs in).
CliCommand ParseCliArguments(const std::vector<std::string>& args);

// A size as the size filter takes it: a decimal count of bytes, or the count followed by a unit of
// its list (B, KB, MB, GB; letter case and a blank between do not matter), scaled as the filter scales
// it. None for anything else.
std::optional<std::int64_t> ParseSizeArgument(const std::string& text);

// A time as the time filter's presets give it, "YYYY-MM-DD HH:NN:SS", or a date alone for its start
// ("YYYY-MM-DD"). None for anything else.
std::optional<DateTime> ParseTimeArgument(const std::string& text);

// The latest time the time filter's picker can hold (9999-12-31), the upper end when none is given.
inline constexpr DateTime kLatestFilterTime = 2958465.0;
