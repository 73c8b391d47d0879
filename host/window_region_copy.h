// Copies a rectangle of the window's back buffer to the window itself, where
// the GL driver offers it (GLX_MESA_copy_sub_buffer). A frame that changed a
// small part of the picture then sends only that part to the window system,
// instead of swapping the whole window.
#pragma once

class WindowRegionCopy {
public:
    // Looks the copy up for the GL context current on this thread, or turns
    // it off when the driver has none.
    void attach();
    void detach() { copy_ = nullptr; }
    bool available() const { return copy_ != nullptr; }
    // The rectangle's lower-left corner in GL window coordinates, in pixels.
    bool copy(int x, int y, int width, int height) const;

private:
    using CopyFunction = void (*)(void* display, unsigned long drawable, int x, int y, int width, int height);
    CopyFunction copy_ = nullptr;
    void* display_ = nullptr;
    unsigned long drawable_ = 0;
};
