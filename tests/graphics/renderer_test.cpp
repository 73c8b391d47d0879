// The renderer draws on exactly the pixels and in exactly the colours the
// batch says, and batches as promised; all read back from Mesa.
#include "graphics/renderer.h"
#include "tests/support/gl/gl_window.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

namespace {

using RendererTest = GlWindowTest;

// A surface holding the given 0xAARRGGBB pixels.
std::shared_ptr<gxtkSurface> surfaceOf(gxtkGraphics& renderer, int width, int height, const std::vector<int>& argb)
{
    std::shared_ptr<gxtkSurface> surface = renderer.newBlankSurface(width, height);
    renderer.storeSurfacePixels(*surface, argb, 0, 0, width, height, 0, width);
    return surface;
}

} // namespace

TEST_F(RendererTest, FilledRectanglesPointsAndLinesLandOnTheirPixels)
{
    beginFrame();
    renderer().fillRect(10, 20, 5, 3);
    renderer().plotPoint(30, 40);
    renderer().strokeLine(50, 60, 60, 60);  // horizontal
    renderer().strokeLine(70, 10, 70, 15);  // vertical
    endFrame();

    // The rectangle covers columns 10..14 and rows 20..22, nothing more.
    EXPECT_EQ(pixel(10, 20), white);
    EXPECT_EQ(pixel(14, 22), white);
    for (auto [x, y] : {std::pair {9, 20}, {15, 20}, {10, 19}, {10, 23}})
        EXPECT_EQ(pixel(x, y), black) << x << "," << y;
    // A point lights its own pixel only.
    EXPECT_EQ(pixel(30, 40), white);
    for (auto [x, y] : {std::pair {29, 40}, {31, 40}, {30, 39}, {30, 41}}) EXPECT_EQ(pixel(x, y), black);
    // Lines run along the one pixel row or column they name, not half on the
    // next; which end pixels they light is the rasteriser's rule.
    for (int x = 51; x < 59; ++x) EXPECT_EQ(pixel(x, 60), white) << x;
    EXPECT_EQ(pixel(55, 59), black);
    EXPECT_EQ(pixel(55, 61), black);
    EXPECT_EQ(pixel(49, 60), black);
    EXPECT_EQ(pixel(61, 60), black);
    for (int y = 11; y < 14; ++y) EXPECT_EQ(pixel(70, y), white) << y;
    EXPECT_EQ(pixel(69, 12), black);
    EXPECT_EQ(pixel(71, 12), black);
    EXPECT_EQ(pixel(70, 16), black);
}

TEST_F(RendererTest, ColoursAreTruncatedPremultipliedAndBlendedByMode)
{
    beginFrame();
    renderer().setTint(100.9f, 50.5f, 200.99f);
    renderer().fillRect(0, 0, 4, 4);
    // Half opacity over black: each channel is int(255 * 0.5).
    renderer().setTint(255, 255, 255);
    renderer().setOpacity(0.5f);
    renderer().fillRect(10, 0, 4, 4);
    // Two additive layers add up; mode 2 is ordinary alpha blending like 0.
    renderer().setOpacity(1);
    renderer().setTint(100, 0, 0);
    renderer().setBlendMode(blendAdditive);
    renderer().fillRect(20, 0, 4, 4);
    renderer().fillRect(20, 0, 4, 4);
    renderer().setBlendMode(2);
    renderer().fillRect(30, 0, 4, 4);
    renderer().fillRect(30, 0, 4, 4);
    // A tint beyond 255 saturates instead of wrapping round.
    renderer().setBlendMode(blendAlpha);
    renderer().setTint(300, -5, 255);
    renderer().fillRect(40, 0, 4, 4);
    endFrame();

    EXPECT_EQ(pixel(1, 1), 0xFF6432C8u);
    EXPECT_EQ(pixel(11, 1) & 0xFFFFFF, 0x7F7F7Fu);
    EXPECT_EQ(pixel(21, 1), 0xFFC80000u);
    EXPECT_EQ(pixel(31, 1), 0xFF640000u);
    EXPECT_EQ(pixel(41, 1), 0xFFFF00FFu);
}

// GL is set up only when a frame first draws: a blend mode chosen before
// that still holds, and a frame that draws nothing leaves GL as it was.
TEST_F(RendererTest, StateChosenBeforeTheFirstDrawingHoldsAndAnEmptyFrameTouchesNoGl)
{
    beginFrame();
    renderer().setTint(100, 0, 0);
    renderer().fillRect(50, 0, 4, 4);
    endFrame();
    beginFrame();
    renderer().setBlendMode(blendAdditive);
    renderer().setTint(100, 0, 0);
    renderer().fillRect(50, 0, 4, 4);
    endFrame();
    EXPECT_EQ(pixel(51, 1), 0xFFC80000u);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    beginFrame();
    renderer().setBlendMode(blendAlpha);
    renderer().setClipRect(10, 10, 5, 5);
    endFrame();
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(game().framePresented());
}

