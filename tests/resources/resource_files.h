// Reading the generated data folder the way the program reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files the build puts in the data folder.
extern const std::vector<std::string> kResourceFiles;

// Path of a file in the data folder beside the test program.
std::string dataFile(const std::string& name);

// A PNG decoded with its own number of components.
struct PngPixels {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<unsigned char> bytes;

    const unsigned char* at(int x, int y) const
    {
        return &bytes[(static_cast<size_t>(y) * width + x) * components];
    }
};

// Empty (width 0) when the file is missing or not an image.
PngPixels loadPngPixels(const std::string& path);

// The 16-bit mono samples of a WAV read through the program's decoder; empty
// unless the file decodes as 16-bit mono at the waveform rate.
std::vector<int16_t> loadWaveform(const std::string& path);
