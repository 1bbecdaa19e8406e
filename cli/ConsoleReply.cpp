#include "cli/ConsoleReply.h"

std::string ConflictPrompt(bool folder, const std::string& path)
{
    if (folder)
        return "Folder exists: " + path +
               "\n  [r]eplace it (the old folder goes), [s]kip, [u]pdate (merge into it), re[n]ame the new one"
               " (capital letter: same for all)? ";
    return "File exists: " + path +
           "\n  [r]eplace, [s]kip, [u]pdate (if older), re[n]ame the new one (capital letter: same for all)? ";
}

std::optional<ConflictAnswer> ParseConflictReply(const std::string& line)
{
    std::string text;
    for (const char c : line)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            text += c;
    if (text.size() != 1)
        return std::nullopt;
    const char c = text[0];
    const bool forAll = c >= 'A' && c <= 'Z';
    switch (forAll ? static_cast<char>(c - 'A' + 'a') : c) {
    case 'r':
        return ConflictAnswer{kOverwrite, forAll};
    case 's':
        return ConflictAnswer{kSkip, forAll};
    case 'u':
        return ConflictAnswer{kUpdate, forAll};
    case 'n':
        return ConflictAnswer{kAutoRename, forAll, true};
    default:
        return std::nullopt;
    }
}
