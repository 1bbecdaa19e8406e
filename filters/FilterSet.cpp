#include "filters/FilterSet.h"

#include "filters/LocaleLower.h"
#include "filters/Maskmatchfile.h"

#include <algorithm>

bool IsMaskSeparator(char c)
{
    switch (c) {
    case '/': case '\\': case ':': case '|': case '"': case '<': case '>':
        return true;
    default:
        return false;
    }
}

namespace {

char AsciiFold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Extension entries and names are both lower-cased with the locale before they meet here; folding
// ASCII as well keeps an entry that was stored in capitals from slipping through.
bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiFold(x) == AsciiFold(y); });
}

void AddMask(MaskList& list, std::string_view mask)
{
    if (mask.empty())
        return;
    std::string lower = LocaleLower(mask);
    if (std::find(list.begin(), list.end(), lower) == list.end())
        list.push_back(std::move(lower));
}

// The extension entry as a view into the name (or the "." entry): no copy per file tested.
std::string_view ExtensionView(std::string_view lowerName)
{
    const std::size_t dot = lowerName.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == lowerName.size())
        return ".";
    return lowerName.substr(dot);
}

} // namespace

MaskList BuildMaskList(std::string_view masksText)
{
    MaskList list;
    std::size_t start = 0;
    for (std::size_t i = 0; i < masksText.size(); ++i) {
        if (IsMaskSeparator(masksText[i])) {
            AddMask(list, masksText.substr(start, i - start));
            start = i + 1;
        }
    }
    AddMask(list, masksText.substr(start));  // the text's end closes its last mask
    return list;
}

std::string ExtensionEntryOf(std::string_view lowerName) { return std::string(ExtensionView(lowerName)); }

bool MatchesNameFilter(const MaskList& masks, const std::vector<ExtensionEntry>& extensions,
                       std::string_view lowerName)
{
    const bool someMask = std::any_of(masks.begin(), masks.end(),
                                      [&](const std::string& mask) { return MaskMatch(mask, lowerName); });
    if (!someMask)
        return false;
    if (extensions.empty())
        return true;
    const std::string_view entry = ExtensionView(lowerName);
    const auto found = std::find_if(extensions.begin(), extensions.end(),
                                    [&](const ExtensionEntry& e) { return SameIgnoringCase(e.extension, entry); });
    return found == extensions.end() || found->checked;
}

bool PassesFileFilter(const MaskList& masks, const FilterSet& filters, std::string_view lowerName,
                      DateTime modified, std::int64_t size)
{
    return MatchesNameFilter(masks, filters.extensions, lowerName) && filters.timeFrom <= modified &&
           modified <= filters.timeTo && filters.minSize <= size && size <= filters.maxSize;
}
