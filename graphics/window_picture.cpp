#include "graphics/window_picture.h"

#include "host/glfw_game.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <algorithm>

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
}

void WindowPicture::create(int width, int height)
{
    destroy();
    width_ = width;
    height_ = height;
    GLuint names[2] = {0, 0};
    glGenRenderbuffers(1, &names[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, names[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &names[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, names[1]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, names[0]);
    colourBuffer_ = names[0];
    framebuffer_ = names[1];
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return;
    }
    unscissored([] {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    });
}

void WindowPicture::destroy()
{
    if (!framebuffer_ && !colourBuffer_) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLuint framebuffer = framebuffer_, colourBuffer = colourBuffer_;
    if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    if (colourBuffer) glDeleteRenderbuffers(1, &colourBuffer);
    framebuffer_ = colourBuffer_ = 0;
}

int WindowPicture::scaleFor(int windowWidth, int windowHeight) const
{
    return std::max(1, std::min(windowWidth / width_, windowHeight / height_));
}

void WindowPicture::blitPart(const PictureRect& part, int scale, int windowHeight)
{
    // GL counts rows from the bottom: the picture's top row goes to the window's top.
    int bottom = windowHeight - height_ * scale;
    int y = height_ - part.y - part.height;
    glBlitFramebuffer(part.x, y, part.x + part.width, y + part.height, part.x * scale, bottom + y * scale,
                      (part.x + part.width) * scale, bottom + (y + part.height) * scale, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
}

void WindowPicture::present(int windowWidth, int windowHeight)
{
    if (!framebuffer_) return;
    int scale = scaleFor(windowWidth, windowHeight);
    unscissored([&] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        blitPart({0, 0, width_, height_}, scale, windowHeight);
    });
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

bool WindowPicture::presentParts(int windowWidth, int windowHeight, const std::vector<PictureRect>& parts)
{
    BBGame* game = BBGame::game();
    if (!framebuffer_ || !game || !game->canCopyToWindow()) return false;
    long area = 0;
    for (const PictureRect& part : parts) area += part.area();
    if (area * 2 > static_cast<long>(width_) * height_) return false;
    int scale = scaleFor(windowWidth, windowHeight);
    unscissored([&] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        for (const PictureRect& part : parts) blitPart(part, scale, windowHeight);
    });
    int bottom = windowHeight - height_ * scale;
    for (const PictureRect& part : parts)
        game->copyToWindow(part.x * scale, bottom + (height_ - part.y - part.height) * scale, part.width * scale,
                           part.height * scale);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}
