#pragma once
#include <string>

// One entry of the extension check list: ".txt" (lower case, with its dot) or "." for names
// without an extension; unchecked entries are left out of jobs.
struct ExtensionEntry {
    std::string extension;
    bool checked = true;
};
