#include "tests/support/x_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {
Display* asDisplay(void* display) { return static_cast<Display*>(display); }
} // namespace

bool Picture::savePng(const std::string& path) const
{
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgb[i * 3] = static_cast<unsigned char>(pixels[i] >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(pixels[i] >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(pixels[i]);
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

Picture loadPng(const std::string& path)
{
    Picture picture;
    int components = 0;
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &components, 3);
    if (!data) return Picture {};
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = uint32_t(data[i * 3]) << 16 | uint32_t(data[i * 3 + 1]) << 8 | data[i * 3 + 2];
    stbi_image_free(data);
    return picture;
}

XConnection::XConnection() : display_(XOpenDisplay(nullptr))
{
    if (!display_) throw std::runtime_error("cannot open the X display");
    // A window can vanish between two requests when its program ends; the
    // request then just comes back empty instead of ending the test.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

XConnection::~XConnection() { XCloseDisplay(asDisplay(display_)); }

std::string XConnection::title(unsigned long window)
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(asDisplay(display_), window, &name) && name) result = name;
    if (name) XFree(name);
    return result;
}

std::string XConnection::windowClass(unsigned long window)
{
    XClassHint hint {};
    if (!XGetClassHint(asDisplay(display_), window, &hint)) return std::string();
    std::string result = std::string(hint.res_name ? hint.res_name : "") + "/" + (hint.res_class ? hint.res_class : "");
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return result;
}

bool XConnection::isMapped(unsigned long window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(asDisplay(display_), window, &attributes)) return false;
    return attributes.map_state == IsViewable;
}

namespace {

// The process id a window names as its maker; 0 when it names none.
long windowProcess(Display* display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

} // namespace

void XConnection::move(unsigned long window, int x, int y)
{
    XMoveWindow(asDisplay(display_), window, x, y);
    XSync(asDisplay(display_), False);
}

unsigned long XConnection::findWindow(const std::string& wanted, int pid)
{
    Display* display = asDisplay(display_);
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    unsigned long found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (title(children[i]).compare(0, wanted.size(), wanted) == 0 && isMapped(children[i]) &&
            (pid == 0 || windowProcess(display, children[i]) == pid))
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

WindowGeometry XConnection::geometry(unsigned long window)
{
    Display* display = asDisplay(display_);
    XWindowAttributes attributes;
    WindowGeometry result;
    if (!XGetWindowAttributes(display, window, &attributes)) return result;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &result.x, &result.y, &child);
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

void XConnection::requestClose(unsigned long window)
{
    Display* display = asDisplay(display_);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

Picture XConnection::grab(unsigned long window)
{
    Display* display = asDisplay(display_);
    WindowGeometry size = geometry(window);
    Picture picture;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(size.width),
                              static_cast<unsigned>(size.height), AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.pixels.resize(static_cast<size_t>(size.width) * size.height);
    // Tests read the window many times while they wait: a 32-bit picture in
    // this machine's byte order is copied row by row, anything else pixel by pixel.
    bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                  __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    for (int y = 0; y < size.height; ++y) {
        uint32_t* row = picture.pixels.data() + static_cast<size_t>(y) * size.width;
        if (direct)
            std::memcpy(row, image->data + static_cast<size_t>(y) * image->bytes_per_line,
                        4 * static_cast<size_t>(size.width));
        for (int x = 0; x < size.width; ++x) row[x] = (direct ? row[x] : XGetPixel(image, x, y)) & 0xFFFFFF;
    }
    XDestroyImage(image);
    return picture;
}

void XConnection::coverAndUncover(const WindowGeometry& area)
{
    Display* display = asDisplay(display_);
    int screen = DefaultScreen(display);
    Window cover = XCreateSimpleWindow(display, RootWindow(display, screen), area.x, area.y,
                                       static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), 0,
                                       WhitePixel(display, screen), WhitePixel(display, screen));
    XMapRaised(display, cover);
    XSync(display, False);
    XDestroyWindow(display, cover);
    XSync(display, False);
}
