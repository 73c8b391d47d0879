// Decoded image pixels, as the graphics library hands them to surfaces and
// the host to the window's icon.
#pragma once

#include <cstdlib>
#include <memory>

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
