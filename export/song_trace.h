// One pass through a song as the player plays it, row by row and tick by
// tick, without sound: what the note files (MOD, MIDI) are written from, so
// that they carry what is heard rather than a second reading of the cells.
#pragma once

#include "song/song_model.h"

#include <array>
#include <vector>

// What a channel sounds during one tick: the primary oscillator's rate
// (1.0 is the waveforms' own pitch, middle C) and the level the envelope
// leaves (a volume digit of 8 starts at 1.0).
struct TracedTick {
    float rate = 0;
    float bentRate = 0;  // the rate without the arpeggio: the note moved by slide and envelope only
    float detune = 0;    // the secondary oscillator's rate less the primary's: PWM in its sweep's direction
    float arp = 0;       // the arpeggio's offset in semitones
    float level = 0;
};

// How a row's note cell changed a channel.
enum class NoteStart {
    none,
    attack,  // the oscillators start again
    legato,  // a new pitch, the running oscillators go on
    stop,    // "<": both oscillators stop
};

struct TracedCell {
    NoteStart start = NoteStart::none;
    int pitch = 0;       // semitones from middle C of the last note started
    int wave = 0;        // WAV 1..7 or an own wave 8..F the oscillators play, 0 before any
    int instrument = 0;  // the latched instrument, whose slots drive the effects
    int volumeDigit = 0; // this row's, 0 when blank
    std::vector<TracedTick> ticks;  // the row's ticks, the reading one first
};

struct TracedRow {
    int position = 0;  // index into the position list
    int row = 0;       // 0..31
    bool endsPattern = false;  // the next row read is row 0 of the next position
    std::array<TracedCell, channelCount> cells;
};

// Rows from position 0, row 0 until the player is back there (at most every
// row of the 256 positions); the player's lead-in before its first row is
// left out. The song's speed and length are taken as the spinners leave them.
std::vector<TracedRow> traceSong(const Song& song);

// Semitones from middle C of a rate; rates at or below 0 give a very low pitch.
float rateSemitones(float rate);