TEST_F(RendererTest, ClipRectangleIsFlippedToGlRowsAndTheWholeViewTurnsItOff)
{
    beginFrame();
    renderer().setClipRect(100, 50, 10, 5);
    renderer().fillRect(0, 0, 640, 475);
    renderer().setClipRect(0, 0, 640, 475);
    renderer().setTint(0, 0, 255);
    renderer().fillRect(600, 460, 10, 10);
    endFrame();

    EXPECT_EQ(pixel(100, 50), white);
    EXPECT_EQ(pixel(109, 54), white);
    for (auto [x, y] : {std::pair {99, 50}, {110, 50}, {100, 49}, {100, 55}, {100, 420}})
        EXPECT_EQ(pixel(x, y), black) << x << "," << y;
    EXPECT_EQ(pixel(605, 465), 0xFF0000FFu);
}

TEST_F(RendererTest, ClearDropsWhatWasNotYetDrawn)
{
    beginFrame();
    renderer().fillRect(0, 0, 50, 50);
    renderer().clear(0, 0, 255);
    endFrame();
    EXPECT_EQ(pixel(10, 10), 0xFF0000FFu);
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 0);
}

TEST_F(RendererTest, BatchesBreakOnlyOnKindTextureFullBufferAndGlState)
{
    std::shared_ptr<gxtkSurface> page = surfaceOf(renderer(), 2, 2, std::vector<int>(4, -1));
    std::shared_ptr<gxtkSurface> other = surfaceOf(renderer(), 2, 2, std::vector<int>(4, -1));
    auto drawCalls = [&](auto draw) {
        beginFrame();
        draw();
        endFrame();
        return renderer().lastFrameDrawCalls();
    };

    // Regions of one surface with tint, opacity and transform changes between them.
    EXPECT_EQ(drawCalls([&] {
                  renderer().blitSurfaceRegion(page, 0, 0, 1, 1, 10, 10);
                  renderer().setTint(255, 0, 0);
                  renderer().setOpacity(0.5f);
                  renderer().setTransform(2, 0, 0, 2, 5, 5);
                  renderer().blitSurfaceRegion(page, 1, 1, 1, 1, 20, 10);
              }),
              1);
    // An untextured quad or another texture between them starts new batches.
    EXPECT_EQ(drawCalls([&] {
                  renderer().blitSurfaceRegion(page, 0, 0, 1, 1, 10, 10);
                  renderer().fillRect(0, 0, 1, 1);
                  renderer().blitSurfaceRegion(page, 0, 0, 1, 1, 20, 10);
                  renderer().blitSurface(other, 30, 10);
              }),
              4);
    // 256 quads fill one batch; the 257th starts a second.
    EXPECT_EQ(drawCalls([&] {
                  for (int i = 0; i < 256; ++i) renderer().fillRect(float(i), 0, 1, 1);
              }),
              1);
    EXPECT_EQ(drawCalls([&] {
                  for (int i = 0; i < 257; ++i) renderer().fillRect(float(i), 0, 1, 1);
              }),
              2);
    // Triangles merge; blend and clip changes flush.
    EXPECT_EQ(drawCalls([&] {
                  renderer().fillPolygon({0, 0, 10, 0, 0, 10});
                  renderer().fillPolygon({20, 0, 30, 0, 20, 10});
                  renderer().setBlendMode(blendAdditive);
                  renderer().fillPolygon({40, 0, 50, 0, 40, 10});
                  renderer().setClipRect(0, 0, 100, 100);
                  renderer().fillPolygon({60, 0, 70, 0, 60, 10});
              }),
              3);
    // Polygons of more than four points share a batch but are one fan each.
    EXPECT_EQ(drawCalls([&] {
                  renderer().fillEllipse(100, 100, 0, 0);
                  renderer().fillEllipse(200, 100, 0, 0);
              }),
              2);
    // Nothing drawn, no draw call; too many or no points draw nothing.
    EXPECT_EQ(drawCalls([&] {
                  renderer().fillPolygon({});
                  renderer().fillPolygon(std::vector<float>(2 * 1025, 1.0f));
              }),
              0);
}

TEST_F(RendererTest, EllipsesFillTheirInscribedShape)
{
    beginFrame();
    renderer().fillEllipse(200, 200, 40, 20);
    renderer().fillEllipse(-2000, -2000, 5000, 5000);  // a huge oval caps at 1024 vertices
    endFrame();
    // The huge one covers the whole window, so look at the first one alone.
    EXPECT_EQ(pixel(320, 240), white);
    beginFrame();
    renderer().clear(0, 0, 0);
    renderer().fillEllipse(200, 200, 40, 20);
    endFrame();
    EXPECT_EQ(pixel(220, 210), white);
    EXPECT_EQ(pixel(201, 201), black);
    EXPECT_EQ(pixel(238, 210), white);
    EXPECT_EQ(pixel(241, 210), black);
}

