#include "tests/support/x_window.h"

#include "tests/support/wait.h"
#include "tests/support/xvfb.h"

#include <X11/Xlib.h>
#include <gtest/gtest.h>

namespace {

// A plain window of this test's own, painted in three colours: the left
// half, the right half and its last pixel.
class PaintedWindow {
public:
    PaintedWindow() : display_(XOpenDisplay(nullptr))
    {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 64, 48, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~PaintedWindow()
    {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    PaintedWindow(const PaintedWindow&) = delete;
    PaintedWindow& operator=(const PaintedWindow&) = delete;

    void resizeAndPaint(int width, int height)
    {
        XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        GC gc = XCreateGC(display_, window_, 0, nullptr);
        fill(gc, left, 0, 0, width / 2, height);
        fill(gc, right, width / 2, 0, width - width / 2, height);
        fill(gc, last, width - 1, height - 1, 1, 1);
        XFreeGC(display_, gc);
        XSync(display_, False);
    }
    unsigned long id() const { return window_; }

    static constexpr uint32_t left = 0x123456, right = 0xABCDEF, last = 0x010203;

private:
    void fill(GC gc, uint32_t colour, int x, int y, int width, int height)
    {
        XSetForeground(display_, gc, colour);
        XFillRectangle(display_, window_, gc, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    }

    Display* display_;
    Window window_;
};

bool showsThePainting(const Picture& picture, int width, int height)
{
    if (picture.width != width || picture.height != height) return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t expected = x == width - 1 && y == height - 1 ? PaintedWindow::last
                                : x < width / 2                   ? PaintedWindow::left
                                                                  : PaintedWindow::right;
            if (picture.at(x, y) != expected) return false;
        }
    return true;
}

} // namespace

// Pictures come through memory shared with the server, in a segment made for
// the window's size: one that grows or shrinks gets a new one.
TEST(XConnection, AGrabGivesTheWindowsPixelsAtEachOfItsSizes)
{
    ensureXvfb();
    PaintedWindow window;
    XConnection x;
    ASSERT_TRUE(waitFor([&] { return x.isMapped(window.id()); }, 30));
    for (auto [width, height] : {std::pair {64, 48}, std::pair {64, 48}, std::pair {101, 7}, std::pair {40, 60}}) {
        window.resizeAndPaint(width, height);
        EXPECT_TRUE(showsThePainting(x.grab(window.id()), width, height)) << width << " x " << height;
    }
}
