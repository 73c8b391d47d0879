// The window keeps its picture between frames whatever the driver does with
// the back buffer, and surfaces survive a new GL context.
#include "graphics/context_generation.h"
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "tests/support/gl/gl_window.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glx.h>
#include <GLFW/glfw3.h>
#include <X11/Xatom.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

namespace {

constexpr uint32_t framePixel = 0xFF563C6A;

using WindowPictureTest = GlWindowTest;

// The icon the window offers the desktop: width, height, then 0xAARRGGBB pixels.
std::vector<unsigned long> shownIcon(unsigned long window)
{
    Display* display = glXGetCurrentDisplay();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 16,
                       False, XA_CARDINAL, &type, &format, &count, &after, &data);
    // Xlib hands 32-bit items as longs, sign-extended.
    std::vector<unsigned long> values;
    for (unsigned long i = 0; data && i < count; ++i) values.push_back(reinterpret_cast<unsigned long*>(data)[i] & 0xFFFFFFFFu);
    XFree(data);
    return values;
}

ImagePixels onePixel(std::vector<unsigned char> bytes)
{
    ImagePixels pixels;
    pixels.width = pixels.height = 1;
    pixels.components = static_cast<int>(bytes.size());
    pixels.data.reset(static_cast<unsigned char*>(std::malloc(bytes.size())));
    std::memcpy(pixels.data.get(), bytes.data(), bytes.size());
    return pixels;
}

std::vector<ImagePixels> oneIcon(ImagePixels pixels)
{
    std::vector<ImagePixels> icons;
    icons.push_back(std::move(pixels));
    return icons;
}

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
    EXPECT_EQ(pixel(10, 10), framePixel);
    EXPECT_EQ(pixel(320, 300), white);
    Picture shown = grabWindow();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 475);
    EXPECT_EQ(shown.at(120, 110), 0xFFFFFFu);
    EXPECT_EQ(shown.at(10, 10), framePixel & 0xFFFFFF);
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

// An image file's pixels are read again for a new context, unless the
// program wrote into the surface: then all its pixels were kept. A file that
// has gone leaves its surface blank.
TEST_F(WindowPictureTest, FileImagesAreReadAgainForANewContextUnlessWrittenTo)
{
    std::vector<unsigned char> redGreen {255, 0, 0, 255, 0, 255, 0, 255};
    std::string writtenPath = writeTestPng("written.png", 2, 1, 4, redGreen);
    std::string gonePath = writeTestPng("gone.png", 2, 1, 4, redGreen);
    std::shared_ptr<gxtkSurface> written = renderer().loadImageSurface(widen(writtenPath));
    std::shared_ptr<gxtkSurface> gone = renderer().loadImageSurface(widen(gonePath));
    ASSERT_TRUE(written && gone);
    EXPECT_EQ(written->pixels(), nullptr);
    EXPECT_TRUE(written->storeArgb({int(0xFF0000FF)}, 1, 0, 1, 1, 0, 1));
    EXPECT_NE(written->pixels(), nullptr);
    std::remove(writtenPath.c_str());
    std::remove(gonePath.c_str());

    recreateWindow();
    beginFrame();
    renderer().blitSurface(written, 10, 10);
    renderer().blitSurface(gone, 20, 10);
    endFrame();
    EXPECT_EQ(pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(pixel(11, 10), 0xFF0000FFu);
    EXPECT_EQ(pixel(20, 10), black);
}

// A frame that drew on a small part of the picture copies that part to the
// window and swaps nothing; a larger change, or a driver without the copy,
// goes through a swap. The window shows the picture either way, even when
// the back buffer held something else around the part.
TEST_F(WindowPictureTest, ASmallChangeIsCopiedAloneAndALargeOneSwapped)
{
    ASSERT_TRUE(game().canCopyToWindow()) << "Mesa under Xvfb offers GLX_MESA_copy_sub_buffer";
    game().pixelPut().detach();
    beginFrame();
    setTint(86.0f, 60.0f, 106.0f);
    fillRect(0, 0, 640, 475);
    endFrame();
    EXPECT_TRUE(game().framePresented());
    EXPECT_FALSE(game().frameCopied());

    // Two changes far apart: two small parts, each just around what was drawn.
    spoilBackBuffer();
    beginFrame();
    setTint(255.0f, 255.0f, 255.0f);
    fillRect(300, 200, 10, 10);
    strokeLine(20, 450, 60, 450);
    endFrame();
    EXPECT_TRUE(game().frameCopied());
    const std::vector<PictureRect>& parts = renderer().frameDamage();
    ASSERT_EQ(parts.size(), 2u);
    for (const PictureRect& part : parts) EXPECT_LE(part.area(), 50 * 8) << part.x << "," << part.y;
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), grabWindow()), 0);

    game().regionCopy().detach();
    spoilBackBuffer();
    beginFrame();
    fillRect(500, 20, 4, 4);
    endFrame();
    EXPECT_FALSE(game().frameCopied());
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), grabWindow()), 0);
    game().regionCopy().attach();
    game().pixelPut().attach(game().window(), 640, 475);
}

