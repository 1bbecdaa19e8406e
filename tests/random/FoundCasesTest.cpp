// Cases the random jobs found, cut down and pasted here: each is a test of its own. A test whose
// fault is not fixed yet is disabled, with the fault named; it is enabled with the fix (and the seeds
// that find the same fault go back into the fixed set, RandomJobsTest.cpp).
#include "tests/random/CaseRunner.h"

#include <gtest/gtest.h>

using namespace randomjobs;

namespace {

// Crush of a file that has a second name outside the selection.
Case CrushOfALinkedFile()
{
    // seed 261, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\b", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\b\\a.txt", "", 332u, 636987547u, 132396264000000000ull, 0},
        {Entry::HardLink, "other\\second.txt", "src\\b\\a.txt", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCrush;
    j.sources = {"src\\b\\a.txt", };
    j.destination = "";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(1), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(4), false}, };
    j.fileRenameNew = false; j.folderRenameNew = false;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1;
    return c;
}

// A Cut to another volume of a hidden file with a second name outside the selection.
Case CutOfALinkedHiddenFile()
{
    // seed 67, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\b", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\b\\2Ünï.txt", "", 183333u, 2958871234u, 132396264000000000ull, 2},
        {Entry::HardLink, "src\\A\\A.TXT", "src\\b\\2Ünï.txt", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\b\\2Ünï.txt", };
    j.destination = "@other\\out";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(1), true}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(3), false}, };
    j.fileRenameNew = true; j.folderRenameNew = false;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1;
    return c;
}

// A copy into its own folder of a file whose name closes in a dot.
Case CopyOfANameClosingInADot()
{
    // seed 3, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\photo.JPG.", "", 102491u, 2778110466u, 133001064000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCopy;
    j.sources = {"src\\A\\photo.JPG.", };
    j.destination = "src\\.\\A";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(3), true}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(4), true}, };
    j.fileRenameNew = true; j.folderRenameNew = false;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1;
    return c;
}

// A Cut of a folder holding a file whose name closes in a blank.
Case CutOfANameClosingInABlank()
{
    // seed 11, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\Cc", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\Cc\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\Cc\\deep\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\Cc\\deep\\deep\\Ünï.txt ", "", 371u, 1484435563u, 134297064000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\Cc\\deep", };
    j.destination = "out";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(1), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(1), false}, };
    j.fileRenameNew = false; j.folderRenameNew = true;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1;
    return c;
}

// A Cut of a folder holding "日本.txt." and "日本.txt", two names of one file, where "日本.txt" is taken.
Case CutOfADotNameWithASecondName()
{
    // seed 194, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\\Ωmega", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\\Ωmega\\日本.txt", "", 52691u, 2506786039u, 132223464000000000ull, 0},
        {Entry::HardLink, "src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\\Ωmega\\日本.txt.", "src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\\Ωmega\\日本.txt", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Ωmega", "", 0u, 0u, 0ull, 0},
        {Entry::File, "out\\Ωmega\\日本.txt", "", 235u, 4271078999u, 132222600000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\A\\FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\\Ωmega", };
    j.destination = "out";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(2), true}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(1), true}, };
    j.fileRenameNew = true; j.folderRenameNew = false;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1;
    return c;
}

