// The pattern grid and the position list as the user reads them.
#include "tests/screen/screen_fixture.h"

#include "app/editing/cell_text.h"

namespace {

using Grid = ScreenFixture;

// The colour a grid row is drawn in: every fourth row number stands out.
uint32_t rowInk(int shownRow) { return shownRow % 4 == 0 ? seen::beat : seen::text; }

std::string hex2(int value) { return narrow(byteHex(value)); }

} // namespace

TEST_F(Grid, NoteCellsShowNoteNamesAndMarks)
{
    putNote(0, 0, U'y', U'2', U'F', U'1');
    putNote(1, 0, U's', U'2', U'9', U'A');
    putNote(2, 0, U'p', U'3');  // the highest key, an octave and a bit up
    putNote(0, 1, U'<', U'0');
    putNote(1, 1, U'-', U'0');
    putNote(2, 1, U'+', U'0');
    putNote(3, 1, U'#', U'0');
    putNote(0, 2, U'A', U'2');  // a capital letter is no note key
    putNote(1, 2, U'i', U'1');  // value 24 in octave 1
    putNote(2, 2, U'q', U'2');
    putNote(3, 2, U'p', U'0');
    Picture shown = repaint();
    EXPECT_EQ(gridRow(shown, 0, seen::beat), "00  C-2F1 C#29A E-500 ---00");
    EXPECT_EQ(gridRow(shown, 1, seen::text), "01  {|}00 End00 -dn00 -up00");
    EXPECT_EQ(gridRow(shown, 2, seen::text), "02  ???00 C-300 C-300 E-200");
}

TEST_F(Grid, AnOctaveDigitOutside0To3DropsTheNoteAndShiftsTheRowLeft)
{
    putNote(1, 3, U'y', U'4', U'7', U'2');
    putNote(2, 3, U'y', U'2', U'5', U'3');
    putNote(0, 5, U'.', U'x');
    putNote(3, 5, U'q', U'9');
    Picture shown = repaint();
    EXPECT_EQ(gridRow(shown, 3, seen::text), "03  ---00 72 C-253 ---00   ");
    EXPECT_EQ(gridRow(shown, 5, seen::text), "05  00 ---00 ---00 00      ");
}

TEST_F(Grid, RowNumbersRun00To1FWithEveryFourthInTheBeatColour)
{
    Picture shown = repaint();
    for (int c = 0; c < rowsPerPattern; ++c) {
        uint32_t other = rowInk(c) == seen::beat ? seen::text : seen::beat;
        EXPECT_EQ(textAt(shown, 0, 12 + 12 * c, 2, rowInk(c)), hex2(c)) << "screen row " << c;
        EXPECT_EQ(textAt(shown, 0, 12 + 12 * c, 2, other), "  ") << "screen row " << c;
        EXPECT_EQ(gridRow(shown, c, rowInk(c)), hex2(c) + "  ---00 ---00 ---00 ---00");
    }
}

// The grid shows 32 rows of the columns from the view row on: below the
// current pattern come the rows of the next pattern slot, numbered from 00.
TEST_F(Grid, AViewOffsetShowsTheFollowingPatternSlotBelow)
{
    engine->song.positions[1] = 2;
    engine->transport.goToPosition(1);
    engine->transport.showRow(5);
    putNote(0, 2 * rowsPerPattern + 5, U'c', U'1', U'8', U'4');
    putNote(3, 3 * rowsPerPattern + 1, U'j', U'3', U'C', U'F');
    Picture shown = repaint();
    EXPECT_EQ(gridRow(shown, 0, seen::text), "05  E-184 ---00 ---00 ---00");
    EXPECT_EQ(gridRow(shown, 26, seen::text), "1F  ---00 ---00 ---00 ---00");
    EXPECT_EQ(gridRow(shown, 27, seen::beat), "00  ---00 ---00 ---00 ---00");
    EXPECT_EQ(gridRow(shown, 28, seen::text), "01  ---00 ---00 ---00 A#3CF");
}

// Viewing the last rows of the last pattern slot reads past the columns;
// those rows show as blank instead of reading outside the song.
TEST_F(Grid, RowsPastTheLastPatternSlotShowAsBlank)
{
    engine->song.positions[0] = patternSlots - 1;
    engine->transport.goToPosition(0);
    engine->transport.showRow(30);
    putNote(0, columnLength - 1, U'y', U'2', U'1', U'1');
    Picture shown = repaint();
    EXPECT_EQ(gridRow(shown, 1, seen::text), "1F  C-211 ---00 ---00 ---00");
    EXPECT_EQ(gridRow(shown, 2, seen::beat), "00  ---00 ---00 ---00 ---00");
    EXPECT_EQ(gridRow(shown, 31, seen::text), "1D  ---00 ---00 ---00 ---00");
}

TEST_F(Grid, ThePositionListShows32EntriesFromTheCurrentPosition)
{
    engine->transport.goToPosition(3);
    for (int p = 0; p < positionCount; ++p) engine->song.positions[p] = (p * 7) % 256;
    Picture shown = repaint();
    for (int c = 0; c < rowsPerPattern; ++c) {
        int p = 3 + c;
        EXPECT_EQ(textAt(shown, 297, 12 + 12 * c, 7, seen::text), " " + hex2(p) + "  " + hex2(p * 7));
    }
}

// The list ends with the last position: nothing is read or shown past it.
TEST_F(Grid, ThePositionListStopsAtTheLastPosition)
{
    engine->transport.goToPosition(250);
    engine->song.positions[255] = 0x42;
    Picture shown = repaint();
    EXPECT_EQ(textAt(shown, 297, 12, 7, seen::text), " FA  00");
    EXPECT_EQ(textAt(shown, 297, 12 + 12 * 5, 7, seen::text), " FF  42");
    EXPECT_EQ(pixelsNotOf(shown, 305, 12 + 12 * 6, 77, 12 * 26, seen::grid), 0);
}
