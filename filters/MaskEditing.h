#pragma once
#include "core/ExtensionEntry.h"

#include <string>
#include <string_view>
#include <vector>

// The rules that keep the masks text and the extension check list consistent with each other.

// Whether the masks text covers the extension entry (".txt", or "." for names without one). Each
// mask stands for its extension (from its last dot; a dotless mask for "."), and a mask without a dot
// that follows another mask extends that mask's extension: "*.txt/readme" covers .txt and .txtreadme.
bool MasksCoverExtension(std::string_view masksText, std::string_view entry);

// The masks text in normal form (its non-empty masks, lower-cased, each followed by "/", repeats
// kept) without the masks equal to `mask`. No mask can equal "/", so RemoveMask(text, "/") only
// normalises.
std::string RemoveMask(std::string_view masksText, std::string_view mask);

struct MaskRewrite {
    std::string masksText;
    bool anyUnchecked = false;  // then Select All is to be cleared
};

// The masks text after the user changed check marks: each unchecked entry loses its "*<entry>" mask,
// each checked entry that the original text does not cover gains one; the result is in normal form.
MaskRewrite RewriteMasksFromChecks(std::string_view masksText, const std::vector<ExtensionEntry>& entries);
