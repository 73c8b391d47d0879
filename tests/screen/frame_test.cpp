// Backgrounds, boxes and bars at the places the layout fixes, the play
// marker while following, and the level meters from frame to frame.
#include "tests/screen/screen_fixture.h"

#include "graphics/renderer.h"
#include "framework/app.h"
#include "host/key_translation.h"

namespace {

using Frame = ScreenFixture;

int meterX(int channel) { return 407 + 22 * channel; }

// Height of a channel's level meter, or -1 when the meter is not a clean bar
// of its level's colour rising from y = 347 in a frame-coloured box.
int meterHeight(const Picture& shown, int channel)
{
    int x = meterX(channel);
    int level = 0;
    while (level < 64 && shown.at(x + 8, 347 - level) != seen::frame) ++level;
    bool clean = pixelsNotOf(shown, x, 348 - level, 16, level, seen::meter(level)) == 0 &&
                 pixelsNotOf(shown, x, 284, 16, 64 - level, seen::frame) == 0 &&
                 pixelsNotOf(shown, x - 1, 284, 1, 64, seen::frame) == 0 &&
                 pixelsNotOf(shown, x + 16, 284, 1, 64, seen::frame) == 0;
    return clean ? level : -1;
}

std::vector<int> meterHeights(const Picture& shown)
{
    std::vector<int> heights;
    for (int k = 0; k < channelCount; ++k) heights.push_back(meterHeight(shown, k));
    return heights;
}

// Rows of the grid area that hold the play marker's colour.
std::vector<int> markerRows(const Picture& shown)
{
    std::vector<int> rows;
    for (int y = 14; y < 399; ++y)
        if (pixelsNotOf(shown, 2, y, 301, 1, seen::statusText) < 301) rows.push_back(y);
    return rows;
}

} // namespace

TEST_F(Frame, BackgroundsBoxesAndMetersInStandby)
{
    Picture shown = repaint();
    // The frame shows left of the grid and of the title bar (no glyph inks
    // its first column), right of the grid and at the bottom.
    EXPECT_EQ(pixelsNotOf(shown, 0, 0, 1, 475, seen::frame), 0);
    EXPECT_EQ(pixelsNotOf(shown, 382, 14, 3, 105, seen::frame), 0);
    EXPECT_EQ(pixelsNotOf(shown, 0, 458, 640, 17, seen::frame), 0);
    EXPECT_EQ(pixelsNotOf(shown, 2, 11, 638, 3, seen::titleBar), 0);  // below the header's letters
    // Black grid and position area, with the divider and the current position's box.
    EXPECT_EQ(pixelsNotOf(shown, 297, 14, 6, 385, seen::grid), 0);
    EXPECT_EQ(pixelsNotOf(shown, 2, 396, 301, 3, seen::grid), 0);
    EXPECT_EQ(pixelsNotOf(shown, 305, 396, 77, 3, seen::grid), 0);
    EXPECT_EQ(pixelsNotOf(shown, 303, 14, 2, 387, seen::frame), 0);
    EXPECT_EQ(pixelsNotOf(shown, 305, 14, 3, 12, seen::positionMark), 0);
    EXPECT_EQ(pixelsNotOf(shown, 375, 14, 7, 12, seen::positionMark), 0);
    EXPECT_EQ(pixelsNotOf(shown, 375, 26, 7, 1, seen::grid), 0);
    // The two text boxes, empty.
    EXPECT_EQ(pixelsNotOf(shown, 394, 122, 236, 18, seen::grid), 0);
    EXPECT_EQ(pixelsNotOf(shown, 4, 440, 385, 18, seen::grid), 0);
    EXPECT_EQ(meterHeights(shown), (std::vector<int> {2, 2, 2, 2}));
}

