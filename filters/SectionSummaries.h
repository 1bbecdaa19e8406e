#pragma once
#include "core/DateTime.h"
#include "core/ExtensionEntry.h"
#include "core/Operation.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The texts of the section headers: a prompt while a section is open, a summary of its settings while
// it is closed. `openSection` is the section being opened or open (core/SectionNumber.h), -1 for none;
// `operation` is the operation kind (0 Copy, 1 Cut, 2 Move to trash, 3 Delete, 4 Crush).

std::string OperationHeader(int openSection, Operation operation);
std::string SourcesHeader(int openSection, const std::vector<std::string>& sources);

// "\nExtension name must exclude "<unchecked entries, each followed by ;>";", cut to 60 characters
// plus "..." once longer than 33; "\nAny extension name;" when every entry is checked.
std::string SummaryExtensionClause(const std::vector<ExtensionEntry>& entries);

// "\nFile name must match <masks text>;". A text that yields no mask lets no file through the name
// test, and the clause says so: "\nFile name must match nothing;".
std::string SummaryNameClause(std::string_view masksText);

// The time window; "\nAny modification time;" while it starts on day 0 and ends later than `now`
// plus 52532 days. `fromText` and `toText` are the two ends written as local date-times.
std::string SummaryTimeClause(DateTime from, DateTime to, DateTime now, const std::string& fromText,
                       const std::string& toText);

// The size window: each edit's text, or the size the filter applies in its place when the text does
// not say it (not a number, out of range); "\nAny size;" while the minimum text is exactly "0" and the
// maximum text reads as more than 504403158265495552.
std::string SummarySizeClause(std::string_view minText, std::string_view maxText, std::int64_t minSize,
                       std::int64_t maxSize);

struct FilterSummary {
    std::vector<ExtensionEntry> extensions;
    std::string masksText;
    DateTime from = 0.0;
    DateTime to = 0.0;
    DateTime now = 0.0;
    std::string fromText, toText;
    std::string minText, maxText;
    std::int64_t minSize = 0;
    std::int64_t maxSize = 0;
};

std::string FiltersHeader(int openSection, const FilterSummary& filters);

// The destination section has no use for Move to trash, Delete and Crush: it is disabled and its
// header is two line breaks then.
bool DestinationUsed(Operation operation);
std::string DestinationHeader(int openSection, Operation operation, std::string_view path);
