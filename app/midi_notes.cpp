#include "app/midi_notes.h"

#include "app/cell_text.h"
#include "app/sound_engine.h"
#include "host/input_device.h"
#include "host/settings_file.h"

#include <cstdlib>

namespace {
constexpr int lowestOctave = 0;
constexpr int highestOctave = 3;
constexpr int highestNoteValue = 28;
constexpr int midiNoteOfKeyZero = 36;  // "y" at octave 0
} // namespace

std::optional<MidiCell> midiNoteCell(int midiNote, int entryOctave)
{
    std::optional<MidiCell> best;
    for (int octave = lowestOctave; octave <= highestOctave; ++octave) {
        int value = midiNote - midiNoteOfKeyZero - 12 * octave;
        if (value < 0 || value > highestNoteValue) continue;
        if (!best || std::abs(octave - entryOctave) < std::abs(best->octave - entryOctave))
            best = MidiCell {noteCharOf(value), octave};
    }
    return best;
}

char32_t velocityDigit(int velocity) { return hexDigitText((velocity * 15 + 126) / 127)[0]; }

void c_SoundEngine::readMidiSettings() { midiVelocity = readSetting(settingsFilePath(), "midi_velocity") != "off"; }

// A note from a MIDI keyboard does what typing it would: written at the
// cursor while Editing, only heard in Standby. While a name is typed it does
// nothing, as it would otherwise land in neither the name nor the pattern.
void c_SoundEngine::midiNoteEntry()
{
    if (textFieldActive()) return;
    for (const MidiNote& note : input().midiNotes()) enterMidiNote(note.note, note.velocity);
}

void c_SoundEngine::enterMidiNote(int note, int velocity)
{
    std::optional<MidiCell> cell = midiNoteCell(note, octave);
    if (!cell) return;
    // A chord on the last row goes on at the first, where the next step's
    // row keys would bring the cursor.
    if (cursorRow > rowsPerPattern) cursorRow = 1;
    enterNote(cell->note, cell->octave, midiVelocity ? velocityDigit(velocity) : 0);
}
