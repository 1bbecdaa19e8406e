#include "filters/KeptFilters.h"

#include <gtest/gtest.h>

TEST(KeptFilters, TheDefaultMasksAreNotKeptInAnyOfTheirForms)
{
    for (const char* text : {"*.*", "*.*/", "  *.*  ", "*.*\\"})
        EXPECT_FALSE(KeptFilters(text, {}).KeepsMasks()) << text;
    for (const char* text : {"*.tmp", "*.tmp/", "*.*/*.txt", "a*.*", ""})
        EXPECT_TRUE(KeptFilters(text, {}).KeepsMasks()) << '"' << text << '"';
}

TEST(KeptFilters, TypedMasksDecideTheChecksOfEntriesTheNewCountMeets)
{
    const KeptFilters kept("*.tmp/", {{".tmp", true}, {".doc", false}});
    EXPECT_TRUE(kept.StartsChecked(".tmp"));
    EXPECT_FALSE(kept.StartsChecked(".doc")) << "unchecked by the user";
    EXPECT_FALSE(kept.StartsChecked(".jpg")) << "new, and the masks leave it out";
    EXPECT_FALSE(kept.StartsChecked(".")) << "names without an extension";
}

TEST(KeptFilters, WithTheDefaultMasksOnlyWhatTheUserUncheckedStaysUnchecked)
{
    const KeptFilters kept("*.*/", {{".jpg", false}, {".txt", true}});
    EXPECT_FALSE(kept.StartsChecked(".jpg"));
    EXPECT_TRUE(kept.StartsChecked(".txt"));
    EXPECT_TRUE(kept.StartsChecked(".png")) << "a new extension passes as before";
}
