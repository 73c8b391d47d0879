// A song as a Standard MIDI File (format 1) for sequencers and DAWs: a tempo
// track, then one track per channel whose notes start, end and bend as the
// player plays them (README: "MIDI files").
#pragma once

#include "song/song_model.h"

#include <cstdint>
#include <string>
#include <vector>

// Rows a beat (a quarter note): the grid shows a beat every four rows.
constexpr int midiRowsPerBeat = 4;
// Pitch bend reaches this many semitones either way (set by each track).
constexpr int midiBendRange = 24;

// The whole file; the title names the tempo track.
std::vector<uint8_t> midiFileBytes(const Song& song, const std::string& title);

// The key of a pitch in semitones from middle C (60), within 0..127.
int midiKeyOf(int pitch);
// The velocity of a volume digit 1..15: the MIDI input's rounding reads it
// back as the same digit.
int midiVelocityOf(int volumeDigit);
