// The single-cycle waveforms and the table that pairs them into the two
// oscillators of an instrument's WAV setting. Everything that loads, plays,
// previews, offers or makes a waveform reads these two tables: a new pair is
// one row of waveformPairs, a new waveform one row of waveformFiles.
#pragma once

#include <array>
#include <cstddef>

// Data-folder paths, in the order the sounds are loaded and indexed.
constexpr std::array<const char*, 8> waveformFiles = {
    "wav/ramp_64.wav", "wav/ramp_b_64.wav", "wav/ramp_c_64.wav", "wav/saw_64.wav",
    "wav/fx2b.wav",    "wav/tri_64.wav",    "wav/hnoise.wav",    "wav/zero_64.wav",
};
constexpr size_t waveformCount = waveformFiles.size();

// Indices into waveformFiles.
enum WaveformIndex { waveRamp, waveRampB, waveRampC, waveSaw, waveFx2b, waveTriangle, waveNoise, waveSilence };
static_assert(waveSilence + 1 == waveformCount, "one index for each waveform file");

// The sounds of the primary oscillator (audio channel ch) and the secondary
// one (ch + 4). With WAV 1..3 the secondary is a saw of the opposite slope,
// so the pair sounds as a pulse whose width moves as the two drift apart.
struct WaveformPair {
    WaveformIndex primary;
    WaveformIndex secondary;
};

// WAV 1, 2, ... in order.
constexpr std::array<WaveformPair, 7> waveformPairs = {{
    {waveRampB, waveSaw},
    {waveRampC, waveSaw},
    {waveRamp, waveSaw},
    {waveTriangle, waveSilence},
    {waveRampB, waveSilence},
    {waveFx2b, waveSilence},
    {waveNoise, waveSilence},
}};

// The largest WAV value an instrument can be set to.
constexpr int highestWave = static_cast<int>(waveformPairs.size());

// The pair of a WAV value, or null outside 1..highestWave: such values leave
// the oscillators' sounds as they were.
constexpr const WaveformPair* waveformPairOf(int wave)
{
    return wave >= 1 && wave <= highestWave ? &waveformPairs[static_cast<size_t>(wave - 1)] : nullptr;
}
