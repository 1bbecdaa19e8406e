#include "core/SectionNumber.h"
#include "filters/SectionSummaries.h"

#include <gtest/gtest.h>

TEST(SectionSummaries, SourcesOperationAndDestination)
{
    EXPECT_EQ(SourcesHeader(-1, {}), "None\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B", "C"}), "Following folders and files:\nA\nB\nC\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B", "C", "D"}), "Following folders and files:\nA\nB\n...  2 items hided\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B", "C", "D", "E"}), "Following folders and files:\nA\nB\n...  3 items hided\n");
    EXPECT_EQ(SourcesHeader(kSectionSource, {"A"}), "Select the source folders and files\n");
    EXPECT_EQ(OperationHeader(-1, kOpCrush), "Crush\n");
    EXPECT_EQ(OperationHeader(kSectionOperation, kOpCrush), "Select operation\n");
    EXPECT_EQ(DestinationHeader(-1, kOpCut, "C:\\out"), "To:\nC:\\out\n");
    EXPECT_EQ(DestinationHeader(kSectionTo, kOpCopy, "C:\\out"), "Select the destination folder\n");
    EXPECT_EQ(DestinationHeader(kSectionTo, kOpCrush, "C:\\out"), "\n\n");
}

TEST(SectionSummaries, ExtensionClauseCutsAfter33)
{
    const auto clause = [](const std::string& excluded) {
        return SummaryExtensionClause({{".kept", true}, {excluded, false}});
    };
    EXPECT_EQ(SummaryExtensionClause({{".kept", true}}), "\nAny extension name;");
    std::vector<ExtensionEntry> nine;
    for (const char* e : {".a", ".b", ".c", ".d", ".e", ".f", ".g", ".h", ".i"})
        nine.push_back({e, false});
    EXPECT_EQ(SummaryExtensionClause(nine), "\nExtension name must exclude \".a;.b;.c;.d;.e;.f;.g;.h;.i;\";");
    const std::string e33 = "." + std::string(31, 'a');  // with its ";" 33 characters: whole, no dots
    EXPECT_EQ(clause(e33), "\nExtension name must exclude \"" + e33 + ";\";");
    const std::string e40 = "." + std::string(38, 'b');
    EXPECT_EQ(clause(e40), "\nExtension name must exclude \"" + e40 + ";...\";");
    const std::string e80 = "." + std::string(78, 'c');
    EXPECT_EQ(clause(e80), "\nExtension name must exclude \"" + e80.substr(0, 60) + "...\";");
}

TEST(SectionSummaries, FiltersHeaderAndItsOpenClauses)
{
    FilterSummary f{{{".tmp", true}}, "*.*/", 0.0, 45000.0 + 52533.0, 45000.75, "A", "B", "0",
                    "9223372036854775807", 0, 9223372036854775807};
    EXPECT_EQ(FiltersHeader(-1, f), "Files should meet following rules:\nFile name must match *.*/;"
                                    "\nAny extension name;\nAny modification time;\nAny size;");
    EXPECT_EQ(FiltersHeader(kSectionFilters, f), "Files filtering\n");
    // From the next midnight on, the reset's window is written out; so is any start after day 0.
    EXPECT_EQ(SummaryTimeClause(0.0, f.to, 45001.0, "A", "B"), "\nModification time must be between A and B;");
    EXPECT_EQ(SummaryTimeClause(1.0, f.to, f.now, "A", "B"), "\nModification time must be between A and B;");
    EXPECT_EQ(SummaryTimeClause(0.0, 0.0, f.now, "A", "A"), "\nModification time must be between A and A;");

    EXPECT_EQ(SummarySizeClause("0", "504403158265495553", 0, 504403158265495553), "\nAny size;");
    EXPECT_EQ(SummarySizeClause("0", "504403158265495552", 0, 504403158265495552),
              "\nSize must be between 0B and 504403158265495552B;");
    EXPECT_EQ(SummarySizeClause("00", "10", 0, 10), "\nSize must be between 00B and 10B;");
    EXPECT_EQ(SummarySizeClause("0", "0", 0, 0), "\nSize must be between 0B and 0B;");
    // A text the filter reads as 0 (or saturates) is said as the size applied.
    EXPECT_EQ(SummarySizeClause("", "1234567890123456789012345", 0, 0), "\nSize must be between 0B and 0B;");
    EXPECT_EQ(SummarySizeClause("-5", "1x", 1152921504606846975, 0), "\nSize must be between 1152921504606846975B and 0B;");

    EXPECT_EQ(SummaryNameClause(""), "\nFile name must match nothing;");
    EXPECT_EQ(SummaryNameClause("//:"), "\nFile name must match nothing;");
    EXPECT_EQ(SummaryNameClause(" "), "\nFile name must match  ;");  // a blank is a mask
}
