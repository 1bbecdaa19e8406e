#pragma once
#include "core/ExtensionEntry.h"

#include <cstdint>
#include <string>
#include <vector>

// The activity log's texts and the job run's messages, exactly as the user sees them. Pure text
// builders: the caller supplies every value already read from the window (date-times already
// rendered in the system's format), so this builds and is tested without Windows.

// What the preparation block reports about a job, as the controls hold it.
struct PreparationFacts {
    std::string operationHeader;               // caption of the Operation header, e.g. "Copy\n"
    std::vector<std::string> sources;          // in list order, as listed
    std::string masksText;                     // cbFName as typed
    std::vector<ExtensionEntry> extensions;    // ExtList, in list order
    std::string timeFromText;                  // dtp1, rendered
    std::string timeToText;                    // dtp2, rendered
    std::string minSizeText;                   // EditFSMin
    std::string maxSizeText;                   // EditFSMax
    std::string destinationText;               // cbPath as typed
};

// Counters the report block is built from.
struct ReportCounts {
    std::int64_t filesExamined = 0;
    std::int64_t filesDone = 0;
    std::int64_t filesFailed = 0;
    std::int64_t bytesCopied = 0;
};

// "2> File extension name can not be one of \".bak;.tmp;\"" or "2> File extension name can be any string."
std::string ExtensionClause(const std::vector<ExtensionEntry>& extensions);

// The entries of the preparation block, from "\r\n**Prepare**" to "\r\n**Execute**", one per line.
std::vector<std::string> PreparationEntries(const PreparationFacts& facts);

// The entries of the report block; speedText is the current text of the speed label, taken as it is.
std::vector<std::string> ReportEntries(const ReportCounts& counts, const std::string& speedText);

// Event entries of the job run.
std::string UserAbortEntry();
std::string StartingTimeEntry(const std::string& dateTimeText);
std::string EndingTimeEntry(const std::string& dateTimeText);
std::string FolderNotRemovedEntry(const std::string& folder);
// A Copy or Cut refused because its destination folder could not be made; errorText is the system's
// text for the creation's error, with its line break.
std::string DestinationNotCreatedEntry(const std::string& errorText, const std::string& destination);
// A job stopped by an error nothing else handled: one line, whatever line breaks the text holds.
std::string UnexpectedErrorEntry(const std::string& what);
// An exception that ended a window's handler outside a job's own run (`where` names the handler kind).
std::string HandlerErrorEntry(const std::string& where, const std::string& what);

// A saved list (masks, destinations) that could not be written; errorText is the system's text.
std::string HistoryNotSavedEntry(const std::string& file, const std::string& errorText);

// Failure entries of a copy whose destination is its own source spelled another way, and of a folder
// whose replacement or renaming would reach into the source.
std::string SameFileEntry(const std::string& source, const std::string& destination);
// A file that would replace one this job wrote itself gets a stamped name instead.
std::string WrittenByThisJobEntry(const std::string& source, const std::string& destination,
                                  const std::string& renamed);
std::string SameFolderEntry(const std::string& source, const std::string& destination);
// A copy that read back otherwise than its source was read: nothing of it is kept.
std::string VerifyFailedEntry(const std::string& source, const std::string& destination);
// What a copy could not take along: a Copy kept without the source's named streams (a note, not a
// failure); a Cut not done because its streams would be lost with the source; a copy of an encrypted
// file that would stand decrypted (never kept).
std::string StreamsLeftBehindEntry(const std::string& source, const std::string& destination);
std::string StreamsKeepSourceEntry(const std::string& source, const std::string& destination);
std::string EncryptionNotCarriedEntry(const std::string& source, const std::string& destination);
std::string OverlappingFolderEntry(const std::string& source, const std::string& destination);
// A Replace (or a rename of the old folder) not carried out because the existing folder holds a source
// item of the job or lies inside one: the source folder is merged into it instead.
std::string MergedIntoSourceEntry(const std::string& source, const std::string& destination);
// A file Crush leaves whole, as other names (hard links) still reach its data.
std::string SharedDataEntry(const std::string& file);

// Failures of one file or folder: "\r\nBecause " and the system's text for the error (with its own
// line break), then a sentence of those below.
std::string BecauseEntry(const std::string& reasonText, const std::string& sentence);
std::string CopyFailedSentence(const std::string& source, const std::string& destination);
std::string TrashFailedSentence(const std::string& source);
// A file the trash could not take, deleted for good once the system's own question was answered Yes.
std::string DeletedForGoodEntry(const std::string& source);
std::string DeleteFailedSentence(const std::string& source);
// A crushed file left under its hidden name because something else took its first name meanwhile.
std::string DeleteFailedUnderSentence(const std::string& current, const std::string& source);
std::string CopiedNotDeletedSentence(const std::string& source);
std::string FolderLeftAloneSentence(const std::string& folder);

// The report file a job also wrote (the Settings option "Also write a report file"), after its log's
// report block; or, with BecauseEntry, the one it could not write whole.
std::string ReportFileEntry(const std::string& path);
std::string ReportFileFailedSentence(const std::string& path);

// Source items met at their own destination, and folder links that are never followed.
std::string NeedsNotBeCutEntry(bool folder, const std::string& item);
std::string CreateNewEntry(bool folder, const std::string& item, const std::string& newName);
std::string FolderIsLinkEntry(const std::string& folder);
std::string FolderRenameFailedEntry(const std::string& target, const std::string& source);

// Messages and the free-space question.
std::string EmptySourceListMessage();
std::string InsideSourceMessage(const std::string& destination, const std::string& item);
// A typed source that is not a full path.
std::string RelativeSourceMessage();
std::string InvalidDestinationMessage();
std::string FreeSpaceQuestion(const std::string& drivePart);
std::string FreeSpaceQuestionTitle();

// The text with blanks and control characters removed from both ends, as the blank checks see it.
std::string TrimBlanks(const std::string& text);

// True when the text holds nothing but blanks: Begin's one test for the mask, the path and the
// destination, so that no two of them can disagree about what is blank.
bool IsBlankText(const std::string& text);
