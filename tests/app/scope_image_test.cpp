// The scopes drawn on the CPU and shown as an image land on the very pixels
// the renderer gives the same boxes and columns drawn as rectangles, each
// channel in its own box, the gaps between the boxes untouched, the four
// boxes shown as one part.
#include "app/screen/meter_image.h"
#include "app/screen/scope_image.h"
#include "graphics/drawing.h"
#include "graphics/graphics_context.h"
#include "tests/support/gl/gl_window.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using ScopeImageTest = GlWindowTest;

// The whole scope area with a unit's margin.
constexpr int areaX = 388, areaY = 279, areaWidth = 126, areaHeight = 76;

// The scope as rectangles: the box, then a column a unit from the column's
// highest value to its lowest, reaching on to the next column's.
void drawAsRectangles(int channel, const ScopeTrace& trace, const Colour& background, const Colour& line)
{
    ScreenRect box = layout::scopeBox(channel);
    setTint(background.r, background.g, background.b);
    fillRect(box.x, box.y, box.width, box.height);
    setTint(line.r, line.g, line.b);
    float middle = box.y + box.height / 2, reach = (box.height / 2 - 1) / 2;
    auto yOf = [&](float value) { return std::floor(std::clamp(middle - value * reach, box.y, box.y + box.height - 1)); };
    for (int column = 0; column < scopeColumns; ++column) {
        int next = std::min(column + 1, scopeColumns - 1);
        float top = yOf(std::max(trace.high[column], trace.high[next]));
        float bottom = yOf(std::min(trace.low[column], trace.low[next]));
        fillRect(box.x + (box.width - scopeColumns) / 2 + column, top, 1, bottom - top + 1);
    }
}

ScopeTrace randomTrace(std::mt19937& random, float swing)
{
    std::uniform_real_distribution<float> value(-swing, swing);
    ScopeTrace trace;
    for (int column = 0; column < scopeColumns; ++column) {
        float a = value(random), b = value(random);
        trace.low[column] = std::min(a, b);
        trace.high[column] = std::max(a, b);
    }
    return trace;
}

} // namespace

TEST_F(ScopeImageTest, ShowsWhatRectanglesWouldDrawInEachChannelsBox)
{
    std::mt19937 random(45);
    ScopeTrace ramp;
    for (int column = 0; column < scopeColumns; ++column) ramp.low[column] = ramp.high[column] = -2 + 4.0f * column / 57;
    ScopeTrace beyond = randomTrace(random, 6);  // clamped to the box
    // Fractional and out-of-range tints, as a theme file may give them.
    const Colour background {12.7f, 200.2f, 255.9f}, line {300, -5, 128.5f};
    const std::vector<std::array<ScopeTrace, 4>> frames {
        {ScopeTrace(), ramp, beyond, randomTrace(random, 2)},
        {randomTrace(random, 2), randomTrace(random, 1), ScopeTrace(), ramp},
    };
    ScopeImage image;
    for (const auto& traces : frames) {
        beginFrame();
        renderer().clear(1, 2, 3);
        for (int k = 0; k < 4; ++k) drawAsRectangles(k, traces[size_t(k)], background, line);
        std::vector<uint32_t> expected = pixels(areaX, areaY, areaWidth, areaHeight);
        renderer().clear(1, 2, 3);
        for (int k = 0; k < 4; ++k) image.draw(k, traces[size_t(k)], background, line);
        EXPECT_EQ(pixels(areaX, areaY, areaWidth, areaHeight), expected);
        endFrame();
    }
    // Four boxes, one part for the window system to copy.
    beginFrame();
    for (int k = 0; k < 4; ++k) image.draw(k, frames.back()[size_t(k)], background, line);
    endFrame();
    EXPECT_EQ(renderer().frameDamage().size(), 1u);

    // One box drawn again shows its new trace; the others stay as they were.
    beginFrame();
    ScopeTrace moved = randomTrace(random, 2);
    drawAsRectangles(2, moved, background, line);
    std::vector<uint32_t> expected = pixels(areaX, areaY, areaWidth, areaHeight);
    drawAsRectangles(2, frames.back()[2], background, line);
    image.draw(2, moved, background, line);
    EXPECT_EQ(pixels(areaX, areaY, areaWidth, areaHeight), expected);
    endFrame();
}

// A meter written as pixels lands on the very pixels of its two rectangles,
// at every height, with fractional and out-of-range tints too; its
// neighbours' boxes stay as they were.
TEST_F(ScopeImageTest, MeterPixelsAreTheMetersRectangles)
{
    const Colour back {86, 60.7f, 300}, bar {12.9f, -4, 254.99f};
    constexpr int meterX = 407, meterY = 284, spacing = 22;
    MeterImage image;
    for (int level : {0, 2, 3, 33, 63, 64, 70}) {
        for (int channel : {0, 3}) {
            float x = float(meterX + spacing * channel);
            beginFrame();
            renderer().clear(1, 2, 3);
            setTint(back.r, back.g, back.b);
            fillRect(x, 348, 16, -64);
            setTint(bar.r, bar.g, bar.b);
            fillRect(x, 348, 16, -float(std::min(level, 64)));
            std::vector<uint32_t> expected = pixels(meterX - 2, meterY - 2, 90, 68);
            EXPECT_FALSE(image.draw(channel, level, back, bar)) << "after drawing, the meter is drawn too";
            renderer().clear(1, 2, 3);
            endFrame();
            beginFrame();
            ASSERT_TRUE(image.draw(channel, level, back, bar));
            endFrame();
            EXPECT_EQ(pixels(meterX - 2, meterY - 2, 90, 68), expected) << "level " << level << ", channel " << channel;
        }
    }
}

// Drawn frame after frame over what it drew last, a scope writes only the
// rows that changed, and its boxes end as if drawn whole.
TEST_F(ScopeImageTest, ChangedRowsAloneBringTheBoxesUpToDate)
{
    std::mt19937 random(46);
    const Colour background {0, 0, 0}, line {196, 190, 220};
    ScopeImage image, whole;
    beginFrame();
    renderer().clear(1, 2, 3);
    for (int k = 0; k < 4; ++k) image.draw(k, ScopeTrace(), background, line);
    endFrame();
    for (float swing : {0.1f, 2.0f, 0.5f, 0.0f}) {
        std::array<ScopeTrace, 4> traces;
        for (ScopeTrace& trace : traces) trace = randomTrace(random, swing);
        beginFrame();
        for (int k = 0; k < 4; ++k) image.draw(k, traces[size_t(k)], background, line, false);
        std::vector<uint32_t> drawn = pixels(areaX, areaY, areaWidth, areaHeight);
        endFrame();
        long changed = 0;
        for (const PictureRect& part : renderer().frameDamage()) changed += part.area();
        if (swing == 0.1f) {
            EXPECT_LT(changed, 4 * 60 * 35 / 2) << "a narrow trace changes a few rows";
        }
        beginFrame();
        for (int k = 0; k < 4; ++k) whole.draw(k, traces[size_t(k)], background, line);
        EXPECT_EQ(drawn, pixels(areaX, areaY, areaWidth, areaHeight)) << "swing " << swing;
        endFrame();
    }
}
