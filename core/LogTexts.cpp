#include "core/LogTexts.h"

std::string ExtensionClause(const std::vector<ExtensionEntry>& extensions)
{
    std::string excluded;
    for (const ExtensionEntry& entry : extensions) {
        if (!entry.checked)
            excluded += entry.extension + ";";
    }
    if (excluded.empty())
        return "2> File extension name can be any string.";
    return "2> File extension name can not be one of \"" + excluded + "\"";
}

std::vector<std::string> PreparationEntries(const PreparationFacts& facts)
{
    std::vector<std::string> entries;
    entries.reserve(facts.sources.size() + 10);
    entries.push_back("\r\n**Prepare**");
    entries.push_back(facts.operationHeader);
    entries.push_back("Following folders and files:");
    for (const std::string& source : facts.sources)
        entries.push_back(source);
    entries.push_back("\n\nOnly meet the following conditions:");
    entries.push_back("1> File name match: " + facts.masksText);
    entries.push_back(ExtensionClause(facts.extensions));
    entries.push_back("3> File modification time must be between " + facts.timeFromText + " and " +
                      facts.timeToText);
    entries.push_back("4> File size must be between " + facts.minSizeText + "B and " + facts.maxSizeText + "B");
    // Written for every operation kind, also those that use no destination.
    entries.push_back("\n\nAll these files will be copied to " + facts.destinationText);
    entries.push_back("\r\n**Execute**");
    return entries;
}

std::vector<std::string> ReportEntries(const ReportCounts& counts, const std::string& speedText)
{
    return {
        "\r\n**Report**",
        "All Files: " + std::to_string(counts.filesExamined),
        "Copied Files: " + std::to_string(counts.filesDone),
        "Errors: " + std::to_string(counts.filesFailed),
        "Copied Size: " + std::to_string(counts.bytesCopied) + "B",
        "Everage" + speedText,
    };
}

std::string UserAbortEntry() { return "\r\nUser abort!"; }

std::string StartingTimeEntry(const std::string& dateTimeText) { return "\r\nStarting Time " + dateTimeText; }

std::string EndingTimeEntry(const std::string& dateTimeText) { return "\r\nEnding Time " + dateTimeText; }

std::string FolderNotRemovedEntry(const std::string& folder)
{
    return "\r\nBecause folder " + folder + " may be being used or not empty, so failed to be deleted!";
}

std::string DestinationNotCreatedEntry(const std::string& errorText, const std::string& destination)
{
    return "\r\nBecause " + errorText + " Failed to create destination folder " + destination + "!";
}

namespace {

// An error's own text on one log line.
std::string OneLine(const std::string& what)
{
    std::string text = TrimBlanks(what);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text.empty() ? "unknown error" : text;
}

} // namespace

std::string UnexpectedErrorEntry(const std::string& what)
{
    return "\r\nJob stopped by an unexpected error: " + OneLine(what);
}

std::string HandlerErrorEntry(const std::string& where, const std::string& what)
{
    return "\r\nAn unexpected error in " + where + ": " + OneLine(what);
}

std::string HistoryNotSavedEntry(const std::string& file, const std::string& errorText)
{
    return "\r\nThe list could not be saved to " + file + ": " + OneLine(errorText);
}

std::string WrittenByThisJobEntry(const std::string& source, const std::string& destination,
                                  const std::string& renamed)
{
    return "\r\nFile " + destination + " was written by this job, so file " + source + " is copied to " + renamed +
           " instead!";
}

std::string VerifyFailedEntry(const std::string& source, const std::string& destination)
{
    return "\r\nVerify failed: the copy of " + source + " to " + destination +
           " did not read back as it was written, so it was not kept!";
}

std::string StreamsLeftBehindEntry(const std::string& source, const std::string& destination)
{
    return "\r\nThe destination cannot hold the named streams of " + source + ", so " + destination +
           " holds its contents only.";
}

std::string StreamsKeepSourceEntry(const std::string& source, const std::string& destination)
{
    return "\r\nThe destination cannot hold the named streams of " + source + ", so it was not moved to " +
           destination + " and stays where it is!";
}

