#include "tests/support/screen_text.h"

#include "tests/support/child_process.h"

#include <stb_image.h>

ScreenText::ScreenText() : ScreenText(programDirectory() + "/data/zukafont.png") {}

ScreenText::ScreenText(const std::string& fontPath)
{
    int width = 0, height = 0, components = 0;
    unsigned char* rgba = stbi_load(fontPath.c_str(), &width, &height, &components, 4);
    if (!rgba) return;
    if (width == glyphCount * cellWidth && height == cellHeight) {
        // Any alpha counts as ink: the font is drawn in one solid tint.
        for (int g = 0; g < glyphCount; ++g)
            for (int y = 0; y < cellHeight; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    glyphs_[g][y * cellWidth + x] = rgba[(y * width + g * cellWidth + x) * 4 + 3] != 0;
        loaded_ = true;
    }
    stbi_image_free(rgba);
}

std::string ScreenText::read(const Picture& picture, int x, int y, int length, uint32_t ink) const
{
    return readCells(picture, x, y, length, ink, nullptr);
}

std::string ScreenText::read(const Picture& picture, int x, int y, int length, uint32_t ink, uint32_t paper) const
{
    return readCells(picture, x, y, length, ink, &paper);
}

std::string ScreenText::readCells(const Picture& picture, int x, int y, int length, uint32_t ink,
                                  const uint32_t* paper) const
{
    std::string text;
    for (int k = 0; k < length; ++k) text += readCell(picture, x + k * cellWidth, y, ink, paper);
    return text;
}

// Exactly one glyph may match the visible part of the cell; two glyphs that
// differ only in a clipped-off row leave the cell unreadable.
char ScreenText::readCell(const Picture& picture, int left, int top, uint32_t ink, const uint32_t* paper) const
{
    CellMask inked, visible;
    for (int y = 0; y < cellHeight; ++y) {
        for (int x = 0; x < cellWidth; ++x) {
            int px = left + x, py = top + y;
            if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
            uint32_t colour = picture.at(px, py) & 0xFFFFFF;
            int bit = y * cellWidth + x;
            visible[bit] = true;
            inked[bit] = colour == ink;
            if (paper && colour != ink && colour != *paper) return unreadableCell;
        }
    }
    char found = unreadableCell;
    for (int g = 0; g < glyphCount; ++g) {
        if ((glyphs_[g] & visible) != inked) continue;
        if (found != unreadableCell) return unreadableCell;
        found = static_cast<char>(firstCode + g);
    }
    return found;
}

std::string ScreenText::status(const Picture& picture) const
{
    constexpr uint32_t statusInk = 0xAB2568;
    constexpr int firstCell = 0;  // a long status takes the headings' place
    std::string text = read(picture, firstCell * cellWidth, -1, picture.width / cellWidth - firstCell, statusInk);
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
