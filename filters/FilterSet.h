#pragma once
#include "core/DateTime.h"
#include "core/ExtensionEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Masks text, extension check list, time window and size window, as the filter controls hold them.
struct FilterSet {
    std::string masksText = "*.*";
    std::vector<ExtensionEntry> extensions;
    DateTime timeFrom = 0.0;
    DateTime timeTo = 0.0;
    std::int64_t minSize = 0;
    std::int64_t maxSize = INT64_MAX;
};

// The seven characters that end a mask in a masks text: / \ : | " < >
bool IsMaskSeparator(char c);

// Lower-case masks without duplicates or empty entries, in text order.
using MaskList = std::vector<std::string>;

// Splits a masks text at / \ : | " < > (nothing else), lower-cases each mask, drops empty ones and
// duplicates (compared without regard to case). No trimming: blanks belong to a mask.
MaskList BuildMaskList(std::string_view masksText);

// ".ext" from the last dot of an already lower-cased name; "." when there is no dot or the name ends in one.
std::string ExtensionEntryOf(std::string_view lowerName);

// The name test: some mask matches, and the name's extension entry is not an unchecked entry of the list.
bool MatchesNameFilter(const MaskList& masks, const std::vector<ExtensionEntry>& extensions,
                       std::string_view lowerName);

// The whole file test, in its order: name, time window start, end, minimum size, maximum size.
bool PassesFileFilter(const MaskList& masks, const FilterSet& filters, std::string_view lowerName,
                      DateTime modified, std::int64_t size);
