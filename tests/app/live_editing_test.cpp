// Composing while the song plays: Ctrl+R's live editing, Ctrl+L's loops and
// Ctrl+Enter's single rows, driven through the input device.
#include "tests/app/tracker_fixture.h"

#include "host/key_translation.h"
#include "player/kovo_play.h"

#include <AL/al.h>

namespace {

class LiveEditing : public TrackerFixture {
protected:
    void control(int key)
    {
        hold(keyControl);
        press(key);
        step();
        release(keyControl);
    }
    void stepUntilRowRead(int row)
    {
        for (int i = 0; i < 2000 && player().soundingPlace().row != row; ++i) step();
        ASSERT_EQ(player().soundingPlace().row, row);
    }
    c_kovoPlay& player() { return *engine->transport.player; }
    char32_t playerCell(int column, int index) { return player().patternColumns[column][index]; }
};

} // namespace

TEST_F(LiveEditing, CtrlRSwitchesLiveEditingWhilePlayingAndTransportKeysLeaveIt)
{
    pressAndStep(keyF2);
    ASSERT_EQ(engine->statusText, U"Playing...");
    control('R');
    EXPECT_TRUE(engine->transport.live());
    EXPECT_EQ(engine->transport.transportState, statePlaying);
    EXPECT_EQ(engine->statusText, U"Recording...");
    step();
    EXPECT_EQ(engine->statusText, U"Recording...");
    control('R');
    EXPECT_FALSE(engine->transport.live());
    EXPECT_EQ(engine->statusText, U"Playing...");
    EXPECT_EQ(engine->transport.transportState, statePlaying);

    // Space stops as it always has, and the next playback is not live.
    control('R');
    pressAndStep(keySpace);
    EXPECT_FALSE(engine->transport.live());
    pressAndStep(keyF2);
    EXPECT_FALSE(engine->transport.live());
    EXPECT_EQ(engine->statusText, U"Playing...");
}

TEST_F(LiveEditing, CtrlRNotPlayingPlaysFromTheCurrentPositionLive)
{
    engine->song.songLengthRows = 4 * rowsPerPattern;
    engine->transport.currentPosition = 2;
    control('R');
    ASSERT_TRUE(engine->transport.live());
    EXPECT_EQ(player().position, 2);
    EXPECT_EQ(engine->statusText, U"Recording...");
}

TEST_F(LiveEditing, WithoutLiveEditingKeysWriteNothingWhilePlaying)
{
    pressAndStep(keySpace);
    pressAndStep(keyF2);
    typeStepwise(U"q");
    EXPECT_EQ(engine->song.patternColumns[notes1], blankColumn(notes1));
}

// FLW Off: the cursor stays where the musician puts it, the note lands
// there, the player holds it at the next tick, and Ctrl+Z takes it back out
// of what plays.
TEST_F(LiveEditing, EditsAtTheCursorReachThePlayerAndUndoTakesThemBack)
{
    control('R');
    engine->cursor.row = 10;
    typeStepwise(U"q");
    EXPECT_EQ(cell(notes1, 9), U'q');
    EXPECT_EQ(engine->cursor.row, 11);
    step();
    EXPECT_EQ(playerCell(notes1, 9), U'q');
    EXPECT_EQ(playerCell(volumes1, 9), U'8');

    control('Z');
    step();
    EXPECT_EQ(cell(notes1, 9), blankColumn(notes1)[9]);
    EXPECT_EQ(playerCell(notes1, 9), blankColumn(notes1)[9]);
    control('Y');
    step();
    EXPECT_EQ(playerCell(notes1, 9), U'q');
    EXPECT_TRUE(engine->transport.live());
}

TEST_F(LiveEditing, RowAndInstrumentEditsReachThePlayer)
{
    control('R');
    engine->cursor.row = 3;
    engine->cursor.column = 2;
    typeStepwise(U"a");
    EXPECT_EQ(cell(volumes1, 2), U'A');
    engine->cursor.row = 1;
    pressAndStep(keyInsert);
    EXPECT_EQ(cell(volumes1, 3), U'A');
    step();
    EXPECT_EQ(playerCell(volumes1, 3), U'A');

    engine->song.instrumentParams[3] += 1;
    step();
    EXPECT_EQ(player().instrumentParams[3], engine->song.instrumentParams[3]);
}

