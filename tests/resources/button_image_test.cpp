#include "tests/resources/resource_files.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Rows holding pixels of the symbol colour (the screen's text colour) in the
// 16 columns from x0: a minus is flat, a plus and the arrows are taller.
std::set<int> symbolRows(const PngPixels& image, int x0)
{
    std::set<int> rows;
    for (int y = 0; y < image.height; ++y)
        for (int x = x0; x < x0 + 16; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[0] == 148 && p[1] == 144 && p[2] == 164 && p[3] == 255) rows.insert(y);
        }
    return rows;
}

std::vector<unsigned char> halfPixels(const PngPixels& image, int x0)
{
    std::vector<unsigned char> bytes;
    for (int y = 0; y < image.height; ++y)
        bytes.insert(bytes.end(), image.at(x0, y), image.at(x0, y) + 16 * image.components);
    return bytes;
}

} // namespace

TEST(ButtonImages, AreThirtyTwoByTwelveWithADifferentSymbolOnEachHalfAndLookUnlikeEachOther)
{
    PngPixels spinner = loadPngPixels(dataFile("button1.png"));
    PngPixels navigation = loadPngPixels(dataFile("button_navrow.png"));
    EXPECT_NE(spinner.bytes, navigation.bytes);
    for (const char* name : {"button1.png", "button_navrow.png"}) {
        PngPixels image = loadPngPixels(dataFile(name));
        ASSERT_EQ(image.width, 32) << name;
        ASSERT_EQ(image.height, 12) << name;
        ASSERT_EQ(image.components, 4) << name;
        EXPECT_FALSE(symbolRows(image, 0).empty()) << name;
        EXPECT_FALSE(symbolRows(image, 16).empty()) << name;
        EXPECT_NE(halfPixels(image, 0), halfPixels(image, 16)) << name;
    }
}

TEST(ButtonImages, SpinnerShowsMinusOnTheLeftAndPlusOnTheRight)
{
    PngPixels image = loadPngPixels(dataFile("button1.png"));
    ASSERT_EQ(image.width, 32);
    EXPECT_LE(symbolRows(image, 0).size(), 2u);
    EXPECT_GE(symbolRows(image, 16).size(), 5u);
}
