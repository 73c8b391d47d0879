// The song's own waves in its file: a section after the described layout,
// which readers of that layout never reach, written only when the song has a
// wave, so that every other song is written byte for byte as before.
//
// The section is ASCII, so that a file cut short inside it still decodes as
// UTF-8 and the song before it reads as ever: the four characters "WAVE",
// one hexadecimal digit N (1..8), then N waves, each a hexadecimal digit for
// its WAV value (8..F) and its 64 samples, each as four upper-case
// hexadecimal digits of the sample plus 32768 ("8000" is 0).
#pragma once

#include "base/text.h"
#include "song/own_waves.h"

#include <cstddef>

constexpr char32_t ownWaveTag[] = U"WAVE";
constexpr size_t ownWaveTagLength = 4;
constexpr size_t ownWaveSampleDigits = 4;
constexpr size_t ownWaveRecordLength = 1 + ownWaveFrames * ownWaveSampleDigits;

// What the text after the described layout gave.
enum class OwnWavesRead {
    none,     // no section: nothing after the layout, or what is there is not a wave section
    whole,    // every wave the section names
    damaged,  // a section cut short or broken: the waves before the fault, if any
};

// Appends the section; nothing for a song without own waves.
void appendOwnWaveSection(String& out, const OwnWaves& waves);

// Reads the section starting at index into waves (all slots set: empty where
// nothing was read). Reads at most one section's length, whatever follows.
OwnWavesRead readOwnWaveSection(const String& text, size_t index, OwnWaves& waves);
