// A screen colour as the pixel the renderer gives a quad of that tint, for
// parts of the screen the program works out itself and writes as pixels.
#pragma once

#include "app/screen/screen_colours.h"
#include "graphics/renderer.h"

#include <cstdint>

// Opaque 0xAARRGGBB.
inline int opaqueArgb(const Colour& colour)
{
    return static_cast<int>(0xFF000000u | uint32_t(colourByte(colour.r)) << 16 | uint32_t(colourByte(colour.g)) << 8 |
                            colourByte(colour.b));
}
