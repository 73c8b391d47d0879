#include "song/wave_likeness.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t shortestLag = 16;
constexpr size_t longestLag = 1024;
constexpr double periodicEnough = 0.5;
// A sine's slope over its level is 2 pi / period; a triangle's is 1.1 times
// that, a band-limited saw's many times.
constexpr double smoothBrightness = 2.0;
constexpr double silence = 1e-4;
constexpr double pi = 3.14159265358979323846;

// How well each lag repeats the sound, over the first half of it: the
// energies come from running sums, so that a lag costs one product a frame.
std::vector<double> repeats(const std::vector<float>& sound)
{
    const size_t span = sound.size() / 2;
    std::vector<double> energyBefore(sound.size() + 1, 0.0);
    for (size_t i = 0; i < sound.size(); ++i) energyBefore[i + 1] = energyBefore[i] + double(sound[i]) * sound[i];
    std::vector<double> repeat(longestLag + 1, 0.0);
    for (size_t lag = shortestLag; lag <= longestLag && lag + span <= sound.size(); ++lag) {
        double both = 0;
        for (size_t i = 0; i < span; ++i) both += double(sound[i]) * sound[i + lag];
        double energies = energyBefore[span] * (energyBefore[lag + span] - energyBefore[lag]);
        repeat[lag] = energies > 0 ? both / std::sqrt(energies) : 0;
    }
    return repeat;
}

// The shortest lag that repeats the sound nearly as well as the best one
// (so that a period is not taken for twice itself); 0 when none repeats it.
size_t periodOf(const std::vector<float>& sound)
{
    std::vector<double> repeat = repeats(sound);
    double best = *std::max_element(repeat.begin(), repeat.end());
    if (best < periodicEnough) return 0;
    for (size_t lag = shortestLag; lag <= longestLag; ++lag)
        if (repeat[lag] >= 0.9 * best) return lag;
    return 0;
}

double rootMeanSquare(const std::vector<float>& sound, bool slope)
{
    double sum = 0;
    for (size_t i = slope ? 1 : 0; i < sound.size(); ++i) {
        double value = slope ? double(sound[i]) - sound[i - 1] : sound[i];
        sum += value * value;
    }
    return std::sqrt(sum / double(sound.size()));
}

} // namespace

int likestWave(const std::vector<float>& sound)
{
    if (sound.size() < 2 * longestLag || rootMeanSquare(sound, false) < silence) return waveBright;
    size_t period = periodOf(sound);
    if (period == 0) return waveNoise;
    double brightness = rootMeanSquare(sound, true) / rootMeanSquare(sound, false) * double(period) / (2 * pi);
    return brightness < smoothBrightness ? waveSmooth : waveBright;
}
