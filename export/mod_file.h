// A song as a four-channel ProTracker module ("M.K."), which every module
// player and most game engines read: the wave pairs as looped samples, each
// in three lengths so that every note lands in the middle octaves of the
// period table, and what the player does tick by tick carried by one effect
// per channel and row (README: "MOD files").
#pragma once

#include "export/waveform_samples.h"
#include "song/song_model.h"

#include <cstdint>
#include <string>
#include <vector>

// The whole file. The title is cut to 20 characters, others than printable
// ASCII become "?".
std::vector<uint8_t> modFileBytes(const Song& song, const std::string& title, const Waveforms& waves);

// The sample a wave pair (1..7) plays a note of pitch semitones from middle
// C with (1..21), and the note index 0..35 (C-1..B-3) it is written as.
struct ModNote {
    int sample;
    int noteIndex;
};
ModNote modNoteOf(int wave, int pitch);

// ProTracker's periods of C-1..B-3 at finetune 0.
int modPeriod(int noteIndex);
