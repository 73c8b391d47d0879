#include "graphics/renderer.h"

#include "graphics/context_generation.h"
#include "graphics/image_file_loading.h"
#include "host/game.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

const std::shared_ptr<gxtkSurface> noSurface;

// GL primitive for the batch kinds drawn with glDrawArrays as a whole: 1 points, 2 lines, 3 triangles.
constexpr int kindPoint = 1, kindLine = 2, kindTriangle = 3, kindQuad = 4;
constexpr std::array<GLenum, 4> arrayModeForKind {GL_POINTS, GL_POINTS, GL_LINES, GL_TRIANGLES};
static_assert(arrayModeForKind.size() == kindQuad && arrayModeForKind[kindTriangle] == GL_TRIANGLES);

// Points and lines are offset by half a unit so that they hit pixel centres.
constexpr float pixelCentre = 0.5f;

// What tells GL state combinations apart: blending, the texture's component
// count and whether its sides are powers of two.
uint32_t drawStateOf(bool additive, int components, int textureWidth, int textureHeight)
{
    auto isPower = [](int n) { return n > 0 && n == nextPowerOfTwo(n); };
    return uint32_t(additive) | uint32_t(components) << 1 | uint32_t(isPower(textureWidth)) << 4 |
           uint32_t(isPower(textureHeight)) << 5;
}

} // namespace

// Truncates toward zero and keeps the result a byte, so tints beyond 0..255
// saturate instead of wrapping round.
uint8_t colourByte(float value)
{
    if (!(value > 0)) return 0;
    if (value >= 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(value));
}

gxtkGraphics::gxtkGraphics()
{
    if (BBGame* game = BBGame::game()) {
        viewWidth_ = game->deviceWidth();
        viewHeight_ = game->deviceHeight();
    }
    white_ = std::make_shared<gxtkSurface>();
    constexpr int whiteSide = 3;
    PixelBlock pixels(static_cast<unsigned char*>(std::malloc(whiteSide * whiteSide * 4)));
    if (pixels) std::memset(pixels.get(), 255, whiteSide * whiteSide * 4);
    white_->setPixels(std::move(pixels), whiteSide, whiteSide, 4);
    for (int quad = 0; quad < quadCapacity; ++quad) {
        for (size_t i = 0; i < quadCorners.size(); ++i)
            quadIndexList_[quad * 6 + i] = static_cast<uint16_t>(quad * 4 + quadCorners[i]);
    }
}

gxtkGraphics::~gxtkGraphics() = default;

int gxtkGraphics::viewWidth() { return viewWidth_; }
int gxtkGraphics::viewHeight() { return viewHeight_; }

// ---- Frames ----

int gxtkGraphics::beginFrame()
{
    framebufferWidth_ = framebufferHeight_ = 0;
    if (BBGame* game = BBGame::game()) {
        viewWidth_ = game->deviceWidth();
        viewHeight_ = game->deviceHeight();
        game->readFramebufferSize(framebufferWidth_, framebufferHeight_);
    }
    frameReady_ = false;
    batchLength_ = 0;
    drawCallsThisFrame_ = 0;
    clearedThisFrame_ = false;
    pixelsWrittenThisFrame_ = false;
    damage_.clear();
    return 1;
}

// GL is set up for a frame only once the frame draws, clears or reads: a
// still screen's frame costs the GL driver nothing.
void gxtkGraphics::readyFrame()
{
    if (frameReady_) return;
    frameReady_ = true;
    // The picture is drawn at the window's size in units and magnified when
    // presented; without one, drawing goes straight to the window's pixels.
    picture_.bind(viewWidth_, viewHeight_);
    if (picture_.isBound())
        glViewport(0, 0, viewWidth_, viewHeight_);
    else
        glViewport(0, 0, framebufferWidth_, framebufferHeight_);
    applyFrameState();
    applyBlendMode();
    applyClipRect();
}

// The GL state every frame starts from: window units with y down, the batch
// as client arrays, premultiplied alpha blending, texturing on (the white
// texture stands in for none).
void gxtkGraphics::applyFrameState()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, viewWidth_, viewHeight_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    pointArraysAt(vertexBuffer_.data());

    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}

