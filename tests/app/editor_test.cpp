// The pattern editor's step, driven through the input device.
#include "tests/app/tracker_fixture.h"
#include "tests/app/parts_fixture.h"

#include "host/key_translation.h"

#include <AL/al.h>

namespace {

class Editor : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
    }
};

constexpr int notes3 = 2;

// The pattern editor alone, with the parts it reaches and an input device of
// its own: no application, no window, no sound device.
class EditorAlone : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        transport.switchEditing();
    }
};

} // namespace

TEST_F(Editor, ColumnKeysWrapAndSilenceEveryChannel)
{
    type(U"q");  // sounds the preview on channels 1 and 5
    step();
    EXPECT_EQ(channelState(1), AL_PLAYING);
    engine->cursor.column = 7;
    pressAndStep(keyTab);
    EXPECT_EQ(engine->cursor.column, 1);
    EXPECT_NE(channelState(1), AL_PLAYING);
    EXPECT_NE(channelState(5), AL_PLAYING);
    engine->cursor.column = 8;
    pressAndStep(keyTab);
    EXPECT_EQ(engine->cursor.column, 1);
    pressAndStep(keyLeft);
    EXPECT_EQ(engine->cursor.column, 8);
    pressAndStep(keyRight);
    EXPECT_EQ(engine->cursor.column, 1);
}

TEST_F(EditorAlone, RowKeysWrapAndAHeldArrowRepeatsFromItsThirteenthStep)
{
    pressAndStep(keyUp);
    EXPECT_EQ(cursor.row, 32);
    pressAndStep(keyDown);
    EXPECT_EQ(cursor.row, 1);
    input.pressKey(keyDown);
    step();
    EXPECT_EQ(cursor.row, 2);  // the press
    for (int i = 2; i <= 12; ++i) step();
    EXPECT_EQ(cursor.row, 2);
    step();  // 13th step held
    EXPECT_EQ(cursor.row, 3);
    step();
    EXPECT_EQ(cursor.row, 4);
    input.releaseKey(keyDown);
    step();
    EXPECT_EQ(cursor.row, 4);
}

TEST_F(EditorAlone, NoteEntryWritesNoteInstrumentOctaveAndTakesAnUndoSnapshot)
{
    cursor.instrument = 10;
    int slotBefore = undo.slot();
    typeStepwise(U"s");
    EXPECT_EQ(cell(notes1, 0), U's');
    EXPECT_EQ(cell(instruments1, 0), U'A');
    EXPECT_EQ(cell(octaves1, 0), U'2');
    EXPECT_EQ(cell(volumes1, 0), U'8');  // a note on a silent cell gets volume 8
    EXPECT_EQ(cursor.row, 2);
    EXPECT_EQ(undo.slot(), slotBefore + 1);
    EXPECT_EQ(undo.ring()[notes1][undo.slot()][0], U's');

    song.patternColumns[volumes1][1] = U'C';
    typeStepwise(U"q");
    EXPECT_EQ(cell(volumes1, 1), U'C');  // an entered volume stays

    // "." clears the cell's note, instrument and octave but keeps its volume.
    cursor.row = 1;
    typeStepwise(U".");
    EXPECT_EQ(cell(notes1, 0), U'.');
    EXPECT_EQ(cell(instruments1, 0), U'0');
    EXPECT_EQ(cell(octaves1, 0), U'0');
    EXPECT_EQ(cell(volumes1, 0), U'8');
    EXPECT_EQ(cursor.row, 2);

    // Capitals are not note keys.
    typeStepwise(U"Q");
    EXPECT_EQ(cell(notes1, 1), U'q');
    EXPECT_EQ(cursor.row, 2);
}

// Keys that arrive between two steps are all entered, in order, each as its
// own step would: a burst past the last row goes on at the first.
TEST_F(EditorAlone, EveryCharacterOfABurstIsEnteredInOrder)
{
    cursor.row = 30;
    int slotBefore = undo.slot();
    type(U"ysxdc");
    step();
    const String expected = U"ysxdc";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cell(notes1, 29 + i), expected[i]) << i;
    EXPECT_EQ(cell(notes1, 0), U'd');
    EXPECT_EQ(cell(notes1, 1), U'c');
    EXPECT_EQ(cell(notes1, rowsPerPattern), U'.');  // never into the next pattern
    EXPECT_EQ(cursor.row, 3);
    EXPECT_EQ(undo.slot(), slotBefore + 5);

    // Volume digits the same way, in a volume column.
    cursor.column = 2;
    cursor.row = 1;
    type(U"f9a");
    step();
    EXPECT_EQ(cell(volumes1, 0), U'F');
    EXPECT_EQ(cell(volumes1, 1), U'9');
    EXPECT_EQ(cell(volumes1, 2), U'A');
}

