#include "platform/CodePageText.h"

namespace {

UINT Resolved(UINT codePage)
{
    if (codePage == CP_ACP)
        return GetACP();
    if (codePage == CP_OEMCP)
        return GetOEMCP();
    return codePage;
}

// UTF-8 and UTF-7 take no best-fit flags and no default character: the system refuses them.
bool IsUnicodeCodePage(UINT codePage) { return codePage == CP_UTF8 || codePage == CP_UTF7; }

std::optional<std::string> Convert(std::wstring_view text, UINT codePage, DWORD flags, const char* defaultChar,
                                   BOOL* usedDefault)
{
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, defaultChar, usedDefault);
    if (bytes <= 0)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), bytes, defaultChar, usedDefault) !=
        bytes)
        return std::nullopt;
    return narrow;
}

bool RoundTrips(const std::string& narrow, std::wstring_view text, UINT codePage)
{
    const int length = static_cast<int>(narrow.size());
    const int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.data(), length, nullptr, 0);
    if (wideLength != static_cast<int>(text.size()))
        return false;
    std::wstring back(static_cast<std::size_t>(wideLength), L'\0');
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.data(), length, back.data(), wideLength) ==
               wideLength &&
           back == text;
}

} // namespace

std::optional<std::string> ExactCodePageText(std::wstring_view text, UINT codePage)
{
    if (text.empty())
        return std::string();
    const UINT page = Resolved(codePage);
    std::optional<std::string> narrow;
    if (IsUnicodeCodePage(page)) {
        // Only lone surrogates have no form here; WC_ERR_INVALID_CHARS refuses them.
        narrow = Convert(text, page, WC_ERR_INVALID_CHARS, nullptr, nullptr);
    } else {
        BOOL usedDefault = FALSE;
        narrow = Convert(text, page, WC_NO_BEST_FIT_CHARS, nullptr, &usedDefault);
        if (!narrow && GetLastError() == ERROR_INVALID_FLAGS)  // code pages that take no flags at all
            narrow = Convert(text, page, 0, nullptr, nullptr);
        else if (usedDefault)
            return std::nullopt;
    }
    // The round trip is the proof, whatever the flags did (and whichever system honours them).
    if (!narrow || !RoundTrips(*narrow, text, page))
        return std::nullopt;
    return narrow;
}

std::string ShownCodePageText(std::wstring_view text, UINT codePage)
{
    if (text.empty())
        return {};
    const UINT page = Resolved(codePage);
    std::optional<std::string> narrow;
    if (!IsUnicodeCodePage(page))
        narrow = Convert(text, page, WC_NO_BEST_FIT_CHARS, "?", nullptr);
    if (!narrow)
        narrow = Convert(text, page, 0, nullptr, nullptr);  // UTF-8: a lone surrogate shows as U+FFFD
    return narrow.value_or("?");
}
