#include "song/wave_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace {

constexpr double twoPi = 6.283185307179586;
// Harmonics a 64-frame cycle holds below its Nyquist frequency; the Nyquist
// one itself has no phase and is left out.
constexpr int highestHarmonic = ownWaveFrames / 2 - 1;

double shapeValue(WaveShape shape, double phase)
{
    switch (shape) {
    case WaveShape::sine: return std::sin(twoPi * phase);
    case WaveShape::square: return phase < 0.5 ? 1 : -1;
    case WaveShape::pulse25: return phase < 0.25 ? 1 : -1;
    case WaveShape::pulse12: return phase < 0.125 ? 1 : -1;
    case WaveShape::saw: return 1 - 2 * phase;
    case WaveShape::triangle: return phase < 0.25 ? 4 * phase : phase < 0.75 ? 2 - 4 * phase : 4 * phase - 4;
    case WaveShape::noise: break;
    }
    return 0;
}

// A fixed seed: the same preset gives the same wave every time.
std::array<double, ownWaveFrames> noiseValues()
{
    std::array<double, ownWaveFrames> values {};
    uint32_t state = 0x2545F491u;
    for (double& value : values) {
        state = state * 1664525u + 1013904223u;
        value = static_cast<double>(state >> 8) / static_cast<double>(1u << 23) - 1;
    }
    return values;
}

} // namespace

OwnWave levelledWave(const std::array<double, ownWaveFrames>& values)
{
    double mean = std::accumulate(values.begin(), values.end(), 0.0) / ownWaveFrames;
    double peak = 0;
    for (double value : values) peak = std::max(peak, std::fabs(value - mean));
    OwnWave wave {};
    if (!(peak > 1e-9) || !std::isfinite(peak)) return wave;
    for (int i = 0; i < ownWaveFrames; ++i)
        wave[i] = static_cast<int16_t>(std::lround((values[i] - mean) / peak * ownWavePeak));
    return wave;
}

OwnWave shapedWave(WaveShape shape)
{
    if (shape == WaveShape::noise) return levelledWave(noiseValues());
    std::array<double, ownWaveFrames> values {};
    for (int i = 0; i < ownWaveFrames; ++i) values[i] = shapeValue(shape, static_cast<double>(i) / ownWaveFrames);
    return levelledWave(values);
}

// Each harmonic's cosine and sine parts over the whole cycle, then summed
// at the 64 frames' positions.
OwnWave ownWaveOfCycle(const std::vector<double>& cycle)
{
    const size_t length = cycle.size();
    std::array<double, ownWaveFrames> values {};
    if (length < 2) return levelledWave(values);
    const int harmonics = std::min(highestHarmonic, static_cast<int>((length - 1) / 2));
    for (int k = 1; k <= harmonics; ++k) {
        double re = 0, im = 0;
        for (size_t n = 0; n < length; ++n) {
            double angle = twoPi * k * static_cast<double>(n) / static_cast<double>(length);
            re += cycle[n] * std::cos(angle);
            im += cycle[n] * std::sin(angle);
        }
        for (int i = 0; i < ownWaveFrames; ++i) {
            double angle = twoPi * k * i / ownWaveFrames;
            values[i] += re * std::cos(angle) + im * std::sin(angle);
        }
    }
    return levelledWave(values);
}
