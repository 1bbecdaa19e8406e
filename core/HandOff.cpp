#include "core/HandOff.h"

HandOff DecodeHandOff(std::uint32_t tag, const void* data, std::size_t size,
                      const std::function<bool(std::string_view)>& validText)
{
    if (tag != kHandOffTag || size > kHandOffMaxBytes || (size > 0 && data == nullptr))
        return {};
    std::string_view bytes(static_cast<const char*>(data), size);
    while (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    // A zero inside would cut the path short at the system calls, naming another file.
    if (bytes.find('\0') != std::string_view::npos)
        return {};
    if (validText && !validText(bytes))
        return {};
    if (bytes == kShowWindowKeyword)
        return {HandOffKind::ShowWindow, {}};
    return {HandOffKind::Path, std::string(bytes)};
}

std::string HandOffText(const std::string& firstArgument)
{
    return firstArgument.empty() ? std::string(kShowWindowKeyword) : firstArgument;
}

bool IsWellFormedUtf8(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        std::uint32_t code;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;  // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
        }
        if (n - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}
