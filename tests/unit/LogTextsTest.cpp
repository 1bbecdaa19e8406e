#include "core/LogTexts.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<std::string>& entries)
{
    std::string log;
    for (const std::string& e : entries)
        log += e + "\r\n";
    return log;
}

} // namespace

TEST(LogTexts, ExtensionClauseListsUncheckedEntriesInListOrder)
{
    const std::vector<ExtensionEntry> list{{".bak", false}, {".doc", true}, {".tmp", false}};
    EXPECT_EQ(ExtensionClause(list), "2> File extension name can not be one of \".bak;.tmp;\"");
    // The entry for names without an extension is listed like any other.
    EXPECT_EQ(ExtensionClause({{".", false}}), "2> File extension name can not be one of \".;\"");
}

TEST(LogTexts, ExtensionClauseWithNothingUncheckedAllowsAnyString)
{
    const std::string any = "2> File extension name can be any string.";
    EXPECT_EQ(ExtensionClause({}), any);
    EXPECT_EQ(ExtensionClause({{".bak", true}, {".tmp", true}}), any);
}

TEST(LogTexts, PreparationBlockInItsOrder)
{
    PreparationFacts facts;
    facts.operationHeader = "Delete\n";
    facts.sources = {"C:\\a", "D:", "C:\\b.txt"};
    facts.masksText = "*.txt/*.doc";
    facts.extensions = {{".tmp", false}};
    facts.timeFromText = "12/30/1899";
    facts.timeToText = "1/1/2170 1:02:03 PM";
    facts.minSizeText = "00";
    facts.maxSizeText = "99";
    facts.destinationText = "";  // a Delete job still names its (empty) destination

    EXPECT_EQ(Joined(PreparationEntries(facts)),
              "\r\n**Prepare**\r\n"
              "Delete\n\r\n"
              "Following folders and files:\r\n"
              "C:\\a\r\nD:\r\nC:\\b.txt\r\n"
              "\n\nOnly meet the following conditions:\r\n"
              "1> File name match: *.txt/*.doc\r\n"
              "2> File extension name can not be one of \".tmp;\"\r\n"
              "3> File modification time must be between 12/30/1899 and 1/1/2170 1:02:03 PM\r\n"
              "4> File size must be between 00B and 99B\r\n"
              "\n\nAll these files will be copied to \r\n"
              "\r\n**Execute**\r\n");
}

TEST(LogTexts, ReportBlockCarriesCountsAndSpeedTextVerbatim)
{
    ReportCounts counts;
    counts.filesExamined = 12;
    counts.filesDone = 9;
    counts.filesFailed = 2;
    counts.bytesCopied = 5'000'000'000LL;  // beyond 32 bits
    EXPECT_EQ(Joined(ReportEntries(counts, "  Speed 1234kbps")),
              "\r\n**Report**\r\nAll Files: 12\r\nCopied Files: 9\r\nErrors: 2\r\n"
              "Copied Size: 5000000000B\r\nEverage  Speed 1234kbps\r\n");

    const std::vector<std::string> atRest = ReportEntries({}, "");
    ASSERT_EQ(atRest.size(), 6u);
    EXPECT_EQ(atRest[1], "All Files: 0");
    EXPECT_EQ(atRest[4], "Copied Size: 0B");
    EXPECT_EQ(atRest[5], "Everage");
    EXPECT_EQ(ReportEntries({}, "--")[5], "Everage--");
}

TEST(LogTexts, EventEntriesAndMessages)
{
    EXPECT_EQ(UserAbortEntry(), "\r\nUser abort!");
    EXPECT_EQ(StartingTimeEntry("3/6/2026 12:00:00 PM"), "\r\nStarting Time 3/6/2026 12:00:00 PM");
    EXPECT_EQ(EndingTimeEntry("x"), "\r\nEnding Time x");
    EXPECT_EQ(FolderNotRemovedEntry("C:\\src"),
              "\r\nBecause folder C:\\src may be being used or not empty, so failed to be deleted!");
    EXPECT_EQ(EmptySourceListMessage(), "Please add source files and folders firstly.");
    EXPECT_EQ(InsideSourceMessage("C:\\data\\sub", "C:\\data"),
              "Destination folder \nC:\\data\\sub\nis the child of source folder or same as it\nC:\\data"
              "\n\nPlease select another destination folder or remove the source folder from copy list.");
    EXPECT_EQ(InvalidDestinationMessage(), "Destination folder is invaild. Please select another one.");
    EXPECT_EQ(FreeSpaceQuestion("\\\\srv\\share"),
              "No enough free space on the destination disk \\\\srv\\share to paste current files and folders."
              " Do you want to continue?\n'Yes' to ignore any bigger file.");
    EXPECT_EQ(FreeSpaceQuestionTitle(), "Question");
}

