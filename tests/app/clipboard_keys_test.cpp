// Pattern text on the clipboard: Ctrl+C, Ctrl+Shift+C, Ctrl+X, Ctrl+V and
// Ctrl+Shift+V, through the pattern clipboard with the host's own clipboard
// (the real X clipboard is the session tests'), and the Control keys that
// reach it in the tracker's update step.
#include "host/headless_game.h"
#include "tests/app/parts_fixture.h"
#include "tests/app/tracker_fixture.h"

#include "app/screen/status_texts.h"
#include "host/key_translation.h"

namespace {

constexpr int notes2 = 1, volumes2 = 5;

// The pattern clipboard with the editor and its song, while Editing.
class PatternClipboardText : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        transport.switchEditing();
    }

    String clipboard() { return host.clipboardText(); }

    // The notes of a channel's first rows.
    String notesOf(int column, int rows = 4) const { return song.patternColumns[column].substr(0, rows); }
};

// The whole tracker, while Editing: which Control key runs which action.
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

    String clipboard() { return static_cast<BBHeadlessGame&>(*game).clipboardText(); }
};

} // namespace

TEST_F(PatternClipboardText, CopyTakesTheCursorRowOrTheMarkedRowsOfOneOrAllChannels)
{
    typeStepwise(U"ysx");
    cursor.column = 3;  // channel 2
    cursor.row = 1;
    typeStepwise(U"q");

    cursor.column = 1;
    cursor.row = 2;
    clipboardText.copyChannelRows(input);
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C#501v34...\n");

    // Shift, two rows down: three rows; Ctrl+Shift+C takes all four channels.
    cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyDown);
    clipboardText.copyAllChannelRows(input);
    EXPECT_FALSE(editor.block().marking) << "copying ends the marking";
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n"
                                   "|C-501v34...|C-601v34...|...........|...........\n"
                                   "|C#501v34...|...........|...........|...........\n"
                                   "|D-501v34...|...........|...........|...........\n");
}

TEST_F(PatternClipboardText, CutBlanksTheRowsAndOneUndoBringsThemBack)
{
    typeStepwise(U"ysx");
    cursor.row = 1;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    clipboardText.cutChannelRows(input);
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C-501v34...\n|C#501v34...\n");
    EXPECT_EQ(notesOf(notes1), U"..x.");
    EXPECT_EQ(song.patternColumns[volumes1].substr(0, 3), U"008");
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notesOf(notes1), U"ysx.");
}

TEST_F(PatternClipboardText, PasteWritesFromTheCursorStopsAtTheEdgesAndIsOneUndoStep)
{
    host.setClipboardText(U"ModPlug Tracker  XM\n|C-501v64...|D-502...|E-503...\n|===..........\n");
    cursor.column = 5;  // channel 3
    cursor.row = 32;
    int slotBefore = undo.slot();
    clipboardText.pastePatternText(input);
    const int last = rowsPerPattern - 1;
    EXPECT_EQ(cell(2, last), U'y');
    EXPECT_EQ(cell(6, last), U'F');
    EXPECT_EQ(cell(3, last), U'x');  // channel 4; the third cell has no channel
    EXPECT_EQ(cell(11, last), U'2');
    EXPECT_EQ(cell(2, rowsPerPattern), U'.') << "nothing below the last row";
    EXPECT_EQ(undo.slot(), slotBefore + 1);
    EXPECT_EQ(cursor.row, 32);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(cell(2, last), U'.');
    EXPECT_EQ(cell(3, last), U'.');
}

TEST_F(PatternClipboardText, MixPasteFillsOnlyEmptyCells)
{
    typeStepwise(U"y");
    cursor.row = 1;
    host.setClipboardText(U"ModPlug Tracker  IT\n|D-501v64...|D-501v64...\n|E-501v64...\n");
    clipboardText.mixPastePatternText(input);
    EXPECT_EQ(notesOf(notes1, 2), U"yc");
    EXPECT_EQ(notesOf(notes2, 2), U"x.");
    EXPECT_EQ(cell(volumes1, 0), U'8');
    EXPECT_EQ(cell(volumes2, 0), U'F');
}

TEST_F(PatternClipboardText, OtherTextIsRefusedAndChangesNothing)
{
    typeStepwise(U"y");
    Song before = song;
    int slotBefore = undo.slot();
    host.setClipboardText(U"a shopping list\nmilk\n");
    clipboardText.pastePatternText(input);
    EXPECT_EQ(status.text(), statusNoPatternText);
    EXPECT_EQ(song.patternColumns, before.patternColumns);
    EXPECT_EQ(undo.slot(), slotBefore);
}

TEST_F(PatternClipboardText, ARoundTripGivesBackTheSameCells)
{
    typeStepwise(U"y<p.w");
    cursor.column = 2;
    cursor.row = 1;
    typeStepwise(U"3f");
    cursor.column = 1;
    cursor.row = 1;
    pressAndStep(keyShift);
    for (int i = 0; i < 4; ++i) pressAndStep(keyDown);
    clipboardText.copyChannelRows(input);
    cursor.column = 7;  // channel 4
    cursor.row = 1;
    clipboardText.pastePatternText(input);
    for (int part = 0; part < 4; ++part)
        EXPECT_EQ(song.patternColumns[channelColumn(4, part)].substr(0, 6),
                  song.patternColumns[channelColumn(1, part)].substr(0, 6))
            << "part " << part;
}

// Each Control key reaches its own action: Shift picks all channels for C and
// the empty cells for V, and Z takes a cut back.
TEST_F(ClipboardKeys, EachControlKeyRunsItsOwnClipboardAction)
{
    typeStepwise(U"ysx");
    engine->cursor.row = 1;
    shortcut('C');
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C-501v34...\n");
    shortcut('C', true);
    EXPECT_EQ(narrow(clipboard()), "ModPlug Tracker  XM\n|C-501v34...|...........|...........|...........\n");
    shortcut('X');
    EXPECT_EQ(engine->song.patternColumns[notes1].substr(0, 3), U".sx");
    shortcut('Z');
    EXPECT_EQ(engine->song.patternColumns[notes1].substr(0, 3), U"ysx");

    game->setClipboardText(U"ModPlug Tracker  XM\n|D-501v64...|D-501v64...\n");
    shortcut('V', true);
    EXPECT_EQ(engine->song.patternColumns[notes1][0], U'y') << "a mixed paste fills only empty cells";
    EXPECT_EQ(engine->song.patternColumns[notes2][0], U'x');
    shortcut('V');
    EXPECT_EQ(engine->song.patternColumns[notes1][0], U'x');
}