TEST_F(Editor, InStandbyNoteKeysOnlySoundThePreview)
{
    pressAndStep(keySpace);  // back to Standby
    typeStepwise(U"y");
    EXPECT_EQ(engine->song.patternColumns[notes1], blankColumn(notes1));
    EXPECT_EQ(engine->cursor.row, 1);
    EXPECT_EQ(channelState(1), AL_PLAYING);
    // "<" silences the channel's preview pair at once.
    typeStepwise(U"<");
    EXPECT_NE(channelState(1), AL_PLAYING);
    EXPECT_NE(channelState(5), AL_PLAYING);
}

// A preview whose envelope has faded out for good stops its channels: the same
// silence, and the sound device may rest; the next note sounds again.
TEST_F(Editor, APreviewThatHasFadedOutStopsItsChannels)
{
    engine->song.instrumentParams[static_cast<size_t>(engine->cursor.instrument * slotsPerInstrument + slotEnvelope)] = 1;
    typeStepwise(U"q");
    EXPECT_EQ(channelState(1), AL_PLAYING);
    for (int i = 0; i < 6; ++i) step();
    EXPECT_EQ(channelState(1), AL_PLAYING) << "still fading";
    for (int i = 0; i < 4; ++i) step();
    EXPECT_NE(channelState(1), AL_PLAYING);
    EXPECT_NE(channelState(5), AL_PLAYING);
    typeStepwise(U"w");
    EXPECT_EQ(channelState(1), AL_PLAYING);
}

TEST_F(Editor, UsLayoutSwapsTheYAndZKeys)
{
    click(600, 450);
    step();
    typeStepwise(U"zY");
    EXPECT_EQ(cell(notes1, 0), U'y');
    EXPECT_EQ(cell(notes1, 1), U'z');
}

TEST_F(EditorAlone, VolumeDigitsAreLowerCaseHexOnlyInEvenColumnsWhileEditing)
{
    cursor.column = 2;
    typeStepwise(U"aA7g");
    EXPECT_EQ(cell(volumes1, 0), U'A');
    EXPECT_EQ(cell(volumes1, 1), U'7');
    EXPECT_EQ(cell(volumes1, 2), U'0');
    EXPECT_EQ(cursor.row, 3);
    EXPECT_EQ(cell(notes1, 0), U'.');
    // A digit on row 32 leaves the cursor at 33 for the step; the next step wraps it.
    cursor.row = 32;
    typeStepwise(U"5");
    EXPECT_EQ(cell(volumes1, 31), U'5');
    step();
    EXPECT_EQ(cursor.row, 1);
}

TEST_F(EditorAlone, TranspositionClampsAndKeepsMarks)
{
    PatternColumn& notes = song.patternColumns[notes1];
    notes = U"pya<+." + notes.substr(6);
    pressAndStep(keyF4);
    EXPECT_EQ(notes.substr(0, 6), U"pss<+.");  // p stays, y->s, a (value 0) -> s
    notes = U"pya" + notes.substr(3);
    pressAndStep(keyF3);
    EXPECT_EQ(notes.substr(0, 6), U"0yy<+.");
    EXPECT_EQ(song.patternColumns[volumes1], blankColumn(volumes1));
}

TEST_F(EditorAlone, RowDeleteAndInsertMoveOnlyTheCursorChannel)
{
    cursor.column = 5;  // channel 3
    PatternColumn& notes = song.patternColumns[notes3];
    for (int row = 0; row < 32; ++row) notes[row] = U"ysxdcvgbhnjmq2w3er5t6z7ui9o0p<+#"[row];
    String original = notes.substr(0, 33);
    cursor.row = 2;
    pressAndStep(keyBackspace);
    EXPECT_EQ(notes.substr(0, 32), original.substr(0, 1) + original.substr(2, 30) + U".");
    EXPECT_EQ(song.patternColumns[notes1], blankColumn(notes1));
    pressAndStep(keyInsert);
    EXPECT_EQ(notes.substr(0, 32), original.substr(0, 1) + U"." + original.substr(2, 30));
    // On row 32 both only blank row 32.
    notes[31] = U'y';
    cursor.row = 32;
    pressAndStep(keyBackspace);
    EXPECT_EQ(notes[31], U'.');
    notes[31] = U'y';
    pressAndStep(keyInsert);
    EXPECT_EQ(notes[31], U'.');
    EXPECT_EQ(notes[32], U'.');
}