// Where the X server shares memory, small changes go into the window from
// memory, frame after frame, without the back buffer: what it held does not
// matter, and the put waits for the server only when the server has not yet
// read the last one.
TEST_F(WindowPictureTest, SmallChangesArePutIntoTheWindowFromMemory)
{
    ASSERT_TRUE(game().canPutToWindow()) << "Xvfb shares memory with its clients";
    beginFrame();
    setTint(86.0f, 60.0f, 106.0f);
    fillRect(0, 0, 640, 475);
    endFrame();
    for (int frame = 0; frame < 3; ++frame) {
        spoilBackBuffer();
        beginFrame();
        setTint(40.0f * float(frame), 255.0f, 255.0f);
        fillRect(300 + frame, 200, 10, 10);
        strokeLine(20, 450 - frame, 60, 450 - frame);
        endFrame();
        EXPECT_TRUE(game().frameCopied()) << frame;
    }
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), grabWindow()), 0);

    // A part reaching past the window puts nothing, not even the parts that fit.
    std::vector<uint32_t> white(20 * 20, 0xFFFFFFFFu);
    EXPECT_FALSE(game().putToWindow({{0, 0, 20, 20, white.data()}, {630, 100, 20, 20, white.data()}}));
    EXPECT_FALSE(game().putToWindow({{-1, 0, 20, 20, white.data()}}));
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), grabWindow()), 0);
}

// Puts of the scopes' size travel in the request and bring no report from the
// server, which would wake the loop from its wait a second time each frame;
// a part too large for that still reaches the window whole.
TEST_F(WindowPictureTest, ASmallPutBringsNoEventAndALargeOneIsShownAsWell)
{
    Display* display = glXGetCurrentDisplay();
    beginFrame();
    setTint(86.0f, 60.0f, 106.0f);
    fillRect(0, 0, 640, 475);
    endFrame();
    XSync(display, False);
    glfwPollEvents();
    ASSERT_EQ(XEventsQueued(display, QueuedAlready), 0);
    std::vector<uint32_t> small(122 * 72, 0xFF203040u);
    ASSERT_TRUE(game().putToWindow({{390, 281, 122, 72, small.data()}}));
    XSync(display, False);
    EXPECT_EQ(XEventsQueued(display, QueuedAlready), 0);
    EXPECT_EQ(grabWindow().at(450, 300), 0x203040u);

    std::vector<uint32_t> large(400 * 300);
    for (size_t i = 0; i < large.size(); ++i) large[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    ASSERT_TRUE(game().putToWindow({{100, 50, 400, 300, large.data()}}));
    Picture shown = grabWindow();
    int wrong = 0;
    for (size_t i = 0; i < large.size(); ++i) wrong += shown.at(100 + int(i % 400), 50 + int(i / 400)) != (large[i] & 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
}

// Pixels written before a frame draws are held until GL needs the picture:
// the window shows them at once, and later drawing, later writes and a
// repaint of the whole window all see them in the order they were made.
TEST_F(WindowPictureTest, HeldPixelsKeepTheirOrderWithDrawingAndWrites)
{
    auto box = [](uint32_t colour) { return std::vector<int>(60 * 35, static_cast<int>(colour)); };
    beginFrame();
    setTint(0, 0, 0);
    fillRect(0, 0, 640, 475);
    endFrame();
    for (uint32_t colour : {0xFF112233u, 0xFF445566u}) {  // the second replaces the first
        spoilBackBuffer();
        beginFrame();
        ASSERT_TRUE(renderer().writeScreenPixels(box(colour), 390, 281, 60, 35));
        ASSERT_TRUE(renderer().writeScreenPixels(box(colour | 0x80), 452, 281, 60, 35));
        endFrame();
        EXPECT_TRUE(game().frameCopied());
        EXPECT_EQ(renderer().lastFrameDrawCalls(), 0);
        Picture shown = grabWindow();
        EXPECT_EQ(shown.at(400, 290), colour & 0xFFFFFF);
        EXPECT_EQ(shown.at(460, 290), (colour | 0x80) & 0xFFFFFF);
    }

    // Drawn over in the next frame; written over that within the frame.
    beginFrame();
    setTint(255, 255, 255);
    fillRect(380, 300, 200, 2);
    ASSERT_TRUE(renderer().writeScreenPixels(std::vector<int>(4, int(0xFF00FF00u)), 470, 300, 2, 2));
    endFrame();
    EXPECT_EQ(pixel(400, 290), 0xFF445566u);
    EXPECT_EQ(pixel(400, 300), white);
    EXPECT_EQ(pixel(470, 300), 0xFF00FF00u);
    EXPECT_EQ(pixel(460, 290), 0xFF4455E6u);

    // More parts than are held at once, then the whole window shown again.
    beginFrame();
    for (int part = 0; part < 12; ++part)
        ASSERT_TRUE(renderer().writeScreenPixels(std::vector<int>(4, int(0xFF000010u + part)), 10 + 4 * part, 10, 2, 2));
    endFrame();
    game().requestPictureRefresh();
    spoilBackBuffer();
    beginFrame();
    endFrame();
    Picture shown = grabWindow();
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), shown), 0);
    for (int part = 0; part < 12; ++part) EXPECT_EQ(shown.at(10 + 4 * part, 10), 0x10u + uint32_t(part)) << part;
}

