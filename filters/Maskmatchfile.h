#pragma once

// True when the name matches the wildcard mask: '*' any run, '?' one character, every other byte
// literal; ASCII letters fold, bytes 0x80 and up compare as they are. One retry point (the last
// star), no recursion, no allocation. Both strings end at their terminating zero.
bool MaskMatch(const char* mask, const char* name);
