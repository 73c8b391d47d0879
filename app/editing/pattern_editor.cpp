#include "app/editing/pattern_editor.h"

#include "app/editing/undo_history.h"
#include "app/files/song_files.h"
#include "app/files/unsaved_work.h"
#include "app/keys/note_keys.h"
#include "app/keys/user_input.h"
#include "app/playing/audio_channels.h"
#include "app/playing/note_preview.h"
#include "app/playing/transport.h"

#include <utility>

namespace {
constexpr int heldRepeatDelay = 12;  // steps an arrow is held before it repeats
} // namespace

PatternEditor::PatternEditor(Song& song, NoteCursor& cursor, Transport& transport, UndoHistory& undo,
                             UnsavedWork& unsaved, const NoteKeys& keys, NotePreview& preview, const SongFiles& files)
    : song(song), cursor(cursor), transport(transport), undo(undo), unsaved(unsaved), keys(keys), preview(preview),
      files(files)
{
}

// The editor's step, as the ordered list of its phases.
void PatternEditor::step(c_InputDevice& input, float wheel)
{
    heardPlace.reset();
    if (transport.live() && transport.following()) heardPlace = transport.heardPlace();
    preview.selectPreviewSounds();
    positionButtons(input);
    columnKeys(input);
    positionKeys(input, wheel);
    rowKeys(input);
    char32_t ch = fetchCharacter(input);
    volumeDigitEntry(ch);
    transposeKeys(input);
    blockMarking(input);
    blockPaste(input);
    rowDelete(input);
    rowInsert(input);
    noteEntry(ch);
    laterCharacters(input);
    placeNoteEntry(input);
    midiNoteEntry(input);
    if (!transport.playing()) preview.updatePreviewVoice();
}

bool PatternEditor::patternEditable() const
{
    return (!transport.playing() || transport.live()) && !files.textFieldActive();
}

int PatternEditor::cursorIndex() const { return transport.viewBase() + cursor.row - 1; }

void PatternEditor::setCell(int column, int index, char32_t ch)
{
    PatternColumn& cells = song.patternColumns[column];
    if (index < 0 || index >= static_cast<int>(cells.size()) || std::as_const(cells)[index] == ch) return;
    cells.set(static_cast<size_t>(index), ch);
    unsaved.markSongChanged();
}

// ---- Position list ----

void PatternEditor::positionButtons(const c_InputDevice& input)
{
    if (files.textFieldActive()) return;
    if (clicked(input, buttons::insertPosition)) insertPosition();
    if (clicked(input, buttons::deletePosition)) deletePosition();
}

// A new position of pattern 0 at the current one; the last entry falls off.
void PatternEditor::insertPosition()
{
    for (int i = positionCount - 1; i > transport.position(); --i) song.positions[i] = song.positions[i - 1];
    song.positions[transport.position()] = 0;
    unsaved.markSongChanged();
}

// The entries below move up one; the freed last entry plays pattern 0.
void PatternEditor::deletePosition()
{
    if (transport.position() >= positionCount) return;
    for (int i = transport.position(); i < positionCount - 1; ++i) song.positions[i] = song.positions[i + 1];
    song.positions[positionCount - 1] = 0;
    unsaved.markSongChanged();
}

// ---- Cursor ----

void PatternEditor::columnKeys(const c_InputDevice& input)
{
    const int moves[][2] = {{keyTab, 2}, {keyRight, 1}, {keyLeft, -1}};
    for (const auto& [key, step] : moves) {
        if (!pressed(input, key)) continue;
        cursor.column += step;
        if (!transport.playing()) stopAllChannels();
    }
    if (cursor.column < 1) cursor.column = 8;
    if (cursor.column > 8) cursor.column = 1;
}

// Page keys and the wheel walk the position list; it stops at both ends, as
// there are only 256 positions.
void PatternEditor::positionKeys(const c_InputDevice& input, float wheel)
{
    if (pressed(input, keyPageUp) || wheel == 1.0f) transport.stepPosition(-1);
    if (pressed(input, keyPageDown) || wheel == -1.0f) transport.stepPosition(+1);
    // The song's last position is the one its length ends in.
    if (controlPressed(input, keyHome)) transport.goToPosition(0);
    if (controlPressed(input, keyEnd)) transport.goToPosition((song.songLengthRows - 1) / rowsPerPattern);
}

// A press moves one row at once; a held arrow repeats from its 13th step on.
void PatternEditor::rowKeys(const c_InputDevice& input)
{
    upHeldSteps = input.isDown(keyUp) ? upHeldSteps + 1 : 0;
    if (upHeldSteps > heldRepeatDelay) cursor.row -= 1;
    downHeldSteps = input.isDown(keyDown) ? downHeldSteps + 1 : 0;
    if (downHeldSteps > heldRepeatDelay) cursor.row += 1;
    if (pressed(input, keyUp)) cursor.row -= 1;
    if (pressed(input, keyDown)) cursor.row += 1;
    // Without Control: the pattern's first and last row.
    if (input.hitCount(keyHome) > controlPresses(input, keyHome)) cursor.row = 1;
    if (input.hitCount(keyEnd) > controlPresses(input, keyEnd)) cursor.row = rowsPerPattern;
    if (cursor.row > rowsPerPattern) cursor.row = 1;
    if (cursor.row < 1) cursor.row = rowsPerPattern;
}

// The next character of the step, as the layout reads it. While a name is
// typed the name field has taken them all.
char32_t PatternEditor::fetchCharacter(c_InputDevice& input)
{
    if (files.textFieldActive()) return 0;
    return keys.layoutCharacter(input.nextChar());
}

// Characters that came after the first within one step (a fast typist, a
// chord on the computer keyboard, a pause of the loop) are entered after
// it, in order, as if each had a step of its own: none is lost.
void PatternEditor::laterCharacters(c_InputDevice& input)
{
    while (char32_t ch = fetchCharacter(input)) {
        // The next step's row keys would bring a cursor below the last row
        // back to the first.
        if (cursor.row > rowsPerPattern) cursor.row = 1;
        volumeDigitEntry(ch);
        noteEntry(ch);
    }
}
