// Ctrl+C, Ctrl+Shift+C, Ctrl+X, Ctrl+V and Ctrl+Shift+V in the editor, with
// the host's own clipboard (the real X clipboard is the session tests').
#include "tests/app/tracker_fixture.h"

#include "app/status_texts.h"
#include "host/key_translation.h"

namespace {

constexpr int notes2 = 1, volumes2 = 5;

class ClipboardKeys : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
    }

    // A Control shortcut, Shift held too when asked.
    void shortcut(int key, bool shift = false)
    {
        hold(keyControl);
        if (shift) hold(keyShift);
        press(key);
        if (shift) release(keyShift);
        release(keyControl);
        step();
    }

    String clipboard() { return game->clipboardText(); }

    // The notes of a channel's first rows.
    String notesOf(int column, int rows = 4) const { return engine->song.patternColumns[column].substr(0, rows); }
};

} // namespace

TEST_F(ClipboardKeys, CopyTakesTheCursorRowOrTheMarkedRowsOfOneOrAllChannels)
{
    typeStepwise(U"ysx");
    engine->cursor.column = 3;  // channel 2
    engine->cursor.row = 1;
    typeStepwise(U"q");

    engine->cursor.column = 1;
    engine->cursor.row = 2;
    shortcut('C');
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C#501v34...\n");

    // Shift, two rows down: three rows; Ctrl+Shift+C takes all four channels.
    engine->cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyDown);
    shortcut('C', true);
    EXPECT_FALSE(engine->editor.blockState) << "copying ends the marking";
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n"
                                   "|C-501v34...|C-601v34...|...........|...........\n"
                                   "|C#501v34...|...........|...........|...........\n"
                                   "|D-501v34...|...........|...........|...........\n");
}

TEST_F(ClipboardKeys, CutBlanksTheRowsAndOneUndoBringsThemBack)
{
    typeStepwise(U"ysx");
    engine->cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    shortcut('X');
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C-501v34...\n|C#501v34...\n");
    EXPECT_EQ(notesOf(notes1), U"..x.");
    EXPECT_EQ(engine->song.patternColumns[volumes1].substr(0, 3), U"008");
    shortcut('Z');
    EXPECT_EQ(notesOf(notes1), U"ysx.");
}

TEST_F(ClipboardKeys, PasteWritesFromTheCursorStopsAtTheEdgesAndIsOneUndoStep)
{
    game->setClipboardText(U"ModPlug Tracker  XM\n|C-501v64...|D-502...|E-503...\n|===..........\n");
    engine->cursor.column = 5;  // channel 3
    engine->cursor.row = 32;
    int slotBefore = engine->undo.undoSlot;
    shortcut('V');
    const int last = rowsPerPattern - 1;
    EXPECT_EQ(cell(2, last), U'y');
    EXPECT_EQ(cell(6, last), U'F');
    EXPECT_EQ(cell(3, last), U'x');  // channel 4; the third cell has no channel
    EXPECT_EQ(cell(11, last), U'2');
    EXPECT_EQ(cell(2, rowsPerPattern), U'.') << "nothing below the last row";
    EXPECT_EQ(engine->undo.undoSlot, slotBefore + 1);
    EXPECT_EQ(engine->cursor.row, 32);
    shortcut('Z');
    EXPECT_EQ(cell(2, last), U'.');
    EXPECT_EQ(cell(3, last), U'.');
}

TEST_F(ClipboardKeys, MixPasteFillsOnlyEmptyCells)
{
    typeStepwise(U"y");
    engine->cursor.row = 1;
    game->setClipboardText(U"ModPlug Tracker  IT\n|D-501v64...|D-501v64...\n|E-501v64...\n");
    shortcut('V', true);
    EXPECT_EQ(notesOf(notes1, 2), U"yc");
    EXPECT_EQ(notesOf(notes2, 2), U"x.");
    EXPECT_EQ(cell(volumes1, 0), U'8');
    EXPECT_EQ(cell(volumes2, 0), U'F');
}

TEST_F(ClipboardKeys, OtherTextIsRefusedAndChangesNothing)
{
    typeStepwise(U"y");
    Song before = engine->song;
    int slotBefore = engine->undo.undoSlot;
    game->setClipboardText(U"a shopping list\nmilk\n");
    shortcut('V');
    EXPECT_EQ(engine->statusText, statusNoPatternText);
    EXPECT_EQ(engine->song.patternColumns, before.patternColumns);
    EXPECT_EQ(engine->undo.undoSlot, slotBefore);
}

TEST_F(ClipboardKeys, ARoundTripGivesBackTheSameCells)
{
    typeStepwise(U"y<p.w");
    engine->cursor.column = 2;
    engine->cursor.row = 1;
    typeStepwise(U"3f");
    engine->cursor.column = 1;
    engine->cursor.row = 1;
    pressAndStep(keyShift);
    for (int i = 0; i < 4; ++i) pressAndStep(keyDown);
    shortcut('C');
    engine->cursor.column = 7;  // channel 4
    engine->cursor.row = 1;
    shortcut('V');
    for (int part = 0; part < 4; ++part)
        EXPECT_EQ(engine->song.patternColumns[channelColumn(4, part)].substr(0, 6),
                  engine->song.patternColumns[channelColumn(1, part)].substr(0, 6))
            << "part " << part;
}