std::string EncryptionNotCarriedEntry(const std::string& source, const std::string& destination)
{
    return "\r\nThe copy of " + source + " to " + destination +
           " could not be encrypted as its source is, so it was not kept!";
}

std::string BecauseEntry(const std::string& reasonText, const std::string& sentence)
{
    return "\r\nBecause " + reasonText + sentence;
}

std::string ReportFileEntry(const std::string& path) { return "\r\nReport file: " + path; }

std::string ReportFileFailedSentence(const std::string& path) { return " Failed to write the report file " + path; }

std::string CopyFailedSentence(const std::string& source, const std::string& destination)
{
    return " Failed to copy file from " + source + " to " + destination;
}

std::string TrashFailedSentence(const std::string& source) { return " So failed to move file " + source + " to trash!"; }

std::string DeletedForGoodEntry(const std::string& source)
{
    return "\r\nThe trash could not take file " + source + ", so it was deleted for good as confirmed!";
}

std::string DeleteFailedSentence(const std::string& source) { return " So failed to delete file " + source + "!"; }

std::string DeleteFailedUnderSentence(const std::string& current, const std::string& source)
{
    return " So failed to delete file " + current + " (first named " + source + ")!";
}

std::string CopiedNotDeletedSentence(const std::string& source)
{
    return " File " + source + " is copied but failed to be deleted!";
}

std::string FolderLeftAloneSentence(const std::string& folder)
{
    return " So folder " + folder + " and all it holds were left alone!";
}

std::string NeedsNotBeCutEntry(bool folder, const std::string& item)
{
    return (folder ? "\r\nFolder " : "\r\nFile ") + item + " needs not be cutted!";
}

std::string CreateNewEntry(bool folder, const std::string& item, const std::string& newName)
{
    return (folder ? "\r\nFolder " : "\r\nFile ") + item + " already exists, create a new " +
           (folder ? "folder " : "file ") + newName + "!";
}

std::string FolderIsLinkEntry(const std::string& folder)
{
    return "\r\nFolder " + folder + " is a link, so it was left alone!";
}

std::string FolderRenameFailedEntry(const std::string& target, const std::string& source)
{
    return "\r\nFailed to rename folder " + target + "\r So failed to copy folder " + source;
}

std::string SameFileEntry(const std::string& source, const std::string& destination)
{
    return "\r\nBecause the destination is the source file itself. Failed to copy file from " + source + " to " +
           destination;
}

std::string SameFolderEntry(const std::string& source, const std::string& destination)
{
    return "\r\nBecause the destination is the source folder itself. Failed to copy folder from " + source +
           " to " + destination;
}

std::string OverlappingFolderEntry(const std::string& source, const std::string& destination)
{
    return "\r\nBecause the destination folder holds the source or lies inside it. Failed to copy folder from " +
           source + " to " + destination;
}

std::string MergedIntoSourceEntry(const std::string& source, const std::string& destination)
{
    return "\r\nFolder " + destination + " holds a source of this job or lies inside one, so folder " + source +
           " is merged into it instead!";
}

std::string SharedDataEntry(const std::string& file)
{
    return "\r\nBecause the file has other names (hard links) that still reach its data. So failed to crush file " +
           file + "!";
}

std::string EmptySourceListMessage() { return "Please add source files and folders firstly."; }

std::string InsideSourceMessage(const std::string& destination, const std::string& item)
{
    return "Destination folder \n" + destination + "\nis the child of source folder or same as it\n" + item +
           "\n\nPlease select another destination folder or remove the source folder from copy list.";
}

std::string RelativeSourceMessage()
{
    return "Source must be a full path, with its drive or share (such as C:\\Data). Please type another one.";
}
std::string InvalidDestinationMessage() { return "Destination folder is invaild. Please select another one."; }

std::string FreeSpaceQuestion(const std::string& drivePart)
{
    return "No enough free space on the destination disk " + drivePart +
           " to paste current files and folders. Do you want to continue?\n'Yes' to ignore any bigger file.";
}

std::string FreeSpaceQuestionTitle() { return "Question"; }

std::string TrimBlanks(const std::string& text)
{
    // Blanks here are the space and every control character, bytes 0x80 and up are text.
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool IsBlankText(const std::string& text) { return TrimBlanks(text).empty(); }
