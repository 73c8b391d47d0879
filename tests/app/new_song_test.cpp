// Ctrl+N, and the keys and steps that move the cursor to where the work is:
// Home, End and their Control forms, and undo and redo, which show the edit
// they step over.
#include "tests/app/tracker_fixture.h"

#include "app/screen/status_texts.h"
#include "host/key_translation.h"

namespace {

class NewSong : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
    }

    void withControl(int key)
    {
        hold(keyControl);
        press(key);
        release(keyControl);
        step();
    }

    // A song worth keeping: a name, a speed, a note on row 5 of position 0,
    // and a second position playing pattern 3.
    void makeSong()
    {
        engine->identity.songName = U"keeper";
        engine->song.speed = 7;
        engine->song.positions[1] = 3;
        engine->song.songLengthRows = 2 * rowsPerPattern;
        for (int row = 1; row < 5; ++row) pressAndStep(keyDown);
        typeStepwise(U"q");
    }
};

} // namespace

TEST_F(NewSong, AsksOverUnsavedWorkThenStartsBlankAndUndoBringsTheSongBack)
{
    makeSong();
    ASSERT_EQ(cell(notes1, 4), U'q');
    withControl('N');
    EXPECT_EQ(engine->status.text(), statusNewSongGuard);
    EXPECT_EQ(cell(notes1, 4), U'q') << "the first press only asks";

    withControl('N');
    EXPECT_EQ(engine->status.text(), statusNewSong);
    EXPECT_EQ(engine->song.patternColumns, blankColumns());
    EXPECT_EQ(engine->song.speed, 4);
    EXPECT_EQ(engine->song.songLengthRows, rowsPerPattern);
    EXPECT_EQ(engine->song.positions[1], 0);
    EXPECT_TRUE(engine->identity.songName.empty());
    EXPECT_FALSE(engine->unsaved.songChanged());
    EXPECT_EQ(engine->transport.position(), 0);

    // Undo on the blank song steps back to the one it replaced, unsaved
    // still; redo takes the blank song again.
    withControl('Z');
    EXPECT_EQ(cell(notes1, 4), U'q');
    EXPECT_EQ(engine->identity.songName, U"keeper");
    EXPECT_EQ(engine->song.speed, 7);
    EXPECT_TRUE(engine->unsaved.songChanged());
    withControl('Y');
    EXPECT_EQ(engine->song.patternColumns, blankColumns());
    EXPECT_TRUE(engine->identity.songName.empty());
}

TEST_F(NewSong, AskingIsForgottenOnceAnotherMessageShowsAndASavedSongIsNotAsked)
{
    makeSong();
    withControl('N');
    ASSERT_EQ(engine->status.text(), statusNewSongGuard);
    pressAndStep(keySpace);  // Standby: the question is off the screen
    withControl('N');
    EXPECT_EQ(engine->status.text(), statusNewSongGuard);
    EXPECT_EQ(cell(notes1, 4), U'q');

    engine->unsaved.endUnsavedState(true);  // as after a SAVE
    pressAndStep(keySpace);
    withControl('N');
    EXPECT_EQ(engine->status.text(), statusNewSong);
    EXPECT_EQ(engine->song.patternColumns, blankColumns());
}

// The transport writes its status at every step while playing: the
// question stays over it, and the second press stops the song.
TEST_F(NewSong, WhilePlayingTheQuestionStaysAndTheSecondPressStopsThePlayback)
{
    makeSong();
    pressAndStep(keyF1);
    ASSERT_TRUE(engine->transport.playing());
    withControl('N');
    for (int k = 0; k < 5; ++k) step();
    EXPECT_EQ(engine->status.text(), statusNewSongGuard);
    withControl('N');
    EXPECT_FALSE(engine->transport.playing());
    EXPECT_EQ(engine->status.text(), statusNewSong);
    EXPECT_EQ(engine->song.patternColumns, blankColumns());
}

TEST_F(NewSong, HomeEndAndTheirControlFormsReachThePatternsAndTheSongsEnds)
{
    makeSong();
    pressAndStep(keyEnd);
    EXPECT_EQ(engine->cursor.row, rowsPerPattern);
    pressAndStep(keyHome);
    EXPECT_EQ(engine->cursor.row, 1);
    withControl(keyEnd);
    EXPECT_EQ(engine->transport.position(), 1);
    EXPECT_EQ(engine->transport.patternBase(), 3 * rowsPerPattern);
    EXPECT_EQ(engine->cursor.row, 1) << "the row stays where it was";
    withControl(keyHome);
    EXPECT_EQ(engine->transport.position(), 0);
    EXPECT_EQ(engine->transport.patternBase(), 0);
    // Home and End type nothing into the pattern.
    EXPECT_EQ(cell(notes1, 0), U'.');
    EXPECT_EQ(cell(notes1, rowsPerPattern - 1), U'.');
}

TEST_F(NewSong, UndoAndRedoPutTheCursorOnTheEditTheyStepOver)
{
    // A note on row 9 of channel 3 in pattern 3, at position 1.
    engine->song.positions[1] = 3;
    pressAndStep(keyPageDown);
    for (int k = 0; k < 4; ++k) pressAndStep(keyRight);  // channel 3's note column
    for (int row = 1; row < 9; ++row) pressAndStep(keyDown);
    typeStepwise(U"q");
    ASSERT_EQ(engine->cursor.row, 10);
    ASSERT_EQ(cell(notes1 + 2, 3 * rowsPerPattern + 8), U'q');

    // Away from it: another position, row and channel.
    pressAndStep(keyPageUp);
    pressAndStep(keyHome);
    pressAndStep(keyTab);
    withControl('Z');
    EXPECT_EQ(engine->transport.position(), 1);
    EXPECT_EQ(engine->cursor.row, 9);
    EXPECT_EQ(engine->cursor.column, 5);
    pressAndStep(keyPageUp);
    withControl('Y');
    EXPECT_EQ(engine->transport.position(), 1);
    EXPECT_EQ(engine->cursor.row, 9);
}
