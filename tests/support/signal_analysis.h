// Measuring rendered sound: level, the strength of one frequency, and the
// strongest frequency in a band.
#pragma once

#include <cstddef>
#include <vector>

// Root mean square of the values.
double rms(const std::vector<float>& signal);

// Amplitude of the sine component at the frequency (Goertzel over a Hann
// window): a full-scale sine of that frequency gives about 1.
double toneAmplitude(const std::vector<float>& signal, double sampleRate, double frequency);

struct Peak {
    double frequency = 0;
    double amplitude = 0;
};

// The strongest frequency between low and high: a coarse scan, then a fine
// one around the best coarse step (to well under 0.1 % for a second of sound).
Peak strongestFrequency(const std::vector<float>& signal, double sampleRate, double low, double high);

// The values from the first to the last of a range, for skipping onsets.
std::vector<float> slice(const std::vector<float>& signal, size_t begin, size_t end);
