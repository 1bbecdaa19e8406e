#include "core/Operation.h"
#include "core/ProgressTexts.h"
#include "filters/SectionSummaries.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Expected {
    Operation operation;
    bool usesDestination, keepsSources, movesSources;
    const char* header;
    const char* underWay;
};

// What each operation does, as the job and the sections rely on it.
constexpr Expected kExpected[] = {
    {kOpCopy, true, true, false, "Copy\n", "Copying x"},
    {kOpCut, true, false, true, "Cut\n", "Copying x"},
    {kOpTrash, false, false, false, "Move to trash\n", "Removing x"},
    {kOpDelete, false, false, false, "Delete\n", "Deleting x"},
    {kOpCrush, false, false, false, "Crush\n", "Crushing x"},
};

} // namespace

TEST(OperationTable, EachRowSaysWhatItsOperationNeedsAndHowItReads)
{
    static_assert(std::size(kExpected) == kOperationCount);
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.header);
        const OperationRow& row = RowOf(e.operation);
        EXPECT_EQ(row.kind, e.operation);
        EXPECT_EQ(row.usesDestination, e.usesDestination);
        EXPECT_EQ(DestinationUsed(e.operation), e.usesDestination);
        EXPECT_EQ(row.keepsSources, e.keepsSources);
        EXPECT_EQ(row.movesSources, e.movesSources);
        EXPECT_EQ(OperationHeader(-1, e.operation), e.header);
        EXPECT_EQ(FileUnderWayText(e.operation, "x"), e.underWay);
    }
}

TEST(OperationTable, ValuesOutsideTheTableReadAsCopy)
{
    EXPECT_EQ(RowOf(static_cast<Operation>(-1)).kind, kOpCopy);
    EXPECT_EQ(RowOf(static_cast<Operation>(kOperationCount)).kind, kOpCopy);
    EXPECT_EQ(OperationHeader(-1, static_cast<Operation>(kOperationCount)), "Copy\n");
}

// The chooser finds its controls by these names and lays the cells out from these places: two rows
// sharing a name or a place would leave an operation that cannot be chosen.
TEST(OperationTable, ChooserNamesAndCellsAreDistinct)
{
    std::set<std::string> names;
    std::set<std::pair<int, int>> places;
    for (int i = 0; i < kOperationCount; ++i) {
        const OperationRow& row = RowOf(static_cast<Operation>(i));
        for (const char* name : {row.cellName, row.radioName, row.pictureName, row.iconName, row.caption})
            EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_TRUE(places.insert({row.cellLeft, row.cellTop}).second) << row.caption;
        EXPECT_EQ(row.cellLeft % 128, 0) << row.caption;  // cells are 128 x 91 on a grid
        EXPECT_EQ(row.cellTop % 91, 0) << row.caption;
    }
}
