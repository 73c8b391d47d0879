// Which stock waveform a recorded sound is most like, by two simple
// measures of one stretch of it: how periodic it is, and how bright (how
// fast it moves for its period).
#pragma once

#include <vector>

// The instrument WAV values the measure chooses between.
constexpr int waveBright = 1;  // pulse of two ramps: saws, squares, most samples
constexpr int waveSmooth = 4;  // triangle: sines, flutes, soft basses
constexpr int waveNoise = 7;   // noise: drums, hats, anything without a period

// The WAV of the sound's samples (mono, any rate, 2048 or more): noise when
// no lag of 16 to 1024 samples repeats it (normalised autocorrelation below
// 0.5, over the first half of the sound), smooth
// when its mean slope is below twice a sine's of that period, else bright.
// A silent or too short sound gives the bright pulse, the default lead.
int likestWave(const std::vector<float>& sound);