TEST_F(Frame, TheCursorBarShowsOnlyWhileEditing)
{
    engine->cursor.row = 5;
    Picture shown = repaint();
    EXPECT_EQ(pixelsNotOf(shown, 297, 62, 6, 12, seen::grid), 0);

    engine->transport.switchEditing();
    shown = repaint();
    EXPECT_EQ(pixelsNotOf(shown, 297, 62, 6, 12, seen::cursorBar), 0);
    EXPECT_EQ(pixelsNotOf(shown, 0, 62, 1, 12, seen::cursorBar), 0);
    EXPECT_EQ(shown.at(300, 61), seen::grid);
    EXPECT_EQ(shown.at(300, 74), seen::grid);
    EXPECT_EQ(shown.at(303, 66), seen::frame);
}

TEST_F(Frame, AMarkedBlockCoversTheCursorChannelFromItsStartRow)
{
    engine->transport.switchEditing();
    engine->cursor.row = 3;
    pressAndStep(keyShift);  // marks from row 2
    engine->cursor.row = 5;
    engine->cursor.column = 3;
    Picture shown = repaint();
    EXPECT_EQ(pixelsNotOf(shown, 99, 38, 11, 36, seen::block), 0);  // the blank column before channel 2
    EXPECT_EQ(shown.at(170, 73), seen::block);
    EXPECT_EQ(shown.at(100, 37), seen::grid);
    EXPECT_EQ(shown.at(98, 50), seen::grid);
    EXPECT_EQ(shown.at(171, 50), seen::grid);
    EXPECT_EQ(shown.at(98, 65), seen::cursorBar);
    // The grid's text stands on the block.
    EXPECT_EQ(reader.read(shown, 110, 48, 5, seen::text, seen::block), "---00");

    engine->cursor.column = 8;
    shown = repaint();
    EXPECT_EQ(shown.at(231, 40), seen::block);
    EXPECT_EQ(shown.at(230, 40), seen::grid);
    EXPECT_EQ(shown.at(100, 40), seen::grid);

    // Nothing is marked before the start row is passed.
    engine->cursor.row = 6;
    pressAndStep(keyShift);
    pressAndStep(keyShift);  // marks from row 5
    engine->cursor.row = 5;
    shown = repaint();
    EXPECT_EQ(shown.at(231, 40), seen::grid);
}

// While following, the grid is drawn at the pattern's first row only; after
// that just the marker line moves, one row per row.
TEST_F(Frame, FollowingMovesThePlayMarkerAndRepaintsTheBodyAtRowZero)
{
    engine->transport.startPlaybackFromStart();
    engine->transport.follow(true);
    Picture shown = repaint();
    EXPECT_TRUE(markerRows(shown).empty());  // row 0's marker hides under the title bar

    putNote(0, 5, U'y', U'2', U'F', U'1');
    for (int row = 1; row <= 4; ++row) {
        engine->transport.showRow(row);
        shown = repaint();
        EXPECT_EQ(markerRows(shown), std::vector<int> {row * 12 + 2}) << "row " << row;
        EXPECT_EQ(pixelsNotOf(shown, 2, row * 12 + 2, 301, 1, seen::statusText), 0);
        EXPECT_EQ(gridRow(shown, 5, seen::text), "05  ---00 ---00 ---00 ---00");
    }

    engine->transport.showRow(0);
    shown = repaint();
    EXPECT_TRUE(markerRows(shown).empty());
    EXPECT_EQ(gridRow(shown, 5, seen::text), "05  C-2F1 ---00 ---00 ---00");
}

