#include "waveforms.h"

#include <algorithm>
#include <cmath>

namespace {

struct Partial {
    int harmonic;
    double amplitude;  // of a sine starting at zero; negative starts it falling
};

// fx2b: a reedy tone, strong odd harmonics with a little of the even ones.
// Sines only, so the cycle starts at zero and its peaks are symmetric.
constexpr std::array<Partial, 10> kMixPartials = {{
    {1, 1.00}, {2, -0.45}, {3, 0.70}, {4, 0.20}, {5, 0.50},
    {6, -0.15}, {7, 0.35}, {9, 0.25}, {11, 0.18}, {13, 0.12},
}};

constexpr uint32_t kNoiseSeed = 0x6B6F766Fu;
constexpr double kTau = 6.283185307179586;

double fraction(double x) { return x - std::floor(x); }

double harmonicMix(double phase)
{
    double sum = 0;
    for (const Partial& partial : kMixPartials)
        sum += partial.amplitude * std::sin(kTau * partial.harmonic * phase);
    return sum;
}

// One value of a periodic shape at a phase in cycles, before scaling.
double cycleValue(Shape shape, double phase)
{
    switch (shape) {
    case Shape::RisingRamp: return 2 * fraction(phase) - 1;
    case Shape::FallingSaw: return 1 - 2 * fraction(phase);
    case Shape::Triangle: return 1 - 4 * std::fabs(fraction(phase) - 0.5);
    case Shape::HarmonicMix: return harmonicMix(phase);
    case Shape::Noise:
    case Shape::Silence: break;
    }
    return 0;
}

// Uniform values in [-1, 1) from a xorshift generator with a fixed seed.
std::vector<double> noiseValues(int frames)
{
    std::vector<double> values(static_cast<size_t>(frames));
    uint32_t state = kNoiseSeed;
    for (double& value : values) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        value = (static_cast<int>(state >> 18) - 8192) / 8192.0;
    }
    return values;
}

// Frames are sampled at the middle of their slice of the cycle, which keeps
// the ramps free of a DC offset and their values whole numbers.
std::vector<double> cycleValues(const Waveform& waveform)
{
    std::vector<double> values(static_cast<size_t>(waveform.frames));
    for (int n = 0; n < waveform.frames; ++n)
        values[n] = cycleValue(waveform.shape, (n + 0.5) / waveform.frames + waveform.phase);
    if (waveform.shape == Shape::HarmonicMix) {
        double largest = 0;
        for (double value : values) largest = std::max(largest, std::fabs(value));
        for (double& value : values) value /= largest;
    }
    return values;
}

} // namespace

std::vector<int16_t> waveformSamples(const Waveform& waveform)
{
    std::vector<double> values = waveform.shape == Shape::Noise ? noiseValues(waveform.frames) : cycleValues(waveform);
    std::vector<int16_t> samples(values.size());
    for (size_t n = 0; n < values.size(); ++n) samples[n] = static_cast<int16_t>(std::lround(values[n] * kWavePeak));
    return samples;
}
