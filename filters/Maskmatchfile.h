#pragma once
#include <string_view>

// True when the name matches the wildcard mask: '*' any run, '?' one character, every other byte
// literal; ASCII letters fold, bytes 0x80 and up compare as they are. One retry point (the last
// star), no recursion, no allocation. Both strings end at their terminating zero.
bool MaskMatch(const char* mask, const char* name);

// The same for text that need not be zero-terminated (a name cut out of a longer text): each view
// ends at its length or at a zero byte inside it, whichever comes first.
bool MaskMatch(std::string_view mask, std::string_view name);
