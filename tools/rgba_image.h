// An RGBA picture in memory and its PNG encoding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using Rgba = std::array<uint8_t, 4>;

constexpr Rgba kClear = {0, 0, 0, 0};

struct RgbaImage {
    RgbaImage(int width, int height) : width(width), height(height), pixels(static_cast<size_t>(width) * height) {}

    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<Rgba> pixels;  // rows top-down, fully transparent when made
};

// PNG bytes of the picture, 4 components, the same bytes every time.
std::vector<unsigned char> encodePng(const RgbaImage& image);
