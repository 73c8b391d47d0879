#include "graphics/drawing.h"

#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/renderer.h"

namespace {

// The frame to draw, or null when there is no such image or frame.
const c_Frame* frameOf(const std::shared_ptr<c_Image>& image, int frame)
{
    if (!image || !image->surface || frame < 0 || frame >= static_cast<int>(image->frames.size())) return nullptr;
    return &image->frames[static_cast<size_t>(frame)];
}

// Draws a whole frame with its top-left corner at (x, y).
void blitFrame(gxtkGraphics& renderer, const c_Image& image, const c_Frame& frame, float x, float y)
{
    if (image.imageFlags & c_Image::wholeSurface)
        renderer.blitSurface(image.surface, x, y);
    else
        renderer.blitSurfaceRegion(image.surface, frame.left, frame.top, image.frameWidth, image.frameHeight, x, y);
}

// Runs a drawing at (0, 0) under the image's placement transform: moved to
// (x, y), turned, scaled, with the handle at the origin.
template <typename Draw>
void withImageTransform(const c_Image& image, float x, float y, float rotation, float scaleX, float scaleY, Draw draw)
{
    pushTransform();
    translateBy(x, y);
    rotateBy(rotation);
    scaleBy(scaleX, scaleY);
    translateBy(-image.handleX, -image.handleY);
    syncTransform();
    draw(*currentRenderer);
    popTransform();
}

} // namespace

void fillRect(float x, float y, float w, float h)
{
    if (gxtkGraphics* renderer = drawingRenderer()) renderer->fillRect(x, y, w, h);
}

bool writeScreenPixels(const std::vector<int>& pixels, int x, int y, int w, int h)
{
    gxtkGraphics* renderer = drawingRenderer();
    return renderer && renderer->writeScreenPixels(pixels, x, y, w, h);
}

bool screenPixelsHeld()
{
    gxtkGraphics* renderer = drawingRenderer();
    return renderer && renderer->holdsWrites();
}

void strokeLine(float x1, float y1, float x2, float y2)
{
    if (gxtkGraphics* renderer = drawingRenderer()) renderer->strokeLine(x1, y1, x2, y2);
}

void drawImageFrame(const std::shared_ptr<c_Image>& image, float x, float y, int frame)
{
    const c_Frame* source = frameOf(image, frame);
    gxtkGraphics* renderer = drawingRenderer();
    if (!source || !renderer) return;
    blitFrame(*renderer, *image, *source, x - image->handleX, y - image->handleY);
}

void drawImageFrameTransformed(const std::shared_ptr<c_Image>& image, float x, float y, float rotation, float scaleX,
                               float scaleY, int frame)
{
    const c_Frame* source = frameOf(image, frame);
    if (!source || !currentRenderer) return;
    withImageTransform(*image, x, y, rotation, scaleX, scaleY,
                       [&](gxtkGraphics& renderer) { blitFrame(renderer, *image, *source, 0, 0); });
}

void drawImagePart(const std::shared_ptr<c_Image>& image, float x, float y, int srcX, int srcY, int srcW, int srcH,
                   int frame)
{
    const c_Frame* source = frameOf(image, frame);
    gxtkGraphics* renderer = drawingRenderer();
    if (!source || !renderer) return;
    renderer->blitSurfaceRegion(image->surface, srcX + source->left, srcY + source->top, srcW, srcH,
                                x - image->handleX, y - image->handleY);
}

void drawImagePartTransformed(const std::shared_ptr<c_Image>& image, float x, float y, int srcX, int srcY, int srcW,
                              int srcH, float rotation, float scaleX, float scaleY, int frame)
{
    const c_Frame* source = frameOf(image, frame);
    if (!source || !currentRenderer) return;
    withImageTransform(*image, x, y, rotation, scaleX, scaleY, [&](gxtkGraphics& renderer) {
        renderer.blitSurfaceRegion(image->surface, srcX + source->left, srcY + source->top, srcW, srcH, 0, 0);
    });
}
