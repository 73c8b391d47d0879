// Puts pixels the program holds in memory straight into the window: a few
// through the connection to the X server, more through the server's shared
// memory. Unlike the GL driver's copy of a part, it does not wait for the
// server after each put: the server reports when it has read a shared put (an
// event the window's own event reading passes over), and only a shared put
// that comes before that report waits.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct GLFWwindow;

// One part to put: 0xAARRGGBB values, top row first, at (x, y) in window
// pixels with rows counted from the top. Its rows may lie within wider ones
// (stride values from one row's start to the next; 0 for width).
struct WindowPixels {
    int x = 0, y = 0, width = 0, height = 0;
    const uint32_t* pixels = nullptr;
    int stride = 0;
    int rowStep() const { return stride > 0 ? stride : width; }
};

class WindowPixelPut {
public:
    WindowPixelPut();
    ~WindowPixelPut();
    WindowPixelPut(const WindowPixelPut&) = delete;
    WindowPixelPut& operator=(const WindowPixelPut&) = delete;

    // Sets the put up for the window's X window at that size in pixels, or
    // leaves it off where the server shares no memory (a remote display) or
    // the window's pixels are not 8-bit red, green and blue in 32-bit words.
    void attach(GLFWwindow* window, int width, int height);
    void detach();
    bool available() const { return segment_ != nullptr; }
    // Puts the parts; false, having done nothing, when unavailable or a part
    // does not fit the window.
    bool put(const std::vector<WindowPixels>& parts);

private:
    void putPlain(const WindowPixels& part);
    void putShared(const std::vector<WindowPixels>& parts);
    void waitForLastPut();

    struct Segment;  // the shared memory, the server's image over it, the drawing context
    void* display_ = nullptr;
    unsigned long window_ = 0;
    int depth_ = 0;
    std::unique_ptr<Segment> segment_;
    unsigned long lastPut_ = 0;  // request number of the last put; 0 = none waiting
};
