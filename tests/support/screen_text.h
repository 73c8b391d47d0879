// Reading text off a picture of the tracker screen the way a user reads it:
// every 11 x 12 cell is matched against the glyphs of the application font
// "zukafont.png", so a test can say "  INSTRUMENT:0A" instead of probing pixels.
#pragma once

#include "tests/support/x_window.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

// What a cell that matches no glyph reads as.
constexpr char unreadableCell = '\x01';

class ScreenText {
public:
    static constexpr int cellWidth = 11;
    static constexpr int cellHeight = 12;

    // The font from the data folder beside the test programs.
    ScreenText();
    // The font from a strip image of 96 cells for the codes 32..127.
    explicit ScreenText(const std::string& fontPath);

    // True when the font image was there and had the expected shape.
    bool loaded() const { return loaded_; }

    // The text of `length` cells from (x, y), 0xRRGGBB ink: a cell reads as the
    // glyph whose ink pixels are exactly the cell's pixels of the ink colour.
    // Rows and columns outside the picture are left out of the comparison.
    std::string read(const Picture& picture, int x, int y, int length, uint32_t ink) const;
    // As above, and every other pixel of the cell must be the paper colour.
    std::string read(const Picture& picture, int x, int y, int length, uint32_t ink, uint32_t paper) const;

    // The status in the title bar, without the spaces around it: after
    // "Status: ", or over that word and the headings when too long for it.
    std::string status(const Picture& picture) const;

private:
    using CellMask = std::bitset<cellWidth * cellHeight>;
    static constexpr int firstCode = 32;
    static constexpr int glyphCount = 96;

    std::string readCells(const Picture& picture, int x, int y, int length, uint32_t ink, const uint32_t* paper) const;
    char readCell(const Picture& picture, int left, int top, uint32_t ink, const uint32_t* paper) const;

    std::array<CellMask, glyphCount> glyphs_ {};
    bool loaded_ = false;
};
