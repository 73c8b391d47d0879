// The drawing state: what a render step starts from, tints, transforms and
// their stack, and that state changes cost no draw call.
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "tests/support/gl/gl_window.h"

namespace {

using DrawingStateTest = GlWindowTest;

} // namespace

TEST_F(DrawingStateTest, EachRenderStepStartsWhiteOpaqueUntransformedAndUnclipped)
{
    beginFrame();
    setTint(255.0f, 0.0f, 0.0f);
    setOpacity(0.25f);
    setBlendMode(blendAdditive);
    setClipRect(0, 0, 10, 10);
    translateBy(300, 300);
    pushTransform();
    fillRect(0, 0, 5, 5);
    endFrame();

    beginFrame();
    EXPECT_EQ(drawState.matrixDepth, 0);
    EXPECT_EQ(drawState.transformed, 0);
    fillRect(100, 100, 2, 2);
    fillRect(100, 100, 2, 2);  // alpha blending: white stays white
    fillRect(600, 400, 2, 2);  // no clip
    endFrame();
    EXPECT_EQ(pixel(100, 100), white);
    EXPECT_EQ(pixel(600, 400), white);
    EXPECT_EQ(pixel(300, 300), black);  // the old clip kept last frame's square out
}

TEST_F(DrawingStateTest, TintTakesThreeFloatsAPackedIntOrAColour)
{
    beginFrame();
    setTint(0x10FF80);
    EXPECT_EQ(drawState.tintR, 16);
    EXPECT_EQ(drawState.tintG, 255);
    EXPECT_EQ(drawState.tintB, 128);
    fillRect(0, 0, 2, 2);
    setOpacity(0.5f);
    setTint(c_Color {200, 100, 50});
    fillRect(10, 0, 2, 2);
    endFrame();
    EXPECT_EQ(pixel(0, 0), 0xFF10FF80u);
    EXPECT_EQ(pixel(10, 0) & 0xFFFFFF, 0x643219u);
}

TEST_F(DrawingStateTest, RotatingByNinetyDegreesPutsXOneAboveTheOrigin)
{
    beginFrame();
    translateBy(100, 100);
    rotateBy(90);
    // (1, 0) maps to (0, -1) relative to the origin: straight up on the screen.
    EXPECT_NEAR(drawState.xAxisX * 1 + drawState.originX, 100, 1e-4);
    EXPECT_NEAR(drawState.xAxisY * 1 + drawState.originY, 99, 1e-4);
    fillRect(1, 0, 1, 1);  // the unit square right of the origin turns to above it
    endFrame();
    EXPECT_EQ(pixel(100, 98), white);
    EXPECT_EQ(pixel(101, 100), black);
}

TEST_F(DrawingStateTest, TransformStackGrowsPastItsFirstSizeAndRestoresInOrder)
{
    constexpr int depth = 40;  // more than the 32 transforms of the first stack
    for (int i = 0; i < depth; ++i) {
        translateBy(1, 2);
        pushTransform();
    }
    EXPECT_GE(drawState.matrixStack.size(), size_t(depth * 6));
    for (int i = depth; i > 0; --i) {
        popTransform();
        ASSERT_EQ(drawState.originX, float(i));
        ASSERT_EQ(drawState.originY, float(2 * i));
    }
    // A pop without a push changes nothing.
    popTransform();
    EXPECT_EQ(drawState.originX, 1);
    EXPECT_EQ(drawState.matrixDepth, 0);
}

TEST_F(DrawingStateTest, TransformAndColourChangesShareOneDrawCall)
{
    beginFrame();
    for (int i = 0; i < 10; ++i) {
        pushTransform();
        translateBy(float(i * 10), 0);
        scaleBy(2, 2);
        setTint(float(i * 20), 0, 0);
        fillRect(0, 200, 3, 3);
        popTransform();
    }
    endFrame();
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 1);
    EXPECT_EQ(pixel(95, 405), 0xFFB40000u);  // the last square, scaled to 6 x 6
    EXPECT_EQ(pixel(95, 406), black);
}

TEST_F(DrawingStateTest, ClipRectangleIsTruncatedToWholeUnits)
{
    beginFrame();
    setClipRect(10.9f, 20.9f, 5.9f, 5.9f);
    fillRect(0, 0, 640, 475);
    endFrame();
    EXPECT_EQ(pixel(10, 20), white);
    EXPECT_EQ(pixel(14, 24), white);
    EXPECT_EQ(pixel(15, 24), black);
    EXPECT_EQ(pixel(9, 20), black);
}

TEST_F(DrawingStateTest, DrawingOutsideARenderStepDoesNothing)
{
    fillRect(0, 0, 640, 475);
    strokeLine(0, 0, 100, 100);
    beginFrame();
    endFrame();
    EXPECT_EQ(pixel(50, 50), black);
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 0);
}
