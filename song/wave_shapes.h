// What a song's own wave can start from, and how any single cycle becomes
// one: resampled to the own waves' length without aliasing, centred so that
// it loops without a click, and brought to the stock waves' level.
#pragma once

#include "song/own_waves.h"

#include <array>
#include <string_view>
#include <vector>

// The stock waves' peak, a quarter of full scale: eight oscillators at full
// gain stay clear of clipping, and an own wave is as loud as a stock one.
constexpr double ownWavePeak = 8192;

enum class WaveShape { sine, square, pulse25, pulse12, saw, triangle, noise };

struct WaveShapeEntry {
    WaveShape shape;
    std::u32string_view name;
};
// In the order the editor's F-keys give them.
constexpr std::array<WaveShapeEntry, 7> waveShapes = {{
    {WaveShape::sine, U"SINE"},
    {WaveShape::square, U"SQUARE"},
    {WaveShape::pulse25, U"PULSE 25%"},
    {WaveShape::pulse12, U"PULSE 12.5%"},
    {WaveShape::saw, U"SAW"},
    {WaveShape::triangle, U"TRIANGLE"},
    {WaveShape::noise, U"NOISE"},
}};

OwnWave shapedWave(WaveShape shape);

// One cycle of any length from 2 frames on as an own wave: the harmonics that
// 64 frames hold below their Nyquist frequency (and below the cycle's own),
// summed, so that a long cycle's upper harmonics leave rather than fold
// back; no DC; the peak at ownWavePeak. A silent cycle stays silent.
OwnWave ownWaveOfCycle(const std::vector<double>& cycle);

// The values without their mean, scaled to peak at ownWavePeak.
OwnWave levelledWave(const std::array<double, ownWaveFrames>& values);
