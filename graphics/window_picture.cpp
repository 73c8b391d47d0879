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

void WindowPicture::present(int windowWidth, int windowHeight)
{
    if (!framebuffer_) return;
    int scale = std::max(1, std::min(windowWidth / width_, windowHeight / height_));
    // GL counts rows from the bottom: the picture's top row goes to the window's top.
    int bottom = windowHeight - height_ * scale;
    unscissored([&] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, width_, height_, 0, bottom, width_ * scale, bottom + height_ * scale,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    });
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}
