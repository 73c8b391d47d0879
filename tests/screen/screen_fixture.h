// A tracker in the test process whose screen is drawn from a known song state
// and read back from the window's picture: texts as the user reads them,
// colours as the user sees them.
#pragma once

#include "tests/app/tracker_fixture.h"
#include "tests/support/screen_text.h"

#include <cstdint>
#include <string>
#include <vector>

// The screen's colours as the renderer puts them on screen (tints truncated
// to whole numbers), 0xRRGGBB.
namespace seen {
constexpr uint32_t frame = 0x563C6A;        // 86, 60, 106
constexpr uint32_t text = 0x9490A4;         // 148, 144, 164
constexpr uint32_t beat = 0x716E7E;         // 113, 110, 126: text / 1.3
constexpr uint32_t titleBar = 0x262626;     // 38, 38, 38
constexpr uint32_t statusText = 0xAB2568;   // 171, 37, 104
constexpr uint32_t grid = 0x000000;
constexpr uint32_t positionMark = 0x473555; // 71, 53, 85
constexpr uint32_t cursorBar = 0x52484A;    // 82, 72, 74
constexpr uint32_t block = 0x202040;        // 32, 32, 64
constexpr uint32_t caret = 0x8F1F57;        // 143, 31, 87
constexpr uint32_t description = 0x808080;
// A level meter of height L is (79 + L, 95 - L, 151 - L).
constexpr uint32_t meter(int level) { return uint32_t(79 + level) << 16 | uint32_t(95 - level) << 8 | uint32_t(151 - level); }
} // namespace seen

class ScreenFixture : public TrackerFixture {
protected:
    void SetUp() override;
    bool drawsFrames() const override { return true; }

    // A frame with a full repaint, as the first frame after three update steps.
    Picture repaint();
    // A frame as the hook draws it when no repaint is due: the meters only.
    Picture meterFrame();
    // The window's picture as the renderer holds it.
    Picture picture() { return shownPicture(); }
    // The same, in the fixture's own buffer until the next read: for tests
    // that look at each of hundreds of frames and keep none.
    const Picture& shownPicture();

    // Text of `length` cells at (x, y) in the ink colour.
    std::string textAt(const Picture& shown, int x, int y, int length, uint32_t ink) const
    {
        return reader.read(shown, x, y, length, ink);
    }
    // Text of grid row c (27 cells at y = 12 + 12c).
    std::string gridRow(const Picture& shown, int c, uint32_t ink) const { return textAt(shown, 0, 12 + 12 * c, 27, ink); }

    // Writes one cell of a channel: note key, octave digit, volume and instrument digits.
    void putNote(int channel, int index, char32_t note, char32_t octave, char32_t volume = U'0',
                 char32_t instrument = U'0');

    ScreenText reader;

private:
    // One buffer for every read: a test reads hundreds of pictures, and a fresh
    // megabyte each time is mostly page faults under the sanitizers.
    std::vector<int> grabbed_;
    Picture shown_;
};

// Pixels of a rectangle that are not the colour.
int pixelsNotOf(const Picture& shown, int x, int y, int w, int h, uint32_t colour);
// Pixels of a rectangle that differ between two pictures.
int differingPixels(const Picture& a, const Picture& b, int x, int y, int w, int h);
