#include "graphics/image.h"

#include "base/data_paths.h"
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "host/console.h"

namespace {

std::shared_ptr<gxtkSurface> loadSurface(const String& path)
{
    return hostRenderer ? hostRenderer->loadImageSurface(fixDataPath(path)) : nullptr;
}

std::shared_ptr<c_Image> makeImage(std::shared_ptr<gxtkSurface> surface, int frameWidth, int frameHeight,
                                   std::vector<c_Frame> frames, unsigned flags)
{
    auto image = std::make_shared<c_Image>();
    image->initialize(std::move(surface), frameWidth, frameHeight, std::move(frames), flags);
    return image;
}

bool isWholeSurface(const c_Image& image)
{
    return image.frames.size() == 1 && image.frames[0].left == 0 && image.frames[0].top == 0 &&
           image.frameWidth == image.surface->pixelWidth() && image.frameHeight == image.surface->pixelHeight();
}

} // namespace

void c_Image::initialize(std::shared_ptr<gxtkSurface> newSurface, int width, int height, std::vector<c_Frame> layout,
                         unsigned flags)
{
    if (surface) raiseError(U"Image already initialized");
    surface = std::move(newSurface);
    frameWidth = width;
    frameHeight = height;
    frames = std::move(layout);
    handleX = handleY = 0;
    applyImageFlags(*this, flags);
}

std::shared_ptr<c_Image> loadImageSingle(const String& path, unsigned flags)
{
    std::shared_ptr<gxtkSurface> surface = loadSurface(path);
    if (!surface) return nullptr;
    const int width = surface->pixelWidth(), height = surface->pixelHeight();
    return makeImage(std::move(surface), width, height, {c_Frame {}}, flags);
}

std::shared_ptr<c_Image> loadImageStrip(const String& path, int frameCount, unsigned flags)
{
    if (frameCount < 1) return nullptr;
    std::shared_ptr<gxtkSurface> surface = loadSurface(path);
    if (!surface) return nullptr;
    const int frameWidth = surface->pixelWidth() / frameCount, frameHeight = surface->pixelHeight();
    std::vector<c_Frame> frames(static_cast<size_t>(frameCount));
    for (int i = 0; i < frameCount; ++i) frames[static_cast<size_t>(i)].left = i * frameWidth;
    return makeImage(std::move(surface), frameWidth, frameHeight, std::move(frames), flags);
}

std::shared_ptr<c_Image> loadImageGrid(const String& path, int frameWidth, int frameHeight, int frameCount,
                                       unsigned flags)
{
    std::shared_ptr<gxtkSurface> surface = loadSurface(path);
    if (!surface) return nullptr;
    std::optional<std::vector<c_Frame>> frames =
        layoutGridFrames(0, 0, 0, 0, surface->pixelWidth(), surface->pixelHeight(), frameWidth, frameHeight,
                         frameCount);
    if (!frames) raiseError(U"Image frame outside surface");
    return makeImage(std::move(surface), frameWidth, frameHeight, std::move(*frames), flags);
}

std::optional<std::vector<c_Frame>> layoutGridFrames(int x, int y, int srcX, int srcY, int srcW, int srcH, int w,
                                                     int h, int count)
{
    std::vector<c_Frame> frames;
    for (int i = 0; i < count; ++i) {
        if (x + w > srcW) {
            if (w > srcW) return std::nullopt;
            x = 0;
            y += h;
        }
        if (y + h > srcH) return std::nullopt;
        frames.push_back({srcX + x, srcY + y});
        x += w;
    }
    return frames;
}

void setImageHandle(c_Image& image, float x, float y)
{
    image.handleX = x;
    image.handleY = y;
    image.imageFlags &= ~c_Image::centreHandle;
}

void applyImageFlags(c_Image& image, unsigned flags)
{
    // wholeSurface is the image's own finding, never taken from the caller.
    image.imageFlags = flags & ~c_Image::wholeSurface;
    if (flags & c_Image::padX) {
        for (c_Frame& frame : image.frames) frame.left += 1;
        image.frameWidth -= 2;
    }
    if (flags & c_Image::padY) {
        for (c_Frame& frame : image.frames) frame.top += 1;
        image.frameHeight -= 2;
    }
    if (flags & c_Image::centreHandle) {
        image.handleX = image.frameWidth * 0.5f;
        image.handleY = image.frameHeight * 0.5f;
        image.imageFlags &= ~c_Image::centreHandle;
    }
    if (image.surface && isWholeSurface(image)) image.imageFlags |= c_Image::wholeSurface;
}