// A Copy whose Replace removes, at the destination, a second name of a read-only source file.
Case ReplaceOfASecondNameOfTheSource()
{
    // seed 9272, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::File, "other\\a.txt", "", 0u, 3118091364u, 133001064000000000ull, 0},
        {Entry::File, "other\\keep1.txt", "", 522u, 771265423u, 132396264000000000ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\b.txt", "", 201u, 2946530663u, 132396264000000000ull, 0},
        {Entry::File, "src\\A\\notes.doc", "", 359u, 1521745399u, 134297064000000000ull, 1},
        {Entry::File, "src\\A\\notes.doc ", "", 0u, 1325448174u, 133001064000000000ull, 0},
        {Entry::File, "src\\A\\Жук.txt", "", 240u, 4287584444u, 134297064000000000ull, 0},
        {Entry::File, "src\\A\\2notes.doc", "", 409u, 150843434u, 134297064000000000ull, 0},
        {Entry::Folder, "src\\b", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\b\\data.bin", "", 0u, 3554973680u, 132223464000000000ull, 1},
        {Entry::File, "src\\b\\data.bin.", "", 0u, 3988163887u, 134037864000000000ull, 0},
        {Entry::File, "src\\b\\Ünï.txt", "", 661u, 2955775263u, 133001064000000000ull, 2},
        {Entry::File, "src\\b\\2data.bin.", "", 561u, 2605110586u, 133001064000000000ull, 0},
        {Entry::Folder, "src\\Cc", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\Cc\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\Cc\\deep\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\Cc\\deep\\deep\\a.txt", "", 54u, 1774819483u, 133001064000000000ull, 1},
        {Entry::Folder, "src\\Cc\\deep\\DEEP", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\Cc\\deep\\DEEP\\Ünï.txt", "", 132647u, 888873661u, 134037864000000000ull, 0},
        {Entry::File, "src\\Cc\\deep\\deep ", "", 60882u, 3982872885u, 132223464000000000ull, 0},
        {Entry::File, "src\\CC", "", 0u, 1671303613u, 132396264000000000ull, 0},
        {Entry::Folder, "out", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Cc", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Cc\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Cc\\deep\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::HardLink, "out\\Cc\\deep\\deep\\a.txt", "src\\Cc\\deep\\deep\\a.txt", 0u, 0u, 0ull, 0},
        {Entry::File, "out\\b.txt", "", 717u, 4270600673u, 132396264000000000ull, 0},
        {Entry::File, "out\\ünï.txt", "", 661u, 3309178201u, 133001064000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCopy;
    j.sources = {"src\\A\\b.txt", "src\\b\\Ünï.txt", "src\\Cc", };
    j.destination = "out";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {{".doc", true}, {".bin", false}, };
    j.timeFrom = 43800.0; j.timeTo = 46300.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(2), true}, {static_cast<ConflictDecision>(1), false}, {static_cast<ConflictDecision>(3), true}, {static_cast<ConflictDecision>(3), false}, {static_cast<ConflictDecision>(3), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(1), true}, {static_cast<ConflictDecision>(2), false}, };
    j.fileRenameNew = false; j.folderRenameNew = false;
    j.cancelAtQuestion = 2; j.cancelAtPump = -1; j.pauseAtPump = -1; j.killAtPump = -1;
    return c;
}

// A Cut of a file closing in a dot listed twice, beside a folder of the name without the dot.
Case CutOfADotNameListedTwiceBesideItsTwinFolder()
{
    // seed 1241, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\b", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\b\\Ωmega", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\b\\Ωmega\\Ünï.txt", "", 382u, 1651850252u, 133519464000000000ull, 0},
        {Entry::File, "src\\b\\Ωmega.", "", 560u, 103235178u, 133001064000000000ull, 0},
        {Entry::Folder, "out", "", 0u, 0u, 0ull, 0},
        {Entry::File, "out\\ωmega.", "", 842u, 3616100261u, 133001928000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\b\\Ωmega.", "src\\b\\Ωmega.", };
    j.destination = "out";
    j.flat = false;
    j.masks = "*.*";
    j.extensions = {};
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    j.fileAnswers = {{static_cast<ConflictDecision>(1), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(2), false}, };
    j.fileRenameNew = false; j.folderRenameNew = false;
    j.cancelAtQuestion = -1; j.cancelAtPump = -1; j.pauseAtPump = -1; j.killAtPump = -1;
    return c;
}

// A Delete of a name closing in a blank, typed in another letter case than it stands.
Case DeleteOfABlankNameInAnotherCase()
{
    // seed 2130, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\deep\\X.DAT ", "", 95299u, 4236056872u, 132223464000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpDelete;
    j.sources = {"src\\A\\deep\\x.dat ", };
    j.masks = "*.*";
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    return c;
}

// A Delete of a name closing in a blank listed twice, beside a file of that name in other letters.
Case DeleteListedTwiceBesideACaseTwin()
{
    // seed 2130, cut down by hand
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\deep", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\deep\\x.dat ", "", 680u, 1205508080u, 134037864000000000ull, 0},
        {Entry::File, "src\\A\\deep\\X.DAT ", "", 95299u, 4236056872u, 132223464000000000ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpDelete;
    j.sources = {"src\\A\\deep\\x.dat ", "src\\A\\deep\\x.dat ", };
    j.masks = "*.*";
    j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0ll; j.maxSize = 9223372036854775807ll;
    return c;
}

// Two source folders whose names differ only in letter case, each clashing with one destination
// folder, each given a new name by the same answer at the same second.
Case CutOfTwoCaseTwinFoldersRenamedNew()
{
    // seed 40393, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\Docs", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\Docs\\Docs", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\Docs\\Docs\\日本.txt", "", 628u, 887492330u, 132223464000000000ull, 0},
        {Entry::Folder, "src\\A\\Docs\\DOCS", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Docs", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "out\\Docs\\Docs", "", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\A\\Docs", };
    j.destination = "out";
    j.masks = "*.*";
    j.fileAnswers = {{static_cast<ConflictDecision>(3), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(4), false}, };
    j.fileRenameNew = true; j.folderRenameNew = true;
    return c;
}

// A Cut onto a read-only file that has a second name elsewhere, answered Overwrite.
Case CutOverAReadOnlyFileWithASecondName()
{
    // seed 18301, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\two.dots.txt", "", 567u, 2231254422u, 132223464000000000ull, 1},
        {Entry::Folder, "src\\b", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\b\\two.dots.txt", "", 610u, 1490267323u, 133001064000000000ull, 1},
        {Entry::HardLink, "other\\second.txt", "src\\b\\two.dots.txt", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\A\\two.dots.txt", };
    j.destination = "SRC\\B";
    j.masks = "*.*";
    j.fileAnswers = {{static_cast<ConflictDecision>(1), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(1), true}, };
    j.fileRenameNew = false; j.folderRenameNew = false;
    return c;
}

// The same, of a Copy.
Case CopyOverAReadOnlyFileWithASecondName()
{
    Case c = CutOverAReadOnlyFileWithASecondName();
    c.job.operation = kOpCopy;
    return c;
}

// A Cut of a file and of its second name closing in a blank.
Case CutOfAFileAndItsSecondNameClosingInABlank()
{
    // seed 14414, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A\\Ωmega", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\Ωmega\\Ünï.txt", "", 568u, 367005544u, 133519464000000000ull, 0},
        {Entry::HardLink, "src\\A\\Ωmega\\Ünï.txt ", "src\\A\\Ωmega\\Ünï.txt", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\A\\Ωmega\\Ünï.txt", "src\\A\\Ωmega\\Ünï.txt ", };
    j.destination = "out";
    j.masks = "*.*";
    j.fileAnswers = {{static_cast<ConflictDecision>(1), true}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(1), true}, };
    j.fileRenameNew = false;
    return c;
}

Case CutIntoAFolderNamedAsASecondNameOfTheSourceReads()
{
    // seed 32944, cut down
    Case c;
    c.world = {
        {Entry::Folder, "src", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "other", "", 0u, 0u, 0ull, 0},
        {Entry::Folder, "src\\A", "", 0u, 0u, 0ull, 0},
        {Entry::File, "src\\A\\b.txt", "", 160200u, 2101642449u, 134297064000000000ull, 0},
        {Entry::Folder, "src\\A\\b.txt ", "", 0u, 0u, 0ull, 0},
        {Entry::HardLink, "src\\A\\b.txt \\second.txt", "src\\A\\b.txt", 0u, 0u, 0ull, 0},
    };
    Job& j = c.job;
    j.operation = kOpCut;
    j.sources = {"src\\A\\b.txt \\second.txt", };
    j.destination = "SRC\\A\\B.TXT ";
    j.masks = "*.*";
    j.fileAnswers = {{static_cast<ConflictDecision>(3), false}, };
    j.folderAnswers = {{static_cast<ConflictDecision>(2), false}, };
    j.fileRenameNew = false;
    j.folderRenameNew = true;
    return c;
}

void ExpectKept(const Case& c)
{
    const Outcome o = RunCase(c);
    EXPECT_TRUE(o.unmade.empty()) << o.unmade;
    EXPECT_TRUE(o.violations.empty()) << Describe(o) << o.log;
}

} // namespace

// Crush wrote through a second name (hard link) of the file: now it leaves such a file, with a line.
TEST(RandomJobFound, CrushLeavesTheOtherNameOfTheFileWhole) { ExpectKept(CrushOfALinkedFile()); }

// Fault: removing one name of a file clears the read-only or hidden mark of its other names.
TEST(RandomJobFound, ACutKeepsTheMarksOfTheOtherNameOfTheFile) { ExpectKept(CutOfALinkedHiddenFile()); }

// A name closing in a dot was taken for a missing folder, and a folder "Copy of photo.JPG" was made.
TEST(RandomJobFound, ACopyOfANameClosingInADotIsAFileOfThatName) { ExpectKept(CopyOfANameClosingInADot()); }

// A file whose name closes in a blank was neither moved nor reported as failed.
TEST(RandomJobFound, ACutMovesANameClosingInABlank) { ExpectKept(CutOfANameClosingInABlank()); }

// A Cut of a name closing in a dot, whose file has a second name, could not remove the source.
TEST(RandomJobFound, ACutOfANameClosingInADotWithASecondNameMovesIt) { ExpectKept(CutOfADotNameWithASecondName()); }

// Fault: the same, through the removal of a folder a Replace answer takes: the source of a Copy loses
// its read-only mark.
TEST(RandomJobFound, AReplaceKeepsTheMarksOfTheSourceReachedByASecondName) { ExpectKept(ReplaceOfASecondNameOfTheSource()); }

// The second listing of a file closing in a dot, which the first had moved, was read as the folder
// of the name without the dot, and that folder was moved too.
TEST(RandomJobFound, ASourceListedTwiceIsReadOnceNotAsItsTwinOnceMoved) { ExpectKept(CutOfADotNameListedTwiceBesideItsTwinFolder()); }

// The model read a typed name closing in a blank only in its own letter case, where the system finds
// the entry in any.
TEST(RandomJobFound, ANameClosingInABlankIsFoundInAnyLetterCase) { ExpectKept(DeleteOfABlankNameInAnotherCase()); }

// The second listing of a file, deleted by the first, reached the file of that name in other letters.
TEST(RandomJobFound, AnItemListedTwiceIsOneItem) { ExpectKept(DeleteListedTwiceBesideACaseTwin()); }

// The model took a folder given a new name for one made under its own, and so expected the next
// folder of that name to be merged into it rather than asked about.
TEST(RandomJobFound, EachFolderGivenANewNameIsAskedAbout) { ExpectKept(CutOfTwoCaseTwinFoldersRenamedNew()); }

// Replacing a read-only file took its mark off the file, which its other name still reached.
TEST(RandomJobFound, ReplacingAReadOnlyFileKeepsTheMarkOfItsOtherName)
{
    ExpectKept(CutOverAReadOnlyFileWithASecondName());
    ExpectKept(CopyOverAReadOnlyFileWithASecondName());
}

// The second name was taken for the file already at its destination, read without its closing blank,
// and left where it was ("needs not be cutted").
TEST(RandomJobFound, ANameClosingInABlankIsNotAtItsDestinationWhereOnlyItsTwinIs)
{
    ExpectKept(CutOfAFileAndItsSecondNameClosingInABlank());
}

// The model compared the destination with the sources by their text only: a destination the system
// reads as another name of the source file is refused, and nothing moves.
TEST(RandomJobFound, ADestinationReadAsASecondNameOfTheSourceFileIsRefused)
{
    ExpectKept(CutIntoAFolderNamedAsASecondNameOfTheSourceReads());
}
