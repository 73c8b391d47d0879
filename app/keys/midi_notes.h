// How a note from a MIDI keyboard becomes a cell: the same key and octave
// digits a typed note would get for that pitch.
#pragma once

#include <optional>

struct MidiCell {
    char32_t note;  // a key of the note keyboard, value 0..28
    int octave;     // 0..3
};

// MIDI note 60 sounds as "y" at octave 2. The entry octave is kept when it
// reaches the note, otherwise the nearest octave that does; none reaches
// notes below 36 or above 100.
std::optional<MidiCell> midiNoteCell(int midiNote, int entryOctave);

// Velocity 1..127 as a volume digit "1".."F", rounding up.
char32_t velocityDigit(int velocity);
