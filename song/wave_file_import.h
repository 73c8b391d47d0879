// A single-cycle WAV file taken in as a song's own wave, read through
// libsndfile: 8/16/24/32-bit or float, any channels mixed down, any rate (a
// cycle is a cycle, whatever its rate), 16 to 4096 frames.
#pragma once

#include "song/own_waves.h"

#include <cstddef>
#include <optional>
#include <string>

constexpr long shortestCycleFrames = 16;
constexpr long longestCycleFrames = 4096;
// Far above any cycle of 4096 frames, however many channels; a larger file
// is refused before it is read.
constexpr size_t waveFileSizeLimit = size_t {1} << 20;

// Either a wave, or why there is none (the status row's text).
struct WaveImport {
    std::optional<OwnWave> wave;
    const char* problem = nullptr;
};

constexpr const char* waveNotFound = "Wave file not found!";
constexpr const char* waveNotReadable = "Wave file not readable!";
constexpr const char* waveTooLarge = "Wave file too large!";
constexpr const char* waveNotWav = "Not a WAV file!";
constexpr const char* waveBadLength = "A wave needs 16 to 4096 frames!";

WaveImport importWaveBytes(const std::string& bytes);
WaveImport importWaveFile(const std::string& path);
