// A song as a four-channel ProTracker module ("M.K."), which every module
// player and most game engines read: the wave pairs (and the song's own
// waves, each alone) as looped samples, each
// in three lengths so that every note lands in the middle octaves of the
// period table, and what the player does tick by tick carried by one effect
// per channel and row (README: "MOD files"). Only the samples the notes
// play are written, a pair detuned by PWM in tunings of its own.
#pragma once

#include "export/waveform_samples.h"
#include "song/song_model.h"

#include <cstdint>
#include <string>
#include <vector>

// The whole file. The title is cut to 20 characters, others than printable
// ASCII become "?".
std::vector<uint8_t> modFileBytes(const Song& song, const std::string& title, const Waveforms& waves);

// ProTracker's periods of C-1..B-3 at finetune 0.
int modPeriod(int noteIndex);
