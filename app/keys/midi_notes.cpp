#include "app/keys/midi_notes.h"

#include "app/editing/cell_text.h"

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
