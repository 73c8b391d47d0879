#include "host/window_pixel_put.h"

#include <GLFW/glfw3.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

// GLFW's X11 natives, declared as its native header declares them: that
// header also wants the RandR headers, which nothing here uses.
extern "C" {
Display* glfwGetX11Display(void);
Window glfwGetX11Window(GLFWwindow* window);
}

struct WindowPixelPut::Segment {
    XShmSegmentInfo info {};
    XImage* image = nullptr;
    GC gc = nullptr;
};

namespace {

// Up to this many pixels a frame (the scopes or the meters, even magnified)
// go into the window through the connection itself. The server's report that
// it has read a shared-memory put would wake the loop from its wait a second
// time every frame; a plain put needs no report, since the pixels travel in
// the request.
constexpr long plainPutPixels = 64 * 1024;

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

// Little-endian words of 0x00RRGGBB are what the window's visual takes.
bool takesRgbWords(Display* display, const XWindowAttributes& attributes)
{
    const Visual* visual = attributes.visual;
    return (attributes.depth == 24 || attributes.depth == 32) && visual && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF && ImageByteOrder(display) == LSBFirst;
}

// A segment that only this process and the server map: marked for removal
// as soon as both have it, so that it goes also when the program is killed.
bool shareImage(Display* display, XShmSegmentInfo& info, XImage& image)
{
    info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image.bytes_per_line) * image.height, IPC_CREAT | 0600);
    if (info.shmid < 0) return false;
    void* memory = shmat(info.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        shmctl(info.shmid, IPC_RMID, nullptr);
        return false;
    }
    info.shmaddr = image.data = static_cast<char*>(memory);
    info.readOnly = True;
    bool attached = XShmAttach(display, &info);
    XSync(display, False);
    shmctl(info.shmid, IPC_RMID, nullptr);
    if (attached) return true;
    shmdt(memory);
    image.data = nullptr;
    return false;
}

} // namespace

WindowPixelPut::WindowPixelPut() = default;

WindowPixelPut::~WindowPixelPut() { detach(); }

void WindowPixelPut::attach(GLFWwindow* glfwWindow, int width, int height)
{
    detach();
    Display* dpy = glfwWindow ? glfwGetX11Display() : nullptr;
    Window window = dpy ? glfwGetX11Window(glfwWindow) : 0;
    XWindowAttributes attributes;
    if (!dpy || !window || width <= 0 || height <= 0 || !XShmQueryExtension(dpy) ||
        !XGetWindowAttributes(dpy, window, &attributes) || !takesRgbWords(dpy, attributes))
        return;
    auto segment = std::make_unique<Segment>();
    segment->image = XShmCreateImage(dpy, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                                     nullptr, &segment->info, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height));
    if (!segment->image) return;
    if (segment->image->bits_per_pixel != 32 || segment->image->bytes_per_line != width * 4 ||
        !shareImage(dpy, segment->info, *segment->image)) {
        XDestroyImage(segment->image);
        return;
    }
    segment->gc = XCreateGC(dpy, window, 0, nullptr);
    display_ = dpy;
    window_ = window;
    depth_ = attributes.depth;
    segment_ = std::move(segment);
}

void WindowPixelPut::detach()
{
    if (!segment_) return;
    Display* dpy = asDisplay(display_);
    XShmDetach(dpy, &segment_->info);
    XSync(dpy, False);
    shmdt(segment_->info.shmaddr);
    segment_->image->data = nullptr;
    XDestroyImage(segment_->image);
    XFreeGC(dpy, segment_->gc);
    segment_.reset();
    lastPut_ = 0;
}

// The server has read the last put once an event or reply numbered at or
// after it came in; the put's own completion event brings one. Request
// numbers wrap: the difference tells which came first.
void WindowPixelPut::waitForLastPut()
{
    if (lastPut_ == 0) return;
    Display* dpy = asDisplay(display_);
    if (static_cast<long>(LastKnownRequestProcessed(dpy) - lastPut_) < 0) XSync(dpy, False);
    lastPut_ = 0;
}

bool WindowPixelPut::put(const std::vector<WindowPixels>& parts)
{
    if (!segment_) return false;
    XImage& image = *segment_->image;
    long pixels = 0;
    for (const WindowPixels& part : parts) {
        if (part.x < 0 || part.y < 0 || part.width <= 0 || part.height <= 0 || !part.pixels ||
            part.rowStep() < part.width || part.x + part.width > image.width || part.y + part.height > image.height)
            return false;
        pixels += long(part.width) * part.height;
    }
    if (pixels <= plainPutPixels) {
        for (const WindowPixels& part : parts) putPlain(part);
        XFlush(asDisplay(display_));
        return true;
    }
    putShared(parts);
    return true;
}

// The part's own pixels, in an image of the segment's format that Xlib only
// reads from while the call lasts.
void WindowPixelPut::putPlain(const WindowPixels& part)
{
    XImage image {};
    image.width = part.rowStep();
    image.height = part.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(const_cast<uint32_t*>(part.pixels));
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = depth_;
    image.bytes_per_line = part.rowStep() * 4;
    image.bits_per_pixel = 32;
    image.red_mask = 0xFF0000;
    image.green_mask = 0xFF00;
    image.blue_mask = 0xFF;
    XInitImage(&image);
    XPutImage(asDisplay(display_), window_, segment_->gc, &image, 0, 0, part.x, part.y,
              static_cast<unsigned>(part.width), static_cast<unsigned>(part.height));
}

// Larger parts go through the shared memory, which the server must have read
// before the next such put overwrites it.
void WindowPixelPut::putShared(const std::vector<WindowPixels>& parts)
{
    XImage& image = *segment_->image;
    waitForLastPut();
    Display* dpy = asDisplay(display_);
    for (const WindowPixels& part : parts) {
        for (int row = 0; row < part.height; ++row)
            std::memcpy(image.data + static_cast<long>(part.y + row) * image.bytes_per_line + part.x * 4,
                        part.pixels + static_cast<long>(row) * part.rowStep(), static_cast<size_t>(part.width) * 4);
        lastPut_ = NextRequest(dpy);
        XShmPutImage(dpy, window_, segment_->gc, &image, part.x, part.y, part.x, part.y,
                     static_cast<unsigned>(part.width), static_cast<unsigned>(part.height), True);
    }
    XFlush(dpy);
}
