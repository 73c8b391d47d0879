#include "graphics/window_picture.h"

#include "graphics/context_generation.h"
#include "host/game.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>

namespace {

// Runs a whole-buffer operation (clear, blit) that the scissor box must not cut.
template <typename Operation>
void unscissored(Operation operation)
{
    bool scissored = glIsEnabled(GL_SCISSOR_TEST);
    if (scissored) glDisable(GL_SCISSOR_TEST);
    operation();
    if (scissored) glEnable(GL_SCISSOR_TEST);
}

// Each pixel of a part as a square of scale x scale, top row first, from rows
// that lie rowStep values apart (negative for GL's bottom-up rows).
void magnify(const uint32_t* topRow, long rowStep, const PictureRect& part, int scale, uint32_t* to)
{
    int width = part.width * scale;
    for (int row = 0; row < part.height; ++row) {
        const uint32_t* from = topRow + row * rowStep;
        uint32_t* line = to + long(row) * scale * width;
        for (int column = 0; column < part.width; ++column) std::fill_n(line + column * scale, scale, from[column]);
        // The row's other lines repeat its first.
        for (int copy = 1; copy < scale; ++copy) std::copy_n(line, width, line + long(copy) * width);
    }
}

} // namespace

WindowPicture::~WindowPicture()
{
    if (generation_ == contextGeneration) destroy();
}

void WindowPicture::bind(int width, int height)
{
    if (contextGeneration == 0 || width <= 0 || height <= 0) return;
    if (generation_ != contextGeneration) {
        // The old names died with the old context.
        framebuffer_ = colourBuffer_ = 0;
        width_ = height_ = 0;
        generation_ = contextGeneration;
    }
    // A failed creation is not retried until the size or the context changes.
    if (width != width_ || height != height_) create(width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    writeHeld();
}

void WindowPicture::create(int width, int height)
{
    destroy();
    width_ = width;
    height_ = height;
    // A texture rather than a renderbuffer: showing it is then a textured
    // quad, whose compiled form the GL driver can keep on disk from run to
    // run, where a framebuffer blit is compiled anew at every start.
    GLuint names[2] = {0, 0};
    glGenTextures(1, &names[0]);
    glBindTexture(GL_TEXTURE_2D, names[0]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &names[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, names[1]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, names[0], 0);
    colourBuffer_ = names[0];
    framebuffer_ = names[1];
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return;
    }
    // Opaque, as a window is: drawing keeps it so, since both blend modes
    // leave the destination's alpha at one, and showing it can then blend.
    unscissored([] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    });
}

void WindowPicture::destroy()
{
    if (!framebuffer_ && !colourBuffer_) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLuint framebuffer = framebuffer_, colourBuffer = colourBuffer_;
    if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    if (colourBuffer) glDeleteTextures(1, &colourBuffer);
    framebuffer_ = colourBuffer_ = 0;
}

int WindowPicture::scaleFor(int windowWidth, int windowHeight) const
{
    return std::max(1, std::min(windowWidth / width_, windowHeight / height_));
}

// Where a part of the picture lands in the window, magnified, in GL window
// coordinates: rows count from the bottom, and the picture's top row goes to
// the window's top.
PictureRect WindowPicture::windowRectOf(const PictureRect& part, int scale, int windowHeight) const
{
    int bottom = windowHeight - height_ * scale;
    return {part.x * scale, bottom + (height_ - part.y - part.height) * scale, part.width * scale,
            part.height * scale};
}

