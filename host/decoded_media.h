// Decoded image pixels and audio samples as the host hands them to surfaces
// and samples.
#pragma once

#include <cstdlib>
#include <memory>
#include <vector>

struct FreeDeleter {
    void operator()(unsigned char* block) const { std::free(block); }
};

// A block from the C allocator (the image decoder gives one): freed with free.
using PixelBlock = std::unique_ptr<unsigned char, FreeDeleter>;

struct ImagePixels {
    PixelBlock data;    // rows top-down, `components` bytes per pixel; null when decoding failed
    int width = 0;
    int height = 0;
    int components = 0;
};

struct AudioSamples {
    std::vector<unsigned char> data;  // interleaved PCM: 8-bit unsigned or 16-bit signed
    int length = 0;                   // whole sample frames
    int channels = 0;
    int bytesPerSample = 0;
    int rate = 0;
};
