#include "core/AbsolutePath.h"

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
