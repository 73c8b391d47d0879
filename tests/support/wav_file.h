// WAV files made by tests, field by field, so that broken headers can be
// made as easily as good ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavLayout {
    int formatTag = 1;  // 1 = integer PCM
    int channels = 1;
    int rate = 16744;
    int bits = 16;
    // Size field of the "fmt " chunk; above 16 the rest is zero bytes, below
    // 16 the chunk body is cut to that many bytes.
    uint32_t formatSize = 16;
    std::string chunksBeforeData;  // whole chunks placed between "fmt " and "data"
    std::string data;
    int64_t declaredDataSize = -1;  // -1: the real size of data
};

// A whole chunk: tag, little-endian size, body.
std::string riffChunk(const std::string& tag, const std::string& body);

// "RIFF", size, "WAVE", then the chunks as the layout says.
std::string wavBytes(const WavLayout& layout);

// Little-endian 16-bit PCM bytes.
std::string pcm16(const std::vector<int16_t>& values);

// One cycle of a rising saw over the full 16-bit range.
std::vector<int16_t> sawCycle(int frames);

// A rising count 0, 1, 2, ... so that a test can see where playback started.
std::vector<int16_t> ramp(int frames, int step);
