#include "app/editing/pattern_editor.h"

#include "app/editing/cell_text.h"
#include "app/editing/undo_history.h"
#include "app/files/song_files.h"
#include "app/keys/midi_notes.h"
#include "app/keys/note_keys.h"
#include "app/keys/user_input.h"
#include "app/playing/note_preview.h"
#include "app/playing/transport.h"

#include <algorithm>

namespace {

bool isVolumeDigit(char32_t ch) { return (ch >= U'0' && ch <= U'9') || (ch >= U'a' && ch <= U'f'); }

// A digit typed on row 32 leaves the cursor below the pattern for the rest of
// the step; row edits there would reach into the next pattern.
bool insidePattern(int row) { return row >= 0 && row < rowsPerPattern; }

// Marks that clear the instrument and octave digits of their cell.
bool isMark(char32_t ch) { return ch == U'.' || ch == U'+' || ch == U'#' || ch == U'-'; }

} // namespace

void PatternEditor::volumeDigitEntry(char32_t ch)
{
    if (!transport.writesNotes() || files.textFieldActive() || cursor.inNoteColumn()) return;
    if (!isVolumeDigit(ch)) return;
    char32_t digit = ch >= U'a' ? ch - U'a' + U'A' : ch;
    setCell(volumeColumn(cursor.channel()), cursorIndex(), digit);
    cursor.row += 1;
}

void PatternEditor::transposeKeys(const c_InputDevice& input)
{
    if (pressed(input, keyF3)) transposeChannel(-1);
    if (pressed(input, keyF4)) transposeChannel(+1);
}

// Moves the 32 notes of the cursor channel one semitone, clamped to the keys
// 0..28; marks stay, and a stored character outside the keys counts as 0.
void PatternEditor::transposeChannel(int step)
{
    int column = noteColumn(cursor.channel());
    for (int i = 0; i < rowsPerPattern; ++i) {
        int index = transport.viewBase() + i;
        if (index >= static_cast<int>(song.patternColumns[column].size())) break;
        int value = noteValueOf(song.patternColumns[column][index]);
        if (value > 28) continue;
        setCell(column, index, noteCharOf(std::clamp(value + step, 0, 28)));
    }
}

// Backspace in Editing: the cursor row of the cursor channel goes, the rows
// below move up and the last row becomes blank.
void PatternEditor::rowDelete(const c_InputDevice& input)
{
    int row = cursor.row - 1;
    if (!transport.writesNotes() || !pressed(input, keyBackspace) || !insidePattern(row)) return;
    int channel = cursor.channel();
    for (int column : {noteColumn(channel), volumeColumn(channel), instrumentColumn(channel), octaveColumn(channel)}) {
        const PatternColumn& cells = song.patternColumns[column];
        for (int k = 0; k <= 30 - row; ++k) {
            int index = transport.viewBase() + row + k + 1;
            if (index < static_cast<int>(cells.size())) setCell(column, index - 1, cells[index]);
        }
        setCell(column, transport.viewBase() + 31, blankCharOf(column));
    }
}

// Insert in Editing: a blank cell at the cursor, the rows from there move
// down and the old last row is lost.
void PatternEditor::rowInsert(const c_InputDevice& input)
{
    int row = cursor.row - 1;
    if (!transport.writesNotes() || !pressed(input, keyInsert) || !insidePattern(row)) return;
    int channel = cursor.channel();
    const int columns[] = {noteColumn(channel), volumeColumn(channel), instrumentColumn(channel), octaveColumn(channel)};
    for (int j = 0; j < 4; ++j) {
        int column = columns[j];
        insertScratch[j] = song.patternColumns[column].substr(std::min<size_t>(transport.viewBase(), columnLength), 33);
        setCell(column, transport.viewBase() + row, blankCharOf(column));
        for (int k = row; k <= 30; ++k) {
            if (k < static_cast<int>(insertScratch[j].size())) setCell(column, transport.viewBase() + k + 1, insertScratch[j][k]);
        }
    }
}

