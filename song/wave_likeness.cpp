#include "song/wave_likeness.h"

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

// Over the same number of frames at every lag, half the sound's.
double correlation(const std::vector<float>& sound, size_t lag)
{
    double both = 0, first = 0, second = 0;
    for (size_t i = 0; i < sound.size() / 2 && i + lag < sound.size(); ++i) {
        both += double(sound[i]) * sound[i + lag];
        first += double(sound[i]) * sound[i];
        second += double(sound[i + lag]) * sound[i + lag];
    }
    return first > 0 && second > 0 ? both / std::sqrt(first * second) : 0;
}

// The shortest lag that repeats the sound nearly as well as the best one
// (so that a period is not taken for twice itself); 0 when none repeats it.
size_t periodOf(const std::vector<float>& sound)
{
    std::vector<double> repeats(longestLag + 1, 0.0);
    double best = 0;
    for (size_t lag = shortestLag; lag <= longestLag; ++lag) {
        repeats[lag] = correlation(sound, lag);
        if (repeats[lag] > best) best = repeats[lag];
    }
    if (best < periodicEnough) return 0;
    for (size_t lag = shortestLag; lag <= longestLag; ++lag)
        if (repeats[lag] >= 0.9 * best) return lag;
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
