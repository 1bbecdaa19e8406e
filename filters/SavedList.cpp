#include "filters/SavedList.h"

#include "core/LogTexts.h"
#include "filters/LocaleLower.h"

#include <algorithm>

SavedListText ParseSavedList(std::string_view bytes, bool whole)
{
    SavedListText list;
    list.whole = whole;
    const std::size_t nul = bytes.find('\0');
    const bool stoppedAtNul = nul != std::string_view::npos;
    if (stoppedAtNul)
        bytes = bytes.substr(0, nul);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            // A last line without a line end is an entry, unless the read stopped inside it.
            if (whole || stoppedAtNul)
                list.entries.emplace_back(bytes.substr(start));
            break;
        }
        list.entries.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    // A NUL ends the list: nothing after it was ever part of it, so the head read is all there is.
    if (stoppedAtNul)
        list.whole = true;
    return list;
}

std::string FormatSavedList(const std::vector<std::string>& entries)
{
    std::size_t size = 0;
    for (const std::string& e : entries)
        size += e.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& e : entries) {
        text += e;
        text += "\r\n";
    }
    return text;
}

bool TrimSavedList(std::vector<std::string>& entries)
{
    if (entries.size() <= kSavedListLimit)
        return false;
    entries.resize(kSavedListLimit);
    return true;
}

bool AddToSavedList(std::vector<std::string>& entries, const std::string& text)
{
    if (IsBlankText(text))
        return false;
    const std::string lower = LocaleLower(text);
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&lower](const std::string& e) { return LocaleLower(e) == lower; });
    if (known)
        return false;
    entries.insert(entries.begin(), text);
    return true;
}
