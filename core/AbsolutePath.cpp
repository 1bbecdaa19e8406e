#include "core/AbsolutePath.h"

#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

} // namespace

bool IsAbsolutePath(std::string_view path)
{
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
        return path.size() == 2 || IsSeparator(path[2]);
    // "\\server\share" and "\\?\C:\...": two separators, then a name. A lone "\\" names nothing.
    return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

std::string ArgumentForHandOff(const std::string& argument,
                               const std::function<std::string(const std::string&)>& makeAbsolute)
{
    if (argument.empty() || IsAbsolutePath(argument))
        return argument;
    const std::string absolute = makeAbsolute ? makeAbsolute(argument) : std::string();
    return IsAbsolutePath(absolute) ? absolute : argument;
}

std::optional<std::string> SourcePathAsListed(std::string_view path)
{
    if (!IsAbsolutePath(path))
        return std::nullopt;
    std::string text(path);
    if (text.rfind("\\\\?\\", 0) == 0)
        return text;
    for (char& c : text)
        if (c == '/')
            c = '\\';
    // The root the parts are folded under: "C:\" or "\\server\share\".
    std::size_t rootEnd;
    if (text[1] == ':') {
        rootEnd = 3;
        if (text.size() == 2)
            text += '\\';
    } else {
        const std::size_t server = text.find('\\', 2);
        const std::size_t share = server == std::string::npos ? std::string::npos : text.find('\\', server + 1);
        if (share == std::string::npos)
            return text;
        rootEnd = share + 1;
    }
    std::vector<std::string> parts;
    std::size_t start = rootEnd;
    while (start <= text.size()) {
        std::size_t end = text.find('\\', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string folded = text.substr(0, rootEnd);
    for (std::size_t i = 0; i < parts.size(); ++i)
        folded += (i ? "\\" : "") + parts[i];
    return folded;
}
