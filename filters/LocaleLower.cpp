#include "filters/LocaleLower.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

#ifdef _WIN32
// In a multi-byte code page (UTF-8 under our manifest) a lower-case letter can take more or fewer
// bytes than its capital (U+023A, U+0130), and CharLowerBuffA then cannot work in place: it reports a
// shorter length or none and leaves the rest of the copy undefined. Those texts go through UTF-16
// into a buffer of the right size instead. Bytes that are not text in the code page are never
// replaced: such a text only has its ASCII letters folded.
std::string LowerThroughWide(std::string_view text)
{
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return AsciiLower(text);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), wideLength);
    CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return AsciiLower(text);
    std::string lower(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, lower.data(), bytes, nullptr, nullptr);
    return lower;
}
#endif

} // namespace

std::string LocaleLower(std::string_view text)
{
#ifdef _WIN32
    if (text.empty() || text.size() > 0x7FFFFFFF)
        return AsciiLower(text);
    std::string lower(text);
    const DWORD done = CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    if (done == lower.size())
        return lower;
    return LowerThroughWide(text);
#else
    return AsciiLower(text);
#endif
}
