#include "filters/SectionSummaries.h"

#include "core/SectionNumber.h"
#include "filters/FilterSet.h"
#include "filters/SizeText.h"

#include <cmath>

namespace {

constexpr std::size_t kExtensionCutThreshold = 33;
constexpr std::size_t kExtensionKept = 60;
constexpr double kOpenEndDays = 52532.0;
constexpr std::int64_t kOpenMaximumSize = 504403158265495552;

// The edit's text when it is a number and says the size the filter applies; otherwise (not a number,
// out of range, or a negative that the filter saturates) the applied size itself, so that the
// summary never states another window than the one the job uses.
std::string SizeInUse(std::string_view text, std::int64_t applied)
{
    const auto typed = ParseSizeText(text);
    return typed && *typed == applied ? std::string(text) : std::to_string(applied);
}

} // namespace

std::string OperationHeader(int openSection, Operation operation)
{
    if (openSection == kSectionOperation)
        return "Select operation\n";
    return std::string(RowOf(operation).caption) + "\n";
}

std::string SourcesHeader(int openSection, const std::vector<std::string>& sources)
{
    if (openSection == kSectionSource)
        return "Select the source folders and files\n";
    if (sources.empty())
        return "None\n";
    std::string text = "Following folders and files:";
    if (sources.size() <= 3) {
        for (const std::string& source : sources)
            text += "\n" + source;
    } else {
        text += "\n" + sources[0] + "\n" + sources[1] + "\n...  " + std::to_string(sources.size() - 2) +
                " items hided";
    }
    return text + "\n";
}

std::string SummaryExtensionClause(const std::vector<ExtensionEntry>& entries)
{
    std::string excluded;
    for (const ExtensionEntry& entry : entries)
        if (!entry.checked)
            excluded += entry.extension + ";";
    if (excluded.empty())
        return "\nAny extension name;";
    if (excluded.size() > kExtensionCutThreshold)
        excluded = excluded.substr(0, kExtensionKept) + "...";
    return "\nExtension name must exclude \"" + excluded + "\";";
}

std::string SummaryNameClause(std::string_view masksText)
{
    if (BuildMaskList(masksText).empty())
        return "\nFile name must match nothing;";
    return "\nFile name must match " + std::string(masksText) + ";";
}

std::string SummaryTimeClause(DateTime from, DateTime to, DateTime now, const std::string& fromText,
                       const std::string& toText)
{
    if (std::trunc(from) == 0.0 && to > now + kOpenEndDays)
        return "\nAny modification time;";
    return "\nModification time must be between " + fromText + " and " + toText + ";";
}

std::string SummarySizeClause(std::string_view minText, std::string_view maxText, std::int64_t minSize,
                       std::int64_t maxSize)
{
    if (minText == "0" && SizeTextValue(maxText) > kOpenMaximumSize)
        return "\nAny size;";
    return "\nSize must be between " + SizeInUse(minText, minSize) + "B and " + SizeInUse(maxText, maxSize) + "B;";
}

std::string FiltersHeader(int openSection, const FilterSummary& f)
{
    if (openSection == kSectionFilters)
        return "Files filtering\n";
    return "Files should meet following rules:" + SummaryNameClause(f.masksText) + SummaryExtensionClause(f.extensions) +
           SummaryTimeClause(f.from, f.to, f.now, f.fromText, f.toText) +
           SummarySizeClause(f.minText, f.maxText, f.minSize, f.maxSize);
}

bool DestinationUsed(Operation operation) { return RowOf(operation).usesDestination; }

std::string DestinationHeader(int openSection, Operation operation, std::string_view path)
{
    if (!DestinationUsed(operation))
        return "\n\n";
    if (openSection == kSectionTo)
        return "Select the destination folder\n";
    return "To:\n" + std::string(path) + "\n";
}
