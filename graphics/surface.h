// A texture-backed image. Pixels written by the program are kept, so that the
// texture can be made again after the GL context has been replaced; pixels
// read from a file are given back once the texture holds them, and read from
// the file again for a new context.
#pragma once

#include "host/decoded_media.h"
#include "base/text.h"

#include <cstddef>
#include <vector>

// The smallest power of two that is at least n (1 for n <= 1).
int nextPowerOfTwo(int n);
// The smallest size of at least n that is not a power of two (3 for n <= 2).
int nonPowerOfTwoAtLeast(int n);

// True when rows of w values starting at offset + r * pitch (r < h) all lie
// inside an array of the given length: how pixel arrays are checked before use.
bool pixelRowsFit(size_t length, int w, int h, int offset, int pitch);

class gxtkSurface {
public:
    gxtkSurface() = default;
    virtual ~gxtkSurface();
    gxtkSurface(const gxtkSurface&) = delete;
    gxtkSurface& operator=(const gxtkSurface&) = delete;

    // Deletes the texture (when it belongs to the current context) and frees
    // the pixels.
    virtual void release();
    virtual int pixelWidth();
    virtual int pixelHeight();
    virtual bool isReady();
    // Binds the texture, first creating it when there is none for the current
    // context; does nothing before the first context exists.
    virtual void ensureTexture();

    // Takes a decoded buffer (or none, for a blank surface) and premultiplies
    // its colours by alpha. Sizes below 0 count as 0; a component count outside
    // 1..4 leaves the surface empty.
    void setPixels(PixelBlock pixels, int width, int height, int components);
    // Names the image file the pixels just set came from.
    void setSource(const String& path) { source_ = path; }

    // Writes 0xAARRGGBB values, premultiplied, into the rectangle of a
    // 4-component surface and into its texture when that is current; from
    // then on all its pixels are kept, the file's included. Row r of
    // the source starts at offset + r * pitch. Returns false, changing nothing,
    // for other surfaces and for rectangles or rows that do not fit.
    bool storeArgb(const std::vector<int>& source, int x, int y, int w, int h, int offset, int pitch);

    int components() const { return components_; }
    const unsigned char* pixels() const { return pixels_.get(); }
    int textureSeq() const { return textureSeq_; }
    float texelScaleU() const { return texelScaleU_; }
    float texelScaleV() const { return texelScaleV_; }
    // The texture's size, which can be larger than the image (0 before it exists).
    int textureWidth() const { return textureWidth_; }
    int textureHeight() const { return textureHeight_; }

private:
    void createTexture();
    void defineTexture(int width, int height);
    void uploadRows(int x, int y, int w, int h);
    void readSource();

    PixelBlock pixels_;
    String source_;
    int width_ = 0;
    int height_ = 0;
    int components_ = 0;
    int glFormat_ = 0;
    int textureSeq_ = -1;
    unsigned textureName_ = 0;
    float texelScaleU_ = 0;
    float texelScaleV_ = 0;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};
