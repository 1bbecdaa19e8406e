#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The two history files (masks, destinations): 8-bit text, one entry per line, newest first.

// Entries beyond this are cut off when a list is loaded.
inline constexpr std::size_t kSavedListLimit = 128;

struct SavedListText {
    std::vector<std::string> entries;
    // False when the bytes were only the head of a longer file: the entry cut off at the end of the
    // head is left out, and the file must not be written over with what was read.
    bool whole = true;
};

// A line ends at CR, at LF or at CR LF (counted once); an empty line is an empty entry; a last line
// without a line end is still an entry; a NUL byte ends the text. `whole` says whether `bytes` is
// the whole file or only its head.
SavedListText ParseSavedList(std::string_view bytes, bool whole = true);

// Every entry followed by CR LF, the last one included.
std::string FormatSavedList(const std::vector<std::string>& entries);

// Cuts the list to kSavedListLimit entries; true when it held more (the file is then rewritten).
bool TrimSavedList(std::vector<std::string>& entries);

// The history rule: a text that is blank once blanks and control characters are taken from its
// ends is not added, nor one the list already holds (exact text, letter case ignored); any other
// goes, untrimmed, to the top. True when the list changed.
bool AddToSavedList(std::vector<std::string>& entries, const std::string& text);