// FLW On: screen and cursor go with the player's own row, and a note lands on
// the row that sounds (the null device keeps no clock to correct it by).
TEST_F(LiveEditing, FollowingLiveTheCursorIsThePlayersRowAndNotesLandOnIt)
{
    engine->transport.followMode = true;
    control('R');
    stepUntilRowRead(5);
    EXPECT_EQ(engine->transport.rowInPattern, 5);
    EXPECT_EQ(engine->cursor.row, 6);
    EXPECT_EQ(engine->transport.viewBase(), 0);

    type(U"q");
    PlayPlace heard = player().soundingPlace();
    step();
    EXPECT_EQ(cell(notes1, heard.row), U'q');
    EXPECT_EQ(cell(notes1, heard.row + 1), blankColumn(notes1)[heard.row + 1]);
}

// A pattern that ends early: the player goes on to the next position at
// once, and so does the screen while live.
TEST_F(LiveEditing, FollowingLiveTheScreenKeepsUpAfterAPatternEnd)
{
    engine->song.songLengthRows = 2 * rowsPerPattern;
    engine->song.positions[1] = 1;
    engine->song.patternColumns[notes1][4] = U'-';
    engine->transport.followMode = true;
    control('R');
    for (int i = 0; i < 2000 && player().soundingPlace().position != 1; ++i) step();
    ASSERT_EQ(player().soundingPlace().position, 1);
    EXPECT_EQ(engine->transport.currentPosition, 1);
    EXPECT_EQ(engine->transport.patternBaseRow, rowsPerPattern);
    EXPECT_EQ(engine->transport.rowInPattern, player().soundingPlace().row);
}

TEST_F(LiveEditing, CtrlLLoopsThePatternUntilCtrlLAgain)
{
    engine->song.songLengthRows = 2 * rowsPerPattern;
    engine->song.positions[1] = 1;
    control('L');  // not playing: nothing to loop
    EXPECT_EQ(engine->statusText, U"Standby...");

    pressAndStep(keyF2);
    control('L');
    ASSERT_TRUE(player().loop());
    EXPECT_EQ(engine->statusText, U"Loop pattern 00");
    for (int i = 0; i < 600; ++i) {
        step();
        ASSERT_EQ(player().soundingPlace().position, 0) << "step " << i;
    }
    EXPECT_EQ(engine->transport.currentPosition, 0);
    EXPECT_EQ(engine->statusText, U"Loop pattern 00");

    control('L');
    EXPECT_FALSE(player().loop());
    EXPECT_EQ(engine->statusText, U"Playing...");
    for (int i = 0; i < 2000 && player().soundingPlace().position != 1; ++i) step();
    EXPECT_EQ(player().soundingPlace().position, 1);
}

TEST_F(LiveEditing, CtrlLWithAMarkedBlockLoopsItsRowsAndF2LeavesTheLoop)
{
    control('R');
    engine->cursor.row = 3;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyDown);
    control('L');
    ASSERT_TRUE(player().loop());
    EXPECT_EQ(player().loop()->first, 2);
    EXPECT_EQ(player().loop()->last, 4);
    EXPECT_EQ(engine->statusText, U"Loop rows 02-04");
    // Rows before the loop lead into it; from then on it holds.
    for (int i = 0; i < 2000 && player().soundingPlace().row != 2; ++i) step();
    for (int i = 0; i < 400; ++i) {
        step();
        int row = player().soundingPlace().row;
        ASSERT_TRUE(row >= 2 && row <= 4) << "row " << row << " at step " << i;
    }
    pressAndStep(keyF2);
    EXPECT_FALSE(player().loop());
}

TEST_F(LiveEditing, CtrlEnterSoundsTheCursorRowAndStepsDown)
{
    engine->song.patternColumns[notes1][0] = U'q';
    engine->song.patternColumns[volumes1][0] = U'8';
    engine->song.patternColumns[instruments1][0] = U'1';
    engine->song.patternColumns[octaves1][0] = U'2';
    engine->song.instrumentParams[1 * slotsPerInstrument + slotWave] = 1;
    engine->song.instrumentParams[1 * slotsPerInstrument + slotEnvelope] = 15;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, 2);
    EXPECT_EQ(channelState(1), AL_PLAYING);
    EXPECT_GT(channelGain(1), 0.0f);
    EXPECT_EQ(engine->song.patternColumns[notes1][0], U'q');
    // The row rings on, fading step by step; the preview leaves it alone.
    float gain = channelGain(1);
    step();
    EXPECT_EQ(channelState(1), AL_PLAYING);
    EXPECT_GT(channelGain(1), 0.0f);
    EXPECT_LT(channelGain(1), gain);

    // The last row steps round to the first.
    engine->cursor.row = 32;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, 1);

    // Playing, it does nothing.
    pressAndStep(keyF2);
    int row = engine->cursor.row;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, row);
}
