// The eight single-cycle waveforms and the table that pairs them into the
// two oscillators of an instrument's WAV setting (1..7). The player and the
// editor's note preview share it.
#pragma once

#include <array>
#include <cstddef>

// Data-folder paths, in the order the sounds are loaded and indexed.
constexpr std::array<const char32_t*, 8> waveformFiles = {
    U"wav/ramp_64.wav", U"wav/ramp_b_64.wav", U"wav/ramp_c_64.wav", U"wav/saw_64.wav",
    U"wav/fx2b.wav",    U"wav/tri_64.wav",    U"wav/hnoise.wav",    U"wav/zero_64.wav",
};

// Indices into waveformFiles.
enum WaveformIndex { waveRamp, waveRampB, waveRampC, waveSaw, waveFx2b, waveTriangle, waveNoise, waveSilence };

// The sounds of the primary oscillator (audio channel ch) and the secondary
// one (ch + 4). With WAV 1..3 the secondary is a saw of the opposite slope,
// so the pair sounds as a pulse whose width moves as the two drift apart.
struct WaveformPair {
    int primary;
    int secondary;
};

constexpr std::array<WaveformPair, 7> waveformPairs = {{
    {waveRampB, waveSaw},
    {waveRampC, waveSaw},
    {waveRamp, waveSaw},
    {waveTriangle, waveSilence},
    {waveRampB, waveSilence},
    {waveFx2b, waveSilence},
    {waveNoise, waveSilence},
}};
static_assert(waveformPairs.size() == 7, "one pair for each WAV value 1..7");

// The pair of a WAV value, or null outside 1..7: such values leave the
// oscillators' sounds as they were.
constexpr const WaveformPair* waveformPairOf(int wave)
{
    return wave >= 1 && wave <= static_cast<int>(waveformPairs.size()) ? &waveformPairs[static_cast<size_t>(wave - 1)]
                                                                         : nullptr;
}