// Pixels written within a box held earlier land in it: only they go to the
// window, and GL takes the box with them later. Pixels that overlap a later
// part as well are held on their own, so that they stay on top of it.
TEST_F(WindowPictureTest, PixelsWrittenWithinAHeldBoxGoIntoItAndAloneToTheWindow)
{
    auto filled = [](int w, int h, uint32_t colour) { return std::vector<int>(size_t(w) * h, int(colour)); };
    beginFrame();
    setTint(0, 0, 0);
    fillRect(0, 0, 640, 475);
    endFrame();
    beginFrame();
    ASSERT_TRUE(renderer().writeScreenPixels(filled(60, 35, 0xFF112233u), 390, 281, 60, 35));
    endFrame();
    // Marks the box in the window behind the picture's back: what is put again shows.
    std::vector<uint32_t> marker(60 * 35, 0xFF00FF00u);
    ASSERT_TRUE(game().pixelPut().put({{390, 281, 60, 35, marker.data()}}));
    beginFrame();
    ASSERT_TRUE(renderer().writeScreenPixels(filled(20, 5, 0xFF445566u), 400, 291, 20, 5));
    endFrame();
    Picture shown = grabWindow();
    EXPECT_EQ(shown.at(400, 291), 0x445566u);
    EXPECT_EQ(shown.at(419, 295), 0x445566u);
    for (auto [x, y] : {std::pair {399, 293}, {420, 293}, {400, 290}, {419, 296}})
        EXPECT_EQ(shown.at(x, y), 0x00FF00u) << x << "," << y << ": pixels not written were put again";

    beginFrame();
    ASSERT_TRUE(renderer().writeScreenPixels(filled(60, 35, 0xFF778899u), 420, 281, 60, 35));
    ASSERT_TRUE(renderer().writeScreenPixels(filled(60, 5, 0xFFAABBCCu), 390, 301, 60, 5));
    endFrame();
    game().requestPictureRefresh();
    spoilBackBuffer();
    beginFrame();
    endFrame();
    shown = grabWindow();
    EXPECT_EQ(differences(pixels(0, 0, 640, 475), shown), 0);
    EXPECT_EQ(pixel(400, 285), 0xFF112233u);
    EXPECT_EQ(pixel(405, 293), 0xFF445566u);
    EXPECT_EQ(pixel(395, 293), 0xFF112233u);
    EXPECT_EQ(pixel(440, 290), 0xFF778899u);
    EXPECT_EQ(pixel(440, 303), 0xFFAABBCCu) << "rows held into the older box went under the later one";
}

// Pixels written straight into the picture land as they are, top row first,
// and are copied to the window by a frame that drew nothing else; a
// rectangle that does not fit the picture writes nothing.
TEST_F(WindowPictureTest, WrittenPixelsAreShownAsTheyAre)
{
    std::vector<int> written;
    for (int i = 0; i < 6 * 4; ++i) written.push_back(static_cast<int>(0xFF000000u | uint32_t(i) << 16 | 0x80));
    spoilBackBuffer();
    beginFrame();
    EXPECT_TRUE(renderer().writeScreenPixels(written, 100, 200, 6, 4));
    EXPECT_FALSE(renderer().writeScreenPixels(written, 636, 200, 6, 4));
    EXPECT_FALSE(renderer().writeScreenPixels(written, 100, 200, 5, 4));  // not w x h values
    endFrame();
    EXPECT_TRUE(game().frameCopied());
    EXPECT_EQ(pixels(100, 200, 6, 4), std::vector<uint32_t>(written.begin(), written.end()));
    EXPECT_EQ(pixel(636, 200), black);
    Picture shown = grabWindow();
    for (int i = 0; i < 6 * 4; ++i)
        EXPECT_EQ(shown.at(100 + i % 6, 200 + i / 6), static_cast<uint32_t>(written[size_t(i)]) & 0xFFFFFF) << i;
}

