#include "core/ShellErrorTexts.h"

#include <cstdio>

namespace {

struct CodeMeaning {
    unsigned long code;
    const char* meaning;
};

// The documented meanings, in our own words.
constexpr CodeMeaning kMeanings[] = {
    {0x71, "The source and the destination are the same file."},
    {0x72, "Several sources were given but only one destination."},
    {0x73, "A rename was asked for into another folder."},
    {0x74, "The source is a root folder, which cannot be moved or renamed."},
    {0x75, "The operation was cancelled, by an answer to the shell's question or by the shell itself."},
    {0x76, "The destination lies inside the source folder."},
    {0x78, "The source's security settings refused access."},
    {0x79, "The source or destination path is, or would become, too long."},
    {0x7A, "The operation named more than one destination."},
    {0x7C, "The source or destination path is not valid."},
    {0x7D, "The source and destination have the same parent folder."},
    {0x7E, "The destination is an existing file where a folder was needed."},
    {0x80, "The destination is an existing folder where a file was needed."},
    {0x81, "The file name is too long."},
    {0x82, "The destination is a read-only CD-ROM, or one not yet formatted."},
    {0x83, "The destination is a read-only DVD, or one not yet formatted."},
    {0x84, "The destination is a writable CD, or one not yet formatted."},
    {0x85, "The file is too large for the destination medium or its file system."},
    {0x86, "The source is a read-only CD-ROM, or one not yet formatted."},
    {0x87, "The source is a read-only DVD, or one not yet formatted."},
    {0x88, "The source is a writable CD, or one not yet formatted."},
    {0xB7, "A path grew longer than the system allows during the operation."},
    {0x402, "An unknown error occurred, most often an invalid source or destination path."},
    {0x10000, "An unspecified error occurred at the destination."},
    {0x10074, "The destination is a root folder, which cannot be renamed."},
};

} // namespace

std::optional<std::string> ShellOperationCodeText(unsigned long code)
{
    for (const CodeMeaning& entry : kMeanings) {
        if (entry.code == code) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%lX", code);
            return std::string(entry.meaning) + " (shell code 0x" + hex + ")\r\n";
        }
    }
    return std::nullopt;
}
