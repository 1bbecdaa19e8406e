#include "filters/MaskEditing.h"

#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"
#include "filters/Maskmatchfile.h"

namespace {

// The part of a lower-cased mask from its last dot on; "." when it holds no dot.
std::string MaskExtension(const std::string& lowerMask)
{
    const std::size_t dot = lowerMask.rfind('.');
    return dot == std::string::npos ? std::string(".") : lowerMask.substr(dot);
}

} // namespace

bool MasksCoverExtension(std::string_view masksText, std::string_view entry)
{
    std::string collected;
    const auto covers = [&] {
        // The collected text is not emptied: the next mask's characters extend this extension.
        collected = MaskExtension(LocaleLower(collected));
        return MaskMatch(collected, entry);
    };
    for (const char c : masksText) {
        if (!IsMaskSeparator(c))
            collected += c;
        else if (covers())
            return true;
    }
    return covers();  // the text's end closes its last mask
}

std::string RemoveMask(std::string_view masksText, std::string_view mask)
{
    std::string output;
    std::string segment;
    const auto close = [&] {
        if (!segment.empty()) {
            std::string lower = LocaleLower(segment);
            if (lower != mask) {
                output += lower;
                output += '/';
            }
        }
        segment.clear();
    };
    for (const char c : masksText) {
        if (IsMaskSeparator(c))
            close();
        else
            segment += c;
    }
    close();
    return output;
}

MaskRewrite RewriteMasksFromChecks(std::string_view masksText, const std::vector<ExtensionEntry>& entries)
{
    MaskRewrite result;
    result.masksText = std::string(masksText);
    for (const ExtensionEntry& entry : entries) {
        if (!entry.checked) {
            result.masksText = RemoveMask(result.masksText, "*" + entry.extension);
            result.anyUnchecked = true;
        } else if (!MasksCoverExtension(masksText, entry.extension)) {
            // Coverage is judged on the text as it was, not on the text being rewritten.
            result.masksText += "/*" + entry.extension;
        }
    }
    result.masksText = RemoveMask(result.masksText, "/");
    return result;
}
