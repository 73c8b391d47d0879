// Starts a program and waits for its first picture: prints the child's
// process id and the milliseconds from start until one of its windows shows
// a pixel that is not black (-1 after 20 s). The program keeps running.
// With --shows X Y RRGGBB it goes on waiting until a window shows that colour
// at that point, and prints those milliseconds too: for a program whose first
// picture is not yet its whole screen.
// Needs an X server of its own with a black root window (Xvfb -br).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Windows can vanish between listing and reading them.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// A point of a window and the colour it should show (0xRRGGBB).
struct Sought {
    int x = 0, y = 0;
    unsigned long colour = 0;
};

bool isViewable(Display* display, Window window, XWindowAttributes& attributes)
{
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
           attributes.width >= 16 && attributes.height >= 16;
}

bool showsNonBlack(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!isViewable(display, window, attributes)) return false;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = false;
    for (int y = 0; y < attributes.height && !found; ++y)
        for (int x = 0; x < attributes.width && !found; ++x) found = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return found;
}

bool showsSought(Display* display, Window window, const Sought& sought)
{
    XWindowAttributes attributes;
    if (!isViewable(display, window, attributes) || sought.x >= attributes.width || sought.y >= attributes.height)
        return false;
    XImage* image = XGetImage(display, window, sought.x, sought.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = (XGetPixel(image, 0, 0) & 0xFFFFFF) == sought.colour;
    XDestroyImage(image);
    return found;
}

// Whether any top-level window passes the test.
template <typename Test>
bool anyWindow(Display* display, Test test)
{
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) found = test(children[i]);
    if (children) XFree(children);
    return found;
}

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    bool seeking = argc > 5 && std::strcmp(argv[1], "--shows") == 0;
    Sought sought;
    if (seeking) {
        sought = {std::atoi(argv[2]), std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 16)};
        first = 5;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: %s [--shows X Y RRGGBB] PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    XSetErrorHandler(ignoreXError);
    Clock::time_point start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        setsid();
        // The child's output must not hold the caller's pipe open.
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp(argv[first], argv + first);
        _exit(127);
    }
    double picture = -1, shown = -1;
    auto nonBlack = [&](Window window) { return showsNonBlack(display, window); };
    auto showing = [&](Window window) { return showsSought(display, window, sought); };
    while (msSince(start) < 20000 && (picture < 0 || (seeking && shown < 0))) {
        if (picture < 0 && anyWindow(display, nonBlack)) picture = msSince(start);
        if (seeking && shown < 0 && anyWindow(display, showing)) shown = msSince(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (seeking)
        std::printf("%d %.0f %.0f\n", static_cast<int>(child), picture, shown);
    else
        std::printf("%d %.0f\n", static_cast<int>(child), picture);
    return 0;
}
