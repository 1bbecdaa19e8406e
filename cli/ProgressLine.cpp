#include "cli/ProgressLine.h"

namespace {

std::string Flat(const std::string& text)
{
    std::string flat;
    for (const char c : text) {
        const char shown = c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
        if (shown == ' ' && (flat.empty() || flat.back() == ' '))
            continue;
        flat += shown;
    }
    while (!flat.empty() && flat.back() == ' ')
        flat.pop_back();
    return flat;
}

} // namespace

std::string ProgressLine(const std::string& header, const std::string& overall, const std::string& time,
                         std::size_t width)
{
    std::string line;
    for (const std::string* part : {&header, &overall, &time}) {
        const std::string flat = Flat(*part);
        if (flat.empty())
            continue;
        if (!line.empty())
            line += " | ";
        line += flat;
    }
    if (line.size() <= width)
        return line;
    if (width < 3)
        return line.substr(0, width);
    // Cut on a character's first byte, so that no half of a UTF-8 character is left at the end.
    std::size_t cut = width - 3;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
    return line.substr(0, cut) + "...";
}
