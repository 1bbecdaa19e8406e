#include "cli/CliArguments.h"

#include "filters/LocaleLower.h"
#include "filters/PresetParsing.h"
#include "filters/SizeText.h"

#include <cctype>

namespace {

// The operations' names on the command line, in the order of Operation.
constexpr const char* kOperationNames[kOperationCount] = {"copy", "cut", "trash", "delete", "crush"};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::optional<ConflictAnswer> ConflictAnswerNamed(const std::string& name, bool& known)
{
    known = true;
    const std::string lower = Lower(name);
    if (lower == "ask")
        return std::nullopt;
    if (lower == "replace")
        return ConflictAnswer{kOverwrite, true};
    if (lower == "skip")
        return ConflictAnswer{kSkip, true};
    if (lower == "update")
        return ConflictAnswer{kUpdate, true};
    if (lower == "rename")
        return ConflictAnswer{kAutoRename, true, true};
    known = false;
    return std::nullopt;
}

// ".tmp;bak; .Log" into unchecked entries ".tmp", ".bak", ".log"; "." stands for names without one.
std::optional<std::vector<ExtensionEntry>> SkippedExtensions(const std::string& text)
{
    std::vector<ExtensionEntry> entries;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        std::string part = text.substr(start, end - start);
        while (!part.empty() && part.front() == ' ')
            part.erase(part.begin());
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        if (!part.empty()) {
            if (part.front() != '.')
                part.insert(part.begin(), '.');
            // An extension is what follows a name's last dot: a second dot could never match.
            if (part.find('.', 1) != std::string::npos)
                return std::nullopt;
            entries.push_back({LocaleLower(part), false});
        }
        start = end + 1;
    }
    if (entries.empty())
        return std::nullopt;
    return entries;
}

} // namespace

std::optional<std::int64_t> ParseSizeArgument(const std::string& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    if (digits == 0)
        return std::nullopt;  // no sign either: the size edits take digits only
    const std::optional<std::int64_t> count = ParseSizeText(std::string_view(text).substr(0, digits));
    if (!count)
        return std::nullopt;
    std::string unit = Lower(text.substr(digits));
    while (!unit.empty() && unit.front() == ' ')
        unit.erase(unit.begin());
    int index;
    if (unit.empty() || unit == "b")
        index = 0;
    else if (unit == "kb" || unit == "k")
        index = 1;
    else if (unit == "mb" || unit == "m")
        index = 2;
    else if (unit == "gb" || unit == "g")
        index = 3;
    else
        return std::nullopt;
    return ScaledSize(*count, index);
}

std::optional<DateTime> ParseTimeArgument(const std::string& text)
{
    if (const std::optional<DateTime> full = ParsePresetTime(text))
        return full;
    if (text.size() == 10)
        return ParsePresetTime(text + " 00:00:00");
    return std::nullopt;
}

