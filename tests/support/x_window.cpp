#include "tests/support/x_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {
Display* asDisplay(void* display) { return static_cast<Display*>(display); }

// Pixels of a 32-bit image in this machine's byte order are copied row by
// row, anything else pixel by pixel.
Picture pictureOf(XImage& image, int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    bool direct =
        image.bits_per_pixel == 32 && image.byte_order == LSBFirst && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = picture.pixels.data() + static_cast<size_t>(y) * width;
        if (direct)
            std::memcpy(row, image.data + static_cast<size_t>(y) * image.bytes_per_line,
                        4 * static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) row[x] = (direct ? row[x] : XGetPixel(&image, x, y)) & 0xFFFFFF;
    }
    return picture;
}

} // namespace

// A segment of shared memory the X server writes a window's picture into:
// tests read the window many times while they wait, and over the connection
// each picture is copied through the server's socket and two buffers.
class SharedWindowImage {
public:
    SharedWindowImage(Display* display, const XWindowAttributes& window) : display_(display)
    {
        image_ = XShmCreateImage(display, window.visual, static_cast<unsigned>(window.depth), ZPixmap, nullptr,
                                 &segment_, static_cast<unsigned>(window.width), static_cast<unsigned>(window.height));
        if (!image_) return;
        size_t bytes = static_cast<size_t>(image_->bytes_per_line) * image_->height;
        segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (segment_.shmid < 0) return;
        segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        // Marked for removal at once: it goes when both sides let go, even
        // if the test ends abruptly.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (segment_.shmaddr == reinterpret_cast<char*>(-1)) return;
        attached_ = XShmAttach(display, &segment_) && XSync(display, False);
    }
    ~SharedWindowImage()
    {
        if (attached_) XShmDetach(display_, &segment_);
        if (segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment_.shmaddr);
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
    }
    SharedWindowImage(const SharedWindowImage&) = delete;
    SharedWindowImage& operator=(const SharedWindowImage&) = delete;

    bool fits(const XWindowAttributes& window) const
    {
        return image_ && image_->width == window.width && image_->height == window.height &&
               image_->depth == window.depth;
    }
    // The window's picture, or null when the server did not give it.
    XImage* read(Window window)
    {
        return attached_ && XShmGetImage(display_, window, image_, 0, 0, AllPlanes) ? image_ : nullptr;
    }

private:
    Display* display_;
    XShmSegmentInfo segment_ {};
    XImage* image_ = nullptr;
    bool attached_ = false;
};

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

XConnection::~XConnection()
{
    shared_.reset();
    XCloseDisplay(asDisplay(display_));
}

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
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return Picture {};
    if (!sharingFailed_ && XShmQueryExtension(display)) {
        if (!shared_ || !shared_->fits(attributes)) shared_ = std::make_unique<SharedWindowImage>(display, attributes);
        if (XImage* image = shared_->read(window)) return pictureOf(*image, attributes.width, attributes.height);
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return Picture {};
    sharingFailed_ = true;
    Picture picture = pictureOf(*image, attributes.width, attributes.height);
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