// Showing the picture blends it over the back buffer, which is right only
// while the picture is opaque: translucent and additive drawing on its empty
// black must keep it so, whether the parts are put, copied or swapped.
TEST_F(WindowPictureTest, TranslucentDrawingKeepsThePictureOpaque)
{
    enum Shown { put, copied, swapped };
    for (Shown way : {put, copied, swapped}) {
        recreateWindow();  // a new, empty picture
        if (way != put) game().pixelPut().detach();
        if (way == swapped) game().regionCopy().detach();
        spoilBackBuffer();
        beginFrame();
        renderer().setOpacity(0.5f);
        fillRect(200, 200, 40, 40);
        renderer().setBlendMode(blendAdditive);
        fillRect(300, 200, 40, 40);
        renderer().setBlendMode(blendAlpha);
        renderer().setOpacity(1);
        endFrame();
        EXPECT_EQ(game().frameCopied(), way != swapped);
        EXPECT_EQ(pixel(210, 210), 0xFF7F7F7Fu);
        EXPECT_EQ(pixel(310, 210), 0xFF7F7F7Fu);
        EXPECT_EQ(pixel(10, 10), black);
        Picture shown = grabWindow();
        EXPECT_EQ(shown.at(210, 210), 0x7F7F7Fu);
        EXPECT_EQ(differences(pixels(0, 0, 640, 475), shown), 0);
    }
    game().regionCopy().attach();
    game().pixelPut().attach(game().window(), 640, 475);
}

// A part is cut to the clip box and to the picture; a vertex that is not a
// number makes the whole (clipped) picture the part.
TEST_F(WindowPictureTest, PartsStayInsideTheClipBoxAndThePicture)
{
    beginFrame();
    setClipRect(100, 100, 50, 50);
    fillRect(0, 0, 640, 475);
    endFrame();
    ASSERT_EQ(renderer().frameDamage().size(), 1u);
    PictureRect clipped = renderer().frameDamage()[0];
    EXPECT_EQ(std::tie(clipped.x, clipped.y, clipped.width, clipped.height), std::make_tuple(100, 100, 50, 50));

    beginFrame();
    fillRect(600, 460, 1000, 1000);
    fillRect(std::nanf(""), 0, 1, 1);
    endFrame();
    ASSERT_EQ(renderer().frameDamage().size(), 1u);
    PictureRect whole = renderer().frameDamage()[0];
    EXPECT_EQ(std::tie(whole.x, whole.y, whole.width, whole.height), std::make_tuple(0, 0, 640, 475));
}

// Touching parts and parts a few units apart become one; past eight parts,
// one box holds them all.
TEST(FrameDamage, TouchingPartsMergeAndManyBecomeTheirBoundingBox)
{
    const PictureRect picture {0, 0, 640, 475};
    FrameDamage damage;
    damage.add({10, 10, 10, 10}, picture);
    damage.add({20, 10, 10, 10}, picture);  // touches the first on its right edge
    damage.add({10, 24, 30, 6}, picture);   // four units below both
    damage.add({100, 100, 5, 5}, picture);
    damage.add({630, 470, 50, 50}, picture);  // cut to the picture
    ASSERT_EQ(damage.rects().size(), 3u);
    EXPECT_EQ(damage.rects()[0].width, 30);
    EXPECT_EQ(damage.area(), 30 * 20 + 25 + 50);

    for (int i = 0; i < 8; ++i) damage.add({200 + 20 * i, 300, 5, 5}, picture);
    ASSERT_EQ(damage.rects().size(), 1u);
    const PictureRect& all = damage.rects()[0];
    EXPECT_EQ(std::tie(all.x, all.y, all.width, all.height), std::make_tuple(10, 10, 630, 465));
}

// The desktop takes four bytes a pixel: pixels with fewer components would be
// read past their end, and are not taken.
TEST_F(WindowPictureTest, TheIconTakesFourComponentPixelsOnly)
{
    game().setWindowIcons(oneIcon(onePixel({0x11, 0x22, 0x33, 0xFF})));
    const std::vector<unsigned long> shown {1, 1, 0xFF112233};
    EXPECT_EQ(shownIcon(xWindow()), shown);
    game().setWindowIcons(oneIcon(onePixel({0x44, 0x55, 0x66})));
    EXPECT_EQ(shownIcon(xWindow()), shown);
}