// Driven as the main loop drives it (a render, then an update step): the
// marker follows the row clock one line at a time, the grid is drawn afresh
// when the next pattern starts, and the meter takes the note's volume.
TEST_F(Frame, DuringRealPlaybackTheMarkerFollowsTheRowClock)
{
    engine->song.positions[1] = 1;
    engine->song.songLengthRows = 2 * rowsPerPattern;
    putNote(0, rowsPerPattern + 8, U'y', U'2', U'F', U'1');
    click(330, 418);  // FLW on
    step();
    pressAndStep(keyF1);
    ASSERT_EQ(engine->transport.state(), statePlaying);
    int markerChecks = 0, peaksSeen = 0;
    bool secondPatternShown = false;
    while (engine->transport.position() == 0 || engine->transport.rowInPattern() < 12) {
        bool repainting = engine->repaints.due();
        game->stepRender();
        Picture shown = picture();
        if (repainting && engine->transport.rowInPattern() > 0) {
            ASSERT_EQ(markerRows(shown), std::vector<int> {engine->transport.rowInPattern() * 12 + 2})
                << "position " << engine->transport.position() << ", row " << engine->transport.rowInPattern();
            markerChecks += 1;
        }
        if (repainting && engine->transport.position() == 1 && engine->transport.rowInPattern() == 0) {
            EXPECT_TRUE(markerRows(shown).empty());
            EXPECT_EQ(gridRow(shown, 8, seen::beat), "08  C-2F1 ---00 ---00 ---00");
            secondPatternShown = true;
        }
        if (engine->transport.position() == 1 && engine->transport.rowInPattern() == 9) {
            EXPECT_EQ(meterHeight(shown, 0), 64);
            peaksSeen += 1;
        }
        step();
    }
    EXPECT_GT(markerChecks, 40);
    EXPECT_TRUE(secondPatternShown);
    EXPECT_EQ(peaksSeen, 4);  // the row lasts four update steps at speed 4
}

TEST_F(Frame, WithoutFollowTheGridStaysAsItWasWhilePlaying)
{
    Picture before = repaint();
    engine->transport.startPlaybackFromStart();
    putNote(0, 0, U'y', U'2', U'F', U'1');
    engine->song.positions[0] = 3;
    for (int row : {0, 1, 7}) {
        engine->transport.showRow(row);
        Picture shown = repaint();
        EXPECT_EQ(differingPixels(before, shown, 0, 12, 640, 270), 0) << "row " << row;
        EXPECT_EQ(textAt(shown, 520, 323, 9, seen::text), "STOP HOME");
    }
}

TEST_F(Frame, BetweenRepaintsOnlyTheMetersAreDrawn)
{
    Picture before = repaint();
    putNote(0, 0, U'y', U'2', U'F', U'1');
    engine->status.say(U"Editing...");
    Picture shown = meterFrame();
    EXPECT_EQ(differingPixels(before, shown, 0, 0, 640, 475), 0);
    EXPECT_EQ(gameDelegate()->renderer->lastFrameDrawCalls(), 0);  // the meters are written as pixels
}

// A software GL driver compiles code for every combination of blending and
// texture kind: text, buttons, boxes, meters and showing the picture in the
// window share one.
TEST_F(Frame, TheWholeScreenDrawsWithOneGLStateCombination)
{
    engine->transport.switchEditing();
    repaint();
    meterFrame();
    EXPECT_EQ(gameDelegate()->renderer->drawStateCount(), 1);
}

// A meter jumps to the volume of the row just read times 8, less 2, at most
// 64, and falls by 2 a frame to its floor of 2.
TEST_F(Frame, MetersJumpToTheRowVolumeAndFallToTheFloor)
{
    repaint();
    engine->transport.startPlaybackFromStart();
    putNote(0, 0, U'y', U'2', U'F');
    // At the first row of pattern 0 no row has been read yet (the row before
    // it lies outside the song).
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {2, 2, 2, 2}));
    engine->transport.showRow(1);  // row 0 has just been read
    putNote(0, 0, U'y', U'2', U'F');
    putNote(1, 0, U'<', U'0', U'5');  // a note-off counts as a cell read
    putNote(2, 0, U'y', U'2', U'0');
    putNote(3, 0, U'.', U'0', U'F');  // no note: no peak
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {64, 38, 2, 2}));
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {64, 38, 2, 2}));  // still on that row

    engine->transport.showRow(2);
    for (int frame = 1; frame <= 32; ++frame) {
        std::vector<int> expected {std::max(2, 64 - 2 * frame), std::max(2, 38 - 2 * frame), 2, 2};
        ASSERT_EQ(meterHeights(meterFrame()), expected) << "frame " << frame;
    }
}

