#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The message by which a second start of the program passes its first argument to the running one:
// WM_COPYDATA with this tag, the argument's 8-bit bytes (no terminating zero needed), or the keyword
// when the second start had no argument.
inline constexpr std::uint32_t kHandOffTag = 12;
inline constexpr std::string_view kShowWindowKeyword = "showvorcopywin";

// Longer than any path the system can name (32,767 UTF-16 units, at most 3 bytes each in UTF-8):
// a bigger block is not a path, and is not copied.
inline constexpr std::size_t kHandOffMaxBytes = 32767 * 3;

enum class HandOffKind {
    ShowWindow,  // the keyword, exactly: only bring the window up
    Path,        // a text to offer as a source
    Refused,     // not a hand-off of this program, or a text no path can be: nothing happens
};

struct HandOff {
    HandOffKind kind = HandOffKind::Refused;
    std::string text;  // the path for Path
};

// Decodes a received copy-data block. `validText` tells whether bytes are well-formed in the
// process code page. Refused: another tag (a foreign program), bytes missing although a length is
// given, more than kHandOffMaxBytes, a zero byte inside the text, or text not valid in the code page.
// Zero bytes at the end are a terminator some senders count, and are dropped. An empty text is a
// path (one that names nothing): the sender chose to hand over an empty argument.
HandOff DecodeHandOff(std::uint32_t tag, const void* data, std::size_t size,
                      const std::function<bool(std::string_view)>& validText);

// The text a second start sends for its first argument.
std::string HandOffText(const std::string& firstArgument);

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsWellFormedUtf8(std::string_view text);
