// Songs made in the tests: notes at a fixed spacing on every channel, all
// with one instrument.
#pragma once

#include "song/song_file.h"

#include <array>

// Channel n plays its four cell characters (note, octave, instrument,
// volume) from row n on, every rowStep rows of a pattern, over the given
// number of positions at the given speed.
Song noteGridSong(int speed, int positions, int rowStep, const std::array<const char32_t*, 4>& cells);
