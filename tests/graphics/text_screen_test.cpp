// A screen of text in the tracker's font and colours, as the user sees it.
// The picture is saved to /tmp/kovo_graphics_text.png for a look by eye.
#include "graphics/font.h"
#include "graphics/graphics_context.h"
#include "tests/support/child_process.h"
#include "tests/support/gl/gl_window.h"

#include <unistd.h>

namespace {

using TextScreenTest = GlWindowTest;

struct Rgb {
    float r, g, b;
    uint32_t packed() const { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
};

constexpr Rgb frameColour {86, 60, 106};
constexpr Rgb textColour {148, 144, 164};
constexpr Rgb titleBarColour {38, 38, 38};
constexpr Rgb statusTextColour {171.6f, 37.2f, 104.4f};
constexpr Rgb caretColour {143, 31, 87};

void tint(const Rgb& colour) { setTint(colour.r, colour.g, colour.b); }

void drawTrackerText()
{
    tint(frameColour);
    fillRect(0, 0, 640, 475);
    setTint(0.0f, 0.0f, 0.0f);
    fillRect(2, 14, 380, 385);
    tint(titleBarColour);
    fillRect(2, 0, 640, 14);
    tint(statusTextColour);
    drawString(String(43, U' ') + U"Standby...", 0, -1);
    tint(textColour);
    drawString(U"POS CHN1  CHN2  CHN3  CHN4  POS ## Status: ", 0, -1);
    for (int row = 0; row < 8; ++row)
        drawString(U"0" + intText(row) + U"  C-2F1 --- .. E-3A2 -up.. End..", 0, float(12 + 12 * row));
    drawString(U"    on    on    off   on   FLW:Off", 0, 408);
    tint(caretColour);
    for (int row = 0; row < 3; ++row) drawString(U"[[[ [ [ [[[", 420, float(30 + 12 * row));
    drawString(U" [", 33, 12);
}

} // namespace

TEST_F(TextScreenTest, TrackerTextIsDrawnWithTheApplicationFont)
{
    // The build always generates it: a missing one is a fault of the build.
    ASSERT_EQ(access((programDirectory() + "/data/zukafont.png").c_str(), R_OK), 0) << "the generated zukafont.png is missing";
    std::shared_ptr<c_Font> font = loadAsciiStripFont(U"zukafont.png", false);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->glyph('[')->advance, 11);
    EXPECT_EQ(font->lineHeight, 12);
    selectFont(font);

    beginFrame();
    drawTrackerText();
    endFrame();
    // The backgrounds are one batch; the text, some 460 glyphs from the one
    // page whatever their tint, fills two batches of at most 256 quads.
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 3);
    Picture shown = grabWindow();
    shown.savePng("/tmp/kovo_graphics_text.png");

    // "[" is a full block: the logo's first cell is solid caret colour.
    for (int y = 30; y < 42; ++y)
        for (int x = 420; x < 431; ++x) ASSERT_EQ(shown.at(x, y), caretColour.packed()) << x << "," << y;
    // The caret's block sits on the first note of channel 1.
    EXPECT_EQ(shown.at(33 + 11 + 5, 18), caretColour.packed());
    // Header letters are text colour on the title bar; "S" of "Status:" and
    // the status message beyond it have both colours in their cells.
    auto count = [&](int x0, int y0, int w, int h, const Rgb& colour) {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) n += shown.at(x, y) == colour.packed();
        return n;
    };
    EXPECT_GT(count(0, 0, 11, 11, textColour), 5);        // "P"
    EXPECT_GT(count(0, 0, 11, 11, titleBarColour), 30);
    EXPECT_GT(count(43 * 11, 0, 11, 11, statusTextColour), 5);  // "S" of "Standby..."
    EXPECT_EQ(count(3 * 11, 0, 11, 11, textColour), 0);   // the space after "POS"
}