TEST_F(EditorAlone, PositionListEditsAndPageKeysStayWithinTheList)
{
    for (int i = 0; i < positionCount; ++i) song.positions[i] = i % 7;
    transport.goToPosition(255);
    click(400, 32);  // insert position
    step();
    EXPECT_EQ(song.positions[255], 0);
    EXPECT_EQ(song.positions[254], 254 % 7);
    pressAndStep(keyPageDown);
    EXPECT_EQ(transport.position(), 255);
    transport.goToPosition(1);
    click(400, 44);  // delete position
    step();
    EXPECT_EQ(song.positions[1], 2);
    EXPECT_EQ(song.positions[254], 0);
    pressAndStep(keyPageUp);
    pressAndStep(keyPageUp);
    EXPECT_EQ(transport.position(), 0);
    input.movePointer(100, 100, -1);  // wheel down one notch
    step();
    EXPECT_EQ(transport.position(), 1);
    EXPECT_EQ(transport.patternBase(), song.positions[1] * 32);
}

TEST_F(Editor, InsertPositionWaitsWhileATextFieldIsActive)
{
    engine->song.positions[0] = 5;
    click(400, 129);  // description field
    step();
    click(400, 32);
    step();
    EXPECT_EQ(engine->song.positions[0], 5);
}

TEST_F(Editor, DeleteInANoteColumnEntersNothing)
{
    int slotBefore = engine->undo.slot();
    pressAndStep(keyDelete);  // the key also queues character 127
    EXPECT_EQ(engine->song.patternColumns[notes1], blankColumn(notes1));
    EXPECT_EQ(engine->song.patternColumns[instruments1], blankColumn(instruments1));
    EXPECT_EQ(engine->cursor.row, 1);
    EXPECT_EQ(engine->undo.slot(), slotBefore);
    EXPECT_NE(channelState(1), AL_PLAYING);
}

TEST_F(EditorAlone, RowKeysAfterADigitOnRow32StayInsideThePattern)
{
    cursor.column = 2;
    cursor.row = 32;
    song.patternColumns[notes1][32] = U'q';  // row 0 of pattern 1
    type(U"5");
    press(keyInsert);
    step();
    EXPECT_EQ(cell(volumes1, 31), U'5');
    EXPECT_EQ(cell(notes1, 32), U'q');
    EXPECT_EQ(song.patternColumns[volumes1].substr(32), blankColumn(volumes1).substr(32));

    cursor.row = 32;
    type(U"6");
    press(keyBackspace);
    step();
    EXPECT_EQ(cell(volumes1, 31), U'6');  // the digit just typed is kept
    EXPECT_EQ(cell(notes1, 32), U'q');
}

// With note keys by place, the places of the German keyboard's note keys
// enter the notes (whatever they type) and characters enter none.
TEST_F(Editor, NoteKeysByPlaceComeFromKeyPressesInOrder)
{
    engine->keys.toggleNoteKeyMode();
    for (int key : {int('Z'), int('Y'), int('Q'), int('0'), int(keyIsoExtra), int(keySlash), int('A')}) press(key);
    type(U"yxq");
    step();
    EXPECT_EQ(engine->song.patternColumns[notes1].substr(0, 7), U"yzq0<-.");
    // A press with Control is a shortcut, and a name field takes characters only.
    hold(keyControl);
    press('X');
    release(keyControl);
    step();
    EXPECT_EQ(cell(notes1, 6), U'.');

    // LAYOUT says so, and its button waits until characters count again.
    engine->keys.showLayout();
    EXPECT_EQ(engine->keys.layoutText(), U"POS");
    click(600, 450);
    step();
    EXPECT_EQ(engine->keys.layoutText(), U"POS");
    engine->keys.toggleNoteKeyMode();
    engine->keys.showLayout();
    EXPECT_EQ(engine->keys.layoutText(), U"DE");
}

// The window's wheel reaches the editor's step.
TEST_F(Editor, TheWheelWalksThePositionList)
{
    game->dispatchMouse(eventMouseMove, -1, 100, 100, -1);  // wheel down one notch
    step();
    EXPECT_EQ(engine->transport.position(), 1);
    game->dispatchMouse(eventMouseMove, -1, 100, 100, 1);
    step();
    EXPECT_EQ(engine->transport.position(), 0);
}
