// The window keeps its picture between frames whatever the driver does with
// the back buffer, and surfaces survive a new GL context.
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "tests/support/gl/gl_window.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

namespace {

constexpr uint32_t white = 0xFFFFFFFF;
constexpr uint32_t frameColour = 0xFF563C6A;

using WindowPictureTest = GlWindowTest;

// What a driver that does not keep the back buffer may leave after a swap.
void spoilBackBuffer()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Pixels of the whole window that differ between the picture and the X server's view of it.
int differences(const std::vector<uint32_t>& picture, const Picture& shown)
{
    int count = 0;
    for (size_t i = 0; i < picture.size(); ++i) count += (picture[i] & 0xFFFFFF) != shown.pixels[i];
    return count;
}

} // namespace

TEST_F(WindowPictureTest, AFrameDrawnOnceStaysOnScreenThroughEmptyFrames)
{
    beginFrame();
    setTint(86.0f, 60.0f, 106.0f);
    fillRect(0, 0, 640, 475);
    setTint(255.0f, 255.0f, 255.0f);
    fillRect(100, 100, 50, 20);
    endFrame();
    for (int frame = 0; frame < 5; ++frame) {
        spoilBackBuffer();
        beginFrame();
        endFrame();
    }
    // A later frame draws on top of what is there; a clip rectangle left set
    // at its end does not cut the picture shown.
    beginFrame();
    strokeLine(0, 300, 640, 300);
    setClipRect(0, 0, 5, 5);
    endFrame();

    EXPECT_EQ(pixel(120, 110), white);
    EXPECT_EQ(pixel(10, 10), frameColour);
    EXPECT_EQ(pixel(320, 300), white);
    Picture shown = grabWindow();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 475);
    EXPECT_EQ(shown.at(120, 110), 0xFFFFFFu);
    EXPECT_EQ(shown.at(10, 10), frameColour & 0xFFFFFF);
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), shown), 0);
}

TEST_F(WindowPictureTest, SurfacesAreMadeAgainForANewContext)
{
    std::vector<unsigned char> rgb {255, 0, 0, 0, 255, 0};
    std::shared_ptr<gxtkSurface> surface = renderer().loadImageSurface(widen(writeTestPng("pair.png", 2, 1, 3, rgb)));
    ASSERT_TRUE(surface);
    const int before = contextGeneration;
    recreateWindow();
    ASSERT_EQ(contextGeneration, before + 1);
    EXPECT_NE(surface->textureSeq(), contextGeneration);

    beginFrame();
    renderer().blitSurface(surface, 10, 10);
    endFrame();
    EXPECT_EQ(surface->textureSeq(), contextGeneration);
    EXPECT_EQ(pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(pixel(11, 10), 0xFF00FF00u);
    EXPECT_EQ(grabWindow().at(11, 10), 0x00FF00u);
}
