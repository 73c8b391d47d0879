// A short sound's frames as numbers, kept beside its OpenAL buffer so that
// the screen can draw what a channel plays (OpenAL cannot read a buffer back).
#pragma once

#include "audio/audio_decoders.h"

#include <cstddef>
#include <vector>

// Longer sounds (music, long samples) keep no copy: the looped single-cycle
// waveforms the scopes draw are a few hundred frames.
constexpr int scopeFramesLimit = 1 << 16;

// The frames mixed to mono, -1 to 1; empty for a sound longer than the limit
// or of a layout OpenAL cannot take.
std::vector<float> monoFrames(const AudioSamples& samples);
