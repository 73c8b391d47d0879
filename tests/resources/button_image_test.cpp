#include "tests/resources/resource_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

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

TEST(ButtonImages, AreThirtyTwoWideWithADifferentSymbolOnEachHalfAndLookUnlikeEachOther)
{
    PngPixels spinner = loadPngPixels(dataFile("button1.png"));
    PngPixels navigation = loadPngPixels(dataFile("button_navrow.png"));
    EXPECT_NE(spinner.bytes, navigation.bytes);
    // The navigation row holds the pattern spinner and the insert and delete keys.
    for (auto [name, height] : {std::pair {"button1.png", 12}, std::pair {"button_navrow.png", 38}}) {
        PngPixels image = loadPngPixels(dataFile(name));
        ASSERT_EQ(image.width, 32) << name;
        ASSERT_EQ(image.height, height) << name;
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

// The insert and delete keys must lie inside their click areas, 12 units
// apart below the spinner, with clear rows between them so they read as keys.
TEST(ButtonImages, NavigationRowShowsInsertAndDeleteKeysInsideTheirClickAreas)
{
    PngPixels image = loadPngPixels(dataFile("button_navrow.png"));
    ASSERT_EQ(image.height, 38);
    auto rowIsClear = [&](int y) {
        for (int x = 0; x < image.width; ++x)
            if (image.at(x, y)[3] != 0) return false;
        return true;
    };
    // Image rows of the keys: the click areas span y 26..38 and 38..50 on
    // screen, the image stands at y 12.
    for (int top : {2, 14, 26}) {
        EXPECT_TRUE(rowIsClear(top - 2) && rowIsClear(top - 1)) << "gap above the key at row " << top;
        for (int y = top; y < top + 10; ++y) EXPECT_FALSE(rowIsClear(y)) << "key row " << y;
    }
    EXPECT_TRUE(rowIsClear(36) && rowIsClear(37));
    auto wordPixels = [&](int top) {
        std::vector<unsigned char> bytes;
        for (int y = top; y < top + 10; ++y) bytes.insert(bytes.end(), image.at(0, y), image.at(0, y) + 32 * 4);
        return bytes;
    };
    std::set<int> inked = symbolRows(image, 0);
    for (int top : {14, 26}) EXPECT_GE(std::count_if(inked.begin(), inked.end(), [&](int y) { return y >= top && y < top + 10; }), 5);
    EXPECT_NE(wordPixels(14), wordPixels(26)) << "insert and delete look alike";
}
