#include "app/sound_engine.h"

#include "app/cell_text.h"
#include "app/user_input.h"
#include "audio/audio_device.h"
#include "player/voice_trigger.h"

#include <algorithm>

namespace {

bool isVolumeDigit(char32_t ch) { return (ch >= U'0' && ch <= U'9') || (ch >= U'a' && ch <= U'f'); }

// A digit typed on row 32 leaves the cursor below the pattern for the rest of
// the step; row edits there would reach into the next pattern.
bool insidePattern(int row) { return row >= 0 && row < rowsPerPattern; }

// Marks that clear the instrument and octave digits of their cell.
bool isMark(char32_t ch) { return ch == U'.' || ch == U'+' || ch == U'#' || ch == U'-'; }

} // namespace

void c_SoundEngine::volumeDigitEntry(char32_t ch)
{
    if (transportState != stateEditing || textFieldActive() || cursorColumn % 2 != 0) return;
    if (!isVolumeDigit(ch)) return;
    char32_t digit = ch >= U'a' ? ch - U'a' + U'A' : ch;
    setCell(volumeColumn(cursorChannel()), viewBase() + cursorRow - 1, digit);
    cursorRow += 1;
}

void c_SoundEngine::transposeKeys()
{
    if (pressed(input(), keyF3)) transposeChannel(-1);
    if (pressed(input(), keyF4)) transposeChannel(+1);
}

// Moves the 32 notes of the cursor channel one semitone, clamped to the keys
// 0..28; marks stay, and a stored character outside the keys counts as 0.
void c_SoundEngine::transposeChannel(int step)
{
    int column = noteColumn(cursorChannel());
    for (int i = 0; i < rowsPerPattern; ++i) {
        int index = viewBase() + i;
        if (index >= static_cast<int>(patternColumns[column].size())) break;
        int value = noteValueOf(patternColumns[column][index]);
        if (value > 28) continue;
        setCell(column, index, noteCharOf(std::clamp(value + step, 0, 28)));
    }
}

// Backspace in Editing: the cursor row of the cursor channel goes, the rows
// below move up and the last row becomes blank.
void c_SoundEngine::rowDelete()
{
    int row = cursorRow - 1;
    if (transportState != stateEditing || !pressed(input(), keyBackspace) || !insidePattern(row)) return;
    int channel = cursorChannel();
    for (int column : {noteColumn(channel), volumeColumn(channel), instrumentColumn(channel), octaveColumn(channel)}) {
        const PatternColumn& cells = patternColumns[column];
        for (int k = 0; k <= 30 - row; ++k) {
            int index = viewBase() + row + k + 1;
            if (index < static_cast<int>(cells.size())) setCell(column, index - 1, cells[index]);
        }
        setCell(column, viewBase() + 31, blankCharOf(column));
    }
}

// Insert in Editing: a blank cell at the cursor, the rows from there move
// down and the old last row is lost.
void c_SoundEngine::rowInsert()
{
    int row = cursorRow - 1;
    if (transportState != stateEditing || !pressed(input(), keyInsert) || !insidePattern(row)) return;
    int channel = cursorChannel();
    const int columns[] = {noteColumn(channel), volumeColumn(channel), instrumentColumn(channel), octaveColumn(channel)};
    for (int j = 0; j < 4; ++j) {
        int column = columns[j];
        insertScratch[j] = patternColumns[column].substr(std::min<size_t>(viewBase(), columnLength), 33);
        setCell(column, viewBase() + row, blankCharOf(column));
        for (int k = row; k <= 30; ++k) {
            if (k < static_cast<int>(insertScratch[j].size())) setCell(column, viewBase() + k + 1, insertScratch[j][k]);
        }
    }
}

// A note key in a note column: written with the current instrument and
// octave while Editing, only sounded in Standby. While note keys go by
// place, characters enter no notes.
void c_SoundEngine::noteEntry(char32_t ch)
{
    if (cursorColumn % 2 == 0 || !isNoteKey(ch) || noteKeysByPlace) return;
    enterNote(ch, octave, 0);
}

// The volume digit is the typed rule's when none is given: "0" becomes "8",
// a digit already there stays.
void c_SoundEngine::enterNote(char32_t ch, int noteOctave, char32_t volume)
{
    int channel = cursorChannel();
    if (ch != U'-' && ch != U'.') lastNoteChar = ch;
    previewOctaveShift = noteOctave - octave;
    if (transportState == stateEditing) {
        int index = viewBase() + cursorRow - 1;
        setCell(noteColumn(channel), index, ch);
        setCell(instrumentColumn(channel), index, isMark(ch) ? U'0' : hexDigitText(currentInstrument)[0]);
        setCell(octaveColumn(channel), index, isMark(ch) ? U'0' : intText(noteOctave)[0]);
        if (!isMark(ch)) {
            if (volume) {
                setCell(volumeColumn(channel), index, volume);
            } else if (patternColumns[volumeColumn(channel)][index] == U'0') {
                setCell(volumeColumn(channel), index, U'8');
            }
            restartEffects(preview);
        }
        takeUndoSnapshot();
        cursorRow += 1;
    } else if (transportState == stateStandby) {
        restartEffects(preview);
    }
    if (!takeAheadPreview(channel, noteOctave, noteValueOf(ch)))
        triggerVoice(gxtkAudio::audio(), channel, noteOctave, noteValueOf(ch), true, previewPrimary, previewSecondary);
}
