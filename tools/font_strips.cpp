#include "font_strips.h"

namespace {

constexpr Rgba kInk = {255, 255, 255, 255};

} // namespace

RgbaImage fontStrip(const GlyphSet& glyphs, int border)
{
    const int cellWidth = kGlyphWidth + 2 * border;
    RgbaImage image(cellWidth * kGlyphCount, kGlyphHeight + 2 * border);
    for (int index = 0; index < kGlyphCount; ++index)
        for (int y = 0; y < kGlyphHeight; ++y)
            for (int x = 0; x < kGlyphWidth; ++x)
                if (glyphs[index][y][x]) image.at(index * cellWidth + border + x, border + y) = kInk;
    return image;
}
