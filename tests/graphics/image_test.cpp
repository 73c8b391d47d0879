// Images and frames: the loaders' layouts, the flags, and where frames land.
#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/image_file_loading.h"
#include "graphics/renderer.h"
#include "tests/support/gl/gl_window.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using ImageTest = GlWindowTest;

// An opaque RGB file whose pixel (x, y) has red = x and green = y.
String gradientFile(const std::string& name, int width, int height)
{
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgb.insert(rgb.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 9});
    return widen(writeTestPng(name, width, height, 3, rgb));
}

// A run-length TGA of grey RGBA pixels: a few hundred KiB that decode to
// many MiB.
std::string runLengthTga(int width, int height)
{
    const std::string path = "/tmp/kovo-image-" + std::to_string(getpid()) + ".tga";
    std::string bytes = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes += {char(width & 255), char(width >> 8), char(height & 255), char(height >> 8), 32, 0x28};
    for (long long left = static_cast<long long>(width) * height; left > 0; left -= 128)
        bytes += {char(0x80 | (std::min(left, 128LL) - 1)), char(0x80), char(0x80), char(0x80), char(0xFF)};
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

uint32_t gradientPixel(int x, int y) { return 0xFF000009u | uint32_t(x) << 16 | uint32_t(y) << 8; }

} // namespace

TEST_F(ImageTest, PaddedFramesSkipTheirBorderAndWholeSurfaceImagesBlitWhole)
{
    String file = gradientFile("padded.png", 34, 5);
    std::shared_ptr<c_Image> padded = loadImageSingle(file, c_Image::padX);
    std::shared_ptr<c_Image> whole = loadImageSingle(file, 0);
    ASSERT_TRUE(padded && whole);
    EXPECT_EQ(padded->frameWidth, 32);
    EXPECT_EQ(padded->frameHeight, 5);
    EXPECT_EQ(padded->frames[0].left, 1);
    EXPECT_EQ(padded->imageFlags & c_Image::wholeSurface, 0u);
    EXPECT_NE(whole->imageFlags & c_Image::wholeSurface, 0u);

    beginFrame();
    drawImageFrame(padded, 0, 0);
    drawImageFrame(whole, 0, 10);
    endFrame();
    // Columns 1..32 of the file, nothing of its edge columns.
    EXPECT_EQ(pixel(0, 0), gradientPixel(1, 0));
    EXPECT_EQ(pixel(31, 4), gradientPixel(32, 4));
    EXPECT_EQ(pixel(32, 0), black);
    EXPECT_EQ(pixel(33, 14), gradientPixel(33, 4));
}

TEST_F(ImageTest, CentredHandleIsDrawnOnThePositionAndClearsItsFlag)
{
    const unsigned flags = c_Image::centreHandle | c_Image::padY;
    std::shared_ptr<c_Image> image = loadImageSingle(gradientFile("centred.png", 4, 6), flags);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->imageFlags & c_Image::centreHandle, 0u);
    EXPECT_EQ(image->handleX, 2);
    EXPECT_EQ(image->handleY, 2);  // after padding: 4 rows left

    beginFrame();
    drawImageFrame(image, 50, 50);
    // Turned half round about the handle, twice the size.
    drawImageFrameTransformed(image, 100, 100, 180, 2, 2);
    endFrame();
    EXPECT_EQ(pixel(48, 48), gradientPixel(0, 1));
    EXPECT_EQ(pixel(51, 51), gradientPixel(3, 4));
    EXPECT_EQ(pixel(47, 48), black);
    EXPECT_EQ(pixel(52, 48), black);
    // The file's top-left corner now sits at the bottom right.
    EXPECT_EQ(pixel(103, 103), gradientPixel(0, 1));
    EXPECT_EQ(pixel(96, 96), gradientPixel(3, 4));
    EXPECT_EQ(pixel(104, 100), black);
    EXPECT_EQ(drawState.matrixDepth, 0);
}

