// The song's own waves: up to eight single-cycle waves the musician draws or
// imports, chosen by WAV values 8..F. Each is kept at the stock waveforms'
// length and played at their rate, so a note sounds at the same pitch
// whichever wave it uses, and the player, the preview and the export treat an
// own wave exactly as they treat a stock one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

constexpr int ownWaveCount = 8;
// The WAV value of the song's first own wave; the last is F.
constexpr int firstOwnWave = 8;
constexpr int lastOwnWave = firstOwnWave + ownWaveCount - 1;
// One cycle, as long as the stock 64-frame waves.
constexpr int ownWaveFrames = 64;

// Frames a second at the player's rate 1.0, as the stock waves are stored.
constexpr int ownWaveRate = 16744;

// Signed 16-bit samples of one cycle.
using OwnWave = std::array<int16_t, ownWaveFrames>;

// An empty slot: the song has no wave under that WAV value.
using OwnWaves = std::array<std::optional<OwnWave>, ownWaveCount>;

constexpr bool isOwnWaveValue(int wave) { return wave >= firstOwnWave && wave <= lastOwnWave; }
constexpr int ownWaveSlot(int wave) { return wave - firstOwnWave; }

// Whether a WAV value plays one of the song's own waves: 8..F with its slot filled.
inline bool holdsOwnWave(const OwnWaves& waves, int wave)
{
    return isOwnWaveValue(wave) && waves[static_cast<size_t>(ownWaveSlot(wave))].has_value();
}