TEST(LogTexts, TrimBlanksRemovesBlanksAndControlsAtBothEndsOnly)
{
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("\t D:\\a b \r\n"), "D:\\a b");
    EXPECT_EQ(TrimBlanks(""), "");
    EXPECT_EQ(TrimBlanks("\xC3\xA9"), "\xC3\xA9");  // bytes above 0x7F are text, not blanks
}

TEST(LogTexts, RefusedDestinationAndUnexpectedErrorLines)
{
    EXPECT_EQ(DestinationNotCreatedEntry("Path not found.\r\n", "Q:\\out"),
              "\r\nBecause Path not found.\r\n Failed to create destination folder Q:\\out!");
    // One line whatever the text holds; a text with nothing in it still says what stopped the job.
    EXPECT_EQ(UnexpectedErrorEntry("bad\r\nthing\n"), "\r\nJob stopped by an unexpected error: bad  thing");
    EXPECT_EQ(UnexpectedErrorEntry(" \r\n"), "\r\nJob stopped by an unexpected error: unknown error");
}

TEST(LogTexts, FileFailureSentencesAndSourceItemLines)
{
    EXPECT_EQ(BecauseEntry("Access denied.\r\n", DeleteFailedSentence("C:\\a")),
              "\r\nBecause Access denied.\r\n So failed to delete file C:\\a!");
    EXPECT_EQ(CopyFailedSentence("C:\\a", "D:\\a"), " Failed to copy file from C:\\a to D:\\a");
    EXPECT_EQ(ReportFileEntry("C:\\R\\r.csv"), "\r\nReport file: C:\\R\\r.csv");
    EXPECT_EQ(BecauseEntry("Disk full.\r\n", ReportFileFailedSentence("C:\\r.csv")),
              "\r\nBecause Disk full.\r\n Failed to write the report file C:\\r.csv");
    EXPECT_EQ(TrashFailedSentence("C:\\a"), " So failed to move file C:\\a to trash!");
    EXPECT_EQ(DeleteFailedUnderSentence("C:\\~x", "C:\\a"), " So failed to delete file C:\\~x (first named C:\\a)!");
    EXPECT_EQ(SharedDataEntry("C:\\d\\a"), "\r\nBecause the file has other names (hard links) that still reach its "
                                          "data. So failed to crush file C:\\d\\a!");
    EXPECT_EQ(CopiedNotDeletedSentence("C:\\a"), " File C:\\a is copied but failed to be deleted!");
    EXPECT_EQ(FolderLeftAloneSentence("C:\\d"), " So folder C:\\d and all it holds were left alone!");
    EXPECT_EQ(NeedsNotBeCutEntry(false, "C:\\a"), "\r\nFile C:\\a needs not be cutted!");
    EXPECT_EQ(NeedsNotBeCutEntry(true, "C:\\d"), "\r\nFolder C:\\d needs not be cutted!");
    EXPECT_EQ(CreateNewEntry(false, "C:\\a", "Copy of a"), "\r\nFile C:\\a already exists, create a new file Copy of a!");
    EXPECT_EQ(CreateNewEntry(true, "C:\\d", "Copy of d"),
              "\r\nFolder C:\\d already exists, create a new folder Copy of d!");
    EXPECT_EQ(FolderIsLinkEntry("C:\\l"), "\r\nFolder C:\\l is a link, so it was left alone!");
    EXPECT_EQ(FolderRenameFailedEntry("D:\\d", "C:\\d"), "\r\nFailed to rename folder D:\\d\r So failed to copy folder C:\\d");
}

TEST(LogTexts, WhatACopyCouldNotTakeAlong)
{
    EXPECT_EQ(StreamsLeftBehindEntry("C:\\a", "F:\\a"),
              "\r\nThe destination cannot hold the named streams of C:\\a, so F:\\a holds its contents only.");
    EXPECT_EQ(StreamsKeepSourceEntry("C:\\a", "F:\\a"),
              "\r\nThe destination cannot hold the named streams of C:\\a, so it was not moved to F:\\a and stays "
              "where it is!");
    EXPECT_EQ(EncryptionNotCarriedEntry("C:\\a", "F:\\a"),
              "\r\nThe copy of C:\\a to F:\\a could not be encrypted as its source is, so it was not kept!");
}