TEST_F(ImageTest, StripAndGridLoadersCutFramesRowByRow)
{
    String file = gradientFile("grid.png", 40, 20);
    std::shared_ptr<c_Image> grid = loadImageGrid(file, 16, 8, 3, 0);
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->frames.size(), 3u);
    EXPECT_EQ(grid->frames[1].left, 16);
    EXPECT_EQ(grid->frames[2].left, 0);
    EXPECT_EQ(grid->frames[2].top, 8);

    std::shared_ptr<c_Image> strip = loadImageStrip(file, 4, 0);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->frameWidth, 10);
    EXPECT_EQ(strip->frames[3].left, 30);
    EXPECT_EQ(loadImageStrip(file, 0, 0), nullptr);

    beginFrame();
    drawImageFrame(grid, 0, 0, 2);
    drawImagePart(strip, 100, 0, 2, 3, 4, 4, 3);  // 4 x 4 from (2, 3) of frame 3
    drawImageFrame(grid, 200, 0, 3);               // no such frame
    endFrame();
    EXPECT_EQ(pixel(0, 0), gradientPixel(0, 8));
    EXPECT_EQ(pixel(15, 7), gradientPixel(15, 15));
    EXPECT_EQ(pixel(100, 0), gradientPixel(32, 3));
    EXPECT_EQ(pixel(103, 3), gradientPixel(35, 6));
    EXPECT_EQ(pixel(104, 0), black);
    EXPECT_EQ(pixel(200, 0), black);
}

TEST(ImageLayout, FramesThatDoNotFitTheSourceFail)
{
    EXPECT_TRUE(layoutGridFrames(0, 0, 0, 0, 40, 16, 16, 8, 4));
    EXPECT_FALSE(layoutGridFrames(0, 0, 0, 0, 40, 16, 16, 8, 5));  // a third row
    EXPECT_FALSE(layoutGridFrames(0, 0, 0, 0, 10, 16, 16, 8, 1));  // wider than the source
    std::optional<std::vector<c_Frame>> offset = layoutGridFrames(8, 0, 100, 50, 32, 16, 16, 8, 2);
    ASSERT_TRUE(offset);
    EXPECT_EQ((*offset)[0].left, 108);
    EXPECT_EQ((*offset)[1].left, 100);
    EXPECT_EQ((*offset)[1].top, 58);
}

TEST_F(ImageTest, MissingFilesGiveNoImageAndNothingIsDrawn)
{
    EXPECT_EQ(loadImageSingle(U"/nonexistent/picture.png", 0), nullptr);
    EXPECT_EQ(loadImageStrip(U"/nonexistent/picture.png", 2, 0), nullptr);
    EXPECT_EQ(loadImageGrid(U"/nonexistent/picture.png", 2, 2, 1, 0), nullptr);
    beginFrame();
    drawImageFrame(nullptr, 0, 0);
    endFrame();
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 0);
}

// Runtime errors end the program with the message on standard output; the
// debug prompt finds standard input at its end.
#define EXPECT_RUNTIME_ERROR(statement, message)                                \
    EXPECT_EXIT(                                                                \
        {                                                                       \
            std::freopen("/dev/null", "r", stdin);                              \
            dup2(2, 1);                                                         \
            statement;                                                          \
        },                                                                      \
        ::testing::ExitedWithCode(255), "Quorvane Runtime Error : " message)

// Bounded by the decoded size, not only the file's: 4096 x 4096 is the most.
TEST_F(ImageTest, AnImageOverTheDecodedLimitIsRefusedLikeAMissingOne)
{
    const std::pair<int, int> sizes[] = {{4096, 4096}, {4097, 4096}, {4096, 4097}};
    for (const auto& [width, height] : sizes) {
        std::string path = runLengthTga(width, height);
        ImagePixels image = loadImagePixels(widen(path));
        std::remove(path.c_str());
        EXPECT_EQ(image.data != nullptr, width == height) << width << " x " << height;
    }
}

TEST_F(ImageTest, LayoutAndInitialisationFaultsAreRuntimeErrors)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    String file = gradientFile("small.png", 20, 10);
    EXPECT_RUNTIME_ERROR(loadImageGrid(file, 16, 8, 2, 0), "Image frame outside surface");
    std::shared_ptr<c_Image> image = loadImageSingle(file, 0);
    ASSERT_TRUE(image);
    EXPECT_RUNTIME_ERROR(image->initialize(image->surface, 1, 1, {}, 0), "Image already initialized");
}
