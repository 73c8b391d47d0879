// The window's picture, kept in an offscreen framebuffer. The tracker never
// clears its window and repaints most of it only now and then, but a buffer
// swap does not promise to keep the back buffer; drawing into a picture of our
// own and copying it to the back buffer before each swap keeps the screen as
// if it did.
#pragma once

#include "graphics/batch_vertex.h"
#include "graphics/frame_damage.h"
#include "graphics/held_pixels.h"

#include <cstdint>
#include <vector>

class BBGame;

class WindowPicture {
public:
    WindowPicture() = default;
    ~WindowPicture();
    WindowPicture(const WindowPicture&) = delete;
    WindowPicture& operator=(const WindowPicture&) = delete;

    // Makes the picture the target of drawing and of pixel reads. It is made
    // (opaque black) on first use and again when the size or the GL
    // context changes. Without a usable framebuffer object the window's own
    // buffer is used, as before.
    void bind(int width, int height);
    // True while drawing goes into the picture rather than the window.
    bool isBound() const { return framebuffer_ != 0; }
    // Copies the picture to the window's back buffer of the given size,
    // magnified by the largest whole number that fits, pixels kept sharp and
    // the top-left corners together; then binds the picture again. Leaves
    // the matrices, client arrays, viewport, scissor test and texture binding
    // as its drawing set them: GL state must be set again before drawing on.
    void present(int windowWidth, int windowHeight);
    // Puts only these parts of the picture into the window from memory, or
    // else copies them to the back buffer and from there straight to the
    // window, so no swap is needed; binds the picture again. False, having done nothing, when the window system cannot copy
    // parts or the parts cover more than half the picture: then present.
    // Leaves GL state as present does. A frame whose only change is held
    // pixels (heldOnly) puts them as they are, with no GL at all.
    bool presentParts(int windowWidth, int windowHeight, const FrameDamage& damage, bool heldOnly = false);
    // Writes 0xAARRGGBB values, top row first, into a part of the picture as
    // they are, without blending: a small picture the program works out
    // itself costs the GL driver a copy instead of drawing. False, writing
    // nothing, without a picture of its own or for a part outside it. Leaves
    // another texture bound.
    bool write(const std::vector<int>& pixels, const PictureRect& part);
    // As write, but the pixels are held in memory and reach GL only when GL
    // next binds, shows or reads the picture. For a frame that has not drawn
    // yet: drawing after it lands over the pixels, as it would after write.
    bool hold(const std::vector<int>& pixels, const PictureRect& part);

private:
    int scaleFor(int windowWidth, int windowHeight) const;
    PictureRect windowRectOf(const PictureRect& part, int scale, int windowHeight) const;
    std::vector<BatchVertex> partCorners(const std::vector<PictureRect>& parts, int windowWidth,
                                         int windowHeight) const;
    void useWindowDrawingState(int windowWidth, int windowHeight) const;
    void drawParts(const std::vector<PictureRect>& parts, int windowWidth, int windowHeight);
    bool putParts(BBGame& game, const std::vector<PictureRect>& parts, int windowWidth, int windowHeight);
    bool putHeld(BBGame& game, int windowWidth, int windowHeight);
    void readMagnified(const PictureRect& part, int scale, uint32_t* to);
    bool fits(const PictureRect& part, size_t pixelCount) const;
    void writeRows(const uint32_t* topRow, const PictureRect& part);
    void writeHeld();
    void create(int width, int height);
    void destroy();

    unsigned framebuffer_ = 0;
    unsigned colourBuffer_ = 0;
    int width_ = 0;
    int height_ = 0;
    int generation_ = 0;
    std::vector<uint32_t> rowsUp_;  // written or read pixels bottom row first, as GL has them
    std::vector<uint32_t> shownPixels_;  // the parts put into the window, magnified
    HeldPixels held_;
};
