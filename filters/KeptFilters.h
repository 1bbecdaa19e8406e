#pragma once
#include "core/ExtensionEntry.h"

#include <set>
#include <string>
#include <vector>

// What a new count of the sources keeps of the name filters the user set. Every change of the source
// list starts a count that rebuilds the extension list from the new sources; the masks the user typed
// and the extensions the user unchecked must survive it, or a Delete set to "*.tmp" would silently
// widen to every file.
class KeptFilters {
public:
    // Taken from the controls just before the count resets them.
    KeptFilters(const std::string& masksText, const std::vector<ExtensionEntry>& extensions);

    // The masks text is the user's: anything but the default, which covers every file.
    bool KeepsMasks() const { return keepsMasks_; }
    const std::string& Masks() const { return masks_; }

    // Whether an entry the new count meets starts checked: not if the user had unchecked it, nor if
    // the kept masks leave it out.
    bool StartsChecked(const std::string& extension) const;

private:
    bool keepsMasks_ = false;
    std::string masks_;
    std::set<std::string> unchecked_;
};
