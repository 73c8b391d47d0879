#include "graphics/surface.h"

#include "graphics/context_generation.h"
#include "graphics/image_file_loading.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

// GL pixel format by component count (index 0 is unused).
constexpr std::array<GLenum, 5> formatForComponents {0, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
static_assert(formatForComponents.size() == 5);

unsigned char scaledByAlpha(unsigned value, unsigned alpha) { return static_cast<unsigned char>(value * alpha / 255); }

// Colours are kept premultiplied so that blending with (ONE, ONE_MINUS_SRC_ALPHA) is right.
void premultiply(unsigned char* pixels, size_t count, int components)
{
    if (components == 2) {
        for (size_t i = 0; i < count; ++i) pixels[i * 2] = scaledByAlpha(pixels[i * 2], pixels[i * 2 + 1]);
    } else if (components == 4) {
        for (size_t i = 0; i < count; ++i) {
            unsigned char* p = pixels + i * 4;
            for (int c = 0; c < 3; ++c) p[c] = scaledByAlpha(p[c], p[3]);
        }
    }
}

void clearGlErrors()
{
    while (glGetError() != GL_NO_ERROR) {
    }
}

} // namespace

int nextPowerOfTwo(int n)
{
    int power = 1;
    while (power < n && power < (1 << 30)) power <<= 1;
    return power;
}

int nonPowerOfTwoAtLeast(int n)
{
    n = std::max(n, 3);
    return n == nextPowerOfTwo(n) && n < (1 << 30) ? n + 1 : n;
}

gxtkSurface::~gxtkSurface() { release(); }

void gxtkSurface::release()
{
    if (textureSeq_ == contextGeneration && contextGeneration != 0) {
        GLuint name = textureName_;
        glDeleteTextures(1, &name);
    }
    textureSeq_ = -1;
    pixels_.reset();
}

int gxtkSurface::pixelWidth() { return width_; }
int gxtkSurface::pixelHeight() { return height_; }
bool gxtkSurface::isReady() { return true; }

void gxtkSurface::setPixels(PixelBlock pixels, int width, int height, int components)
{
    bool known = components >= 1 && components <= 4;
    pixels_ = known ? std::move(pixels) : nullptr;
    source_.clear();
    width_ = known ? std::max(width, 0) : 0;
    height_ = known ? std::max(height, 0) : 0;
    components_ = known ? components : 0;
    glFormat_ = static_cast<int>(formatForComponents[static_cast<size_t>(components_)]);
    texelScaleU_ = 1.0f / std::max(width_, 1);
    texelScaleV_ = 1.0f / std::max(height_, 1);
    if (pixels_) premultiply(pixels_.get(), static_cast<size_t>(width_) * height_, components_);
}

void gxtkSurface::ensureTexture()
{
    if (contextGeneration == 0) return;
    if (textureSeq_ == contextGeneration) {
        glBindTexture(GL_TEXTURE_2D, textureName_);
        return;
    }
    textureSeq_ = contextGeneration;
    if (!pixels_) readSource();
    createTexture();
    if (!source_.empty()) pixels_.reset();
}

// Reads the pixels given back again from their file. A file that has gone or
// no longer has the surface's size leaves the surface blank.
void gxtkSurface::readSource()
{
    if (source_.empty()) return;
    ImagePixels image = loadImagePixels(source_);
    if (!image.data || image.width != width_ || image.height != height_ || image.components != components_)
        image.data.reset(static_cast<unsigned char*>(std::calloc(static_cast<size_t>(width_) * height_ * components_, 1)));
    String source = source_;
    setPixels(std::move(image.data), width_, height_, components_);
    source_ = source;
}

void gxtkSurface::createTexture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    textureName_ = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    clearGlErrors();
    // Every texture has sides that are not powers of two, padded where the
    // image's are: a software GL driver compiles its sampling code for each
    // kind of side anew, and one kind keeps the first picture to one variant.
    int textureWidth = nonPowerOfTwoAtLeast(width_), textureHeight = nonPowerOfTwoAtLeast(height_);
    defineTexture(textureWidth, textureHeight);
    // Drivers without non-power-of-two textures get a padded one; texture
    // coordinates use the padded size, so only the image area is ever drawn.
    if (glGetError() != GL_NO_ERROR) {
        textureWidth = nextPowerOfTwo(width_);
        textureHeight = nextPowerOfTwo(height_);
        defineTexture(textureWidth, textureHeight);
    }
    textureWidth_ = textureWidth;
    textureHeight_ = textureHeight;
    texelScaleU_ = 1.0f / std::max(textureWidth, 1);
    texelScaleV_ = 1.0f / std::max(textureHeight, 1);
    if (pixels_) uploadRows(0, 0, width_, height_);
}

void gxtkSurface::defineTexture(int width, int height)
{
    glTexImage2D(GL_TEXTURE_2D, 0, glFormat_, width, height, 0, static_cast<GLenum>(glFormat_), GL_UNSIGNED_BYTE,
                 nullptr);
}

// Uploads a rectangle of the pixel buffer into the bound texture: in one call
// when it spans whole rows, else row by row.
void gxtkSurface::uploadRows(int x, int y, int w, int h)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = static_cast<GLenum>(glFormat_);
    const size_t rowBytes = static_cast<size_t>(width_) * components_;
    const unsigned char* first =
        pixels_.get() + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * components_;
    if (w == width_) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, format, GL_UNSIGNED_BYTE, first);
        return;
    }
    for (int row = 0; row < h; ++row)
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + row, w, 1, format, GL_UNSIGNED_BYTE, first + row * rowBytes);
}

bool pixelRowsFit(size_t length, int w, int h, int offset, int pitch)
{
    if (w <= 0 || h <= 0) return false;
    long long first = offset;
    long long last = offset + static_cast<long long>(h - 1) * pitch;
    return std::min(first, last) >= 0 && std::max(first, last) + w <= static_cast<long long>(length);
}

bool gxtkSurface::storeArgb(const std::vector<int>& source, int x, int y, int w, int h, int offset, int pitch)
{
    if (components_ != 4 || w <= 0 || h <= 0) return false;
    if (x < 0 || y < 0 || x > width_ - w || y > height_ - h) return false;
    if (!pixelRowsFit(source.size(), w, h, offset, pitch)) return false;
    if (!pixels_) readSource();
    source_.clear();
    if (!pixels_) {
        size_t bytes = static_cast<size_t>(width_) * height_ * 4;
        pixels_.reset(static_cast<unsigned char*>(std::calloc(bytes, 1)));
        if (!pixels_) return false;
    }
    for (int row = 0; row < h; ++row) {
        const int* from = source.data() + offset + static_cast<long long>(row) * pitch;
        unsigned char* to = pixels_.get() + (static_cast<size_t>(y + row) * width_ + x) * 4;
        for (int column = 0; column < w; ++column, to += 4) {
            auto argb = static_cast<uint32_t>(from[column]);
            unsigned alpha = argb >> 24;
            to[0] = scaledByAlpha((argb >> 16) & 255, alpha);
            to[1] = scaledByAlpha((argb >> 8) & 255, alpha);
            to[2] = scaledByAlpha(argb & 255, alpha);
            to[3] = static_cast<unsigned char>(alpha);
        }
    }
    if (textureSeq_ == contextGeneration && contextGeneration != 0) {
        glBindTexture(GL_TEXTURE_2D, textureName_);
        uploadRows(x, y, w, h);
    }
    return true;
}
