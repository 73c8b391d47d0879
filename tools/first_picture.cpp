// Starts a program and waits for its first picture: prints the child's
// process id and the milliseconds from start until one of its windows shows
// a pixel that is not black (-1 after 20 s). The program keeps running.
// Needs an X server of its own with a black root window (Xvfb -br).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Windows can vanish between listing and reading them.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

bool showsNonBlack(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
    if (attributes.width < 16 || attributes.height < 16) return false;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = false;
    for (int y = 0; y < attributes.height && !found; ++y)
        for (int x = 0; x < attributes.width && !found; ++x) found = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return found;
}

bool anyWindowShowsNonBlack(Display* display)
{
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) found = showsNonBlack(display, children[i]);
    if (children) XFree(children);
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
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
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double ms = -1;
    while (Clock::now() - start < std::chrono::seconds(20)) {
        if (anyWindowShowsNonBlack(display)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::printf("%d %.0f\n", static_cast<int>(child), ms);
    return 0;
}