TEST_F(RendererTest, ImagePixelsArePremultipliedAndDrawnExactly)
{
    // Row 0: opaque red, half-transparent orange; row 1: white, transparent.
    std::vector<unsigned char> rgba {255, 0, 0, 255, 200, 100, 50, 128, 255, 255, 255, 255, 9, 9, 9, 0};
    std::shared_ptr<gxtkSurface> surface =
        renderer().loadImageSurface(widen(writeTestPng("four.png", 2, 2, 4, rgba)));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->components(), 4);
    EXPECT_EQ(surface->pixels(), nullptr);  // given back once the texture holds them
    // Luminance with alpha is premultiplied as well.
    std::shared_ptr<gxtkSurface> grey =
        renderer().loadImageSurface(widen(writeTestPng("grey.png", 1, 1, 2, {200, 128})));
    ASSERT_TRUE(grey);

    beginFrame();
    renderer().blitSurface(surface, 10, 10);
    renderer().blitSurfaceRegion(surface, 1, 0, 1, 2, 20, 10);
    renderer().setTint(10, 20, 30);
    renderer().blitSurfaceRegion(surface, 0, 1, 1, 1, 30, 10);  // white texel takes the tint
    renderer().setTint(255, 255, 255);
    renderer().blitSurface(grey, 40, 10);
    renderer().drawTexturedPolygon({50, 10, 0, 0, 51, 10, 1, 0, 51, 11, 1, 1, 50, 11, 0, 1}, surface, 0, 1);
    endFrame();

    EXPECT_EQ(pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(pixel(11, 10), 0xFF643219u);  // (100, 50, 25) over black
    EXPECT_EQ(pixel(10, 11), white);
    EXPECT_EQ(pixel(11, 11), black);
    EXPECT_EQ(pixel(12, 10), black);
    EXPECT_EQ(pixel(20, 10), 0xFF643219u);
    EXPECT_EQ(pixel(20, 11), black);
    EXPECT_EQ(pixel(21, 10), black);
    EXPECT_EQ(pixel(30, 10), 0xFF0A141Eu);
    EXPECT_EQ(pixel(40, 10), 0xFF646464u);
    EXPECT_EQ(pixel(50, 10), white);
}

TEST_F(RendererTest, StoredAndGrabbedPixelsRoundTripWithOffsetAndPitch)
{
    std::shared_ptr<gxtkSurface> surface = renderer().newBlankSurface(3, 2);
    EXPECT_EQ(surface->pixels(), nullptr);
    // Two rows of three taken from a wider array, one value skipped at the front.
    std::vector<int> source {0, int(0xFF102030), int(0xFF405060), int(0xFF708090), 0,
                             0, int(0xFFA0B0C0), int(0xFFD0E0F0), int(0x80FF0000), 0};
    renderer().storeSurfacePixels(*surface, source, 0, 0, 3, 2, 1, 5);
    ASSERT_NE(surface->pixels(), nullptr);
    // A rectangle outside the surface or a source too short is refused.
    EXPECT_FALSE(surface->storeArgb(source, 2, 0, 2, 1, 0, 2));
    EXPECT_FALSE(surface->storeArgb(source, 0, 0, 3, 2, 5, 5));

    beginFrame();
    renderer().blitSurface(surface, 100, 200);
    endFrame();
    std::vector<int> grabbed(2 * 4, 7);
    renderer().grabScreenPixels(grabbed, 100, 200, 3, 2, 1, 4);
    std::vector<int> expected {7, int(0xFF102030), int(0xFF405060), int(0xFF708090),
                               7, int(0xFFA0B0C0), int(0xFFD0E0F0), int(0xFF800000)};
    EXPECT_EQ(grabbed, expected);
    // A grab that would run past the array reads nothing.
    std::vector<int> small(4, 7);
    renderer().grabScreenPixels(small, 100, 200, 3, 2, 0, 3);
    EXPECT_EQ(small, std::vector<int>(4, 7));
}

TEST_F(RendererTest, SurfaceSizesTheDriverRefusesFallBackToPowersOfTwo)
{
    EXPECT_EQ(nextPowerOfTwo(1), 1);
    EXPECT_EQ(nextPowerOfTwo(2), 2);
    EXPECT_EQ(nextPowerOfTwo(3), 4);
    EXPECT_EQ(nextPowerOfTwo(34), 64);
    EXPECT_EQ(nextPowerOfTwo(1056), 2048);

    // Mesa takes any size up to its limit, so a side past the limit is the
    // one way to see the retry: the texel scale then follows the padded size.
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    std::shared_ptr<gxtkSurface> accepted = renderer().newBlankSurface(34, 3);
    EXPECT_FLOAT_EQ(accepted->texelScaleU(), 1.0f / 34);
    // Sides that are powers of two get one texel more, so that every texture samples alike.
    std::shared_ptr<gxtkSurface> padded = renderer().newBlankSurface(32, 1);
    EXPECT_EQ(padded->textureWidth(), 33);
    EXPECT_EQ(padded->textureHeight(), 3);
    EXPECT_FLOAT_EQ(padded->texelScaleU(), 1.0f / 33);
    std::shared_ptr<gxtkSurface> refused = renderer().newBlankSurface(limit + 1, 1);
    EXPECT_FLOAT_EQ(refused->texelScaleU(), 1.0f / float(nextPowerOfTwo(limit + 1)));
    EXPECT_FLOAT_EQ(refused->texelScaleV(), 1.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
}
