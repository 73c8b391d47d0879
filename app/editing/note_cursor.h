// Where the editor writes and what a note key enters there: the cell under
// the cursor, the octave and the instrument.
#pragma once

struct NoteCursor {
    int column = 1;  // 1..8: the note and the volume column of each channel
    // 1..32; one past the last row after an entry on it, until the next step.
    int row = 1;
    int octave = 2;
    int instrument = 1;

    int channel() const { return (column + 1) / 2; }
    bool inNoteColumn() const { return column % 2 != 0; }
};
