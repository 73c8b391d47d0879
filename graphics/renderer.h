// The one 2D renderer: coloured and textured primitives collected in a fixed
// batch of vertices, transformed and coloured on the CPU, and drawn through
// fixed-function OpenGL with client-side arrays.
#pragma once

#include "graphics/batch_vertex.h"
#include "base/text.h"
#include "graphics/surface.h"
#include "graphics/window_picture.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A tint component (0..255) as it lands in a vertex's colour, and so on screen.
uint8_t colourByte(float value);

// Blend modes of setBlendMode.
enum BlendMode { blendAlpha = 0, blendAdditive = 1 };

class gxtkGraphics {
public:
    static constexpr int batchCapacity = 1024;
    static constexpr int quadCapacity = batchCapacity / 4;
    static constexpr int quadIndexCount = quadCapacity * 6;
    static_assert(quadIndexCount == 1536);

    gxtkGraphics();
    virtual ~gxtkGraphics();
    gxtkGraphics(const gxtkGraphics&) = delete;
    gxtkGraphics& operator=(const gxtkGraphics&) = delete;

    virtual int viewWidth();
    virtual int viewHeight();
    // Starts a frame (returns 1: draw it). GL is set up and the window's picture
    // bound when the frame first draws, clears or reads pixels.
    virtual int beginFrame();
    // Flushes and shows the picture in the window's back buffer, if the frame
    // drew anything or the window asked for its picture again.
    virtual void endFrame();
    virtual void discardResources();

    // A surface with a texture, or null when the file cannot be decoded.
    virtual std::shared_ptr<gxtkSurface> loadImageSurface(const String& path);
    // A 4-component surface without pixels whose texture exists at once.
    virtual std::shared_ptr<gxtkSurface> newBlankSurface(int width, int height);
    // Decodes the file into the surface; creates no texture.
    virtual bool loadSurfacePixels(gxtkSurface& surface, const String& path);

    // Drops the pending batch and clears the picture to the colour (0..255).
    virtual void clear(float r, float g, float b);
    virtual void setOpacity(float alpha);
    virtual void setTint(float r, float g, float b);
    // Flushes; blendAdditive adds, every other mode blends premultiplied alpha.
    virtual void setBlendMode(int mode);
    // Flushes; the whole view turns the scissor test off.
    virtual void setClipRect(int x, int y, int w, int h);
    virtual void setTransform(float xAxisX, float xAxisY, float yAxisX, float yAxisY, float originX, float originY);

    virtual void plotPoint(float x, float y);
    virtual void fillRect(float x, float y, float w, float h);
    virtual void strokeLine(float x1, float y1, float x2, float y2);
    // The ellipse inscribed in the rectangle, as a fan of 12 to 1024 vertices.
    virtual void fillEllipse(float x, float y, float w, float h);
    // A convex polygon from x, y pairs; nothing without a vertex or beyond 1024.
    virtual void fillPolygon(const std::vector<float>& points);
    // A textured convex polygon from x, y, u, v quadruples, u and v in surface
    // pixels relative to (srcX, srcY).
    virtual void drawTexturedPolygon(const std::vector<float>& vertices, const std::shared_ptr<gxtkSurface>& surface,
                                     int srcX, int srcY);
    virtual void blitSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y);
    virtual void blitSurfaceRegion(const std::shared_ptr<gxtkSurface>& surface, int srcX, int srcY, int srcW, int srcH,
                                   float x, float y);

    // Copies a screen rectangle as 0xAARRGGBB values, top row first, row r at
    // offset + r * pitch. Nothing is read when a row would not fit the array.
    virtual void grabScreenPixels(std::vector<int>& pixels, int x, int y, int w, int h, int offset, int pitch);
    // Writes 0xAARRGGBB values, w x h, top row first, into the window's
    // picture at (x, y) in window units, as they are: no transform, tint,
    // blending or clip. False, writing nothing, where the picture is the
    // window's own buffer (draw them as an image there) or the rectangle
    // does not fit.
    virtual bool writeScreenPixels(const std::vector<int>& pixels, int x, int y, int w, int h);
    // True while writeScreenPixels holds the pixels: the frame has not drawn.
    bool holdsWrites() const { return !frameReady_ && batchLength_ == 0; }
    // Writes 0xAARRGGBB values into a 4-component surface (see gxtkSurface::storeArgb).
    virtual void storeSurfacePixels(gxtkSurface& surface, const std::vector<int>& pixels, int x, int y, int w, int h,
                                    int offset, int pitch);

    // GL draw calls issued since beginFrame, and in the last finished frame.
    int drawCallsThisFrame() const { return drawCallsThisFrame_; }
    int lastFrameDrawCalls() const { return lastFrameDrawCalls_; }
    const std::array<uint8_t, 4>& packedColor() const { return packedColor_; }
    // Distinct combinations of blending and texture kind drawn with since the
    // renderer was made: a software GL driver compiles code for each.
    int drawStateCount() const { return static_cast<int>(drawStates_.size()); }
    // The parts of the picture the current (or last finished) frame drew on.
    const std::vector<PictureRect>& frameDamage() const { return damage_.rects(); }

private:
    void readyFrame();
    void applyFrameState();
    void applyBlendMode();
    void applyClipRect();
    void packColour();
    // Reserves count vertices of a primitive kind, starting a new batch when
    // the kind or the texture changes or the batch is full.
    BatchVertex* beginPrimitive(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);
    // A textured primitive: the surface's texture (and so its texel scale) is made current first.
    BatchVertex* beginTextured(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);
    void flush();
    void drawBatch();
    void noteDrawState(uint32_t state);
    void noteBatchDamage();
    PictureRect view() const;
    // Fills a vertex with the transformed point, the texture coordinate and the colour.
    void place(BatchVertex& vertex, float x, float y, float u = 0, float v = 0) const;
    void placeQuad(BatchVertex* quad, float x, float y, float w, float h, float u0, float v0, float u1, float v1) const;
    int ellipseSegments(float rx, float ry) const;

    int viewWidth_ = 0;
    int viewHeight_ = 0;
    std::array<uint8_t, 4> packedColor_ {255, 255, 255, 255};
    float tintR_ = 255, tintG_ = 255, tintB_ = 255;
    float opacity_ = 1;
    float xAxisX_ = 1, xAxisY_ = 0, yAxisX_ = 0, yAxisY_ = 1, originX_ = 0, originY_ = 0;
    bool transformed_ = false;
    std::array<BatchVertex, batchCapacity> vertexBuffer_ {};
    std::array<uint16_t, quadIndexCount> quadIndexList_ {};
    int primitiveKind_ = 0;
    int batchLength_ = 0;
    std::shared_ptr<gxtkSurface> batchSurface_;
    // Untextured primitives sample this white texture: drawn alike with
    // textured ones, they need no GL state of their own.
    std::shared_ptr<gxtkSurface> white_;
    std::vector<uint32_t> drawStates_;

    WindowPicture picture_;
    FrameDamage damage_;
    bool frameReady_ = false;  // GL is set up for the frame under way
    bool additive_ = false;    // the blend mode adds
    bool clipped_ = false;     // the scissor box clip_ is on
    PictureRect clip_;
    int framebufferWidth_ = 0;  // the window's pixels the picture is presented to
    int framebufferHeight_ = 0;
    int drawCallsThisFrame_ = 0;
    bool clearedThisFrame_ = false;
    bool pixelsWrittenThisFrame_ = false;
    int lastFrameDrawCalls_ = 0;
};
