#include "filters/KeptFilters.h"

#include "core/LogTexts.h"
#include "filters/MaskEditing.h"

namespace {

// The masks text every count starts from, in the normal form the check list gives it.
bool IsDefaultMasks(const std::string& masksText) { return RemoveMask(masksText, "/") == RemoveMask("*.*", "/"); }

} // namespace

KeptFilters::KeptFilters(const std::string& masksText, const std::vector<ExtensionEntry>& extensions)
    : keepsMasks_(!IsDefaultMasks(TrimBlanks(masksText))), masks_(masksText)
{
    for (const ExtensionEntry& entry : extensions)
        if (!entry.checked)
            unchecked_.insert(entry.extension);
}

bool KeptFilters::StartsChecked(const std::string& extension) const
{
    if (unchecked_.count(extension))
        return false;
    return !keepsMasks_ || MasksCoverExtension(masks_, extension);
}
