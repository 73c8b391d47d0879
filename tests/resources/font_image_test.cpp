#include "tests/resources/resource_files.h"

#include <gtest/gtest.h>

namespace {

constexpr int kGlyphs = 96;  // codes 32..127
constexpr int kWidth = 11;
constexpr int kHeight = 12;

using Glyph = std::vector<bool>;  // ink by row, kWidth per row

// The glyph of a code as the font loader cuts it: cells of width / 96,
// shrunk by the inset on every side.
Glyph cutGlyph(const PngPixels& strip, int code, int inset)
{
    const int cell = strip.width / kGlyphs;
    Glyph ink;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ink.push_back(strip.at((code - 32) * cell + inset + x, inset + y)[3] != 0);
    return ink;
}

bool anyInk(const Glyph& glyph, int x0, int y0, int width, int height)
{
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x)
            if (glyph[y * kWidth + x]) return true;
    return false;
}

class StripFont : public ::testing::Test {
protected:
    PngPixels strip = loadPngPixels(dataFile("zukafont.png"));
};

} // namespace

TEST_F(StripFont, IsOneRowOfNinetySixElevenUnitCellsInOpaqueWhiteOnClear)
{
    ASSERT_EQ(strip.width, 1056);
    ASSERT_EQ(strip.height, 12);
    ASSERT_EQ(strip.components, 4);
    int ink = 0;
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x) {
            const unsigned char* p = strip.at(x, y);
            bool white = p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255;
            bool clear = p[3] == 0;
            ASSERT_TRUE(white || clear) << "pixel " << x << "," << y;
            ink += white;
        }
    EXPECT_GT(ink, 1000);
}

TEST_F(StripFont, BracketFillsItsWholeCellAndSpaceIsEmpty)
{
    ASSERT_EQ(strip.width, 1056);
    EXPECT_EQ(cutGlyph(strip, '[', 0), Glyph(kWidth * kHeight, true));
    EXPECT_EQ(cutGlyph(strip, ' ', 0), Glyph(kWidth * kHeight, false));
}

TEST_F(StripFont, EveryPrintableGlyphHasInkAndDiffersFromEveryOther)
{
    ASSERT_EQ(strip.width, 1056);
    for (int code = 33; code <= 126; ++code) {
        Glyph glyph = cutGlyph(strip, code, 0);
        EXPECT_TRUE(anyInk(glyph, 0, 0, kWidth, kHeight)) << "code " << code;
        for (int other = code + 1; other <= 126; ++other)
            EXPECT_NE(glyph, cutGlyph(strip, other, 0)) << "codes " << code << " and " << other;
    }
}

TEST_F(StripFont, GlyphsKeepAClearColumnAndRowSoNeighboursNeverTouch)
{
    ASSERT_EQ(strip.width, 1056);
    for (int code = 32; code < 32 + kGlyphs; ++code) {
        if (code == '[') continue;  // the block is meant to touch: it builds the logo
        Glyph glyph = cutGlyph(strip, code, 0);
        EXPECT_FALSE(anyInk(glyph, 0, 0, 1, kHeight)) << "left column of code " << code;
        EXPECT_FALSE(anyInk(glyph, 0, 0, kWidth, 1)) << "top row of code " << code;
    }
}

// The play marker is drawn along row 2 of the grid row it has passed and
// later erased in the grid colour: ink there would be cut off.
TEST_F(StripFont, RowsAboveTheCapitalsStayClearForThePlayMarker)
{
    ASSERT_EQ(strip.width, 1056);
    for (int code = 32; code < 32 + kGlyphs; ++code) {
        if (code == '[') continue;
        EXPECT_FALSE(anyInk(cutGlyph(strip, code, 0), 0, 0, kWidth, 3)) << "code " << code;
    }
    // Capitals and digits start right below, so text sits centred in the cursor bar.
    for (int code : {'0', 'A', 'E'}) EXPECT_TRUE(anyInk(cutGlyph(strip, code, 0), 0, 3, kWidth, 1)) << "code " << code;
}

TEST(PaddedFont, HoldsTheSameGlyphsInsideAOneUnitClearBorder)
{
    PngPixels strip = loadPngPixels(dataFile("zukafont.png"));
    PngPixels padded = loadPngPixels(dataFile("zuka_font.png"));
    ASSERT_EQ(padded.width, 1248);
    ASSERT_EQ(padded.height, 14);
    ASSERT_EQ(padded.components, 4);
    ASSERT_EQ(strip.width, 1056);
    const int cell = padded.width / kGlyphs;
    for (int code = 32; code < 32 + kGlyphs; ++code) {
        EXPECT_EQ(cutGlyph(padded, code, 1), cutGlyph(strip, code, 0)) << "code " << code;
        const int left = (code - 32) * cell;
        for (int x = left; x < left + cell; ++x) {
            EXPECT_EQ(padded.at(x, 0)[3], 0) << "top border at " << x;
            EXPECT_EQ(padded.at(x, padded.height - 1)[3], 0) << "bottom border at " << x;
        }
        for (int y = 0; y < padded.height; ++y) {
            EXPECT_EQ(padded.at(left, y)[3], 0) << "left border of code " << code;
            EXPECT_EQ(padded.at(left + cell - 1, y)[3], 0) << "right border of code " << code;
        }
    }
}