CliCommand ParseCliArguments(const std::vector<std::string>& args)
{
    CliCommand command;
    auto refuse = [&command](std::string why) {
        command.error = std::move(why);
        return command;
    };
    if (args.empty())
        return refuse("no operation given: one of copy, cut, trash, delete, crush (see --help)");
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            command.help = true;
            return command;
        }

    CliJob job;
    job.filters.timeTo = kLatestFilterTime;
    const std::string operation = Lower(args[0]);
    bool found = false;
    for (int i = 0; i < kOperationCount; ++i)
        if (operation == kOperationNames[i]) {
            job.operation = static_cast<Operation>(i);
            found = true;
        }
    if (!found)
        return refuse("unknown operation \"" + args[0] + "\": one of copy, cut, trash, delete, crush");

    bool toGiven = false, fromGiven = false, toTimeGiven = false;
    std::int64_t minSize = 0, maxSize = INT64_MAX;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            job.sources.push_back(arg);
            continue;
        }
        if (arg == "--") {  // everything after it is a source, even when it starts with "--"
            job.sources.insert(job.sources.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (arg == "--flat") {
            job.flat = true;
            continue;
        }
        if (arg == "--verify") {
            job.verify = true;
            continue;
        }
        if (arg == "--quiet") {
            job.quiet = true;
            continue;
        }
        const bool takesValue = arg == "--to" || arg == "--masks" || arg == "--skip-ext" || arg == "--newer" ||
                                arg == "--older" || arg == "--min-size" || arg == "--max-size" ||
                                arg == "--on-conflict" || arg == "--report";
        if (!takesValue)
            return refuse("unknown option " + arg + " (see --help)");
        if (i + 1 >= args.size())
            return refuse(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--to") {
            if (toGiven)
                return refuse("--to given twice: a job has one destination");
            if (value.find_first_not_of(' ') == std::string::npos)
                return refuse("--to is blank: it names no folder");
            job.destination = value;
            toGiven = true;
        } else if (arg == "--masks") {
            if (value.find_first_not_of(' ') == std::string::npos)
                return refuse("--masks is blank: no file would match (\"*.*\" takes every file)");
            // The window's masks end at / \ : | " < > and take ';' as a name's character; a command line
            // lists masks with ';' as every shell's own lists do, so it ends a mask here too.
            job.filters.masksText = value;
            for (char& c : job.filters.masksText)
                if (c == ';')
                    c = '/';
        } else if (arg == "--skip-ext") {
            const auto entries = SkippedExtensions(value);
            if (!entries)
                return refuse("--skip-ext \"" + value + "\" is no list of extensions such as \"tmp;bak\"");
            job.filters.extensions = *entries;
        } else if (arg == "--newer" || arg == "--older") {
            const std::optional<DateTime> time = ParseTimeArgument(value);
            if (!time)
                return refuse(arg + " \"" + value + "\" is no time of the form \"YYYY-MM-DD HH:MM:SS\" or \"YYYY-MM-DD\"");
            if (arg == "--newer") {
                job.filters.timeFrom = *time;
                fromGiven = true;
            } else {
                job.filters.timeTo = *time;
                toTimeGiven = true;
            }
        } else if (arg == "--min-size" || arg == "--max-size") {
            const std::optional<std::int64_t> size = ParseSizeArgument(value);
            if (!size)
                return refuse(arg + " \"" + value + "\" is no size such as 512, 10KB, 2MB or 1GB");
            (arg == "--min-size" ? minSize : maxSize) = *size;
        } else if (arg == "--on-conflict") {
            bool known = false;
            job.onConflict = ConflictAnswerNamed(value, known);
            if (!known)
                return refuse("--on-conflict \"" + value + "\" is none of ask, replace, skip, update, rename");
        } else {
            if (value.empty())
                return refuse("--report is blank: it names no file");
            job.reportPath = value;
        }
    }
    if (job.sources.empty())
        return refuse("no source given: name at least one file or folder");
    const bool needsDestination = job.operation == kOpCopy || job.operation == kOpCut;
    if (needsDestination && !toGiven)
        return refuse(std::string(kOperationNames[job.operation]) + " needs --to DEST");
    if (!needsDestination && toGiven)
        return refuse(std::string(kOperationNames[job.operation]) + " takes no --to: it sends nothing anywhere");
    if (!needsDestination && job.flat)
        return refuse(std::string(kOperationNames[job.operation]) + " takes no --flat: it sends nothing anywhere");
    if (fromGiven && toTimeGiven && job.filters.timeFrom > job.filters.timeTo)
        return refuse("--newer is later than --older: no file would match");
    if (minSize > maxSize)
        return refuse("--min-size is larger than --max-size: no file would match");
    job.filters.minSize = minSize;
    job.filters.maxSize = maxSize;
    job.minSizeText = std::to_string(minSize);
    job.maxSizeText = std::to_string(maxSize);
    command.job = std::move(job);
    return command;
}
