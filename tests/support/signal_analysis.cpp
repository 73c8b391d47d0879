#include "tests/support/signal_analysis.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

std::vector<double> hannWindowed(const std::vector<float>& signal)
{
    std::vector<double> windowed(signal.size());
    const double n = static_cast<double>(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        windowed[i] = signal[i] * (0.5 - 0.5 * std::cos(2 * pi * static_cast<double>(i) / n));
    return windowed;
}

double goertzel(const std::vector<double>& windowed, double sampleRate, double frequency)
{
    if (windowed.empty()) return 0;
    const double coefficient = 2 * std::cos(2 * pi * frequency / sampleRate);
    double previous = 0, beforePrevious = 0;
    for (double value : windowed) {
        double current = value + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    // The Hann window keeps half of a sine's amplitude on average.
    return 2 * std::sqrt(std::max(power, 0.0)) / (0.5 * static_cast<double>(windowed.size()));
}

Peak scan(const std::vector<double>& windowed, double sampleRate, double low, double high, double step)
{
    Peak best;
    for (double frequency = low; frequency <= high; frequency += step) {
        double amplitude = goertzel(windowed, sampleRate, frequency);
        if (amplitude > best.amplitude) best = {frequency, amplitude};
    }
    return best;
}

} // namespace

double rms(const std::vector<float>& signal)
{
    if (signal.empty()) return 0;
    double sum = 0;
    for (float value : signal) sum += static_cast<double>(value) * value;
    return std::sqrt(sum / static_cast<double>(signal.size()));
}

double toneAmplitude(const std::vector<float>& signal, double sampleRate, double frequency)
{
    return goertzel(hannWindowed(signal), sampleRate, frequency);
}

Peak strongestFrequency(const std::vector<float>& signal, double sampleRate, double low, double high)
{
    std::vector<double> windowed = hannWindowed(signal);
    const double duration = static_cast<double>(signal.size()) / sampleRate;
    const double coarseStep = 0.5 / std::max(duration, 1e-3);  // a quarter of the Hann main lobe
    Peak coarse = scan(windowed, sampleRate, low, high, coarseStep);
    return scan(windowed, sampleRate, coarse.frequency - coarseStep, coarse.frequency + coarseStep,
                coarseStep / 50);
}

std::vector<float> slice(const std::vector<float>& signal, size_t begin, size_t end)
{
    end = std::min(end, signal.size());
    begin = std::min(begin, end);
    return std::vector<float>(signal.begin() + static_cast<long>(begin), signal.begin() + static_cast<long>(end));
}
