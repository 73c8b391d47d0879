// The real program's first screen on its own X server: what start-up
// promises, read off the window as the user sees it, and the whole picture
// against a reference kept in the repository.
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t beatInk = 0x716E7E;
constexpr uint32_t statusInk = 0xAB2568;
constexpr uint32_t frameColour = 0x563C6A;
constexpr uint32_t floorMeter = 0x515D95;  // a meter at its floor of 2: (81, 93, 149)

constexpr const char* actualPicturePath = "/tmp/kovo_first_screen_actual.png";

std::string hex2(int value)
{
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", value & 0xFF);
    return digits;
}

class FirstScreen : public ::testing::Test {
protected:
    // Waits until the first full repaint has reached the window: the header
    // and the status message can be read.
    bool waitForFirstRepaint()
    {
        return waitFor(
            [this] {
                shown = tracker.screenshot();
                return shown.width == 640 && shown.height == 475 &&
                       reader.read(shown, 0, -1, 43, textInk) == "POS CHN1  CHN2  CHN3  CHN4  POS ## Status: " &&
                       reader.read(shown, 473, -1, 10, statusInk) == "Standby...";
            },
            30);
    }

    std::string textAt(int x, int y, int length, uint32_t ink = textInk) const
    {
        return reader.read(shown, x, y, length, ink);
    }

    TrackerProcess tracker;
    ScreenText reader;
    Picture shown;
};

} // namespace

TEST_F(FirstScreen, ShowsWhatStartUpPromisesAndMatchesTheReferencePicture)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForFirstRepaint()) << "the header never became readable";

    EXPECT_EQ(textAt(385, 360, 7), " OCT:02");
    EXPECT_EQ(textAt(385, 372, 7), " SPD:04");
    EXPECT_EQ(textAt(385, 384, 7), " Len:01");
    EXPECT_EQ(textAt(385, 144, 15), "  INSTRUMENT:01");
    // The spinners have clamped the shown instrument once.
    EXPECT_EQ(textAt(385, 168, 15), "         WAV:01");
    EXPECT_EQ(textAt(385, 204, 15), "         ENV:01");
    EXPECT_EQ(textAt(520, 440, 9), "LAYOUT DE");
    EXPECT_EQ(textAt(0, 408, 34), "    on    on    on    on   FLW:Off");
    EXPECT_EQ(textAt(520, 323, 9), "PLAY HOME");
    const char* logo[] = {"[ [ [[[ [ [ [[[", "[ [ [ [ [ [ [ [", "[[  [ [ [ [ [ [", "[ [ [ [  [  [ [", "[ [ [[[  [  [[["};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(textAt(425, 40 + 12 * row, 15), logo[row]);
    for (int c = 0; c < 32; ++c) {
        uint32_t ink = c % 4 == 0 ? beatInk : textInk;
        EXPECT_EQ(textAt(0, 12 + 12 * c, 2, ink), hex2(c)) << "grid row " << c;
        EXPECT_EQ(textAt(297, 12 + 12 * c, 7), " " + hex2(c) + "  00") << "position entry " << c;
    }
    // Row 0's note sits on the pattern cursor; the other rows read whole.
    for (int c = 1; c < 32; ++c)
        EXPECT_EQ(textAt(0, 12 + 12 * c, 27, c % 4 == 0 ? beatInk : textInk), hex2(c) + "  ---00 ---00 ---00 ---00");
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(shown.at(415 + 22 * k, 347), floorMeter);
        EXPECT_EQ(shown.at(415 + 22 * k, 345), frameColour);
    }

    Picture reference = loadPng(KOVO_FIRST_SCREEN_REFERENCE);
    int differing = -1;
    if (reference.width == shown.width && reference.height == shown.height) {
        differing = 0;
        for (size_t i = 0; i < shown.pixels.size(); ++i) differing += shown.pixels[i] != reference.pixels[i];
    }
    if (differing != 0) shown.savePng(actualPicturePath);
    EXPECT_EQ(differing, 0) << "the first screen differs from " << KOVO_FIRST_SCREEN_REFERENCE << " in " << differing
                            << " pixels (-1: size or file); the actual picture is " << actualPicturePath;

    EXPECT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
}

// Playing with FLW on, the marker runs down the grid one row at a time and
// is erased behind itself: every row it has passed must read as before.
TEST_F(FirstScreen, RowsThePlayMarkerHasPassedReadWhole)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForFirstRepaint());
    tracker.click(330, 418);  // FLW on
    tracker.key("F1");
    // The marker of row r is a line at y = 12 r + 2, across the top of screen row r - 1.
    int markerRow = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            shown = tracker.screenshot();
            markerRow = 0;
            for (int r = 1; r < 32 && !markerRow; ++r)
                if (shown.at(150, 12 * r + 2) == statusInk) markerRow = r;
            return markerRow >= 8;
        },
        30))
        << "the marker never came past row 8";
    for (int c = 0; c < markerRow; ++c)
        EXPECT_EQ(textAt(0, 12 + 12 * c, 27, c % 4 == 0 ? beatInk : textInk), hex2(c) + "  ---00 ---00 ---00 ---00")
            << "screen row " << c << ", marker at row " << markerRow;
    tracker.key("F1");
}
