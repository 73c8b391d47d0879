// The vertex layout every textured quad is handed to GL in, and the order a
// quad's corners are drawn in.
#pragma once

#include <array>
#include <cstdint>

// Position, texture coordinate and the premultiplied colour in memory order
// R, G, B, A.
struct BatchVertex {
    float x, y, u, v;
    std::array<uint8_t, 4> colour;
};
static_assert(sizeof(BatchVertex) == 20, "GL reads vertices with a stride of 20 bytes");

// A quad's four corners as two triangles.
inline constexpr std::array<uint16_t, 6> quadCorners {0, 1, 2, 0, 2, 3};

// Makes GL read positions, texture coordinates and colours from these
// vertices (client-side arrays), and turns the three arrays on.
void pointArraysAt(const BatchVertex* vertices);