TEST_F(Frame, AMutedChannelTakesNoNewPeakButKeepsFalling)
{
    repaint();
    engine->transport.startPlaybackFromStart();
    engine->transport.showRow(1);
    putNote(0, 0, U'y', U'2', U'8');
    putNote(1, 0, U'y', U'2', U'8');
    meterFrame();
    engine->transport.switchChannel(1, false);
    engine->transport.showRow(2);
    putNote(0, 1, U'y', U'2', U'F');
    putNote(1, 1, U'y', U'2', U'F');
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {64, 60, 2, 2}));
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {64, 58, 2, 2}));

    // Stopped, no channel takes a peak.
    engine->transport.stopPlaying(false);
    EXPECT_EQ(meterHeights(meterFrame()), (std::vector<int> {62, 56, 2, 2}));
}

// The marker runs along the gap above each row's letters, so a row it has
// passed (and erased behind it) reads exactly as before.
TEST_F(Frame, GridRowsReadWholeAfterThePlayMarkerHasPassedThem)
{
    engine->transport.startPlaybackFromStart();
    engine->transport.follow(true);
    putNote(0, 1, U'y', U'2', U'F', U'1');
    putNote(1, 2, U'p', U'3', U'E', U'A');
    putNote(2, 3, U'<', U'0');
    putNote(3, 5, U'-', U'0');
    putNote(0, 6, U'+', U'0', U'8', U'B');
    putNote(1, 7, U'#', U'0', U'7', U'D');
    const std::vector<std::string> rows {"00  ---00 ---00 ---00 ---00", "01  C-2F1 ---00 ---00 ---00",
                                         "02  ---00 E-5EA ---00 ---00", "03  ---00 ---00 {|}00 ---00",
                                         "04  ---00 ---00 ---00 ---00", "05  ---00 ---00 ---00 End00",
                                         "06  -dn8B ---00 ---00 ---00", "07  ---00 -up7D ---00 ---00"};
    Picture shown = repaint();
    for (int row = 1; row <= 9; ++row) {
        engine->transport.showRow(row);
        shown = repaint();
    }
    for (int c = 0; c < static_cast<int>(rows.size()); ++c)
        EXPECT_EQ(gridRow(shown, c, c % 4 == 0 ? seen::beat : seen::text), rows[c]) << "screen row " << c;
    EXPECT_EQ(markerRows(shown), std::vector<int> {9 * 12 + 2});
}

// At speeds 1 and 2 a row is shorter than the repaint interval: the marker
// must still stand alone, and the grid must show the pattern playing.
TEST_F(Frame, FollowingFastRowsKeepsOneMarkerOnThePlayingPattern)
{
    engine->song.positions[1] = 1;
    engine->song.songLengthRows = 2 * rowsPerPattern;
    putNote(0, 20, U'y', U'2', U'F', U'1');
    putNote(0, rowsPerPattern + 20, U'q', U'2', U'F', U'1');
    click(330, 418);  // FLW on
    step();
    for (int speed : {1, 2}) {
        engine->song.speed = speed;
        pressAndStep(keyF1);
        ASSERT_EQ(engine->transport.state(), statePlaying);
        int checks = 0;
        for (int frame = 0; frame < 300; ++frame) {
            bool repainting = engine->repaints.due();
            game->stepRender();
            int row = engine->transport.rowInPattern();
            if (repainting && row > 0) {
                Picture shown = picture();
                ASSERT_EQ(markerRows(shown), std::vector<int> {row * 12 + 2}) << "speed " << speed << ", frame " << frame;
                // Row 20 (hex 14) is read only while the marker has not reached it.
                const char* expected = engine->transport.position() == 0 ? "14  C-2F1 ---00 ---00 ---00"
                                                                    : "14  C-3F1 ---00 ---00 ---00";
                if (row <= 20) {
                    ASSERT_EQ(gridRow(shown, 20, seen::beat), expected) << "speed " << speed << ", frame " << frame;
                }
                checks += 1;
            }
            step();
        }
        EXPECT_GT(checks, 80);
        pressAndStep(keyF1);  // stop
    }
}
