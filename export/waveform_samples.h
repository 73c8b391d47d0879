// The eight waveforms' frames as the data folder holds them, for files that
// carry their own samples (MOD) rather than the player's sound.
#pragma once

#include "song/waveform_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct WaveformSamples {
    std::vector<int16_t> frames;  // one loop: a cycle, or the noise
    int rate = 0;                 // frames a second at the player's rate 1.0
};

using Waveforms = std::array<WaveformSamples, waveformFiles.size()>;

// Reads them from the data folder; nothing, with the
// reason, when one does not load as 16-bit mono.
std::optional<Waveforms> loadWaveforms(std::string& reason);