// A frame that drew nothing leaves the window as it is: no copy, no swap,
// unless the window system asked for the picture again. A frame that drew on
// a small part of the picture shows just that part, where the window system
// can copy parts.
void gxtkGraphics::endFrame()
{
    flush();
    lastFrameDrawCalls_ = drawCallsThisFrame_;
    BBGame* game = BBGame::game();
    bool refresh = game && game->takePictureRefresh();
    if (refresh) readyFrame();
    bool present = drawCallsThisFrame_ > 0 || clearedThisFrame_ || pixelsWrittenThisFrame_ || refresh;
    // GL was not set up: held pixels are the frame's only change.
    bool heldOnly = !frameReady_;
    bool copied =
        present && !refresh && picture_.presentParts(framebufferWidth_, framebufferHeight_, damage_, heldOnly);
    if (present && !copied) picture_.present(framebufferWidth_, framebufferHeight_);
    // Showing the picture left GL state of its own; whatever comes before the
    // next frame (a read of pixels) sets the renderer's again.
    if (present) frameReady_ = false;
    // Showing the picture draws a four-component texture the picture's size,
    // blended as the batches are.
    if (present && picture_.isBound()) noteDrawState(drawStateOf(false, 4, viewWidth_, viewHeight_));
    if (game) game->noteFramePresented(present, copied);
}

void gxtkGraphics::discardResources() {}

// ---- Surfaces ----

std::shared_ptr<gxtkSurface> gxtkGraphics::loadImageSurface(const String& path)
{
    auto surface = std::make_shared<gxtkSurface>();
    if (!loadSurfacePixels(*surface, path)) return nullptr;
    surface->ensureTexture();
    return surface;
}

std::shared_ptr<gxtkSurface> gxtkGraphics::newBlankSurface(int width, int height)
{
    auto surface = std::make_shared<gxtkSurface>();
    surface->setPixels(nullptr, width, height, 4);
    surface->ensureTexture();
    return surface;
}

bool gxtkGraphics::loadSurfacePixels(gxtkSurface& surface, const String& path)
{
    ImagePixels image = loadImagePixels(path);
    if (!image.data) return false;
    surface.setPixels(std::move(image.data), image.width, image.height, image.components);
    surface.setSource(path);
    return true;
}

// ---- State ----

