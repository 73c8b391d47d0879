// A small writer of ProTracker modules from a description, so that tests
// have module files of the project's own making: 4 channels ("M.K."), or 6
// or 8 ("6CHN", "8CHN"), 64-row patterns, 8-bit samples looped whole.
#pragma once

#include <array>
#include <string>
#include <vector>

struct ModCell {
    int note = -1;   // semitones from ProTracker's C-1 (period 856), 0..35; -1 none
    int sample = 0;  // 1..31, 0 none
    int effect = 0;  // 0..15
    int parameter = 0;
};

constexpr int modRows = 64;

struct ModPattern {
    int channels = 4;
    std::vector<ModCell> cells = std::vector<ModCell>(modRows * 4);
    ModCell& at(int row, int channel) { return cells[size_t(row * channels + channel)]; }
};

struct ModSample {
    std::string name;
    std::vector<signed char> data;  // an even number of bytes
    int volume = 64;
};

struct ModDescription {
    int channels = 4;
    std::vector<ModSample> samples;  // up to 31
    std::vector<int> orders;         // up to 128
    std::vector<ModPattern> patterns;
};

// A pattern of the description's channel count, all empty.
ModPattern emptyModPattern(int channels);

// The module's bytes.
std::string modBytes(const ModDescription& description);

// One cycle of 64 samples, and a stretch of noise: the shapes tests give.
std::vector<signed char> sawCycle();
std::vector<signed char> sineCycle();
std::vector<signed char> noiseSamples(size_t count);
