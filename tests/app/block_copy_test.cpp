// Marking, copying and pasting a block of rows.
#include "tests/app/parts_fixture.h"

namespace {

// The pattern editor and its song, in Standby.
class BlockCopy : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        for (int column : {0, 4, 8, 12}) {
            for (int row = 0; row < 32; ++row) song.patternColumns[column][row] = U'A' + row;
        }
    }
};

} // namespace

TEST_F(BlockCopy, ShiftDownDownF9CopiesAndF10PastesAtTheCursor)
{
    cursor.row = 3;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyDown);
    pressAndStep(keyF9);
    EXPECT_FALSE(editor.block().marking);
    EXPECT_EQ(editor.block().start, 2);
    EXPECT_EQ(editor.block().end, 5);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(editor.copiedBlock()[j].substr(0, 3), U"CDE");
    EXPECT_EQ(editor.copiedBlock()[0].size(), 33u);

    cursor.row = 10;
    pressAndStep(keyF10);
    EXPECT_EQ(song.patternColumns[0].substr(8, 6), U"ICDEMN");
    EXPECT_EQ(song.patternColumns[12].substr(9, 3), U"CDE");
}

TEST_F(BlockCopy, ABlockFromChannelOnePastesIntoTheCursorChannelOnly)
{
    cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyF9);  // rows "A" and "B"; only one fits below row 32
    cursor.column = 6;  // channel 3
    cursor.row = 32;
    pressAndStep(keyF10);
    EXPECT_EQ(song.patternColumns[2][31], U'A');
    EXPECT_EQ(song.patternColumns[14][31], U'A');
    EXPECT_EQ(song.patternColumns[2][32], U'.');  // never below row 32
    EXPECT_EQ(song.patternColumns[1], blankColumn(1));
}

TEST_F(BlockCopy, CancelledMarkingPastesThirtyOneRowsFromTheClipboardStart)
{
    // A block of 33 rows copied from the next pattern slot.
    const char32_t filled[] = U"x123";
    for (int j = 0; j < 4; ++j) {
        for (int row = rowsPerPattern; row < rowsPerPattern + 33; ++row) song.patternColumns[j * 4][row] = filled[j];
    }
    song.positions[1] = 1;
    transport.goToPosition(1);
    cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyF9);
    transport.goToPosition(0);
    cursor.row = 5;
    pressAndStep(keyShift);
    pressAndStep(keyShift);
    EXPECT_EQ(editor.block().start, 0);
    EXPECT_EQ(editor.block().end, 0);
    cursor.row = 1;
    pressAndStep(keyF10);
    EXPECT_EQ(editor.block().end, 31);
    EXPECT_EQ(song.patternColumns[0].substr(0, 32), String(31, U'x') + U"`");
}

TEST_F(BlockCopy, PasteBeforeAnyCopyChangesNothing)
{
    String before = song.patternColumns[0];
    cursor.row = 4;
    click(530, 389);  // PASTE@POS
    step();
    EXPECT_EQ(song.patternColumns[0], before);
    for (const String& column : song.patternColumns) EXPECT_EQ(column.size(), 8192u);
}
