#include "core/SectionNumber.h"
#include "filters/SectionSummaries.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr std::int64_t kMax = 9223372036854775807;

FilterSummary Reset(DateTime now)
{
    FilterSummary f;
    f.masksText = "*.*/";
    f.from = 0.0;
    f.to = std::trunc(now) + 52533.0;
    f.now = now;
    f.fromText = "12/30/1899";
    f.toText = "to";
    f.minText = "0";
    f.maxText = "9223372036854775807";
    f.minSize = 0;
    f.maxSize = kMax;
    return f;
}

} // namespace

TEST(SectionSummaries, SourcesHeader)
{
    EXPECT_EQ(SourcesHeader(-1, {}), "None\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B"}), "Following folders and files:\nA\nB\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B", "C"}), "Following folders and files:\nA\nB\nC\n");
    EXPECT_EQ(SourcesHeader(-1, {"A", "B", "C", "D"}), "Following folders and files:\nA\nB\n...  2 items hided\n");
    EXPECT_EQ(SourcesHeader(kSectionFilters, {"A", "B", "C", "D", "E"}),
              "Following folders and files:\nA\nB\n...  3 items hided\n");
    EXPECT_EQ(SourcesHeader(kSectionSource, {"A"}), "Select the source folders and files\n");
}

TEST(SectionSummaries, OperationAndDestinationHeaders)
{
    const char* const names[5] = {"Copy\n", "Cut\n", "Move to trash\n", "Delete\n", "Crush\n"};
    for (int op = 0; op < 5; ++op) {
        EXPECT_EQ(OperationHeader(kSectionTo, op), names[op]);
        EXPECT_EQ(OperationHeader(kSectionOperation, op), "Select operation\n");
        const bool used = op <= 1;
        EXPECT_EQ(DestinationUsed(op), used);
        EXPECT_EQ(DestinationHeader(-1, op, "C:\\out"), used ? "To:\nC:\\out\n" : "\n\n") << op;
        EXPECT_EQ(DestinationHeader(kSectionTo, op, "C:\\out"), used ? "Select the destination folder\n" : "\n\n") << op;
    }
}

TEST(SectionSummaries, ExtensionClauseCutsAfter33)
{
    const auto unchecked = [](const std::vector<std::string>& names) {
        std::vector<ExtensionEntry> list{{".kept", true}};
        for (const std::string& n : names)
            list.push_back({n, false});
        return list;
    };
    EXPECT_EQ(SummaryExtensionClause(unchecked({})), "\nAny extension name;");
    EXPECT_EQ(SummaryExtensionClause(unchecked({".a", ".b", ".c", ".d", ".e", ".f", ".g", ".h", ".i"})),
              "\nExtension name must exclude \".a;.b;.c;.d;.e;.f;.g;.h;.i;\";");
    const std::string e33 = ".abcdefghijklmnopqrstuvwxyz01234";  // 32 + ";" = 33: kept whole, no dots
    EXPECT_EQ(SummaryExtensionClause(unchecked({e33})), "\nExtension name must exclude \"" + e33 + ";\";");
    const std::string e40 = ".abcdefghijklmnopqrstuvwxyz0123456789ab";  // 39 + ";" = 40
    EXPECT_EQ(SummaryExtensionClause(unchecked({e40})), "\nExtension name must exclude \"" + e40 + ";...\";");
    const std::string e80 = "." + std::string(78, 'x');  // 79 + ";" = 80
    EXPECT_EQ(SummaryExtensionClause(unchecked({e80})), "\nExtension name must exclude \"" + e80.substr(0, 60) + "...\";");
}

TEST(SectionSummaries, FiltersHeaderAfterAReset)
{
    const DateTime now = 45000.75;
    EXPECT_EQ(FiltersHeader(-1, Reset(now)), "Files should meet following rules:\nFile name must match *.*/;"
                                             "\nAny extension name;\nAny modification time;\nAny size;");
    EXPECT_EQ(FiltersHeader(kSectionFilters, Reset(now)), "Files filtering\n");

    // From the next midnight on the reset's window is shown as it is.
    FilterSummary later = Reset(now);
    later.now = 45001.0;
    EXPECT_EQ(SummaryTimeClause(later.from, later.to, later.now, "A", "B"), "\nModification time must be between A and B;");
    EXPECT_EQ(SummaryTimeClause(0.99, later.to, now, "A", "B"), "\nAny modification time;");
    EXPECT_EQ(SummaryTimeClause(1.0, later.to, now, "A", "B"), "\nModification time must be between A and B;");
}

TEST(SectionSummaries, SummarySizeClause)
{
    EXPECT_EQ(SummarySizeClause("0", "504403158265495553", 0, 504403158265495553), "\nAny size;");
    EXPECT_EQ(SummarySizeClause("0", "504403158265495552", 0, 504403158265495552),
              "\nSize must be between 0B and 504403158265495552B;");
    EXPECT_EQ(SummarySizeClause("00", "9223372036854775807", 0, kMax), "\nSize must be between 00B and 9223372036854775807B;");
    EXPECT_EQ(SummarySizeClause("1024", "2048", 1024, 2048), "\nSize must be between 1024B and 2048B;");
    // Texts that are no number count as 0, and the clause says the 0 the filter applies.
    EXPECT_EQ(SummarySizeClause("", "1234567890123456789012345", 0, 0), "\nSize must be between 0B and 0B;");
    EXPECT_EQ(SummarySizeClause("0", "12ab", 0, 0), "\nSize must be between 0B and 0B;");
    EXPECT_EQ(SummarySizeClause("-5", "10", 1152921504606846975, 10), "\nSize must be between 1152921504606846975B and 10B;");
}

// Where a value would read as no restriction but the filter applies it literally, the summary
// follows the filter.
TEST(SectionSummaries, OpenCasesSayWhatTheFilterDoes)
{
    EXPECT_EQ(SummaryNameClause(""), "\nFile name must match nothing;");
    EXPECT_EQ(SummaryNameClause("//:"), "\nFile name must match nothing;");
    EXPECT_EQ(SummaryNameClause(" "), "\nFile name must match  ;");  // a blank is a mask
    EXPECT_EQ(SummarySizeClause("0", "0", 0, 0), "\nSize must be between 0B and 0B;");
    EXPECT_EQ(SummaryTimeClause(0.0, 0.0, 45000.0, "12/30/1899", "12/30/1899"),
              "\nModification time must be between 12/30/1899 and 12/30/1899;");
}