// A note key in a note column: written with the current instrument and
// octave while Editing, only sounded in Standby. While note keys go by
// place, characters enter no notes.
void PatternEditor::noteEntry(char32_t ch)
{
    if (!cursor.inNoteColumn() || !isNoteKey(ch) || keys.byPlace()) return;
    enterNote(ch, cursor.octave, 0);
}

// The volume digit is the typed rule's when none is given: "0" becomes "8",
// a digit already there stays.
void PatternEditor::enterNote(char32_t ch, int noteOctave, char32_t volume)
{
    int channel = cursor.channel();
    PlayPlace place = entryPlace();  // before the cursor moves on
    preview.followNote(ch, noteOctave - cursor.octave);
    if (transport.writesNotes()) {
        int index = entryIndex();
        setCell(noteColumn(channel), index, ch);
        setCell(instrumentColumn(channel), index, isMark(ch) ? U'0' : hexDigitText(cursor.instrument)[0]);
        setCell(octaveColumn(channel), index, isMark(ch) ? U'0' : intText(noteOctave)[0]);
        if (!isMark(ch)) {
            if (volume) {
                setCell(volumeColumn(channel), index, volume);
            } else if (song.patternColumns[volumeColumn(channel)][index] == U'0') {
                setCell(volumeColumn(channel), index, U'8');
            }
            preview.restart();
        }
        undo.takeUndoSnapshot();
        cursor.row += 1;
    } else if (transport.state() == stateStandby) {
        preview.restart();
    }
    // While the song plays its player holds every channel: a preview there
    // would be cut off by the player's next tick, so the player sounds the
    // written note itself.
    if (transport.live()) {
        transport.soundEntry(place, channel);
    } else if (!transport.playing()) {
        preview.sound(channel, noteOctave, noteValueOf(ch));
    }
}

// While live with FLW On a note lands on the row heard when its step began;
// otherwise at the cursor.
PlayPlace PatternEditor::entryPlace() const
{
    return heardPlace ? *heardPlace : PlayPlace {transport.position(), cursor.row - 1};
}

int PatternEditor::entryIndex() const
{
    if (!transport.live()) return cursorIndex();
    PlayPlace place = entryPlace();
    return song.positions[place.position] * rowsPerPattern + place.row;
}

// The step's presses at note places, in order, each as a typed note would
// be; presses with Control are shortcuts.
void PatternEditor::placeNoteEntry(const c_InputDevice& input)
{
    if (!keys.byPlace() || files.textFieldActive() || !cursor.inNoteColumn()) return;
    for (int i = 0; i < input.pressCount(); ++i) {
        char32_t note = boundNoteAt(keys.bindings(), input.pressedKey(i));
        if (!note || (input.pressModifiers(i) & modifierControl)) continue;
        // The next step's row keys would bring a cursor below the last row back to the first.
        if (cursor.row > rowsPerPattern) cursor.row = 1;
        enterNote(note, cursor.octave, 0);
    }
}

// A note from a MIDI keyboard does what typing it would: written at the
// cursor while Editing, only heard in Standby. While a name is typed it does
// nothing, as it would otherwise land in neither the name nor the pattern.
void PatternEditor::midiNoteEntry(const c_InputDevice& input)
{
    if (files.textFieldActive()) return;
    for (const MidiNote& note : input.midiNotes()) enterMidiNote(note.note, note.velocity);
}

void PatternEditor::enterMidiNote(int note, int velocity)
{
    std::optional<MidiCell> cell = midiNoteCell(note, cursor.octave);
    if (!cell) return;
    // A chord on the last row goes on at the first, where the next step's
    // row keys would bring the cursor.
    if (cursor.row > rowsPerPattern) cursor.row = 1;
    enterNote(cell->note, cell->octave, keys.midiVelocity() ? velocityDigit(velocity) : 0);
}