// The quads of the parts, in window coordinates, with their corners in the
// order the renderer's quad indices take them.
std::vector<BatchVertex> WindowPicture::partCorners(const std::vector<PictureRect>& parts, int windowWidth,
                                                    int windowHeight) const
{
    int scale = scaleFor(windowWidth, windowHeight);
    constexpr std::array<uint8_t, 4> white {255, 255, 255, 255};
    std::vector<BatchVertex> corners;
    for (const PictureRect& part : parts) {
        PictureRect to = windowRectOf(part, scale, windowHeight);
        float u0 = float(part.x) / float(width_), u1 = float(part.x + part.width) / float(width_);
        float v0 = float(height_ - part.y - part.height) / float(height_);
        float v1 = float(height_ - part.y) / float(height_);
        float x0 = float(to.x), x1 = float(to.x + to.width), y0 = float(to.y), y1 = float(to.y + to.height);
        corners.push_back({x0, y0, u0, v0, white});
        corners.push_back({x1, y0, u1, v0, white});
        corners.push_back({x1, y1, u1, v1, white});
        corners.push_back({x0, y1, u0, v1, white});
    }
    return corners;
}

// Window coordinates with rows from the bottom, drawing into the window's
// back buffer with the renderer's own state: white vertices, the texture
// modulated, premultiplied blending. A software GL driver then reuses the
// code it compiled for drawing the picture instead of compiling more; since
// the picture is opaque, its texels land unchanged. Nothing is pushed to be
// restored: the driver's attribute stack costs megabytes and a copy of every
// texture unit's state per frame, and the renderer sets all of its state
// again before it next draws.
void WindowPicture::useWindowDrawingState(int windowWidth, int windowHeight) const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, colourBuffer_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// The parts go to the window's back buffer as textured quads, magnified.
void WindowPicture::drawParts(const std::vector<PictureRect>& parts, int windowWidth, int windowHeight)
{
    std::vector<BatchVertex> corners = partCorners(parts, windowWidth, windowHeight);
    std::vector<uint16_t> indices;
    for (size_t quad = 0; quad < parts.size(); ++quad)
        for (uint16_t corner : quadCorners) indices.push_back(static_cast<uint16_t>(quad * 4 + corner));
    useWindowDrawingState(windowWidth, windowHeight);
    pointArraysAt(corners.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
}

void WindowPicture::present(int windowWidth, int windowHeight)
{
    if (!framebuffer_) return;
    writeHeld();
    drawParts({{0, 0, width_, height_}}, windowWidth, windowHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

bool WindowPicture::presentParts(int windowWidth, int windowHeight, const FrameDamage& damage, bool heldOnly)
{
    BBGame* game = BBGame::game();
    if (!framebuffer_ || !game || !(game->canPutToWindow() || game->canCopyToWindow())) return false;
    if (heldOnly && game->canPutToWindow() && putHeld(*game, windowWidth, windowHeight)) return true;
    writeHeld();
    if (damage.area() * 2 > static_cast<long>(width_) * height_) return false;
    if (game->canPutToWindow() && putParts(*game, damage.rects(), windowWidth, windowHeight)) return true;
    if (!game->canCopyToWindow()) return false;
    drawParts(damage.rects(), windowWidth, windowHeight);
    int scale = scaleFor(windowWidth, windowHeight);
    for (const PictureRect& part : damage.rects()) {
        PictureRect to = windowRectOf(part, scale, windowHeight);
        game->copyToWindow(to.x, to.y, to.width, to.height);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}

// The parts are read back from the picture and put into the window from
// memory, magnified: no pass of the GL driver over the back buffer, and no
// wait for the window system after each frame.
bool WindowPicture::putParts(BBGame& game, const std::vector<PictureRect>& parts, int windowWidth, int windowHeight)
{
    int scale = scaleFor(windowWidth, windowHeight);
    size_t total = 0;
    for (const PictureRect& part : parts) total += size_t(part.area()) * scale * scale;
    shownPixels_.resize(total);
    std::vector<WindowPixels> shown;
    uint32_t* next = shownPixels_.data();
    for (const PictureRect& part : parts) {
        PictureRect to = windowRectOf(part, scale, windowHeight);
        shown.push_back({to.x, windowHeight - to.y - to.height, to.width, to.height, next});
        readMagnified(part, scale, next);
        next += long(to.width) * to.height;
    }
    return game.putToWindow(shown);
}

// The held pixels not yet in the window, put as they are: the picture holds
// them the same, since written pixels are not blended.
bool WindowPicture::putHeld(BBGame& game, int windowWidth, int windowHeight)
{
    int scale = scaleFor(windowWidth, windowHeight);
    size_t total = 0;
    for (const HeldPart& held : held_.parts())
        if (scale > 1) total += size_t(held.unshown.area()) * scale * scale;
    shownPixels_.resize(total);
    std::vector<WindowPixels> shown;
    uint32_t* next = shownPixels_.data();
    for (const HeldPart& held : held_.parts()) {
        const PictureRect& part = held.unshown;
        if (part.area() == 0) continue;
        PictureRect to = windowRectOf(part, scale, windowHeight);
        const uint32_t* pixels =
            held.pixels.data() + long(part.y - held.part.y) * held.part.width + (part.x - held.part.x);
        // Unmagnified, the held pixels are put as they stand.
        WindowPixels put {to.x, windowHeight - to.y - to.height, to.width, to.height, pixels, held.part.width};
        if (scale > 1) {
            magnify(pixels, held.part.width, part, scale, next);
            put.pixels = next;
            put.stride = 0;
            next += long(to.width) * to.height;
        }
        shown.push_back(put);
    }
    if (!game.putToWindow(shown)) return false;
    held_.markShown();
    return true;
}

// A part of the picture, each pixel as a square of scale × scale, top row first.
void WindowPicture::readMagnified(const PictureRect& part, int scale, uint32_t* to)
{
    rowsUp_.resize(size_t(part.area()));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // B, G, R, A bytes are little-endian 0xAARRGGBB.
    glReadPixels(part.x, height_ - part.y - part.height, part.width, part.height, GL_BGRA, GL_UNSIGNED_BYTE,
                 rowsUp_.data());
    magnify(rowsUp_.data() + long(part.height - 1) * part.width, -long(part.width), part, scale, to);
}

bool WindowPicture::fits(const PictureRect& part, size_t pixelCount) const
{
    return framebuffer_ && generation_ == contextGeneration && part.x >= 0 && part.y >= 0 && part.width > 0 &&
           part.height > 0 && part.x + part.width <= width_ && part.y + part.height <= height_ &&
           pixelCount == size_t(part.area());
}

bool WindowPicture::write(const std::vector<int>& pixels, const PictureRect& part)
{
    if (!fits(part, pixels.size())) return false;
    writeHeld();  // older than these
    writeRows(reinterpret_cast<const uint32_t*>(pixels.data()), part);
    return true;
}

bool WindowPicture::hold(const std::vector<int>& pixels, const PictureRect& part)
{
    if (!fits(part, pixels.size())) return false;
    if (held_.full()) writeHeld();
    held_.hold(pixels, part);
    return true;
}

// The held parts reach GL in the order they were written, so that a later
// one lands over an earlier one where they overlap.
void WindowPicture::writeHeld()
{
    if (held_.parts().empty() || !framebuffer_ || generation_ != contextGeneration) return;
    for (const HeldPart& held : held_.parts())
        if (fits(held.part, held.pixels.size())) writeRows(held.pixels.data(), held.part);
    held_.clear();
}

void WindowPicture::writeRows(const uint32_t* topRow, const PictureRect& part)
{
    rowsUp_.resize(size_t(part.area()));
    for (int row = 0; row < part.height; ++row)
        std::copy_n(topRow + long(row) * part.width, part.width, rowsUp_.begin() + long(part.height - 1 - row) * part.width);
    glBindTexture(GL_TEXTURE_2D, colourBuffer_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Little-endian 0xAARRGGBB is B, G, R, A in memory.
    glTexSubImage2D(GL_TEXTURE_2D, 0, part.x, height_ - part.y - part.height, part.width, part.height, GL_BGRA,
                    GL_UNSIGNED_BYTE, rowsUp_.data());
}
