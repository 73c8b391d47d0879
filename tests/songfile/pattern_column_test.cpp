// Columns that share their text: a write never shows through another copy,
// and a copy nobody else holds is written in place.
#include "song/song_model.h"

#include <gtest/gtest.h>

TEST(PatternColumn, AWriteCopiesASharedTextAndLeavesEveryOtherCopyAsItWas)
{
    PatternColumn kept = blankColumn(0);
    PatternColumn edited = kept;
    ASSERT_TRUE(edited.sharesTextWith(kept));
    edited[5] = U'q';
    EXPECT_EQ(kept, blankColumn(0));
    EXPECT_EQ(edited[5], U'q');
    EXPECT_EQ(edited.size(), size_t(columnLength));
    EXPECT_FALSE(edited.sharesTextWith(kept));

    // Unshared now: further writes stay in the same text.
    const String* text = &edited.text();
    edited.set(6, U'w');
    EXPECT_EQ(&edited.text(), text);
    // Writing what is there already copies nothing, even while shared.
    PatternColumn again = edited;
    again.set(6, U'w');
    EXPECT_TRUE(again.sharesTextWith(edited));
    // Outside the column nothing is written.
    again.set(columnLength, U'x');
    EXPECT_EQ(again, edited);
}

TEST(PatternColumn, BlankColumnsShareOneTextPerKind)
{
    auto columns = blankColumns();
    EXPECT_TRUE(columns[1].sharesTextWith(columns[3]));
    EXPECT_TRUE(columns[4].sharesTextWith(columns[15]));
    EXPECT_FALSE(columns[0].sharesTextWith(columns[4]));
    columns[9][0] = U'5';
    EXPECT_EQ(columns[8], blankColumn(8));
    EXPECT_EQ(columns[9].substr(0, 2), U"50");
}