void gxtkGraphics::clear(float r, float g, float b)
{
    readyFrame();
    batchLength_ = 0;
    clearedThisFrame_ = true;
    damage_.add(view(), view());
    glClearColor(r / 255, g / 255, b / 255, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void gxtkGraphics::setOpacity(float alpha)
{
    opacity_ = alpha;
    packColour();
}

void gxtkGraphics::setTint(float r, float g, float b)
{
    tintR_ = r;
    tintG_ = g;
    tintB_ = b;
    packColour();
}

// The colour travels premultiplied with every vertex, so changing it never breaks a batch.
void gxtkGraphics::packColour()
{
    packedColor_ = {colourByte(tintR_ * opacity_), colourByte(tintG_ * opacity_), colourByte(tintB_ * opacity_),
                    colourByte(255 * opacity_)};
}

void gxtkGraphics::setBlendMode(int mode)
{
    flush();
    additive_ = mode == blendAdditive;
    if (frameReady_) applyBlendMode();
}

void gxtkGraphics::applyBlendMode() { glBlendFunc(GL_ONE, additive_ ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA); }

void gxtkGraphics::setClipRect(int x, int y, int w, int h)
{
    flush();
    clipped_ = !(x == 0 && y == 0 && w == viewWidth_ && h == viewHeight_);
    // A negative size clips everything away rather than leaving the old box.
    if (clipped_) clip_ = {x, y, w < 0 ? 0 : w, h < 0 ? 0 : h};
    if (frameReady_) applyClipRect();
}

// The whole view turns the scissor test off.
void gxtkGraphics::applyClipRect()
{
    if (!clipped_) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(clip_.x, viewHeight_ - clip_.y - clip_.height, clip_.width, clip_.height);
}

void gxtkGraphics::setTransform(float xAxisX, float xAxisY, float yAxisX, float yAxisY, float originX, float originY)
{
    xAxisX_ = xAxisX;
    xAxisY_ = xAxisY;
    yAxisX_ = yAxisX;
    yAxisY_ = yAxisY;
    originX_ = originX;
    originY_ = originY;
    transformed_ = !(xAxisX == 1 && xAxisY == 0 && yAxisX == 0 && yAxisY == 1 && originX == 0 && originY == 0);
}

// ---- The batch ----

BatchVertex* gxtkGraphics::beginPrimitive(int kind, int count, const std::shared_ptr<gxtkSurface>& surface)
{
    if (kind != primitiveKind_ || surface != batchSurface_ || batchLength_ + count > batchCapacity) {
        flush();
        primitiveKind_ = kind;
        if (surface != batchSurface_) batchSurface_ = surface;
    }
    BatchVertex* first = &vertexBuffer_[static_cast<size_t>(batchLength_)];
    batchLength_ += count;
    return first;
}

BatchVertex* gxtkGraphics::beginTextured(int kind, int count, const std::shared_ptr<gxtkSurface>& surface)
{
    BatchVertex* first = beginPrimitive(kind, count, surface);
    if (surface->textureSeq() != contextGeneration) surface->ensureTexture();
    return first;
}

void gxtkGraphics::flush()
{
    if (batchLength_ == 0) return;
    drawBatch();
    batchLength_ = 0;
}

PictureRect gxtkGraphics::view() const { return {0, 0, viewWidth_, viewHeight_}; }

// What a batch can touch: the box around its vertices, a pixel wider on every
// side for lines, points and rounding, cut to the clip box.
void gxtkGraphics::noteBatchDamage()
{
    float left = vertexBuffer_[0].x, right = left, top = vertexBuffer_[0].y, bottom = top;
    bool numbers = true;  // min and max pass over a NaN without a trace
    for (int i = 0; i < batchLength_; ++i) {
        const BatchVertex& vertex = vertexBuffer_[static_cast<size_t>(i)];
        numbers = numbers && !std::isnan(vertex.x) && !std::isnan(vertex.y);
        left = std::min(left, vertex.x);
        right = std::max(right, vertex.x);
        top = std::min(top, vertex.y);
        bottom = std::max(bottom, vertex.y);
    }
    PictureRect whole = view();
    PictureRect bounds = clipped_ ? clip_ : whole;
    if (!numbers) {
        damage_.add(whole, bounds);
        return;
    }
    // Clamped first, so that far-off vertices stay within what an int holds.
    auto column = [&](float x) { return std::clamp(x, -2.0f, float(whole.width) + 2.0f); };
    auto row = [&](float y) { return std::clamp(y, -2.0f, float(whole.height) + 2.0f); };
    int x0 = static_cast<int>(std::floor(column(left))) - 1, y0 = static_cast<int>(std::floor(row(top))) - 1;
    int x1 = static_cast<int>(std::ceil(column(right))) + 1, y1 = static_cast<int>(std::ceil(row(bottom))) + 1;
    damage_.add({x0, y0, x1 - x0, y1 - y0}, bounds);
}

void gxtkGraphics::drawBatch()
{
    readyFrame();
    noteBatchDamage();
    gxtkSurface& texture = batchSurface_ ? *batchSurface_ : *white_;
    texture.ensureTexture();
    noteDrawState(drawStateOf(additive_, texture.components(), texture.textureWidth(), texture.textureHeight()));
    if (primitiveKind_ < kindQuad) {
        glDrawArrays(arrayModeForKind[static_cast<size_t>(primitiveKind_)], 0, batchLength_);
        ++drawCallsThisFrame_;
    } else if (primitiveKind_ == kindQuad) {
        glDrawElements(GL_TRIANGLES, batchLength_ / 4 * 6, GL_UNSIGNED_SHORT, quadIndexList_.data());
        ++drawCallsThisFrame_;
    } else {
        // Convex polygons share one batch but each is its own fan.
        for (int start = 0; start < batchLength_; start += primitiveKind_) {
            glDrawArrays(GL_TRIANGLE_FAN, start, primitiveKind_);
            ++drawCallsThisFrame_;
        }
    }
}

void gxtkGraphics::noteDrawState(uint32_t state)
{
    if (std::find(drawStates_.begin(), drawStates_.end(), state) == drawStates_.end()) drawStates_.push_back(state);
}

void gxtkGraphics::place(BatchVertex& vertex, float x, float y, float u, float v) const
{
    if (transformed_) {
        float tx = xAxisX_ * x + yAxisX_ * y + originX_;
        y = xAxisY_ * x + yAxisY_ * y + originY_;
        x = tx;
    }
    vertex = {x, y, u, v, packedColor_};
}

// Corners in the order left/top, right/top, right/bottom, left/bottom.
void gxtkGraphics::placeQuad(BatchVertex* quad, float x, float y, float w, float h, float u0, float v0, float u1,
                             float v1) const
{
    place(quad[0], x, y, u0, v0);
    place(quad[1], x + w, y, u1, v0);
    place(quad[2], x + w, y + h, u1, v1);
    place(quad[3], x, y + h, u0, v1);
}

// ---- Primitives ----

void gxtkGraphics::plotPoint(float x, float y)
{
    BatchVertex* vertex = beginPrimitive(kindPoint, 1, noSurface);
    place(*vertex, x, y);
    vertex->x += pixelCentre;
    vertex->y += pixelCentre;
}

void gxtkGraphics::fillRect(float x, float y, float w, float h)
{
    placeQuad(beginPrimitive(kindQuad, 4, noSurface), x, y, w, h, 0, 0, 0, 0);
}

void gxtkGraphics::strokeLine(float x1, float y1, float x2, float y2)
{
    BatchVertex* ends = beginPrimitive(kindLine, 2, noSurface);
    place(ends[0], x1, y1);
    place(ends[1], x2, y2);
    for (int i = 0; i < 2; ++i) {
        ends[i].x += pixelCentre;
        ends[i].y += pixelCentre;
    }
}

// Enough segments for the ellipse's size on screen: 12 to 1024, a multiple of 4.
int gxtkGraphics::ellipseSegments(float rx, float ry) const
{
    float size = std::fabs(rx) + std::fabs(ry);
    if (transformed_)
        size = std::sqrt(xAxisX_ * rx * xAxisX_ * rx + xAxisY_ * rx * xAxisY_ * rx) +
               std::sqrt(yAxisX_ * ry * yAxisX_ * ry + yAxisY_ * ry * yAxisY_ * ry);
    if (!(size >= 12)) return 12;
    if (size > batchCapacity) return batchCapacity;
    return static_cast<int>(size) & ~3;
}

void gxtkGraphics::fillEllipse(float x, float y, float w, float h)
{
    const float rx = w / 2, ry = h / 2;
    const float mx = x + rx, my = y + ry;
    const int segments = ellipseSegments(rx, ry);
    BatchVertex* fan = beginPrimitive(segments, segments, noSurface);
    for (int i = 0; i < segments; ++i) {
        float theta = static_cast<float>(i) * 6.2831855f / static_cast<float>(segments);
        place(fan[i], mx + rx * std::cos(theta), my - ry * std::sin(theta));
    }
}

void gxtkGraphics::fillPolygon(const std::vector<float>& points)
{
    const int count = static_cast<int>(points.size() / 2);
    if (count < 1 || count > batchCapacity) return;
    BatchVertex* polygon = beginPrimitive(count, count, noSurface);
    for (int i = 0; i < count; ++i) place(polygon[i], points[i * 2], points[i * 2 + 1]);
}

void gxtkGraphics::drawTexturedPolygon(const std::vector<float>& vertices, const std::shared_ptr<gxtkSurface>& surface,
                                       int srcX, int srcY)
{
    const int count = static_cast<int>(vertices.size() / 4);
    if (!surface || count < 1 || count > batchCapacity) return;
    BatchVertex* polygon = beginTextured(count, count, surface);
    const float scaleU = surface->texelScaleU(), scaleV = surface->texelScaleV();
    for (int i = 0; i < count; ++i) {
        const float* p = &vertices[static_cast<size_t>(i) * 4];
        place(polygon[i], p[0], p[1], (p[2] + srcX) * scaleU, (p[3] + srcY) * scaleV);
    }
}

void gxtkGraphics::blitSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y)
{
    if (!surface) return;
    BatchVertex* quad = beginTextured(kindQuad, 4, surface);
    const float w = static_cast<float>(surface->pixelWidth()), h = static_cast<float>(surface->pixelHeight());
    placeQuad(quad, x, y, w, h, 0, 0, w * surface->texelScaleU(), h * surface->texelScaleV());
}

void gxtkGraphics::blitSurfaceRegion(const std::shared_ptr<gxtkSurface>& surface, int srcX, int srcY, int srcW,
                                     int srcH, float x, float y)
{
    if (!surface) return;
    BatchVertex* quad = beginTextured(kindQuad, 4, surface);
    const float scaleU = surface->texelScaleU(), scaleV = surface->texelScaleV();
    placeQuad(quad, x, y, static_cast<float>(srcW), static_cast<float>(srcH), srcX * scaleU, srcY * scaleV,
              (srcX + srcW) * scaleU, (srcY + srcH) * scaleV);
}

// ---- Pixels ----

void gxtkGraphics::grabScreenPixels(std::vector<int>& pixels, int x, int y, int w, int h, int offset, int pitch)
{
    flush();
    readyFrame();
    if (!pixelRowsFit(pixels.size(), w, h, offset, pitch)) return;
    // GL rows run bottom-up; the array's run top-down.
    for (int row = 0; row < h; ++row) {
        int* target = pixels.data() + offset + static_cast<long long>(row) * pitch;
        glReadPixels(x, viewHeight_ - y - 1 - row, w, 1, GL_BGRA, GL_UNSIGNED_BYTE, target);
    }
}

bool gxtkGraphics::writeScreenPixels(const std::vector<int>& pixels, int x, int y, int w, int h)
{
    // What was drawn before lands first.
    flush();
    PictureRect part {x, y, w, h};
    // Before the frame draws, the pixels are held: a frame that only writes
    // them is shown without the GL driver.
    bool held = !frameReady_ && picture_.hold(pixels, part);
    if (!held) {
        readyFrame();
        if (!picture_.write(pixels, part)) return false;
    }
    pixelsWrittenThisFrame_ = true;
    damage_.add(part, view());
    return true;
}

void gxtkGraphics::storeSurfacePixels(gxtkSurface& surface, const std::vector<int>& pixels, int x, int y, int w, int h,
                                      int offset, int pitch)
{
    surface.storeArgb(pixels, x, y, w, h, offset, pitch);
}
